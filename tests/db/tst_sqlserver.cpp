#include "db/dbconnection.h"
#include "tests/support/tdstestserver.h"

#include "fixture.h"
#include "tests/support/roads.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using fee::DbConnection;
using fee::Failure;

namespace {

// Every character that could break an ODBC string, so the login proves the bracing.
const QString kPassword = QStringLiteral("Fee;{Reports}=42");
const QString kNull = QStringLiteral("<NULL>");

QString oleDbString(const QString& password, int port)
{
    return QStringLiteral("Provider=SQLOLEDB.1;Password='%1';Persist Security Info=False;User ID=sa;Initial "
                          "Catalog='wy';Data Source='127.0.0.1,%2'")
        .arg(password)
        .arg(port);
}

} // namespace

// The SQL Server road: QODBC, unixODBC and FreeTDS against the TDS test server.
class TestSqlServer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void statements_data();
    void statements();
    void typedReads();
    void nestedStatements();
    void earlierResultKeepsItsRowsWhenAnotherRuns();
    void statementErrorKeepsTheServerNumber();
    void wrongPasswordFailsWithTheServerMessage();
    void resultsAreForwardOnly();

private:
    QTemporaryDir m_dir;
    fee::testing::TdsTestServer m_server;
    int m_port = 0;
    DbConnection m_db;
};

void TestSqlServer::initTestCase()
{
    FEE_REQUIRE_ROAD(fee::testing::TdsTestServer::missingReason());
    QVERIFY(m_dir.isValid());
    const QString db = m_dir.filePath(QStringLiteral("fee.db"));
    QCOMPARE(fixture::createFeeDatabase(db, false), QString());
    m_port = m_server.start(db, m_dir.path(), kPassword);
    QVERIFY2(m_port > 0, "the test server did not start");
    m_db.open(oleDbString(kPassword, m_port));
    QVERIFY(m_db.isOpen());
    QCOMPARE(int(m_db.backend()), int(fee::DbBackend::SqlServer));
}

void TestSqlServer::cleanupTestCase() { m_server.stop(); }

void TestSqlServer::statements_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("expected");
    auto row = [](const char* name, const char* statement, const char* field, QStringList expected) {
        QTest::newRow(name) << QString::fromUtf8(statement) << QString::fromUtf8(field) << expected;
    };
    row("Chinese names", "Select GYD_Name From 设置管理处 Where GYD_DH = N'0101'", "GYD_Name",
        { QStringLiteral("二处") });
    row("codes stay text", "Select GYD_DH From 设置管理处 Where GYD_Name='二处'", "gyd_dh", { QStringLiteral("0101") });
    row("NULL", "Select 帐号密码 From 员工档案 Where 工号='2'", "帐号密码", { kNull });
    row("T-SQL functions",
        "Select Left(zj_cny,4) + '/' + convert(char(8),ZJ_SKRQ,112) as t From WYZJ Where ZJ_CNY='202402'", "t",
        { QStringLiteral("2024/20240205") });
    row("date read as text",
        "Select zj_skrq From WYZJ Where ZJ_CNY In ('202401','202402') And ZH_ID=100 Order by ZJ_CNY", "zj_skrq",
        { QStringLiteral("2024-01-05"), QStringLiteral("2024-02-05 10:20:30") });
    // Qt's SQL classes would look for ":name" placeholders in a statement;
    // these texts must reach the server as they are.
    row("colons in literals", "Select '10:20:30' + ':x' as t", "t", { QStringLiteral("10:20:30:x") });
    row("colon before a name in a comment", "Select 'a' as t -- at:noon\n", "t", { QStringLiteral("a") });
}

void TestSqlServer::statements()
{
    QFETCH(QString, statement);
    QFETCH(QString, field);
    QFETCH(QStringList, expected);
    QCOMPARE(m_db.adapt(statement), statement);
    QStringList texts;
    fee::DbResult r = m_db.query(statement);
    while (r.next())
        texts << (r.isNull(field) ? kNull : r.textOrEmpty(field));
    QCOMPARE(texts, expected);
}

void TestSqlServer::typedReads()
{
    fee::DbResult r = m_db.query(QStringLiteral("Select 主要岗位, 离岗日期 From 岗位员工new Order by 岗位代号"));
    QVERIFY(r.next());
    QCOMPARE(r.boolean(QStringLiteral("主要岗位")), true);
    QVERIFY(r.isNull(QStringLiteral("离岗日期")));
    QCOMPARE(r.dateTime(QStringLiteral("离岗日期")), QDateTime());
    QVERIFY(r.next());
    QCOMPARE(r.boolean(QStringLiteral("主要岗位")), false);
    QCOMPARE(r.dateTime(QStringLiteral("离岗日期")), QDateTime(QDate(2023, 6, 30), QTime(0, 0)));
    QVERIFY(!r.next());

    fee::DbResult n = m_db.query(QStringLiteral("Select ZJ_JE, 收入 From WYZJ Where ZJ_CNY='202312'"));
    QVERIFY(n.next());
    QCOMPARE(n.number(QStringLiteral("zj_je")), 100.25);
    QCOMPARE(n.number(QStringLiteral("收入")), 90.0);

    fee::DbResult empty = m_db.query(QStringLiteral("Select 帐号密码 From 员工档案 Where 工号='2'"));
    QVERIFY(empty.next());
    try {
        empty.text(QStringLiteral("帐号密码"));
        QFAIL("NULL read without failure");
    } catch (const Failure& failure) {
        QCOMPARE(failure.number(), fee::kErrInvalidNull);
    }
}

void TestSqlServer::nestedStatements()
{
    // The selection lists run a statement per row of another one.
    fee::DbResult outer = m_db.query(QStringLiteral("Select GYD_DH From 设置管理处 Order by GYD_DH"));
    QStringList seen;
    while (outer.next()) {
        const QString code = outer.text(QStringLiteral("GYD_DH"));
        fee::DbResult inner = m_db.query(
            QStringLiteral("Select count(*) as n From 设置管理处 Where GYD_DH='") + code + QLatin1Char('\''));
        QVERIFY(inner.next());
        seen << code + QLatin1Char(':') + inner.text(QStringLiteral("n"));
    }
    QCOMPARE(seen, QStringList({ QStringLiteral("01:1"), QStringLiteral("0101:1"), QStringLiteral("03  :1") }));
}

// One active statement per connection on the server's driver: a result
// still being read takes its current row and the rest into memory when
// another statement runs, and reads on as before.
void TestSqlServer::earlierResultKeepsItsRowsWhenAnotherRuns()
{
    fee::DbResult outer = m_db.query(QStringLiteral("Select GYD_DH, GYD_Name From 设置管理处 Order by GYD_DH"));
    QVERIFY(outer.next());
    QCOMPARE(outer.text(0), QStringLiteral("01"));
    fee::DbResult inner = m_db.query(QStringLiteral("Select 姓名 From 员工档案 Where 工号 = '3'"));
    QCOMPARE(outer.text(QStringLiteral("gyd_name")), QStringLiteral("一处"));
    QVERIFY(inner.next());
    QCOMPARE(inner.text(0), QStringLiteral("王五"));
    QStringList rest;
    while (outer.next())
        rest << outer.text(0) + QLatin1Char('/') + outer.text(1);
    QCOMPARE(rest, QStringList({ QStringLiteral("0101/二处"), QStringLiteral("03  /Third") }));
    QVERIFY(!inner.next());
}

void TestSqlServer::statementErrorKeepsTheServerNumber()
{
    try {
        m_db.query(QStringLiteral("Select * From 不存在的表"));
        QFAIL("accepted");
    } catch (const Failure& failure) {
        QCOMPARE(failure.number(), 208);
        QVERIFY2(
            failure.description().contains(QStringLiteral("Invalid object name")), qPrintable(failure.description()));
    }
    // The connection stays usable.
    QVERIFY(m_db.query(QStringLiteral("Select 1 as one")).next());
}

void TestSqlServer::wrongPasswordFailsWithTheServerMessage()
{
    DbConnection db;
    try {
        db.open(oleDbString(QStringLiteral("wrong"), m_port));
        QFAIL("opened");
    } catch (const Failure& failure) {
        QCOMPARE(failure.number(), 18456);
        QVERIFY2(failure.description().contains(QStringLiteral("Login failed for user 'sa'.")),
            qPrintable(failure.description()));
    }
    QVERIFY(!db.isOpen());
}

void TestSqlServer::resultsAreForwardOnly()
{
    QVERIFY(m_db.query(QStringLiteral("Select GYD_DH as forward_probe From 设置管理处")).next());
    QFile log(m_dir.filePath(QStringLiteral("server.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    // A scrollable result would have made the driver open a server cursor
    // instead of sending the statement once, run at once as a plain batch.
    const auto mentions = [&](const char* what) {
        return std::count_if(lines.cbegin(), lines.cend(),
            [&](const QByteArray& line) { return line.contains("forward_probe") && line.contains(what); });
    };
    QCOMPARE(mentions("batch"), 1);
    QCOMPARE(mentions("sp_prepexec"), 0);
    QCOMPARE(mentions("sp_cursor"), 0);
}

QTEST_MAIN(TestSqlServer)
#include "tst_sqlserver.moc"
