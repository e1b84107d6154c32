// Connection strings and their ODBC translation: translateConnectionString on
// any text and on strings made from the stored settings. Whatever the values
// hold, the translated ODBC string must read back (the way the FreeTDS driver
// reads it) as exactly the keywords we wrote, each with its own value: no
// value can end early, swallow the next keyword or add one of its own. The
// password the translation passes on is one the message masking knows.

#include "core/failure.h"
#include "db/connectionsecrets.h"
#include "db/connectionstring.h"
#include "fuzzsupport.h"

#include <QRegularExpression>
#include <QStringList>
#include <utility>
#include <vector>

namespace {

using Pairs = std::vector<std::pair<QString, QString>>;

// The driver's reading: "key=value" pieces separated by ";"; a value starting
// with "{" runs literally up to the first "}" followed by ";" or the end.
Pairs readAsDriver(const QString& odbc)
{
    Pairs pairs;
    qsizetype at = 0;
    const qsizetype n = odbc.size();
    while (at < n) {
        const qsizetype eq = odbc.indexOf(u'=', at);
        fuzz::check(eq > at, "every ODBC piece is key=value", odbc);
        const QString key = odbc.mid(at, eq - at);
        fuzz::check(!key.contains(u';'), "a key holds no \";\"", odbc);
        qsizetype next;
        QString value;
        if (eq + 1 < n && odbc.at(eq + 1) == u'{') {
            qsizetype close = eq + 2;
            while (close < n && !(odbc.at(close) == u'}' && (close + 1 == n || odbc.at(close + 1) == u';')))
                ++close;
            fuzz::check(close < n, "a braced value is closed", odbc);
            value = odbc.mid(eq + 2, close - eq - 2);
            next = close + 2;
        } else {
            qsizetype semi = odbc.indexOf(u';', eq + 1);
            if (semi < 0)
                semi = n;
            value = odbc.mid(eq + 1, semi - eq - 1);
            next = semi + 1;
        }
        pairs.emplace_back(key, value);
        at = next;
    }
    return pairs;
}

QString show(const QString& input, const QString& odbc) { return input + QStringLiteral("\n  ->  ") + odbc; }

void checkTranslation(const QString& input)
{
    fee::ConnectionTarget target;
    try {
        target = fee::translateConnectionString(input);
    } catch (const fee::Failure&) {
        return; // refused: fine
    }
    if (target.backend == fee::DbBackend::Sqlite) {
        fuzz::check(!target.sqlitePath.isEmpty(), "an embedded database names its file", input);
        return;
    }
    fuzz::check(target.backend == fee::DbBackend::SqlServer, "a translated string names a backend", input);
    static const QRegularExpression kOdbcGiven(
        QStringLiteral("(^|;)\\s*(driver|dsn|filedsn)\\s*="), QRegularExpression::CaseInsensitiveOption);
    if (input.contains(kOdbcGiven)) {
        fuzz::check(target.odbc == input, "an ODBC string is used as given", input);
        return;
    }

    const QString& odbc = target.odbc;
    // The driver manager and the driver take the string as a C string.
    fuzz::check(!odbc.contains(QChar(0)), "no value cuts the ODBC string short", show(input, odbc));

    const QMap<QString, QString> given = fee::parseConnectionString(input);
    const QString catalog = given.value(QStringLiteral("initial catalog"), given.value(QStringLiteral("database")));
    const QString user = given.value(QStringLiteral("user id"), given.value(QStringLiteral("uid")));
    const QString password = given.value(QStringLiteral("password"), given.value(QStringLiteral("pwd")));
    // Messages mask the password as the connection reads it.
    if (!password.trimmed().isEmpty())
        fuzz::check(fee::connectionSecrets(input).contains(password), "the password is known to the masking", input);

    const Pairs read = readAsDriver(odbc);
    QStringList keys;
    for (const auto& p : read)
        keys.append(p.first);
    QStringList wanted { QStringLiteral("DRIVER"), QStringLiteral("SERVER") };
    if (keys.contains(QStringLiteral("PORT")))
        wanted.append(QStringLiteral("PORT"));
    if (!catalog.isEmpty())
        wanted.append(QStringLiteral("DATABASE"));
    wanted += { QStringLiteral("UID"), QStringLiteral("PWD"), QStringLiteral("TDS_Version"),
        QStringLiteral("ClientCharset") };
    // The encryption the string asked for, in the driver's own keyword.
    if (target.encryption != fee::LinkEncryption::Default)
        wanted.append(QStringLiteral("Encryption"));
    fuzz::check(keys == wanted, "the ODBC string holds exactly our keywords", show(input, odbc));

    auto valueOf = [&](const char* key) {
        for (const auto& p : read)
            if (p.first == QLatin1String(key))
                return p.second;
        return QString();
    };
    fuzz::check(valueOf("DRIVER") == QLatin1String("FreeTDS"), "the driver is ours", show(input, odbc));
    fuzz::check(valueOf("UID") == user, "the user reads back as given", show(input, odbc));
    fuzz::check(valueOf("PWD") == password, "the password reads back as given", show(input, odbc));
    if (!catalog.isEmpty())
        fuzz::check(valueOf("DATABASE") == catalog, "the catalog reads back as given", show(input, odbc));
    fuzz::check(!valueOf("SERVER").isEmpty(), "a server is named", show(input, odbc));
    if (keys.contains(QStringLiteral("PORT"))) {
        static const QRegularExpression kDigits(QStringLiteral("^\\+?[0-9]+$"));
        const QString port = valueOf("PORT");
        fuzz::check(kDigits.match(port).hasMatch() && port.toInt() >= 1 && port.toInt() <= 65535,
            "the port is a port number", show(input, odbc));
    }
    fuzz::check(valueOf("TDS_Version") == QLatin1String("7.3") && valueOf("ClientCharset") == QLatin1String("UTF-8"),
        "the protocol settings are ours", show(input, odbc));
    if (target.encryption != fee::LinkEncryption::Default)
        fuzz::check(valueOf("Encryption")
                == QLatin1String(target.encryption == fee::LinkEncryption::Off ? "off" : "require"),
            "the encryption is the one asked for", show(input, odbc));
    // The rest of the string after the server's part is what a checked
    // connection names its configuration section with.
    fuzz::check(odbc.contains(QLatin1Char(';') + target.odbcLogin), "the login part stands in the string",
        show(input, odbc));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = fuzz::text(data, size);
    checkTranslation(text);
    fee::connectionSecrets(text);
    try {
        fee::parseConnectionString(text);
    } catch (const fee::Failure&) {
    }
    // The stored settings' values go into the template untouched: server,
    // user, password and catalog, separated by \x01 in the input.
    const QStringList pieces = text.split(u'\x01');
    if (pieces.size() >= 4)
        checkTranslation(fee::connectionStringFromSettings(pieces.at(0), pieces.at(1), pieces.at(2), pieces.at(3)));
    return 0;
}
