#include "db/dbconnection.h"
#include "db/dberror.h"
#include "db/resultcursor.h"
#include "db/resultsource.h"
#include "tests/support/tdstestserver.h"

#include "fixture.h"
#include "tests/support/roads.h"

#include <QTemporaryDir>
#include <QtTest>

using fee::Failure;

namespace {

// A batch's results as a driver gives them when the server ends the batch
// early: it expects a result set per statement sent, and finds out at the
// move to the next one that none is left.
class EndingSource : public fee::ResultSource {
public:
    EndingSource(QList<QList<int>> sets, qsizetype statements)
        : m_sets(std::move(sets))
        , m_statements(statements)
    {
    }

    QStringList fieldNames() const override { return { QStringLiteral("n") }; }
    bool fetch() override { return ++m_row < m_sets.at(m_set).size(); }
    bool isNull(int) const override { return false; }
    QVariant value(int) const override { return m_sets.at(m_set).at(m_row); }
    bool hasMoreResultSets() const override { return m_set + 1 < m_statements; }
    bool nextResultSet() override
    {
        if (!hasMoreResultSets() || m_set + 1 >= m_sets.size()) {
            m_statements = m_set + 1;
            return false;
        }
        ++m_set;
        m_row = -1;
        return true;
    }

private:
    QList<QList<int>> m_sets;
    qsizetype m_statements;
    qsizetype m_set = 0;
    qsizetype m_row = -1;
};

Failure failureOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return failure;
    }
    return Failure(0, QString());
}

const QStringList kStatements { QStringLiteral("Select 1 as n"), QStringLiteral("Select 2 as n"),
    QStringLiteral("Select sum(ZJ_JE) as n From WYZJ Where ZH_ID = 100") };

} // namespace

// A batch whose server gives fewer result sets than it was sent statements
// fails at the move to the first missing one, naming it: read as empty
// results, its figures would show as zeros. A batch read to its end, and a
// move past its last statement, stay as they were.
class TestShortBatch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void endingEarlyFails_data();
    void endingEarlyFails();
    void wholeBatchStillEnds();
    void serverEndingEarlyFails();

private:
    QTemporaryDir m_dir;
    fee::testing::TdsTestServer m_server;
};

void TestShortBatch::initTestCase()
{
    QVERIFY(m_dir.isValid());
    FEE_REQUIRE_ROAD(fee::testing::TdsTestServer::missingReason());
    const QString db = m_dir.filePath(QStringLiteral("fee.db"));
    QCOMPARE(fixture::createFeeDatabase(db, false), QString());
    QVERIFY2(m_server.start(db, m_dir.path()) > 0, "the test server did not start");
}

void TestShortBatch::cleanupTestCase() { m_server.stop(); }

void TestShortBatch::endingEarlyFails_data()
{
    QTest::addColumn<bool>("buffered"); // read into memory first, as when the line is needed
    QTest::newRow("streaming") << false;
    QTest::newRow("read into memory") << true;
}

void TestShortBatch::endingEarlyFails()
{
    QFETCH(bool, buffered);
    fee::ResultCursor cursor(std::make_unique<EndingSource>(QList<QList<int>> { { 7 }, { 8, 9 } }, 3), nullptr,
        nullptr, kStatements);
    if (buffered)
        cursor.bufferRest();
    QVERIFY(cursor.next());
    QCOMPARE(cursor.row().value(0).toInt(), 7);
    QVERIFY(cursor.nextResult());
    QVERIFY(cursor.next());
    QVERIFY(cursor.next());
    QVERIFY(!cursor.next());
    const Failure missing = failureOf([&] { cursor.nextResult(); });
    QCOMPARE(missing.number(), fee::kErrShortBatch);
    QCOMPARE(missing.description(),
        QStringLiteral("the server ended the batch early: statement 3 of 3 gave no result: "
                       "Select sum(ZJ_JE) as n From WYZJ Where ZH_ID = 100"));
    // It stays failed: no later step reads the missing figures as empty.
    QCOMPARE(failureOf([&] { cursor.nextResult(); }).description(), missing.description());
    QCOMPARE(failureOf([&] { cursor.next(); }).description(), missing.description());
}

void TestShortBatch::wholeBatchStillEnds()
{
    fee::ResultCursor cursor(
        std::make_unique<EndingSource>(QList<QList<int>> { { 1 }, { 2 }, { 3 } }, 3), nullptr, nullptr, kStatements);
    int sum = 0;
    do {
        while (cursor.next())
            sum += cursor.row().value(0).toInt();
    } while (cursor.nextResult());
    QCOMPARE(sum, 6);
    QVERIFY(!cursor.nextResult());
}

// On the SQL Server road: a statement that gives no result set at the end of
// the batch (the driver passes over results without columns).
void TestShortBatch::serverEndingEarlyFails()
{
    fee::DbConnection db;
    db.open(m_server.oleDbString());
    fee::DbResult r = db.queryBatch({ QStringLiteral("Select count(*) as n From WYZJ"), QStringLiteral("Set NoCount On") });
    QVERIFY(r.next());
    QCOMPARE(r.text(0), QStringLiteral("5"));
    const Failure missing = failureOf([&] { r.nextResult(); });
    QCOMPARE(missing.number(), fee::kErrShortBatch);
    QCOMPARE(missing.description(),
        QStringLiteral("the server ended the batch early: statement 2 of 2 gave no result: Set NoCount On"));
    // The connection goes on.
    fee::DbResult after = db.query(QStringLiteral("Select count(*) as n From WYZJ"));
    QVERIFY(after.next());
    QCOMPARE(after.text(0), QStringLiteral("5"));
}

QTEST_GUILESS_MAIN(TestShortBatch)
#include "tst_shortbatch.moc"
