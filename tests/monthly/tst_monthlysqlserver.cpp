#include "db/dbconnection.h"
#include "ledgerfixture.h"
#include "monthlyrun.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/monthly/monthlystatements.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"
#include "tests/support/bothroads.h"
#include "tests/support/roads.h"

#include <sqlite3.h>

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <QtTest>

using namespace fee;

// The same report through the SQL Server road (QODBC, FreeTDS and the TDS test
// server over the fixture) must give the same texts as the embedded road,
// although the server sums in binary floating point, an office's statements
// travel as one batch, and offices run side by side.
class TestMonthlySqlServer : public QObject {
    Q_OBJECT

    testing::BothRoads m_roads;
    // The fixture without 车位申请登记表.车主姓名: of an office's statements
    // only the vacancy's names it, in the middle of the office's batch.
    testing::BothRoads m_broken;

    static QString createBrokenFixture(const QString& path)
    {
        const QString error = createLedgerFixture(path);
        if (!error.isEmpty())
            return error;
        sqlite3* db = nullptr;
        if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
            return QStringLiteral("cannot open ") + path;
        const int dropped = sqlite3_exec(db, "ALTER TABLE 车位申请登记表 DROP COLUMN 车主姓名", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return dropped == SQLITE_OK ? QString() : QStringLiteral("cannot drop the column");
    }

    static Failure failureOf(const std::function<void()>& call)
    {
        try {
            call();
        } catch (const Failure& failure) {
            return failure;
        }
        return Failure(0, QString());
    }

    MonthlySelection selection(DbConnection& db) const
    {
        MonthlySelection s;
        s.offices = loadOffices(db, monthlyOfficeListStatement(false), OfficeNames::OnOneLine);
        s.feeCodes = allFeeCodes(loadFeeItemTree(db, FeeTreeQuery::AllItems));
        s.statisticsDate = QDate(2020, 3, 15);
        s.reportYear = QStringLiteral("2020");
        return s;
    }

private slots:
    void initTestCase()
    {
        FEE_REQUIRE_ROAD(testing::TdsTestServer::missingReason());
        QString error = m_roads.open(QStringLiteral("ledger.db"), createLedgerFixture, fixtureConnectionString);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        error = m_broken.open(QStringLiteral("broken.db"), createBrokenFixture, fixtureConnectionString);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void cleanupTestCase()
    {
        m_roads.stop();
        m_broken.stop();
    }

    // Office 03 has no ledger rows: every sum of its batch is NULL.
    void summaryMatches_data()
    {
        QTest::addColumn<int>("connections");
        QTest::newRow("one office at a time") << 1;
        QTest::newRow("side by side") << 3;
    }
    void summaryMatches()
    {
        QFETCH(int, connections);
        GridModel embedded;
        GridModel server;
        RunContext embeddedRun(m_roads.embedded);
        RunContext serverRun(m_roads.server);
        embeddedRun.setParallelism(connections);
        serverRun.setParallelism(connections);
        MonthlyEngine(embeddedRun, selection(m_roads.embedded)).fill(embedded);
        MonthlyEngine(serverRun, selection(m_roads.server)).fill(server);
        QCOMPARE(embedded.rows(), 8);
        QCOMPARE(testing::gridRowTexts(server), testing::gridRowTexts(embedded));
    }

    // A statement failing in the middle of the first office's batch ends the
    // run on both roads with that statement's own failure on the road, and
    // leaves the same grid: headings and the office's serial number and name.
    void failingStatementInTheMiddle()
    {
        for (DbConnection* db : { &m_broken.embedded, &m_broken.server }) {
            const MonthlySelection s = selection(*db);
            const QVector<MeasureStatement> vacancy = summingStatements(
                23, { s.offices.first().code, s.feeCodes, s.statisticsDate, s.reportYear });
            const Failure alone = failureOf([&] { db->query(vacancy.first().statement).next(); });
            QVERIFY(alone.number() != 0);
            GridModel grid;
            const Failure inRun = failureOf([&] { runMonthly(*db, s, grid); });
            QCOMPARE(inRun.number(), alone.number());
            QCOMPARE(inRun.description(), alone.description());
            QCOMPARE(grid.rows(), 3);
            QCOMPARE(grid.text(2, 0), QStringLiteral("1"));
            QCOMPARE(grid.text(2, 1), s.offices.first().name);
            QCOMPARE(grid.text(2, 2), QString());
        }
    }

    void detailsMatch_data()
    {
        QTest::addColumn<int>("column");
        for (int c : { 2, 3, 4, 8, 11, 22, 23, 27, 29, 33, 34 })
            QTest::newRow(qPrintable(QString::number(c))) << c;
    }
    void detailsMatch()
    {
        QFETCH(int, column);
        for (const QString& office : { QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("07") }) {
            GridModel embedded;
            GridModel server;
            monthlyDetail(m_roads.embedded, selection(m_roads.embedded), column, office, embedded);
            monthlyDetail(m_roads.server, selection(m_roads.server), column, office, server);
            QCOMPARE(testing::gridRowTexts(server), testing::gridRowTexts(embedded));
        }
    }
};

QTEST_GUILESS_MAIN(TestMonthlySqlServer)
#include "tst_monthlysqlserver.moc"
