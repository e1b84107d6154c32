#include "db/connectionstring.h"

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

    // "host", "host,port", "host\instance", "tcp:host,port", "(local)", "."
    QString odbcServerPart(QString dataSource)
    {
        dataSource = dataSource.trimmed();
        if (dataSource.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive))
            dataSource = dataSource.mid(4).trimmed();
        QString port;
        const qsizetype comma = dataSource.indexOf(QLatin1Char(','));
        if (comma >= 0) {
            port = dataSource.mid(comma + 1).trimmed();
            dataSource = dataSource.left(comma).trimmed();
            // Digits only: the number reader stops at a NUL and would let what
            // follows it into the ODBC string. The port goes in as its number.
            static const QRegularExpression kPort(QStringLiteral("^[0-9]{1,5}$"));
            const int number = kPort.match(port).hasMatch() ? port.toInt() : 0;
            if (number <= 0 || number > 65535)
                throw Failure(kErrConnection, QStringLiteral("Invalid port in the data source: ") + port);
            port = QString::number(number);
        }
        QString host = dataSource;
        QString instance;
        const qsizetype slash = dataSource.indexOf(QLatin1Char('\\'));
        if (slash >= 0) {
            host = dataSource.left(slash).trimmed();
            instance = dataSource.mid(slash + 1).trimmed();
        }
        if (host.isEmpty() || host == QLatin1String(".")
            || host.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0)
            host = QStringLiteral("127.0.0.1");

        QString server = host;
        // An explicit port wins over the instance name, as with SQL Server's own clients.
        if (port.isEmpty() && !instance.isEmpty())
            server += QLatin1Char('\\') + instance;
        QString result = QStringLiteral("SERVER=") + odbcValue(server);
        if (!port.isEmpty())
            result += QStringLiteral(";PORT=") + port;
        else if (instance.isEmpty())
            result += QStringLiteral(";PORT=1433");
        return result;
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

bool namesOdbcDriver(const QString& text)
{
    static const QRegularExpression kDriverKey(
        QStringLiteral("(^|;)\\s*(driver|dsn|filedsn)\\s*="), QRegularExpression::CaseInsensitiveOption);
    return text.contains(kDriverKey);
}

QMap<QString, QString> parseConnectionString(const QString& text)
{
    QMap<QString, QString> pairs;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        const qsizetype semi = text.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // A piece without "=" is tolerated only when blank.
            const qsizetype end = semi < 0 ? n : semi;
            if (!text.mid(i, end - i).trimmed().isEmpty())
                throw badFormat();
            i = end + 1;
            continue;
        }
        const QString key = text.mid(i, eq - i).trimmed().toLower();
        if (key.isEmpty())
            throw badFormat();
        qsizetype p = eq + 1;
        while (p < n && text.at(p).isSpace() && text.at(p) != QLatin1Char(';'))
            ++p;
        QString value;
        if (p < n && (text.at(p) == QLatin1Char('\'') || text.at(p) == QLatin1Char('"'))) {
            const QChar quote = text.at(p);
            ++p;
            bool closed = false;
            while (p < n) {
                if (text.at(p) == quote) {
                    if (p + 1 < n && text.at(p + 1) == quote) {
                        value += quote;
                        p += 2;
                        continue;
                    }
                    closed = true;
                    ++p;
                    break;
                }
                value += text.at(p++);
            }
            if (!closed)
                throw badFormat();
            while (p < n && text.at(p) != QLatin1Char(';')) {
                if (!text.at(p).isSpace())
                    throw badFormat();
                ++p;
            }
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), p);
            value = text.mid(p, (end < 0 ? n : end) - p).trimmed();
            p = end < 0 ? n : end;
        }
        pairs.insert(key, value);
        i = p + 1;
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

    QString catalog = pairs.value(QStringLiteral("initial catalog"), pairs.value(QStringLiteral("database")));
    QString user = pairs.value(QStringLiteral("user id"), pairs.value(QStringLiteral("uid")));
    QString password = pairs.value(QStringLiteral("password"), pairs.value(QStringLiteral("pwd")));

    QString odbc = QStringLiteral("DRIVER={FreeTDS};") + odbcServerPart(dataSource);
    // Without a catalog the login's default database is used.
    if (!catalog.isEmpty())
        odbc += QStringLiteral(";DATABASE=") + odbcValue(catalog);
    odbc += QStringLiteral(";UID=") + odbcValue(user);
    odbc += QStringLiteral(";PWD=") + odbcValue(password);
    // 7.3 is understood by every server from SQL Server 2008 on.
    odbc += QStringLiteral(";TDS_Version=7.3;ClientCharset=UTF-8");
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
