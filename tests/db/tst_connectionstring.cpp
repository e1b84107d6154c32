#include "db/connectionstring.h"

#include <QtTest>

using fee::DbBackend;

class TestConnectionString : public QObject {
    Q_OBJECT
private slots:
    void fromSettings();
    void translated_data();
    void translated();
    void rejected_data();
    void rejected();
    void parsedValues();
    void linkOptions_data();
    void linkOptions();
};

void TestConnectionString::fromSettings()
{
    QCOMPARE(
        fee::connectionStringFromSettings(QStringLiteral("db1"), QStringLiteral("sa"), QString(), QStringLiteral("wy")),
        QStringLiteral("Provider=SQLOLEDB.1;Password=;Persist Security Info=False;User ID=sa;Initial Catalog='wy';Data "
                       "Source='db1'"));
    // Stored values go in untouched unless they would change the string's
    // meaning: then they are quoted, apostrophes doubled.
    QCOMPARE(fee::connectionStringFromSettings(
                 QStringLiteral(" s%2 "), QStringLiteral("u;x"), QStringLiteral("p%1'"), QStringLiteral("d'b")),
        QStringLiteral("Provider=SQLOLEDB.1;Password=p%1';Persist Security Info=False;User ID='u;x';Initial "
                       "Catalog='d''b';Data Source=' s%2 '"));
}

void TestConnectionString::translated_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("backend");
    QTest::addColumn<QString>("target");
    const auto sqlServer = int(DbBackend::SqlServer);
    const auto sqlite = int(DbBackend::Sqlite);
    const QString tail = QStringLiteral(";TDS_Version=7.3;ClientCharset=UTF-8");

    QTest::newRow("settings template") << fee::connectionStringFromSettings(
        QStringLiteral("db1"), QStringLiteral("sa"), QString(), QStringLiteral("wy"))
                                       << sqlServer
                                       << QStringLiteral(
                                              "DRIVER={FreeTDS};SERVER=db1;PORT=1433;DATABASE=wy;UID=sa;PWD=")
            + tail;
    QTest::newRow("port") << QStringLiteral("Provider=SQLOLEDB.1;Password=pw;User ID=sa;Initial Catalog='wy';Data "
                                            "Source='db1,1444'")
                          << sqlServer
                          << QStringLiteral("DRIVER={FreeTDS};SERVER=db1;PORT=1444;DATABASE=wy;UID=sa;PWD=pw") + tail;
    QTest::newRow("instance") << QStringLiteral("Provider=SQLOLEDB.1;Password=pw;User ID=sa;Initial Catalog='wy';Data "
                                                "Source='db1\\SQLEXPRESS'")
                              << sqlServer
                              << QStringLiteral("DRIVER={FreeTDS};SERVER=db1\\SQLEXPRESS;DATABASE=wy;UID=sa;PWD=pw")
            + tail;
    QTest::newRow("keys any case, double quotes")
        << QStringLiteral("provider=sqloledb;PASSWORD=\"p\"\"w\";user id=sa;INITIAL CATALOG=wy;data source=\"(local)\"")
        << sqlServer
        << QStringLiteral("DRIVER={FreeTDS};SERVER=127.0.0.1;PORT=1433;DATABASE=wy;UID=sa;PWD=p\"w") + tail;
    QTest::newRow("semicolon and brace stay one value")
        << QStringLiteral("Provider=SQLOLEDB.1;Password='a;UID=x}';User ID=sa;Initial Catalog='w{y';Data Source='db1'")
        << sqlServer
        << QStringLiteral("DRIVER={FreeTDS};SERVER=db1;PORT=1433;DATABASE={w{y};UID=sa;PWD={a;UID=x}}") + tail;
    QTest::newRow("blanks around a quoted value kept")
        << QStringLiteral("Provider=SQLOLEDB.1;Password=' pw ';User ID=sa;Initial Catalog='wy';Data Source='db1'")
        << sqlServer << QStringLiteral("DRIVER={FreeTDS};SERVER=db1;PORT=1433;DATABASE=wy;UID=sa;PWD={ pw }") + tail;
    QTest::newRow("empty catalog uses the login's default") << fee::connectionStringFromSettings(QStringLiteral("db1"),
        QStringLiteral("sa"), QStringLiteral("x"),
        QString()) << sqlServer << QStringLiteral("DRIVER={FreeTDS};SERVER=db1;PORT=1433;UID=sa;PWD=x") + tail;
    QTest::newRow("semicolon in a stored password")
        << fee::connectionStringFromSettings(
               QStringLiteral("db1"), QStringLiteral("sa"), QStringLiteral("a;b"), QStringLiteral("wy"))
        << sqlServer << QStringLiteral("DRIVER={FreeTDS};SERVER=db1;PORT=1433;DATABASE=wy;UID=sa;PWD={a;b}") + tail;
    const QString odbc = QStringLiteral("Driver={FreeTDS};Server=h;Port=1;PWD={a;b}");
    QTest::newRow("driver string unchanged") << odbc << sqlServer << odbc;
    const QString settings = QStringLiteral("Provider=SQLOLEDB.1;Password=pw;User ID=sa;Initial Catalog='wy';Data "
                                            "Source='db1'");
    const QString plain = QStringLiteral("DRIVER={FreeTDS};SERVER=db1;PORT=1433;DATABASE=wy;UID=sa;PWD=pw") + tail;
    QTest::newRow("Encrypt=no turns encryption off") << settings + QStringLiteral(";Encrypt=no") << sqlServer
                                                     << plain + QStringLiteral(";Encryption=off");
    QTest::newRow("Encrypt=yes encrypts all") << settings + QStringLiteral(";Encrypt=yes") << sqlServer
                                              << plain + QStringLiteral(";Encryption=require");
    QTest::newRow("TrustServerCertificate encrypts all")
        << settings + QStringLiteral(";TrustServerCertificate=yes") << sqlServer
        << plain + QStringLiteral(";Encryption=require");
    QTest::newRow("Command Timeout stays ours") << settings + QStringLiteral(";Command Timeout=5") << sqlServer
                                                << plain;
    QTest::newRow("sqlite") << QStringLiteral("Provider=SQLite;Data Source=/tmp/a b.db") << sqlite
                            << QStringLiteral("/tmp/a b.db");
    QTest::newRow("sqlite quoted path") << QStringLiteral("Provider=sqlite;Data Source='/tmp/x;y''s.db';") << sqlite
                                        << QStringLiteral("/tmp/x;y's.db");
}

void TestConnectionString::translated()
{
    QFETCH(QString, input);
    QFETCH(int, backend);
    QFETCH(QString, target);
    const fee::ConnectionTarget t = fee::translateConnectionString(input);
    QCOMPARE(int(t.backend), backend);
    QCOMPARE(backend == int(DbBackend::Sqlite) ? t.sqlitePath : t.odbc, target);
}

void TestConnectionString::rejected_data()
{
    QTest::addColumn<QString>("input");
    QTest::newRow("empty") << QString();
    QTest::newRow("garbage") << QStringLiteral("hello world");
    QTest::newRow("unclosed quote") << QStringLiteral("Provider=SQLOLEDB;Data Source='db1");
    QTest::newRow("text after quote") << QStringLiteral("Provider=SQLOLEDB;Data Source='db1'x");
    QTest::newRow("unknown provider") << QStringLiteral("Provider=Jet.OLEDB;Data Source=db1");
    QTest::newRow("no server") << QStringLiteral("Provider=SQLOLEDB.1;User ID=sa;Data Source=''");
    QTest::newRow("bad port") << QStringLiteral("Provider=SQLOLEDB.1;Data Source=db1,abc");
    QTest::newRow("value the driver cannot take")
        << QStringLiteral("Provider=SQLOLEDB.1;Password='a};UID=x';Data Source=db1");
    // The driver manager and the driver read the ODBC string as a C string:
    // a NUL would cut off what follows it.
    QTest::newRow("NUL in a value") << QStringLiteral("Data Source=db1;User ID=s%1a;Password=p").arg(QChar(0));
    QTest::newRow("NUL in the port") << QStringLiteral("Data Source='db1,143%1x';User ID=sa").arg(QChar(0));
    QTest::newRow("NUL in the server") << QStringLiteral("Data Source='db%1';User ID=sa").arg(QChar(0));
    QTest::newRow("sqlite without file") << QStringLiteral("Provider=SQLite");
    QTest::newRow("Encrypt of another meaning") << QStringLiteral("Data Source=db1;Encrypt=maybe");
    QTest::newRow("Encrypt=strict (TDS 8)") << QStringLiteral("Data Source=db1;Encrypt=strict");
    QTest::newRow("Trust of another meaning") << QStringLiteral("Data Source=db1;TrustServerCertificate=1");
    // A certificate named but never checked would look safe and not be.
    QTest::newRow("certificate without Encrypt") << QStringLiteral("Data Source=db1;ServerCertificate=/a.pem");
    QTest::newRow("certificate with trust")
        << QStringLiteral("Data Source=db1;Encrypt=yes;TrustServerCertificate=yes;ServerCertificate=/a.pem");
    QTest::newRow("host name without Encrypt") << QStringLiteral("Data Source=db1;HostNameInCertificate=x");
    QTest::newRow("timeout not a number") << QStringLiteral("Data Source=db1;Command Timeout=1m");
    QTest::newRow("negative timeout") << QStringLiteral("Data Source=db1;Command Timeout=-1");
    QTest::newRow("timeout in an ODBC string") << QStringLiteral("Driver={FreeTDS};Server=h;Command Timeout=x");
}

void TestConnectionString::rejected()
{
    QFETCH(QString, input);
    try {
        fee::translateConnectionString(input);
        QFAIL("accepted");
    } catch (const fee::Failure& failure) {
        QVERIFY(!failure.description().isEmpty());
    }
}

void TestConnectionString::parsedValues()
{
    const auto pairs
        = fee::parseConnectionString(QStringLiteral(" Data Source = 'a''b' ; User ID= sa ;;Password=\"x'y\""));
    QCOMPARE(pairs.value(QStringLiteral("data source")), QStringLiteral("a'b"));
    QCOMPARE(pairs.value(QStringLiteral("user id")), QStringLiteral("sa"));
    QCOMPARE(pairs.value(QStringLiteral("password")), QStringLiteral("x'y"));
    QCOMPARE(pairs.size(), 3);
}

// What a string asks of the link: its encryption and certificate check in
// every spelling SQL Server's drivers take, and the request timeout.
void TestConnectionString::linkOptions_data()
{
    QTest::addColumn<QString>("pieces"); // after the stored settings' string
    QTest::addColumn<int>("encryption");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("certificateFile");
    QTest::addColumn<QString>("certificateHost");
    QTest::addColumn<int>("timeout"); // -1: none given
    const auto none = int(fee::LinkEncryption::Default);
    const auto off = int(fee::LinkEncryption::Off);
    const auto verify = int(fee::LinkEncryption::Verify);
    const auto trust = int(fee::LinkEncryption::Trust);

    QTest::newRow("no keyword") << QString() << none << QString() << QString() << QString() << -1;
    QTest::newRow("Encrypt=yes") << ";Encrypt=yes" << verify << "Encrypt=yes" << QString() << QString() << -1;
    QTest::newRow("encrypt=TRUE") << ";encrypt=TRUE" << verify << "Encrypt=TRUE" << QString() << QString() << -1;
    QTest::newRow("Encrypt=Mandatory") << ";Encrypt=Mandatory" << verify << "Encrypt=Mandatory" << QString()
                                       << QString() << -1;
    QTest::newRow("Use Encryption for Data=True")
        << ";Use Encryption for Data=True" << verify << "Use Encryption for Data=True" << QString() << QString() << -1;
    QTest::newRow("Encrypt=no") << ";Encrypt=no" << off << "Encrypt=no" << QString() << QString() << -1;
    QTest::newRow("Encrypt=false") << ";Encrypt=false" << off << "Encrypt=false" << QString() << QString() << -1;
    QTest::newRow("Encrypt=optional") << ";Encrypt=optional" << off << "Encrypt=optional" << QString() << QString()
                                      << -1;
    QTest::newRow("Use Encryption for Data=False")
        << ";Use Encryption for Data=False" << off << "Use Encryption for Data=False" << QString() << QString() << -1;
    QTest::newRow("TrustServerCertificate=yes") << ";TrustServerCertificate=yes" << trust
                                                << "TrustServerCertificate=yes" << QString() << QString() << -1;
    QTest::newRow("Trust Server Certificate=True with Encrypt")
        << ";Encrypt=yes;Trust Server Certificate=True" << trust << "Trust Server Certificate=True" << QString()
        << QString() << -1;
    QTest::newRow("trust refused leaves the check") << ";Encrypt=yes;TrustServerCertificate=no" << verify
                                                    << "Encrypt=yes" << QString() << QString() << -1;
    QTest::newRow("Encrypt=no wins over trust") << ";Encrypt=no;TrustServerCertificate=yes" << off << "Encrypt=no"
                                                << QString() << QString() << -1;
    QTest::newRow("certificate and host name")
        << ";Encrypt=yes;ServerCertificate='/etc/a b.pem';HostNameInCertificate=db.example" << verify
        << "Encrypt=yes" << "/etc/a b.pem" << "db.example" << -1;
    QTest::newRow("Command Timeout") << ";Command Timeout = 15 " << none << QString() << QString() << QString() << 15;
    QTest::newRow("Command Timeout=0") << ";command timeout=0" << none << QString() << QString() << QString() << 0;
}

void TestConnectionString::linkOptions()
{
    QFETCH(QString, pieces);
    QFETCH(int, encryption);
    QFETCH(QString, keyword);
    QFETCH(QString, certificateFile);
    QFETCH(QString, certificateHost);
    QFETCH(int, timeout);
    const fee::ConnectionTarget t = fee::translateConnectionString(
        QStringLiteral("Provider=SQLOLEDB.1;Password=pw;User ID=sa;Data Source='db1,1444'") + pieces);
    QCOMPARE(int(t.encryption), encryption);
    QCOMPARE(t.encryptionKeyword, keyword);
    QCOMPARE(t.certificateFile, certificateFile);
    QCOMPARE(t.certificateHost, certificateHost);
    QCOMPARE(t.commandTimeout.value_or(-1), timeout);
    QCOMPARE(t.host, QStringLiteral("db1"));
    QCOMPARE(t.port, 1444);
    QCOMPARE(t.odbcLogin, QStringLiteral("UID=sa;PWD=pw;TDS_Version=7.3;ClientCharset=UTF-8"));

    // An ODBC string goes to the driver as given; only the timeout is ours.
    const QString odbc = QStringLiteral("Driver={FreeTDS};Server=h;Encrypt=yes;Command Timeout={7}");
    const fee::ConnectionTarget given = fee::translateConnectionString(odbc);
    QCOMPARE(given.odbc, odbc);
    QCOMPARE(int(given.encryption), int(fee::LinkEncryption::Default));
    QCOMPARE(given.commandTimeout.value_or(-1), 7);
}

QTEST_APPLESS_MAIN(TestConnectionString)
#include "tst_connectionstring.moc"
