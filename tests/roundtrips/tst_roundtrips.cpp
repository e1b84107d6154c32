#include "db/dbconnection.h"
#include "reports/shared/officelist.h"
#include "tests/support/clirun.h"
#include "tests/support/requestlog.h"
#include "tests/support/tdstestserver.h"
#include "tests/support/roads.h"

#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtTest>

using namespace fee;

// How many requests each report's command sends to SQL Server over a whole
// run (each request is a round trip over the link), counted in the stand-in's
// log on a small demo database of 17 offices (more than a run's connections):
// statements of an office travel together and nothing is prepared or
// unprepared. The same CSV comes out of the embedded road. Counts, not times:
// the times are the benchmark's (bench/roundtrips).
class TestRoundTrips : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;
    testing::TdsTestServer m_server;

    QString embedded() const { return QStringLiteral("Provider=SQLite;Data Source=") + m_db; }

    // The CSV's rows without the serial column, sorted: the stand-in orders
    // Chinese texts by code point, where the embedded database (as SQL Server)
    // orders them by pinyin, so the receipts summary's categories of an
    // office come in another order there.
    static QStringList rowsInAnyOrder(const QByteArray& csv)
    {
        QStringList rows;
        for (QStringList record : testing::csvRecords(csv)) {
            record.removeFirst();
            rows << record.join(QLatin1Char('|'));
        }
        rows.sort();
        return rows;
    }

    int officeCount(const QString& statement) const
    {
        DbConnection db;
        db.open(embedded());
        return int(loadOffices(db, statement, OfficeNames::AsStored).size());
    }

private slots:
    void initTestCase()
    {
        FEE_REQUIRE_ROAD(testing::TdsTestServer::missingReason());
        QVERIFY(m_dir.isValid());
        // The number of connections is the program's own choice here.
        qunsetenv("FEE_REPORT_CONNECTIONS");
        m_db = m_dir.filePath(QStringLiteral("demo.db"));
        const testing::CliResult made = testing::runCli(
            { QStringLiteral("demo-db"), m_db, QStringLiteral("--offices"), QStringLiteral("14"),
                QStringLiteral("--rooms"), QStringLiteral("6"), QStringLiteral("--plain-collation") });
        QVERIFY2(made.exitCode == 0, qPrintable(made.err));
        QVERIFY2(m_server.start(m_db, m_dir.path()) > 0, "the test server did not start");
    }

    void cleanupTestCase() { m_server.stop(); }

    void requestsPerRun_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("offices"); // the office list the run covers; empty: one office
        QTest::newRow("monthly, every office")
            << QStringList { "monthly", "--date", "2026-06-30" } << monthlyOfficeListStatement(false);
        QTest::newRow("receipts, every office, month and year columns")
            << QStringList { "receipts", "--from", "2026-06-01", "--to", "2026-06-30", "--month-from", "2026-06-01",
                   "--month-to", "2026-06-30", "--year-from", "2026-01-01", "--year-to", "2026-06-30" }
            << receiptsOfficeListStatement();
        QTest::newRow("receipts, every office")
            << QStringList { "receipts", "--from", "2026-01-01", "--to", "2026-06-30" }
            << receiptsOfficeListStatement();
        QTest::newRow("daily, one office, two years")
            << QStringList { "daily", "--office", "01", "--from", "2025-01-01", "--to", "2026-12-31" } << QString();
    }
    void requestsPerRun()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, offices);
        const testing::CliResult local
            = testing::runCli(args + QStringList { QStringLiteral("--connect"), embedded(), QStringLiteral("--csv"), "-" });
        QVERIFY2(local.exitCode == 0, qPrintable(local.err));

        testing::RequestLog log(m_dir.filePath(QStringLiteral("server.log")));
        const testing::CliResult remote = testing::runCli(
            args + QStringList { QStringLiteral("--connect"), m_server.oleDbString(), QStringLiteral("--csv"), "-" });
        QVERIFY2(remote.exitCode == 0, qPrintable(remote.err));
        const QStringList requests = log.requests();
        if (args.front() == QStringLiteral("receipts"))
            QCOMPARE(rowsInAnyOrder(remote.out), rowsInAnyOrder(local.out));
        else
            QCOMPARE(remote.out, local.out);

        // The only calls of a procedure are the connections' own set-up (one
        // each, by Qt's ODBC driver); every statement travels in a plain batch.
        int connections = 0;
        for (const QString& request : requests) {
            if (request.contains(QStringLiteral(": RPC "))) {
                QVERIFY2(request.contains(QStringLiteral("SET QUOTED_IDENTIFIER ON")), qPrintable(request));
                ++connections;
            }
        }
        QVERIFY(connections >= 1 && connections <= 8);
        const int batches = int(requests.size()) - connections;
        if (offices.isEmpty()) {
            QVERIFY2(requests.size() <= 10, qPrintable(requests.join(QLatin1Char('\n'))));
            return;
        }
        const int n = officeCount(offices);
        QVERIFY(n > 8);
        QVERIFY2(requests.size() <= n + 10, qPrintable(QStringLiteral("%1 requests for %2 offices").arg(requests.size()).arg(n)));
        // The lists in two requests at most, then no more than one request
        // per office.
        QVERIFY2(batches <= n + 2, qPrintable(QStringLiteral("%1 batches for %2 offices").arg(batches).arg(n)));
    }
};

QTEST_GUILESS_MAIN(TestRoundTrips)
#include "tst_roundtrips.moc"
