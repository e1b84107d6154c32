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

QTEST_APPLESS_MAIN(TestConnectionString)
#include "tst_connectionstring.moc"
