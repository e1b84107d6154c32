#include "db/dbconnection.h"
#include "ledgerfixture.h"
#include "monthlyrun.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "tests/support/bothroads.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <QtTest>

using namespace fee;

// The same report through the SQL Server road (QODBC, FreeTDS and the TDS test
// server over the fixture) must give the same texts as the embedded road,
// although the server sums in binary floating point.
class TestMonthlySqlServer : public QObject {
    Q_OBJECT

    testing::BothRoads m_roads;

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
        const QString missing = testing::TdsTestServer::missingReason();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        const QString error = m_roads.open(QStringLiteral("ledger.db"), createLedgerFixture, fixtureConnectionString);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void cleanupTestCase() { m_roads.stop(); }

    void summaryMatches()
    {
        GridModel embedded;
        GridModel server;
        runMonthly(m_roads.embedded, selection(m_roads.embedded), embedded);
        runMonthly(m_roads.server, selection(m_roads.server), server);
        QCOMPARE(embedded.rows(), 8);
        QCOMPARE(testing::gridRowTexts(server), testing::gridRowTexts(embedded));
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
