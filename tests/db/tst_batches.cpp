#include "db/dbconnection.h"
#include "tests/support/bothroads.h"
#include "tests/support/requestlog.h"

#include "fixture.h"
#include "tests/support/roads.h"

#include <QtTest>

using fee::DbConnection;
using fee::DbResult;
using fee::Failure;

namespace {

const QString kNull = QStringLiteral("<NULL>");

QString createFixture(const QString& path) { return fixture::createFeeDatabase(path, false); }
QString embeddedString(const QString& path) { return QStringLiteral("Provider=SQLite;Data Source=") + path; }

// The rest of the current result set: every row as its cells joined by '|'.
QStringList rowsOf(DbResult& r)
{
    QStringList rows;
    while (r.next()) {
        QStringList cells;
        for (int i = 0; i < r.fieldCount(); ++i)
            cells << (r.isNull(i) ? kNull : r.textOrEmpty(i));
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

// The failure a call throws; number 0 when it throws none.
Failure failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return failure;
    }
    return Failure(0, QString());
}

const QStringList kThree {
    QStringLiteral("Select GYD_DH, GYD_Name From 设置管理处 Order by GYD_DH"),
    QStringLiteral("Select 姓名 as nobody From 员工档案 Where 工号 = 'none'"),
    QStringLiteral("Select 帐号密码, 姓名 From 员工档案 Where 工号 = '2'"),
};

} // namespace

// Statements sent together (DbConnection::queryBatch) on both roads: the
// embedded file and the same file through the SQL Server stand-in, where a
// batch is one request.
class TestBatches : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void resultSetsComeInOrder_data() { roads(); }
    void resultSetsComeInOrder();
    void unreadRowsAreSkipped_data() { roads(); }
    void unreadRowsAreSkipped();
    void failingStatementInTheMiddle_data() { roads(); }
    void failingStatementInTheMiddle();
    void failingFirstStatement_data() { roads(); }
    void failingFirstStatement();
    void anotherStatementWhileABatchIsRead_data() { roads(); }
    void anotherStatementWhileABatchIsRead();
    void oneRequestEach();

private:
    void roads();
    DbConnection& road();

    fee::testing::BothRoads m_roads;
};

void TestBatches::initTestCase()
{
    FEE_REQUIRE_ROAD(fee::testing::TdsTestServer::missingReason());
    const QString error = m_roads.open(QStringLiteral("fee.db"), &createFixture, &embeddedString);
    QVERIFY2(error.isEmpty(), qPrintable(error));
}

void TestBatches::cleanupTestCase() { m_roads.stop(); }

void TestBatches::init()
{
    m_roads.embedded.resetCancel();
    m_roads.server.resetCancel();
}

void TestBatches::roads()
{
    QTest::addColumn<bool>("server");
    QTest::newRow("embedded") << false;
    QTest::newRow("SQL Server") << true;
}

DbConnection& TestBatches::road()
{
    QFETCH(bool, server);
    return server ? m_roads.server : m_roads.embedded;
}

void TestBatches::resultSetsComeInOrder()
{
    DbResult r = road().queryBatch(kThree);
    QCOMPARE(r.fieldCount(), 2);
    QCOMPARE(rowsOf(r), QStringList({ "01|一处", "0101|二处", "03  |Third" }));
    QVERIFY(r.nextResult());
    // An empty result set keeps its own fields.
    QCOMPARE(r.fieldName(0), QStringLiteral("nobody"));
    QCOMPARE(rowsOf(r), QStringList());
    QVERIFY(r.nextResult());
    QCOMPARE(r.indexOf(QStringLiteral("姓名")), 1);
    QCOMPARE(rowsOf(r), QStringList({ kNull + QStringLiteral("|李四") }));
    QVERIFY(!r.nextResult());
    QVERIFY(!r.next());
    // The connection is free again.
    DbResult one = road().query(QStringLiteral("Select 1 as one"));
    QCOMPARE(rowsOf(one), QStringList({ "1" }));
}

void TestBatches::unreadRowsAreSkipped()
{
    DbResult r = road().queryBatch(kThree);
    QVERIFY(r.next());
    QCOMPARE(r.text(0), QStringLiteral("01"));
    QVERIFY(r.nextResult());
    QVERIFY(r.nextResult());
    QCOMPARE(rowsOf(r), QStringList({ kNull + QStringLiteral("|李四") }));
    // Leaving a batch half read frees the connection as well.
    // One-row results, each read up to its row but not past it (as a sum is read).
    DbResult sums = road().queryBatch({ QStringLiteral("Select count(*) as a From WYZJ"),
        QStringLiteral("Select count(*) as b From 员工档案"), QStringLiteral("Select count(*) as c From 设置管理处") });
    QStringList seen;
    do {
        QVERIFY(sums.next());
        seen << sums.fieldName(0) + QLatin1Char('=') + sums.text(0);
    } while (sums.nextResult());
    QCOMPARE(seen, QStringList({ "a=5", "b=6", "c=3" }));
    {
        DbResult again = road().queryBatch(kThree);
        QVERIFY(again.next());
    }
    DbResult two = road().query(QStringLiteral("Select 2 as two"));
    QCOMPARE(rowsOf(two), QStringList({ "2" }));
}

// The batch fails where its failing statement stands, with the number and the
// message that statement gives when it runs alone; the result sets before it
// are read in full.
void TestBatches::failingStatementInTheMiddle()
{
    const QString bad = QStringLiteral("Select nothing From 不存在的表");
    const Failure alone = failureOf([&] { road().query(bad); });
    QVERIFY(alone.number() != 0);

    DbResult r = road().queryBatch({ kThree.at(0), bad, kThree.at(2) });
    QCOMPARE(rowsOf(r), QStringList({ "01|一处", "0101|二处", "03  |Third" }));
    const Failure inBatch = failureOf([&] { r.nextResult(); });
    QCOMPARE(inBatch.number(), alone.number());
    QCOMPARE(inBatch.description(), alone.description());
    // The result stays failed.
    QCOMPARE(failureOf([&] { r.nextResult(); }).number(), alone.number());
    QCOMPARE(failureOf([&] { r.next(); }).number(), alone.number());
    DbResult after = road().query(QStringLiteral("Select 1 as one"));
    QCOMPARE(rowsOf(after), QStringList({ "1" }));
}

void TestBatches::failingFirstStatement()
{
    const QString bad = QStringLiteral("Select nothing From 不存在的表");
    const Failure alone = failureOf([&] { road().query(bad); });
    const Failure inBatch = failureOf([&] { road().queryBatch({ bad, kThree.at(0) }); });
    QCOMPARE(inBatch.number(), alone.number());
    QCOMPARE(inBatch.description(), alone.description());
}

// SQL Server's driver runs one statement per connection at a time: a batch
// still being read takes the rest of its result sets into memory, its
// failure included, and reads on as before.
void TestBatches::anotherStatementWhileABatchIsRead()
{
    const QString bad = QStringLiteral("Select nothing From 不存在的表");
    const Failure alone = failureOf([&] { road().query(bad); });
    DbResult r = road().queryBatch({ kThree.at(0), kThree.at(2), bad });
    QVERIFY(r.next());
    DbResult other = road().query(QStringLiteral("Select 姓名 From 员工档案 Where 工号 = '3'"));
    QCOMPARE(rowsOf(other), QStringList({ "王五" }));
    QCOMPARE(r.text(1), QStringLiteral("一处"));
    QCOMPARE(rowsOf(r), QStringList({ "0101|二处", "03  |Third" }));
    QVERIFY(r.nextResult());
    QCOMPARE(rowsOf(r), QStringList({ kNull + QStringLiteral("|李四") }));
    QCOMPARE(failureOf([&] { r.nextResult(); }).description(), alone.description());
}

// One request for a statement and one for a batch: no preparing, no
// unpreparing, no server cursor.
void TestBatches::oneRequestEach()
{
    fee::testing::RequestLog log(m_roads.serverLog());
    DbResult single = m_roads.server.query(QStringLiteral("Select count(*) as n From WYZJ"));
    QCOMPARE(rowsOf(single), QStringList({ "5" }));
    QCOMPARE(log.count(), 1);
    DbResult batch = m_roads.server.queryBatch(kThree);
    while (batch.nextResult()) { }
    QCOMPARE(log.count(), 2);
    QCOMPARE(log.count(QStringLiteral("RPC")), 0);
}

QTEST_MAIN(TestBatches)
#include "tst_batches.moc"
