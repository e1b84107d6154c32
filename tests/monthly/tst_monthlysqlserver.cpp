#include "db/dbconnection.h"
#include "ledgerfixture.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/monthly/monthlylists.h"

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
    QProcess m_server;
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
        s.offices = loadOfficeList(db, false);
        s.feeCodes = allFeeCodes(loadFeeItemTree(db));
        s.statisticsDate = QDate(2020, 3, 15);
        s.reportYear = QStringLiteral("2020");
        return s;
    }

private slots:
    void initTestCase()
    {
        const QString script = QStringLiteral(FEE_SHARED_DIR "/tools/tds-test-server/tds_test_server.py");
        if (!QFile::exists(QStringLiteral("/usr/bin/python3")) || !QFile::exists(script))
            QSKIP("python3 or the TDS test server is missing");
        if (!QFile::exists(QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so")))
            QSKIP("the FreeTDS ODBC driver (tdsodbc) is missing");
        QVERIFY(m_dir.isValid());
        const QString db = m_dir.filePath(QStringLiteral("ledger.db"));
        const QString error = createLedgerFixture(db);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        m_embedded.open(fixtureConnectionString(db));

        const QString portFile = m_dir.filePath(QStringLiteral("port"));
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start(QStringLiteral("/usr/bin/python3"),
            { script, QStringLiteral("--db"), db, QStringLiteral("--port"), QStringLiteral("0"),
                QStringLiteral("--port-file"), portFile, QStringLiteral("--user"), QStringLiteral("sa"),
                QStringLiteral("--password"), QStringLiteral("Fee-Reports-42"), QStringLiteral("--max-seconds"),
                QStringLiteral("600"), QStringLiteral("--log"), m_dir.filePath(QStringLiteral("server.log")) });
        QVERIFY(m_server.waitForStarted());
        int port = 0;
        QDeadlineTimer deadline(20000);
        while (port == 0 && !deadline.hasExpired() && m_server.state() == QProcess::Running) {
            QFile f(portFile);
            if (f.open(QIODevice::ReadOnly))
                port = f.readAll().trimmed().toInt();
            if (port == 0)
                QThread::msleep(50);
        }
        QVERIFY2(port > 0, "the test server did not start");
        m_server_db.open(QStringLiteral("Provider=SQLOLEDB.1;Password=Fee-Reports-42;Persist Security Info=False;User "
                                        "ID=sa;Initial Catalog=wy;Data Source=127.0.0.1,%1")
                             .arg(port));
    }

    void cleanupTestCase()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(5000))
                m_server.kill();
        }
    }

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
