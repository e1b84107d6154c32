#include "serverlog.h"

#include "cli/demodb/demodb.h"
#include "core/messages.h"
#include "core/runprogress.h"
#include "core/sessioninfo.h"
#include "db/dbconnection.h"
#include "reports/monthly/ui/monthlyreportwindow.h"
#include "reports/shared/reportrunner.h"
#include "widgets/waitoverlay.h"
#include "tests/support/bothroads.h"
#include "tests/support/roads.h"

#include <QDateEdit>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace {

const QDate kStatisticsDate(2026, 6, 15);

struct Run {
    int exitCode;
    QByteArray out;
    QString err;
    qint64 ms; // from the stop of the server (or the start) to the end
};

} // namespace

// A server that stops answering with its links open (the stand-in stopped
// with SIGSTOP), and one that lets a run open fewer connections than it
// asks for. The command line ends with the timeout's message, the window's
// cancel ends the run at once; a run goes on over the connections it has.
class TestSilentServer : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_db;
    fee::testing::TdsTestServer m_server;
    int m_port = 0;
    QList<fee::BoxRequest> m_boxes;

    QString logPath() const { return m_dir.filePath(QStringLiteral("server.log")); }

    void restartServer(const QStringList& extra = {})
    {
        m_server.kill();
        QCOMPARE(m_server.start(
                     m_db, m_dir.path(), QString::fromLatin1(fee::testing::TdsTestServer::kPassword), m_port, extra),
            m_port);
    }

    // The tool with `args`, the connection through the environment; with a
    // `stopAt`, the server is stopped once its log shows the text `seen` times.
    Run runCli(const QStringList& args, const QStringList& environment, const QString& stopAt = QString(), int seen = 0)
    {
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FEE_CONNECT"), m_server.oleDbString());
        for (const QString& pair : environment)
            env.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        cli.setProcessEnvironment(env);
        const ServerLog log(logPath());
        QElapsedTimer clock;
        clock.start();
        cli.start(QStringLiteral(FEE_CLI_PATH), args);
        if (!cli.waitForStarted())
            return { -1, {}, QStringLiteral("did not start"), 0 };
        if (!stopAt.isEmpty()) {
            QDeadlineTimer deadline(60000);
            while (log.count(stopAt) < seen && cli.state() == QProcess::Running && !deadline.hasExpired())
                QThread::msleep(2);
            m_server.pause();
            clock.restart();
        }
        if (!cli.waitForFinished(120000)) {
            cli.kill();
            cli.waitForFinished();
            return { -1, {}, QStringLiteral("did not finish"), clock.elapsed() };
        }
        const qint64 ms = clock.elapsed();
        m_server.resume();
        return { cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1, cli.readAllStandardOutput(),
            QString::fromUtf8(cli.readAllStandardError()), ms };
    }

    template <class T> static T* child(const QWidget* window, const char* name)
    {
        return window->findChild<T*>(QString::fromUtf8(name));
    }

private slots:
    void initTestCase()
    {
        FEE_REQUIRE_ROAD(fee::testing::TdsTestServer::missingReason());
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("demo.db"));
        fee::demo::DemoDbOptions options;
        options.path = m_db;
        options.plainCollation = true; // the stand-in does not know the embedded collation
        fee::demo::buildDemoDb(options);
        m_port = m_server.start(m_db, m_dir.path());
        QVERIFY(m_port > 0);
        auto shared = std::make_unique<fee::DbConnection>();
        shared->open(m_server.oleDbString());
        fee::DbConnection::setShared(std::move(shared));
        fee::sessionInfo().UserCode = QStringLiteral("0007");
        fee::setBoxHandler([this](const fee::BoxRequest& request) {
            m_boxes << request;
            return fee::BoxAnswer::Ok;
        });
    }

    void cleanupTestCase() { m_server.stop(); }

    void init()
    {
        m_boxes.clear();
        m_server.resume();
    }

    // Stopped in the middle of a run: the tool ends within the timeout and
    // a few seconds, exit code 1, the time named.
    void commandLineEndsWithTheTimeout_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("stopAt");
        QTest::addColumn<int>("seen");
        QTest::newRow("monthly") << QStringList { "monthly", "--date", "2026-06-15" }
                                 << QStringLiteral("sqlite: Select sum(") << 20;
        QTest::newRow("receipts") << QStringList { "receipts", "--from", "2026-01-01", "--to", "2026-06-30" }
                                  << QStringLiteral("sqlite: Select SetupSFXM.收费类别") << 2;
        QTest::newRow("daily") << QStringList { "daily", "--office", "01", "--from", "2023-01-01", "--to",
            "2026-12-31" } << QStringLiteral("where 被换票票据编号 =")
                               << 1;
    }

    void commandLineEndsWithTheTimeout()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, stopAt);
        QFETCH(int, seen);
        constexpr int kTimeout = 2;
        const Run run = runCli(args + QStringList { "--timeout", QString::number(kTimeout), "--csv", "-" }, {},
            stopAt, seen);
        QCOMPARE(run.exitCode, 1);
        const QStringList errors = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(!errors.isEmpty());
        QCOMPARE(errors.last(),
            args.front() + QStringLiteral(": error -2147217871: the server has not answered for %1 s").arg(kTimeout));
        QVERIFY2(run.ms < (kTimeout + 5) * 1000, qPrintable(QString::number(run.ms)));
    }

    // 取消 while the server does not answer: the run ends at once (its links
    // dropped, never waited on); the server's silence shows on the wait
    // panel; once the server goes on, the next run gives the whole report.
    void windowCancelDoesNotWait()
    {
        fee::MonthlyReportWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        window.resize(1400, 900);
        window.show();
        child<QDateEdit>(&window, "DTPicker1")->setDate(kStatisticsDate);
        auto* offices = child<QListWidget>(&window, "List1");
        for (int i = 0; i < offices->count(); ++i)
            offices->item(i)->setCheckState(Qt::Checked);
        auto* fees = child<QTreeWidget>(&window, "TreeView1");
        for (int i = 0; i < fees->topLevelItemCount(); ++i)
            fees->topLevelItem(i)->setCheckState(0, Qt::Checked);
        auto* start = child<QPushButton>(&window, "Command3");
        auto* runner = window.findChild<fee::ReportRunner*>();
        QVERIFY(runner);
        auto waitForRun = [&window] { QTRY_VERIFY_WITH_TIMEOUT(!window.isRunning(), 120000); };
        start->click();
        waitForRun();
        QCOMPARE(m_boxes.size(), 0);
        const QStringList full = fee::testing::gridRowTexts(window.summaryGrid());

        // Requests left waiting after the first office: two connections on a slow link.
        restartServer({ QStringLiteral("--latency-ms"), QStringLiteral("100") });
        qputenv("FEE_REPORT_CONNECTIONS", "2");
        const auto usual = qScopeGuard([] { qunsetenv("FEE_REPORT_CONNECTIONS"); });
        int longestSilence = 0;
        connect(runner, &fee::ReportRunner::progressed, this, [&longestSilence](const fee::RunProgress& progress) {
            longestSilence = std::max(longestSilence, progress.serverSilentSeconds);
        });
        bool officeDone = false;
        connect(runner, &fee::ReportRunner::progressed, this,
            [&officeDone](const fee::RunProgress& progress) { officeDone |= progress.officesDone >= 1; });
        start->click();
        QTRY_VERIFY_WITH_TIMEOUT(officeDone, 60000);
        QVERIFY(m_server.pause());
        QTRY_VERIFY_WITH_TIMEOUT(longestSilence >= 2, 10000);
        QVERIFY(window.isRunning());

        QElapsedTimer clock;
        clock.start();
        child<QPushButton>(&window, "Picture5_Cancel")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isRunning(), 10000);
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QTest::qWait(50);
        QCOMPARE(m_boxes.size(), 0);

        QVERIFY(m_server.resume());
        restartServer();
        start->click();
        waitForRun();
        QCOMPARE(m_boxes.size(), 0);
        QCOMPARE(fee::testing::gridRowTexts(window.summaryGrid()), full);
    }

    // Ten seconds without an answer are said on the panel, not fewer.
    void waitPanelSaysTheServerIsSilent()
    {
        QWidget parent;
        fee::WaitOverlay panel(QStringLiteral("Picture5"), QStringLiteral("Label3"), QStringLiteral("正在统计"), &parent);
        auto* progress = panel.findChild<QLabel*>(QStringLiteral("Picture5_Progress"));
        QVERIFY(progress);
        fee::RunProgress waiting;
        waiting.officesDone = 1;
        waiting.officeCount = 4;
        waiting.serverSilentSeconds = 9;
        panel.showProgress(waiting);
        QCOMPARE(progress->text(), QStringLiteral("已完成 1/4 个管理处"));
        waiting.serverSilentSeconds = 12;
        panel.showProgress(waiting);
        QCOMPARE(progress->text(), QStringLiteral("已完成 1/4 个管理处\n服务器已 12 秒没有响应"));
    }

    // More connections asked for than the server lets the run open: the
    // run goes on over those it has, its report whole, and says so once.
    void runGoesOnWithoutTheSiblings_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("serverAllows");
        QTest::addColumn<int>("asked");
        QTest::addColumn<QString>("said");
        QTest::newRow("monthly, offices side by side") << QStringList { "monthly", "--date", "2026-06-15" } << 2
                                                        << 4 << QStringLiteral("the run used 2 of 4 connections");
        QTest::newRow("daily, the exchange marks beside the list")
            << QStringList { "daily", "--office", "01", "--from", "2023-01-01", "--to", "2026-12-31" } << 1 << 4
            << QStringLiteral("the run used 1 of 2 connections");
    }

    void runGoesOnWithoutTheSiblings()
    {
        QFETCH(QStringList, args);
        QFETCH(int, serverAllows);
        QFETCH(int, asked);
        QFETCH(QString, said);
        const QStringList connections { QStringLiteral("FEE_REPORT_CONNECTIONS=%1").arg(asked) };
        const Run reference = runCli(args + QStringList { "--csv", "-" }, connections);
        QCOMPARE(reference.exitCode, 0);
        QVERIFY(!reference.err.contains(QStringLiteral("connections")));

        // The shared connection would take one of the server's places.
        fee::DbConnection::setShared(std::make_unique<fee::DbConnection>());
        restartServer({ QStringLiteral("--max-connections"), QString::number(serverAllows) });
        const auto back = qScopeGuard([this] {
            restartServer();
            auto shared = std::make_unique<fee::DbConnection>();
            shared->open(m_server.oleDbString());
            fee::DbConnection::setShared(std::move(shared));
        });
        const Run limited = runCli(args + QStringList { "--csv", "-" }, connections);
        QVERIFY2(limited.exitCode == 0, qPrintable(limited.err));
        QCOMPARE(limited.out, reference.out);
        QCOMPARE(int(limited.err.count(said)), 1);
        QVERIFY2(limited.err.contains(QStringLiteral("a connection could not be opened (")), qPrintable(limited.err));
    }
};

QTEST_MAIN(TestSilentServer)
#include "tst_silentserver.moc"
