#include "db/dbconnection.h"
#include "ledgerfixture.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "tests/support/tdstestserver.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace fee;

// The same report through the SQL Server road (QODBC, FreeTDS and the TDS test
// server over the fixture) must give the same texts as the embedded road,
// although the server sums in binary floating point.
class TestMonthlySqlServer : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    testing::TdsTestServer m_server;
    DbConnection m_embedded;
    DbConnection m_server_db;

    static QStringList texts(const GridModel& g)
    {
        QStringList out;
        for (int r = 0; r < g.rows(); ++r) {
            QStringList row;
            for (int c = 0; c < g.cols(); ++c)
                row << g.text(r, c);
            out << row.join(QLatin1Char('|'));
        }
        return out;
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
        const QString missing = testing::TdsTestServer::missingReason();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        QVERIFY(m_dir.isValid());
        const QString db = m_dir.filePath(QStringLiteral("ledger.db"));
        const QString error = createLedgerFixture(db);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        m_embedded.open(fixtureConnectionString(db));
        QVERIFY2(m_server.start(db, m_dir.path()) > 0, "the test server did not start");
        m_server_db.open(m_server.oleDbString());
    }

    void cleanupTestCase() { m_server.stop(); }

    void summaryMatches()
    {
        GridModel embedded;
        GridModel server;
        MonthlyEngine(m_embedded).run(selection(m_embedded), embedded);
        MonthlyEngine(m_server_db).run(selection(m_server_db), server);
        QCOMPARE(embedded.rows(), 8);
        QCOMPARE(texts(server), texts(embedded));
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
            MonthlyEngine(m_embedded).fillDetail(selection(m_embedded), column, office, embedded);
            MonthlyEngine(m_server_db).fillDetail(selection(m_server_db), column, office, server);
            QCOMPARE(texts(server), texts(embedded));
        }
    }
};

QTEST_GUILESS_MAIN(TestMonthlySqlServer)
#include "tst_monthlysqlserver.moc"
