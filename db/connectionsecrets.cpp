#include "db/connectionsecrets.h"

#include "core/secretmask.h"
#include "db/connectionstring.h"

namespace fee {

namespace {

    struct Piece {
        QStringList secrets; // the value as meant and as written
        qsizetype next = 0; // where the next piece starts
    };

    // An OLE DB value: in apostrophes or double quotes (a doubled quote
    // stands for one), else bare up to the next semicolon, blanks trimmed.
    Piece oleDbValue(const QString& text, qsizetype start)
    {
        const qsizetype n = text.size();
        Piece piece;
        const QChar quote = start < n ? text.at(start) : QChar();
        if (quote != QLatin1Char('\'') && quote != QLatin1Char('"')) {
            const qsizetype semi = text.indexOf(QLatin1Char(';'), start);
            const qsizetype end = semi < 0 ? n : semi;
            piece.secrets << text.mid(start, end - start).trimmed();
            piece.next = end + 1;
            return piece;
        }
        QString value;
        qsizetype p = start + 1;
        while (p < n) {
            if (text.at(p) == quote) {
                if (p + 1 < n && text.at(p + 1) == quote) {
                    value += quote;
                    p += 2;
                    continue;
                }
                ++p;
                break;
            }
            value += text.at(p++);
        }
        piece.secrets << value << text.mid(start, p - start);
        const qsizetype semi = text.indexOf(QLatin1Char(';'), p);
        piece.next = semi < 0 ? n : semi + 1;
        return piece;
    }

    // An ODBC value: in braces up to the first "}" followed by ";" or the
    // end (the FreeTDS driver's reading; a driver that takes "}}" for "}"
    // reads the same text with those undone), else bare up to the next
    // semicolon.
    Piece odbcValue(const QString& text, qsizetype start)
    {
        const qsizetype n = text.size();
        Piece piece;
        if (start >= n || text.at(start) != QLatin1Char('{')) {
            const qsizetype semi = text.indexOf(QLatin1Char(';'), start);
            const qsizetype end = semi < 0 ? n : semi;
            piece.secrets << text.mid(start, end - start).trimmed();
            piece.next = end + 1;
            return piece;
        }
        qsizetype close = start + 1;
        while (close < n && !(text.at(close) == QLatin1Char('}') && (close + 1 == n || text.at(close + 1) == u';')))
            ++close;
        const QString value = text.mid(start + 1, close - start - 1);
        QString undoubled = value;
        undoubled.replace(QStringLiteral("}}"), QStringLiteral("}"));
        piece.secrets << value << undoubled << text.mid(start, qMin(close + 1, n) - start);
        piece.next = close + 2;
        return piece;
    }

} // namespace

QStringList connectionSecrets(const QString& connectionString)
{
    const QString& text = connectionString;
    const bool odbc = namesOdbcDriver(text);
    QStringList found;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        if (eq < 0)
            break;
        const qsizetype semi = text.indexOf(QLatin1Char(';'), i);
        if (semi >= 0 && semi < eq) {
            i = semi + 1;
            continue;
        }
        const QString key = text.mid(i, eq - i).trimmed().toLower();
        qsizetype start = eq + 1;
        while (start < n && text.at(start).isSpace())
            ++start;
        const Piece piece = odbc ? odbcValue(text, start) : oleDbValue(text, start);
        if (key == QLatin1String("password") || key == QLatin1String("pwd")) {
            for (const QString& secret : piece.secrets) {
                if (!secret.trimmed().isEmpty() && !found.contains(secret))
                    found.append(secret);
            }
        }
        i = piece.next;
    }
    return found;
}

void rememberConnectionSecrets(const QString& connectionString)
{
    for (const QString& secret : connectionSecrets(connectionString))
        rememberSecret(secret);
}

} // namespace fee
