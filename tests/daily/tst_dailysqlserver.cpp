#include "common/grid/gridmodel.h"
#include "dailyfixture.h"
#include "db/dbconnection.h"
#include "reports/daily/dailyengine.h"
#include "reports/daily/dailygrid.h"
#include "reports/daily/dailypayees.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"
#include "tests/support/bothroads.h"

#include <QtTest>

using namespace fee;

// The daily list through the SQL Server road (QODBC, FreeTDS and the TDS test
// server over the fixture) gives the same grid as the embedded road: dates
// that arrive as datetimes, the parking rows' empty invoice date, and the
// exchange marking on a second connection while the main result is open.
class TestDailySqlServer : public QObject {
    Q_OBJECT

    testing::BothRoads m_roads;

    static GridModel runOn(DbConnection& db, int scope, const QString& payee, const QDate& start, const QDate& end)
    {
        DailySelection s;
        s.office = loadOffices(db, dailyOfficeListStatement(), OfficeNames::AsStored).value(0);
        s.start = start;
        s.end = end;
        s.feeCodes = allFeeCodes(loadFeeItemTree(db, FeeTreeQuery::AllByCategory));
        s.paymentMethods = loadPaymentMethods(db);
        s.paymentMethod = QStringLiteral("选择全部");
        s.payee = payee;
        s.scope = static_cast<DailyScope>(scope);
        s.departmentCode = QStringLiteral("D1");
        GridModel grid;
        DailyGrid::layout(grid);
        RunContext run(db);
        DailyEngine(run, s).fill(grid);
        return grid;
    }

private slots:
    void initTestCase()
    {
        const QString missing = testing::TdsTestServer::missingReason();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        const QString error
            = m_roads.open(QStringLiteral("daily.db"), createDailyFixture, dailyFixtureConnectionString);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void cleanupTestCase() { m_roads.stop(); }

    void sameGrid_data()
    {
        QTest::addColumn<int>("scope");
        QTest::addColumn<QString>("payee");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<int>("rows");
        const QString all = QStringLiteral("选择全部");
        const QDate first(2024, 3, 1);
        const QDate last(2024, 3, 31);
        QTest::newRow("scope 0") << 0 << all << first << last << 13;
        QTest::newRow("scope 1") << 1 << all << first << last << 3;
        QTest::newRow("scope 2") << 2 << all << first << last << 12;
        QTest::newRow("payee with an apostrophe") << 0 << QStringLiteral("欧'阳") << first << last << 3;
        QTest::newRow("parking rows alone") << 0 << all << QDate(2024, 3, 15) << QDate(2024, 3, 15) << 4;
        QTest::newRow("invoices alone") << 0 << all << QDate(2024, 3, 5) << QDate(2024, 3, 8) << 7;
        QTest::newRow("empty") << 0 << all << QDate(2025, 1, 1) << QDate(2025, 1, 2) << 1;
    }
    void sameGrid()
    {
        QFETCH(int, scope);
        QFETCH(QString, payee);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(int, rows);
        const GridModel embedded = runOn(m_roads.embedded, scope, payee, start, end);
        const GridModel server = runOn(m_roads.server, scope, payee, start, end);
        QCOMPARE(embedded.rows(), rows);
        QCOMPARE(testing::gridRowTexts(server), testing::gridRowTexts(embedded));
    }

    // The parking fragments' '' invoice date shows empty on this road too.
    void parkingInvoiceDateEmpty()
    {
        const GridModel server
            = runOn(m_roads.server, 0, QStringLiteral("选择全部"), QDate(2024, 3, 1), QDate(2024, 3, 31));
        for (int r = 1; r < server.rows() - 1; ++r) {
            if (server.text(r, DailyGrid::Number) == QStringLiteral("不记录票据信息"))
                QCOMPARE(server.text(r, DailyGrid::InvoiceDate), QString());
            else
                QCOMPARE(server.text(r, DailyGrid::InvoiceDate).size(), 10);
        }
    }

    void payees()
    {
        QCOMPARE(loadDailyPayees(m_roads.server, QStringLiteral("D1")),
            loadDailyPayees(m_roads.embedded, QStringLiteral("D1")));
    }
};

QTEST_GUILESS_MAIN(TestDailySqlServer)
#include "tst_dailysqlserver.moc"
