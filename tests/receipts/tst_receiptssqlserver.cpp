#include "common/grid/gridmodel.h"
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

#include <QtTest>

using namespace fee;

// The same grids through the SQL Server road (QODBC, FreeTDS and the TDS test
// server over the fixture) as on the embedded road.
class TestReceiptsSqlServer : public QObject {
    Q_OBJECT

    testing::BothRoads m_roads;

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

    static GridModel summary(DbConnection& db, int mode)
    {
        GridModel grid;
        LayoutReceiptsGrid(grid);
        RunContext run(db);
        ReceiptsEngine(run, selection(db, mode)).fill(grid);
        return grid;
    }

private slots:
    void initTestCase()
    {
        const QString missing = testing::TdsTestServer::missingReason();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        const QString error
            = m_roads.open(QStringLiteral("receipts.db"), createReceiptsFixture, receiptsFixtureConnection);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void cleanupTestCase() { m_roads.stop(); }

    void summaryMatches_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("不分部门统计") << 0;
        QTest::newRow("按部门统计") << 1;
        QTest::newRow("按管理项目统计") << 2;
    }
    void summaryMatches()
    {
        QFETCH(int, mode);
        const GridModel embedded = summary(m_roads.embedded, mode);
        QVERIFY(embedded.rows() > 8);
        QCOMPARE(testing::gridRowTexts(summary(m_roads.server, mode)), testing::gridRowTexts(embedded));
    }

    void detailsMatch()
    {
        const GridModel grid = summary(m_roads.embedded, 0);
        int lists = 0;
        for (int r = 2; r < grid.rows(); ++r) {
            const QString key = grid.text(r, ReceiptsColumn::kKey);
            if (key.isEmpty())
                continue;
            const QString kind = grid.text(r, ReceiptsColumn::kSummaryKind);
            GridModel embedded;
            GridModel remote;
            RunContext embeddedRun(m_roads.embedded);
            RunContext remoteRun(m_roads.server);
            QVERIFY(ShowReceiptsDetails(embeddedRun, selection(m_roads.embedded, 0), key, kind, embedded));
            QVERIFY(ShowReceiptsDetails(remoteRun, selection(m_roads.server, 0), key, kind, remote));
            QCOMPARE(testing::gridRowTexts(remote), testing::gridRowTexts(embedded));
            ++lists;
        }
        QVERIFY(lists >= 6);
    }
};

QTEST_GUILESS_MAIN(TestReceiptsSqlServer)
#include "tst_receiptssqlserver.moc"
