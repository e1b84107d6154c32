#include "db/dbconnection.h"

#include "fixture.h"
#include "threadcheck.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

using fee::DbConnection;
using fee::DbResult;
using fee::Failure;

namespace {

// Numbers 1, 2, 3, ... computed as they are asked for: the first row comes at
// once, the last would take hours.
const QString kEndless
    = QStringLiteral("With c(x) As (Select 1 Union All Select x + 1 From c Where x < 1000000000000) Select x From c");
// One row that takes hours to compute.
const QString kEndlessCount = QStringLiteral(
    "With c(x) As (Select 1 Union All Select x + 1 From c Where x < 1000000000000) Select count(*) as n From c");
// The first row at once, the second after hours.
const QString kEndlessSecondRow = kEndless + QStringLiteral(" Where x = 1 Or x = 1000000000000");

QStringList texts(DbConnection& db, const QString& statement)
{
    QStringList all;
    DbResult r = db.query(statement);
    while (r.next())
        all << r.textOrEmpty(0);
    return all;
}

int failureNumber(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return failure.number();
    }
    return 0;
}

} // namespace

// Results of the embedded database: read a row at a time through SQLite's own
// interface, cancelled mid-statement, used on worker threads.
class TestSqliteStreaming : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void resultsStreamSideBySide();
    void fieldsByNameAndIndex_data();
    void fieldsByNameAndIndex();
    void readsNeedACurrentRow();
    void cancelStopsTheStatementInFlight_data();
    void cancelStopsTheStatementInFlight();
    void cancelEndsTheResultsThenOpen();
    void connectionLivesOnAWorkerThread();
    void siblingOpensOnTheCallingThread();
    void closingTheConnectionClosesItsResults();

private:
    QTemporaryDir m_dir;
    QString m_text;
    DbConnection m_db;
};

void TestSqliteStreaming::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("fee.db"));
    QCOMPARE(fixture::createFeeDatabase(path), QString());
    m_text = QStringLiteral("Provider=SQLite;Data Source=") + path;
    m_db.open(m_text);
}

void TestSqliteStreaming::init() { m_db.resetCancel(); }

void TestSqliteStreaming::resultsStreamSideBySide()
{
    // An endless statement can only be read a row at a time.
    DbResult endless = m_db.query(kEndless);
    DbResult names = m_db.query(QStringLiteral("Select 姓名 From 员工档案 Order by 工号"));
    QStringList seen;
    while (names.next()) {
        QVERIFY(endless.next());
        seen << endless.text(0) + QLatin1Char(':') + names.text(0);
    }
    QCOMPARE(seen,
        QStringList({ QStringLiteral("1:张三"), QStringLiteral("2:李四"), QStringLiteral("3:王五"),
            QStringLiteral("4:abc"), QStringLiteral("5:ABD"), QStringLiteral("6:abc  ") }));
}

void TestSqliteStreaming::fieldsByNameAndIndex_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::newRow("as written") << QStringLiteral("Alpha") << 0;
    QTest::newRow("the first of two equal but for case") << QStringLiteral("alpha") << 0;
    QTest::newRow("other case") << QStringLiteral("ALPHA") << 0;
    QTest::newRow("Chinese") << QStringLiteral("名称") << 2;
    QTest::newRow("last") << QStringLiteral("bETA") << 3;
    QTest::newRow("missing") << QStringLiteral("gamma") << -1;
}

void TestSqliteStreaming::fieldsByNameAndIndex()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    DbResult r = m_db.query(QStringLiteral("Select 'a' as Alpha, 'b' as alpha, '名' as 名称, 4.5 as Beta"));
    QCOMPARE(r.fieldCount(), 4);
    QVERIFY(r.next());
    QCOMPARE(r.hasField(name), index >= 0);
    if (index < 0) {
        QCOMPARE(failureNumber([&] { r.indexOf(name); }), 3265);
        QCOMPARE(failureNumber([&] { r.textOrEmpty(name); }), 3265);
        return;
    }
    QCOMPARE(r.indexOf(name), index);
    QCOMPARE(r.textOrEmpty(name), r.textOrEmpty(index));
    QCOMPARE(r.value(name), r.value(index));
}

void TestSqliteStreaming::readsNeedACurrentRow()
{
    DbResult r = m_db.query(QStringLiteral("Select GYD_DH From 设置管理处 Where GYD_DH = '01'"));
    QCOMPARE(failureNumber([&] { r.text(0); }), 3021);
    QVERIFY(r.next());
    QCOMPARE(r.text(0), QStringLiteral("01"));
    QCOMPARE(failureNumber([&] { r.text(1); }), 3265);
    QVERIFY(!r.next());
    QCOMPARE(failureNumber([&] { r.text(0); }), 3021);
    QVERIFY(!r.next());
    DbResult none;
    QVERIFY(!none.next());
    QCOMPARE(none.fieldCount(), 0);
}

void TestSqliteStreaming::cancelStopsTheStatementInFlight_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<int>("rowsBefore");
    QTest::newRow("while the statement runs") << kEndlessCount << 0;
    QTest::newRow("while the next row is computed") << kEndlessSecondRow << 1;
}

void TestSqliteStreaming::cancelStopsTheStatementInFlight()
{
    QFETCH(QString, statement);
    QFETCH(int, rowsBefore);
    int rows = 0;
    int thrown = 0;
    {
        threadcheck::Canceller canceller([&] { m_db.cancel(); }, 300);
        try {
            DbResult r = m_db.query(statement);
            while (r.next())
                ++rows;
        } catch (const Failure& failure) {
            thrown = failure.number();
        }
    }
    QCOMPARE(thrown, fee::kErrOperationCancelled);
    QCOMPARE(rows, rowsBefore);
    QVERIFY(m_db.isCancelled());
    QCOMPARE(failureNumber([&] { m_db.query(QStringLiteral("Select 1 as one")); }), fee::kErrOperationCancelled);
    m_db.resetCancel();
    QVERIFY(!m_db.isCancelled());
    QCOMPARE(texts(m_db, QStringLiteral("Select count(*) as n From WYZJ")), QStringList { QStringLiteral("5") });
}

// A cancel ends every result open at the time, also those that were not
// being stepped; once reset, the connection runs new statements normally.
void TestSqliteStreaming::cancelEndsTheResultsThenOpen()
{
    DbResult reading = m_db.query(kEndless);
    QVERIFY(reading.next());
    DbResult waiting = m_db.query(kEndless);
    threadcheck::runOnThread([&] { m_db.cancel(); });
    QCOMPARE(failureNumber([&] { reading.next(); }), fee::kErrOperationCancelled);
    QCOMPARE(failureNumber([&] { m_db.query(QStringLiteral("Select 1 as one")); }), fee::kErrOperationCancelled);
    m_db.resetCancel();
    // `waiting` still holds its statement here: the interrupt SQLite keeps
    // pending for it must not reach the new statement.
    QCOMPARE(texts(m_db, QStringLiteral("Select GYD_DH From 设置管理处 Order by GYD_DH")),
        QStringList({ QStringLiteral("01"), QStringLiteral("0101"), QStringLiteral("03  ") }));
    QCOMPARE(failureNumber([&] { reading.next(); }), fee::kErrOperationCancelled);
    QCOMPARE(failureNumber([&] { waiting.next(); }), fee::kErrOperationCancelled);
}

void TestSqliteStreaming::connectionLivesOnAWorkerThread()
{
    threadcheck::WarningCollector warnings;
    QStringList names;
    int cancelled = 0;
    const QString thrown = threadcheck::runOnThread([&] {
        DbConnection db;
        db.open(m_text);
        names = texts(db, QStringLiteral("Select GYD_Name From 设置管理处 Order by GYD_DH"));
        threadcheck::Canceller canceller([&] { db.cancel(); }, 300);
        cancelled = failureNumber([&] { db.query(kEndlessCount); });
    });
    QCOMPARE(thrown, QString());
    QCOMPARE(names, QStringList({ QStringLiteral("一处"), QStringLiteral("二处"), QStringLiteral("Third") }));
    QCOMPARE(cancelled, fee::kErrOperationCancelled);
    QCOMPARE(warnings.warnings(), QStringList());
}

void TestSqliteStreaming::siblingOpensOnTheCallingThread()
{
    threadcheck::WarningCollector warnings;
    DbResult streaming = m_db.query(kEndless);
    QVERIFY(streaming.next());
    QStringList counts;
    const QString thrown = threadcheck::runOnThread([&] {
        std::unique_ptr<DbConnection> sibling = m_db.openSibling();
        counts = texts(*sibling, QStringLiteral("Select count(*) as n From 员工档案"));
    });
    QCOMPARE(thrown, QString());
    QCOMPARE(counts, QStringList { QStringLiteral("6") });
    QVERIFY(streaming.next());
    QCOMPARE(streaming.text(0), QStringLiteral("2"));
    QCOMPARE(warnings.warnings(), QStringList());
}

void TestSqliteStreaming::closingTheConnectionClosesItsResults()
{
    auto db = std::make_unique<DbConnection>();
    db->open(m_text);
    DbResult r = db->query(kEndless);
    QVERIFY(r.next());
    db.reset();
    QVERIFY(failureNumber([&] { r.next(); }) != 0);
    QCOMPARE(failureNumber([&] { r.text(0); }), 3021);
}

QTEST_MAIN(TestSqliteStreaming)
#include "tst_sqlitestreaming.moc"
