#include "core/grid/gridmodel.h"
#include "db/dbconnection.h"
#include "receiptsfixture.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsdetails.h"
#include "reports/receipts_summary/receiptsengine.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionlists.h"
#include "tests/support/bothroads.h"
#include "tests/support/roads.h"

#include <QtTest>
#include <sqlite3.h>

using namespace fee;

// The same grids through the SQL Server road (QODBC, FreeTDS and the TDS test
// server over the fixture) as on the embedded road, offices in batches, one
// group at a time or side by side.
class TestReceiptsSqlServer : public QObject {
    Q_OBJECT

    testing::BothRoads m_roads;
    // The fixture without WYZJ.发票号码, which only the cumulative statements name.
    testing::BothRoads m_broken;

    static QString createBrokenFixture(const QString& path)
    {
        const QString error = createReceiptsFixture(path);
        if (!error.isEmpty())
            return error;
        sqlite3* db = nullptr;
        if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
            return QStringLiteral("cannot open ") + path;
        const int dropped = sqlite3_exec(db, "ALTER TABLE WYZJ DROP COLUMN 发票号码", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return dropped == SQLITE_OK ? QString() : QStringLiteral("cannot drop the column");
    }

    static ReceiptsSelection selection(DbConnection& db, int mode)
    {
        ReceiptsSelection s;
        s.offices = loadOffices(db, receiptsOfficeListStatement(), OfficeNames::AsStored);
        s.feeCodes = allFeeCodes(loadFeeItemTree(db, FeeTreeQuery::InUseByCategory));
        s.paymentMethods = loadPaymentMethods(db);
        s.chosenMethod = QString::fromUtf8(kChooseAll);
        s.mode = static_cast<ReceiptsMode>(mode);
        s.departmentCode = QStringLiteral("D1");
        s.receipts = { QDate(2026, 3, 1), QDate(2026, 3, 31) };
        s.monthToDate = DateRange { QDate(2026, 3, 1), QDate(2026, 3, 31) };
        s.yearToDate = DateRange { QDate(2026, 1, 1), QDate(2026, 3, 31) };
        return s;
    }

    static GridModel summary(DbConnection& db, int mode, int connections = 1)
    {
        GridModel grid;
        layoutReceiptsSummaryGrid(grid);
        RunContext run(db);
        run.setParallelism(connections);
        ReceiptsEngine(run, selection(db, mode)).fill(grid);
        return grid;
    }

private slots:
    void initTestCase()
    {
        FEE_REQUIRE_ROAD(testing::TdsTestServer::missingReason());
        QString error = m_roads.open(QStringLiteral("receipts.db"), createReceiptsFixture, receiptsFixtureConnection);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        error = m_broken.open(QStringLiteral("broken.db"), createBrokenFixture, receiptsFixtureConnection);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void cleanupTestCase()
    {
        m_roads.stop();
        m_broken.stop();
    }

    // Office 03 has no money: its statements come back empty or NULL.
    void summaryMatches_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("connections");
        QTest::newRow("不分部门统计") << 0 << 1;
        QTest::newRow("按部门统计") << 1 << 1;
        QTest::newRow("按管理项目统计") << 2 << 1;
        QTest::newRow("不分部门统计, side by side") << 0 << 2;
    }
    void summaryMatches()
    {
        QFETCH(int, mode);
        QFETCH(int, connections);
        const GridModel embedded = summary(m_roads.embedded, mode, connections);
        QVERIFY(embedded.rows() > 8);
        QCOMPARE(testing::gridRowTexts(summary(m_roads.server, mode, connections)), testing::gridRowTexts(embedded));
    }

    // The cumulative statements fail after the summary statements of the
    // group came back: the run ends on both roads with the failure the first
    // cumulative statement gives alone on that road, and the offices before
    // the first one with a figure to ask for are written, the same on both.
    void failingCumulative()
    {
        QStringList grids;
        for (DbConnection* db : { &m_broken.embedded, &m_broken.server }) {
            ReceiptsSelection s = selection(*db, 0);
            Failure alone(0, QString());
            try {
                db->query(receiptsCumulativeStatement(receiptsStatementInput(s, *s.monthToDate), "01", "01")).next();
            } catch (const Failure& failure) {
                alone = failure;
            }
            QVERIFY(alone.number() != 0);
            GridModel grid;
            layoutReceiptsSummaryGrid(grid);
            RunContext run(*db);
            try {
                ReceiptsEngine(run, s).fill(grid);
                QFAIL("no failure");
            } catch (const Failure& failure) {
                QCOMPARE(failure.number(), alone.number());
                QCOMPARE(failure.description(), alone.description());
            }
            grids << testing::gridRowTexts(grid).join(QLatin1Char('\n'));
        }
        QCOMPARE(grids.at(1), grids.at(0));
    }

    void detailsMatch()
    {
        const GridModel grid = summary(m_roads.embedded, 0);
        int lists = 0;
        for (int r = 2; r < grid.rows(); ++r) {
            const RowKey key = grid.rowKey(r);
            if (!hasReceiptsDetail(key))
                continue;
            GridModel embedded;
            GridModel remote;
            RunContext embeddedRun(m_roads.embedded);
            RunContext remoteRun(m_roads.server);
            fillReceiptsDetail(embeddedRun, selection(m_roads.embedded, 0), key, embedded);
            fillReceiptsDetail(remoteRun, selection(m_roads.server, 0), key, remote);
            QCOMPARE(testing::gridRowTexts(remote), testing::gridRowTexts(embedded));
            ++lists;
        }
        QVERIFY(lists >= 6);
    }
};

QTEST_GUILESS_MAIN(TestReceiptsSqlServer)
#include "tst_receiptssqlserver.moc"
