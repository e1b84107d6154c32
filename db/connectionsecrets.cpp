#include "db/connectionsecrets.h"

#include "core/secretmask.h"
#include "db/connectionscanner.h"

namespace fee {

QStringList connectionSecrets(const QString& connectionString)
{
    const ConnectionDialect dialect = dialectOf(connectionString);
    QStringList found;
    auto add = [&found](const QString& secret) {
        if (!secret.trimmed().isEmpty() && !found.contains(secret))
            found.append(secret);
    };
    // The pieces as the connection reads them; a piece it would refuse (an
    // unclosed quote) still gives up what follows the key.
    for (const ConnectionPiece& piece : scanConnectionString(connectionString, dialect)) {
        if (piece.key != QLatin1String("password") && piece.key != QLatin1String("pwd"))
            continue;
        add(piece.value);
        // A driver that takes "}}" inside braces for "}" reads the same
        // text with those undone.
        if (dialect == ConnectionDialect::Odbc && !piece.written.isEmpty())
            add(QString(piece.value).replace(QStringLiteral("}}"), QStringLiteral("}")));
        add(piece.written);
    }
    return found;
}

void rememberConnectionSecrets(const QString& connectionString)
{
    for (const QString& secret : connectionSecrets(connectionString))
        rememberSecret(secret);
}

} // namespace fee
