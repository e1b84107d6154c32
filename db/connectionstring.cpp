#include "db/connectionstring.h"

#include "db/connectionscanner.h"

#include <QRegularExpression>

namespace fee {

namespace {

    const char* const kBadFormat = "Format of the initialization string does not conform to the OLE DB rules.";

    Failure badFormat() { return Failure(kErrConnection, QString::fromLatin1(kBadFormat)); }

    // The FreeTDS driver reads a braced value literally up to the first "}"
    // that is followed by ";" or by the end; it does not undo doubled braces.
    // Bracing whatever could end or open a value keeps each value one value,
    // and a value holding "};" cannot be passed safely at all. The driver
    // manager and the driver read the string as a C string: a NUL would end
    // it there and drop the values after it.
    QString odbcValue(const QString& value)
    {
        if (value.contains(QChar(0)))
            throw Failure(kErrConnection, QStringLiteral("A connection value contains a NUL character."));
        static const QRegularExpression kSpecial(QStringLiteral("[;{}=]|^\\s|\\s$"));
        if (!value.contains(kSpecial))
            return value;
        if (value.contains(QLatin1String("};")))
            throw Failure(
                kErrConnection, QStringLiteral("A connection value contains \"};\", which the driver cannot accept."));
        return QLatin1Char('{') + value + QLatin1Char('}');
    }

    struct ServerAddress {
        QString host;
        int port = 0;
        QString instance;
    };

    // "host", "host,port", "host\instance", "tcp:host,port", "(local)", "."
    ServerAddress serverAddress(QString dataSource)
    {
        dataSource = dataSource.trimmed();
        if (dataSource.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive))
            dataSource = dataSource.mid(4).trimmed();
        ServerAddress address;
        const qsizetype comma = dataSource.indexOf(QLatin1Char(','));
        if (comma >= 0) {
            const QString port = dataSource.mid(comma + 1).trimmed();
            dataSource = dataSource.left(comma).trimmed();
            // Digits only: the number reader stops at a NUL and would let what
            // follows it into the ODBC string. The port goes in as its number.
            static const QRegularExpression kPort(QStringLiteral("^[0-9]{1,5}$"));
            const int number = kPort.match(port).hasMatch() ? port.toInt() : 0;
            if (number <= 0 || number > 65535)
                throw Failure(kErrConnection, QStringLiteral("Invalid port in the data source: ") + port);
            address.port = number;
        }
        address.host = dataSource;
        const qsizetype slash = dataSource.indexOf(QLatin1Char('\\'));
        if (slash >= 0) {
            address.host = dataSource.left(slash).trimmed();
            address.instance = dataSource.mid(slash + 1).trimmed();
        }
        if (address.host.isEmpty() || address.host == QLatin1String(".")
            || address.host.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0)
            address.host = QStringLiteral("127.0.0.1");
        // An explicit port wins over the instance name, as with SQL Server's own clients.
        if (address.port != 0)
            address.instance.clear();
        else if (address.instance.isEmpty())
            address.port = 1433;
        return address;
    }

    QString odbcServerPart(const ServerAddress& address)
    {
        QString server = address.host;
        if (!address.instance.isEmpty())
            server += QLatin1Char('\\') + address.instance;
        QString result = QStringLiteral("SERVER=") + odbcValue(server);
        if (address.port != 0)
            result += QStringLiteral(";PORT=") + QString::number(address.port);
        return result;
    }

    // "Command Timeout": whole seconds, 0 for none.
    int timeoutSeconds(const QString& value)
    {
        static const QRegularExpression kSeconds(QStringLiteral("^\\s*[0-9]{1,6}\\s*$"));
        if (!kSeconds.match(value).hasMatch())
            throw Failure(
                kErrConnection, QStringLiteral("Command Timeout=%1 is not a number of seconds.").arg(value));
        return value.trimmed().toInt();
    }

    enum class Answer { Unset, Yes, No };

    // The value of a yes/no keyword, looked up by its first spelling found;
    // Failure when it is neither.
    Answer answerOf(const QMap<QString, QString>& pairs, const QStringList& spellings, const QStringList& yes,
        const QStringList& no, QString& keyword)
    {
        for (const QString& spelled : spellings) {
            const QString key = spelled.toLower();
            if (!pairs.contains(key))
                continue;
            const QString value = pairs.value(key).trimmed();
            keyword = spelled + QLatin1Char('=') + value;
            if (yes.contains(value.toLower()))
                return Answer::Yes;
            if (no.contains(value.toLower()))
                return Answer::No;
            throw Failure(kErrConnection,
                QStringLiteral("%1 is not understood: use %2 or %3.")
                    .arg(keyword, yes.join(QStringLiteral(", ")), no.join(QStringLiteral(", "))));
        }
        return Answer::Unset;
    }

    // A value that goes into a line of a FreeTDS configuration file.
    QString configValue(const QString& value, const QString& what)
    {
        for (const QChar c : value) {
            if (c.category() == QChar::Other_Control)
                throw Failure(kErrConnection, what + QStringLiteral(" holds a control character."));
        }
        return value;
    }

    // The keywords SQL Server's own drivers take for encryption, in the
    // spellings of their OLE DB and ODBC strings.
    void readEncryption(const QMap<QString, QString>& pairs, ConnectionTarget& target)
    {
        QString encryptKeyword;
        const Answer encrypt
            = answerOf(pairs, { QStringLiteral("Encrypt"), QStringLiteral("Use Encryption for Data") },
                { QStringLiteral("yes"), QStringLiteral("true"), QStringLiteral("mandatory") },
                { QStringLiteral("no"), QStringLiteral("false"), QStringLiteral("optional") }, encryptKeyword);
        QString trustKeyword;
        const Answer trust
            = answerOf(pairs, { QStringLiteral("TrustServerCertificate"), QStringLiteral("Trust Server Certificate") },
                { QStringLiteral("yes"), QStringLiteral("true") }, { QStringLiteral("no"), QStringLiteral("false") },
                trustKeyword);

        if (encrypt == Answer::No) {
            target.encryption = LinkEncryption::Off;
            target.encryptionKeyword = encryptKeyword;
        } else if (trust == Answer::Yes) {
            target.encryption = LinkEncryption::Trust;
            target.encryptionKeyword = trustKeyword;
        } else if (encrypt == Answer::Yes) {
            target.encryption = LinkEncryption::Verify;
            target.encryptionKeyword = encryptKeyword;
        }

        const QString file = pairs.value(QStringLiteral("servercertificate")).trimmed();
        const QString name = pairs.value(QStringLiteral("hostnameincertificate")).trimmed();
        // A certificate named but never checked would look safe and not be.
        if ((!file.isEmpty() || !name.isEmpty()) && target.encryption != LinkEncryption::Verify)
            throw Failure(kErrConnection,
                QStringLiteral("ServerCertificate and HostNameInCertificate are used only with Encrypt=yes "
                               "(and without TrustServerCertificate=yes)."));
        target.certificateFile = configValue(file, QStringLiteral("ServerCertificate"));
        target.certificateHost = configValue(name, QStringLiteral("HostNameInCertificate"));
        if (target.encryption == LinkEncryption::Verify) {
            configValue(target.host, QStringLiteral("The data source"));
            configValue(target.instance, QStringLiteral("The data source"));
        }
    }

    QString doubledApostrophes(QString value) { return value.replace(QLatin1Char('\''), QStringLiteral("''")); }

    // A value the template writes without quotes: kept as it is unless the
    // parser would cut it at a semicolon, take a leading quote as its start or
    // trim its blanks.
    QString bareSettingsValue(const QString& value)
    {
        const QString trimmed = value.trimmed();
        const bool plain = !value.contains(QLatin1Char(';')) && trimmed.size() == value.size()
            && !trimmed.startsWith(QLatin1Char('\'')) && !trimmed.startsWith(QLatin1Char('"'));
        return plain ? value : QLatin1Char('\'') + doubledApostrophes(value) + QLatin1Char('\'');
    }

} // namespace

bool namesOdbcDriver(const QString& text) { return dialectOf(text) == ConnectionDialect::Odbc; }

QMap<QString, QString> parseConnectionString(const QString& text)
{
    QMap<QString, QString> pairs;
    for (const ConnectionPiece& piece : scanConnectionString(text, ConnectionDialect::OleDb)) {
        if (piece.problem != ConnectionPiece::Problem::None)
            throw badFormat();
        pairs.insert(piece.key, piece.value);
    }
    return pairs;
}

ConnectionTarget translateConnectionString(const QString& text)
{
    ConnectionTarget target;
    if (text.trimmed().isEmpty())
        throw Failure(kErrConnection, QStringLiteral("The connection string is empty."));

    if (namesOdbcDriver(text)) {
        target.backend = DbBackend::SqlServer;
        target.odbc = text;
        // The driver passes over keys it does not know; this one is ours.
        for (const ConnectionPiece& piece : scanConnectionString(text, ConnectionDialect::Odbc)) {
            if (piece.key == QLatin1String("command timeout"))
                target.commandTimeout = timeoutSeconds(piece.value);
        }
        return target;
    }

    const QMap<QString, QString> pairs = parseConnectionString(text);
    const QString provider = pairs.value(QStringLiteral("provider")).trimmed().toLower();
    const QString dataSource = pairs.contains(QStringLiteral("data source"))
        ? pairs.value(QStringLiteral("data source"))
        : pairs.value(QStringLiteral("server"));

    if (provider == QLatin1String("sqlite")) {
        if (dataSource.isEmpty())
            throw Failure(kErrFile, QStringLiteral("The connection string names no database file."));
        target.backend = DbBackend::Sqlite;
        target.sqlitePath = dataSource;
        return target;
    }

    const bool sqlServerProvider = provider.isEmpty() || provider.startsWith(QLatin1String("sqloledb"))
        || provider.startsWith(QLatin1String("sqlncli")) || provider.startsWith(QLatin1String("msoledbsql"));
    if (!sqlServerProvider)
        throw Failure(kErrConnection, QStringLiteral("Provider cannot be found. It may not be properly installed."));
    if (dataSource.trimmed().isEmpty())
        throw Failure(kErrConnection, QStringLiteral("SQL Server does not exist or access denied."));

    const QString catalog = pairs.value(QStringLiteral("initial catalog"), pairs.value(QStringLiteral("database")));
    const QString user = pairs.value(QStringLiteral("user id"), pairs.value(QStringLiteral("uid")));
    const QString password = pairs.value(QStringLiteral("password"), pairs.value(QStringLiteral("pwd")));

    const ServerAddress address = serverAddress(dataSource);
    target.host = address.host;
    target.port = address.port;
    target.instance = address.instance;
    readEncryption(pairs, target);
    if (pairs.contains(QStringLiteral("command timeout")))
        target.commandTimeout = timeoutSeconds(pairs.value(QStringLiteral("command timeout")));

    QString login;
    // Without a catalog the login's default database is used.
    if (!catalog.isEmpty())
        login += QStringLiteral("DATABASE=") + odbcValue(catalog) + QLatin1Char(';');
    login += QStringLiteral("UID=") + odbcValue(user);
    login += QStringLiteral(";PWD=") + odbcValue(password);
    // 7.3 is understood by every server from SQL Server 2008 on.
    login += QStringLiteral(";TDS_Version=7.3;ClientCharset=UTF-8");
    target.odbcLogin = login;

    QString odbc = QStringLiteral("DRIVER={FreeTDS};") + odbcServerPart(address) + QLatin1Char(';') + login;
    switch (target.encryption) {
    case LinkEncryption::Default:
        break;
    case LinkEncryption::Off:
        odbc += QStringLiteral(";Encryption=off");
        break;
    case LinkEncryption::Verify:
    case LinkEncryption::Trust:
        // With Verify the connection opens through a configuration section
        // instead (FreeTDS reads a certificate authority only from there);
        // this text says what it asks of the driver.
        odbc += QStringLiteral(";Encryption=require");
        break;
    }
    target.backend = DbBackend::SqlServer;
    target.odbc = odbc;
    return target;
}

QString connectionStringFromSettings(const QString& svr, const QString& uid, const QString& pwd, const QString& dbName)
{
    // The sites' stored settings have always produced exactly this text, and
    // ordinary values still do. A value that would change the string's meaning
    // (a semicolon, a leading quote, an apostrophe inside the quoted catalog or
    // server) is quoted instead, so it reaches the server as one value.
    return QStringLiteral("Provider=SQLOLEDB.1;Password=") + bareSettingsValue(pwd)
        + QStringLiteral(";Persist Security Info=False;User ID=") + bareSettingsValue(uid)
        + QStringLiteral(";Initial Catalog='") + doubledApostrophes(dbName) + QStringLiteral("';Data Source='")
        + doubledApostrophes(svr) + QStringLiteral("'");
}

} // namespace fee
