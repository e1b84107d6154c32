#include "db/dbconnection.h"
#include "tests/support/tdstestserver.h"

#include "fixture.h"
#include "threadcheck.h"
#include "tests/support/roads.h"

#include <QTemporaryDir>
#include <QtTest>

using fee::DbConnection;
using fee::DbResult;
using fee::Failure;

namespace {

// One row that takes hours for the server to compute.
const QString kEndlessCount = QStringLiteral(
    "With c(x) As (Select 1 Union All Select x + 1 From c Where x < 1000000000000) Select count(*) as n From c");

int failureNumber(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return failure.number();
    }
    return 0;
}

QStringList texts(DbConnection& db, const QString& statement)
{
    QStringList all;
    DbResult r = db.query(statement);
    while (r.next())
        all << r.textOrEmpty(0);
    return all;
}

// What is left once the driver's own report of a cancelled statement is set aside.
QStringList withoutCancelReports(QStringList warnings)
{
    warnings.removeIf([](const QString& w) { return w.contains(QLatin1String("Operation was cancelled")); });
    return warnings;
}

} // namespace

// The SQL Server road (QODBC, unixODBC, FreeTDS, the TDS test server):
// cancelling a statement from another thread, connections on worker threads.
class TestSqlServerThreads : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cancelStopsTheStatementInFlight();
    void cancelBetweenRowsFreesTheLine();
    void cancelStopsABatchMidway();
    void connectionLivesOnAWorkerThread();
    void siblingRunsBesideAStreamingResult();

private:
    QTemporaryDir m_dir;
    fee::testing::TdsTestServer m_server;
    DbConnection m_db;
};

void TestSqlServerThreads::initTestCase()
{
    FEE_REQUIRE_ROAD(fee::testing::TdsTestServer::missingReason());
    QVERIFY(m_dir.isValid());
    const QString db = m_dir.filePath(QStringLiteral("fee.db"));
    QCOMPARE(fixture::createFeeDatabase(db, false), QString());
    QVERIFY2(m_server.start(db, m_dir.path()) > 0, "the test server did not start");
    m_db.open(m_server.oleDbString());
    QCOMPARE(int(m_db.backend()), int(fee::DbBackend::SqlServer));
}

void TestSqlServerThreads::cleanupTestCase() { m_server.stop(); }

void TestSqlServerThreads::init() { m_db.resetCancel(); }

void TestSqlServerThreads::cancelStopsTheStatementInFlight()
{
    int thrown = 0;
    {
        threadcheck::Canceller canceller([&] { m_db.cancel(); }, 500);
        thrown = failureNumber([&] { m_db.query(kEndlessCount); });
    }
    QCOMPARE(thrown, fee::kErrOperationCancelled);
    QVERIFY(m_db.isCancelled());
    QCOMPARE(failureNumber([&] { m_db.query(QStringLiteral("Select 1 as one")); }), fee::kErrOperationCancelled);
    m_db.resetCancel();
    QCOMPARE(texts(m_db, QStringLiteral("Select count(*) as n From WYZJ")), QStringList { QStringLiteral("5") });
}

void TestSqlServerThreads::cancelBetweenRowsFreesTheLine()
{
    DbResult r = m_db.query(QStringLiteral("Select GYD_DH From 设置管理处 Order by GYD_DH"));
    QVERIFY(r.next());
    threadcheck::runOnThread([&] { m_db.cancel(); });
    QCOMPARE(failureNumber([&] { r.next(); }), fee::kErrOperationCancelled);
    m_db.resetCancel();
    QCOMPARE(failureNumber([&] { r.next(); }), fee::kErrOperationCancelled);
    QCOMPARE(texts(m_db, QStringLiteral("Select 姓名 From 员工档案 Where 工号 = '2'")),
        QStringList { QStringLiteral("李四") });
}

// Statements sent together: the cancel reaches the batch while the server
// works on its endless statement (the stand-in answers a batch once it has
// run it whole; SQL Server would have sent the first result set already).
void TestSqlServerThreads::cancelStopsABatchMidway()
{
    int thrown = 0;
    {
        threadcheck::Canceller canceller([&] { m_db.cancel(); }, 500);
        thrown = failureNumber([&] {
            DbResult r = m_db.queryBatch({ QStringLiteral("Select count(*) as n From WYZJ"), kEndlessCount });
            while (r.next()) { }
            r.nextResult();
            r.next();
        });
    }
    QCOMPARE(thrown, fee::kErrOperationCancelled);
    m_db.resetCancel();
    QCOMPARE(texts(m_db, QStringLiteral("Select count(*) as n From 设置管理处")), QStringList { QStringLiteral("3") });
}

// Made, used, cancelled and destroyed on a worker thread, without a word from
// Qt about connections used or removed from another thread.
void TestSqlServerThreads::connectionLivesOnAWorkerThread()
{
    threadcheck::WarningCollector warnings;
    QStringList names;
    int cancelled = 0;
    const QString thrown = threadcheck::runOnThread([&] {
        DbConnection db;
        db.open(m_server.oleDbString());
        names = texts(db, QStringLiteral("Select GYD_Name From 设置管理处 Order by GYD_DH"));
        {
            threadcheck::Canceller canceller([&] { db.cancel(); }, 500);
            cancelled = failureNumber([&] { db.query(kEndlessCount); });
        }
        db.resetCancel();
        names += texts(db, QStringLiteral("Select 姓名 From 员工档案 Where 工号 = '1'"));
    });
    QCOMPARE(thrown, QString());
    QCOMPARE(cancelled, fee::kErrOperationCancelled);
    QCOMPARE(names,
        QStringList(
            { QStringLiteral("一处"), QStringLiteral("二处"), QStringLiteral("Third"), QStringLiteral("张三") }));
    QCOMPARE(withoutCancelReports(warnings.warnings()), QStringList());
}

// The daily report's way: a big result streams on one connection while a
// second connection, opened on another thread, runs its own statements.
void TestSqlServerThreads::siblingRunsBesideAStreamingResult()
{
    threadcheck::WarningCollector warnings;
    DbResult streaming = m_db.query(QStringLiteral("Select GYD_DH From 设置管理处 Order by GYD_DH"));
    QVERIFY(streaming.next());
    QStringList counts;
    const QString thrown = threadcheck::runOnThread([&] {
        std::unique_ptr<DbConnection> sibling = m_db.openSibling();
        counts = texts(*sibling, QStringLiteral("Select count(*) as n From 员工档案"));
        counts += texts(*sibling, QStringLiteral("Select count(*) as n From 设置管理处"));
    });
    QCOMPARE(thrown, QString());
    QCOMPARE(counts, QStringList({ QStringLiteral("6"), QStringLiteral("3") }));
    QStringList rest;
    while (streaming.next())
        rest << streaming.text(0);
    QCOMPARE(rest, QStringList({ QStringLiteral("0101"), QStringLiteral("03  ") }));
    QCOMPARE(warnings.warnings(), QStringList());
}

QTEST_MAIN(TestSqlServerThreads)
#include "tst_sqlserverthreads.moc"
