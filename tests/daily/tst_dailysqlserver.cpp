#include "core/grid/gridmodel.h"
#include "dailyfixture.h"
#include "db/dbconnection.h"
#include "reports/daily/dailyengine.h"
#include "reports/daily/dailygrid.h"
#include "reports/daily/dailypayees.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"
#include "tests/support/bothroads.h"
#include "tests/support/requestlog.h"
#include "tests/support/roads.h"

#include <QtTest>

using namespace fee;

// The daily list through the SQL Server road (QODBC, FreeTDS and the TDS test
// server over the fixture) gives the same grid as the embedded road: dates
// that arrive as datetimes, the parking rows' empty invoice date, and the
// exchange marking on a second connection while the main result is open, a
// hundred invoice numbers a statement.
class TestDailySqlServer : public QObject {
    Q_OBJECT

    testing::BothRoads m_roads;

    static QString createFixture(const QString& path)
    {
        const QString error = createDailyFixture(path);
        return error.isEmpty() ? addDailyExchangeRows(path) : error;
    }

    // The lists are loaded first; `log`, when given, counts from the run on.
    static GridModel runOn(DbConnection& db, int scope, const QString& payee, const QDate& start, const QDate& end,
        testing::RequestLog* log = nullptr)
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
        if (log)
            log->restart();
        RunContext run(db);
        DailyEngine(run, s).fill(grid);
        return grid;
    }

private slots:
    void initTestCase()
    {
        FEE_REQUIRE_ROAD(testing::TdsTestServer::missingReason());
        const QString error
            = m_roads.open(QStringLiteral("daily.db"), createFixture, dailyFixtureConnectionString);
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

    // A pre-issued invoice is looked up on its own number, without the
    // "(预开收款)" it shows: its replacement's number stands in column 17.
    void replacedPreIssuedInvoice()
    {
        for (DbConnection* db : { &m_roads.embedded, &m_roads.server }) {
            const GridModel grid = runOn(*db, 0, QStringLiteral("选择全部"), QDate(2024, 3, 8), QDate(2024, 3, 8));
            QCOMPARE(grid.text(1, DailyGrid::Number), QStringLiteral("N007(预开收款)"));
            QCOMPARE(grid.text(1, DailyGrid::ExchangeNumbers), QStringLiteral("N008 "));
        }
    }

    // 250 invoices to mark: three statements of at most a hundred numbers,
    // the first two on a second connection while the list still streams,
    // the last on the run's own once the list is read. Every row gets its
    // replacements in their order, an invoice of two lines on both rows.
    void exchangeMarkingInBulk()
    {
        const GridModel embedded
            = runOn(m_roads.embedded, 0, QStringLiteral("选择全部"), QDate(2024, 8, 1), QDate(2024, 8, 31));
        testing::RequestLog log(m_roads.serverLog());
        const GridModel server
            = runOn(m_roads.server, 0, QStringLiteral("选择全部"), QDate(2024, 8, 1), QDate(2024, 8, 31), &log);
        const QStringList requests = log.requests();
        // The list itself, the second connection's set-up, three markings.
        QCOMPARE(requests.size(), 5);
        QCOMPARE(log.count(QStringLiteral("被换票票据编号 = 'X")), 3);
        QCOMPARE(testing::gridRowTexts(server), testing::gridRowTexts(embedded));

        int rows = 0;
        for (int r = 1; r < embedded.rows() - 1; ++r) {
            QString number = embedded.text(r, DailyGrid::Number);
            if (!number.startsWith(QLatin1Char('X')))
                continue;
            ++rows;
            const int i = number.mid(1, 3).toInt();
            QCOMPARE(number, dailyExchangeNumber(i) + (i % 7 == 0 ? QStringLiteral("(预开收款)") : QString()));
            QCOMPARE(embedded.text(r, DailyGrid::ExchangeNumbers), dailyExchangeReplacements(i));
        }
        QCOMPARE(rows, kDailyExchangedInvoices + kDailyExchangedInvoices / 10);
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
