#include "serverlog.h"

#include "cli/demodb/demodb.h"
#include "core/grid/gridmodel.h"
#include "core/messages.h"
#include "core/sessioninfo.h"
#include "widgets/gridview.h"
#include "db/dbconnection.h"
#include "reports/daily/dailyengine.h"
#include "reports/daily/dailygrid.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/monthly/ui/monthlyreportwindow.h"
#include "reports/receipts_summary/receiptsengine.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/reportrunner.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionlists.h"
#include "reports/shared/selectionresolver.h"
#include "tests/support/bothroads.h"
#include "tests/support/tdstestserver.h"
#include "tests/support/roads.h"

#include <QDateEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <functional>

using fee::GridModel;
using fee::RunOutcome;

namespace {

const QDate kStatisticsDate(2026, 6, 15);

enum class Report { Monthly, Receipts, Daily };

} // namespace

// The SQL Server stand-in stops in the middle of a run: the run ends with one
// failure and the rows it had, and once the server is back the next run (and
// the window's own connection) connects again.
class TestDroppedConnection : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_db;
    fee::testing::TdsTestServer m_server;
    int m_port = 0;
    QList<fee::BoxRequest> m_boxes;

    QString logPath() const { return m_dir.filePath(QStringLiteral("server.log")); }

    bool m_serverDown = false;

    void killServer()
    {
        m_server.kill();
        m_serverDown = true;
    }

    // `extra`: more of the stand-in's options (a latency).
    void restartServer(const QStringList& extra = {})
    {
        m_server.kill();
        m_serverDown = false;
        QCOMPARE(m_server.start(
                     m_db, m_dir.path(), QString::fromLatin1(fee::testing::TdsTestServer::kPassword), m_port, extra),
            m_port);
    }

    // Stops the server from the event loop as soon as `when` holds.
    void killServerWhen(QTimer& poll, std::function<bool()> when)
    {
        poll.setInterval(2);
        connect(&poll, &QTimer::timeout, this, [this, &poll, when] {
            if (when()) {
                killServer();
                poll.stop();
            }
        });
        poll.start();
    }

    static fee::ReportRunner::Job jobFor(Report report, GridModel& grid)
    {
        fee::DbConnection& db = fee::DbConnection::shared();
        QString error;
        switch (report) {
        case Report::Monthly: {
            fee::MonthlySelection selection;
            selection.offices
                = fee::loadOffices(db, fee::monthlyOfficeListStatement(false), fee::OfficeNames::OnOneLine);
            selection.feeCodes = fee::feeCodesByCode(
                fee::loadFeeItemTree(db, fee::FeeTreeQuery::AllItems), { QStringLiteral("all") }, &error);
            selection.statisticsDate = kStatisticsDate;
            selection.reportYear = QStringLiteral("2026");
            return [selection, &grid](
                       fee::RunContext& run) { fee::MonthlyEngine(run, selection).fill(grid); };
        }
        case Report::Receipts: {
            fee::ReceiptsSelection selection;
            selection.offices = fee::loadOffices(db, fee::receiptsOfficeListStatement(), fee::OfficeNames::AsStored);
            selection.feeCodes = fee::feeCodesByCode(
                fee::loadFeeItemTree(db, fee::FeeTreeQuery::InUseByCategory), { QStringLiteral("all") }, &error);
            selection.paymentMethods = fee::loadPaymentMethods(db);
            selection.chosenMethod = QString::fromUtf8(fee::kChooseAll);
            selection.receipts = { QDate(2026, 1, 1), QDate(2026, 6, 30) };
            return [selection, &grid](fee::RunContext& run) { fee::ReceiptsEngine(run, selection).fill(grid); };
        }
        case Report::Daily: {
            fee::DailySelection selection;
            selection.office
                = fee::officesByCode(fee::loadOffices(db, fee::dailyOfficeListStatement(), fee::OfficeNames::AsStored),
                    { QStringLiteral("01") }, &error)
                      .value(0);
            selection.start = QDate(2023, 1, 1);
            selection.end = QDate(2026, 12, 31);
            selection.feeCodes = fee::feeCodesByCode(
                fee::loadFeeItemTree(db, fee::FeeTreeQuery::AllByCategory), { QStringLiteral("all") }, &error);
            selection.paymentMethods = fee::loadPaymentMethods(db);
            selection.paymentMethod = QString::fromUtf8(fee::kChooseAll);
            selection.payee = QString::fromUtf8(fee::kChooseAll);
            fee::DailyGrid::layout(grid);
            return [selection, &grid](fee::RunContext& run) { fee::DailyEngine(run, selection).fill(grid); };
        }
        }
        return {};
    }

    // Runs the job through a runner as the windows do; returns every outcome delivered.
    static QList<RunOutcome> runThrough(fee::ReportRunner& runner, fee::ReportRunner::Job job)
    {
        QSignalSpy finished(&runner, &fee::ReportRunner::finished);
        if (!runner.start(fee::DbConnection::shared(), std::move(job), 2))
            return {};
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!runner.isRunning(), 120000); }();
        QTest::qWait(50); // a second outcome would come now
        QList<RunOutcome> outcomes;
        for (const QList<QVariant>& arguments : finished)
            outcomes << arguments.front().value<RunOutcome>();
        return outcomes;
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
        if (m_serverDown) // a failed test left it stopped
            restartServer();
    }

    // A connection whose server went away fails its statement, tries once
    // per statement while the server is down, and works again once it is back.
    void connectionReopensAfterTheServerComesBack()
    {
        fee::DbConnection db;
        db.open(m_server.oleDbString());
        const QString statement = QStringLiteral("Select GYD_DH From 设置管理处 Order by GYD_DH");
        auto firstCode = [&db, &statement] {
            fee::DbResult r = db.query(statement);
            return r.next() ? r.text(QStringLiteral("GYD_DH")) : QString();
        };
        const QString code = firstCode();
        QVERIFY(!code.isEmpty());

        killServer();
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                firstCode();
                QFAIL("a statement ran without its server");
            } catch (const fee::Failure& failure) {
                QVERIFY2(!fee::isCancellation(failure), qPrintable(failure.description()));
            }
        }
        restartServer();
        QCOMPARE(firstCode(), code);
        QVERIFY(db.isOpen());
    }

    void runKeepsItsRowsAndTheNextRunConnects_data()
    {
        QTest::addColumn<int>("report");
        QTest::addColumn<int>("headingRows");
        // A statement the server logs mid-run and how often; empty: once the first office is written.
        QTest::addColumn<QString>("stopAt");
        QTest::addColumn<int>("seen");
        QTest::newRow("monthly") << int(Report::Monthly) << 2 << QString() << 0;
        QTest::newRow("receipts summary") << int(Report::Receipts) << 1 << QString() << 0;
        // The exchange marks are read on a second connection, between rows.
        QTest::newRow("daily list") << int(Report::Daily) << 1 << QStringLiteral("where 被换票票据编号 =") << 3;
    }

    void runKeepsItsRowsAndTheNextRunConnects()
    {
        QFETCH(int, report);
        QFETCH(int, headingRows);
        QFETCH(QString, stopAt);
        QFETCH(int, seen);

        GridModel reference;
        fee::ReportRunner runner;
        QList<RunOutcome> outcomes = runThrough(runner, jobFor(Report(report), reference));
        QCOMPARE(outcomes.size(), 1);
        QVERIFY2(!outcomes.front().failed, qPrintable(outcomes.front().description));
        const QStringList full = fee::testing::gridRowTexts(reference);

        // Stopped mid-run: one failure, the rows so far stay.
        GridModel grid;
        QTimer poll;
        const ServerLog log(logPath());
        bool officeDone = false; // outlives the poll that reads it
        if (stopAt.isEmpty()) {
            connect(&runner, &fee::ReportRunner::progressed, &poll,
                [&officeDone](const fee::RunProgress& progress) { officeDone |= progress.officesDone >= 1; });
            killServerWhen(poll, [&officeDone] { return officeDone; });
        } else {
            killServerWhen(poll, [&log, stopAt, seen] { return log.count(stopAt) >= seen; });
        }
        outcomes = runThrough(runner, jobFor(Report(report), grid));
        QCOMPARE(outcomes.size(), 1);
        QVERIFY(outcomes.front().failed);
        QVERIFY(!outcomes.front().cancelled);
        QVERIFY2(!outcomes.front().description.isEmpty(), "the failure says nothing");
        QVERIFY2(grid.rows() > headingRows, "the rows read before the stop are gone");
        QVERIFY(grid.rows() < full.size());
        QCOMPARE(fee::testing::gridRowTexts(grid).mid(0, headingRows), full.mid(0, headingRows));

        // Back on the same port: the window's own connection (lists) and the
        // next run connect again.
        restartServer();
        GridModel again;
        outcomes = runThrough(runner, jobFor(Report(report), again));
        QCOMPARE(outcomes.size(), 1);
        QVERIFY2(!outcomes.front().failed, qPrintable(outcomes.front().description));
        QCOMPARE(fee::testing::gridRowTexts(again), full);
    }

    // The window: one box for the stopped run, its rows kept, the window
    // usable; the same for a detail list; then both work again.
    void monthlyWindowAndDrillDown()
    {
        fee::MonthlyReportWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        window.resize(1400, 900);
        window.show();
        child<QDateEdit>(&window, "DTPicker1")->setDate(kStatisticsDate);
        auto* offices = child<QListWidget>(&window, "List1");
        auto tickOffices = [offices] {
            for (int i = 0; i < offices->count(); ++i)
                offices->item(i)->setCheckState(Qt::Checked);
        };
        tickOffices();
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

        // An office is one request: on a quick link and eight connections
        // the whole run can end before the server is stopped. Two
        // connections on a slow link leave requests waiting after the first
        // office.
        restartServer({ QStringLiteral("--latency-ms"), QStringLiteral("100") });
        qputenv("FEE_REPORT_CONNECTIONS", "2");
        const auto usual = qScopeGuard([] { qunsetenv("FEE_REPORT_CONNECTIONS"); });
        QTimer poll;
        bool officeDone = false;
        connect(runner, &fee::ReportRunner::progressed, &poll,
            [&officeDone](const fee::RunProgress& progress) { officeDone |= progress.officesDone >= 1; });
        killServerWhen(poll, [&officeDone] { return officeDone; });
        start->click();
        waitForRun();
        QTest::qWait(50);
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(window.summaryGrid().rows() > 2);
        QVERIFY(window.summaryGrid().rows() < full.size());
        QVERIFY(start->isEnabled());
        QVERIFY(window.isVisible());

        // The window's own connection lists the offices again without a box.
        restartServer();
        const int residential = offices->count();
        child<QRadioButton>(&window, "Option2")->click();
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY(offices->count() > 0);
        child<QRadioButton>(&window, "Option1")->click();
        QCOMPARE(offices->count(), residential);
        tickOffices();
        start->click();
        waitForRun();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(fee::testing::gridRowTexts(window.summaryGrid()), full);

        // The drill-down of a figure, with the server gone while it is read.
        emit child<fee::GridView>(&window, "MSFlexGrid1")->cellClicked(2, 8);
        auto* drill = child<QToolButton>(&window, "btnB");
        QVERIFY(!drill->isHidden());
        drill->click();
        killServer();
        waitForRun();
        QTest::qWait(50);
        QCOMPARE(m_boxes.size(), 2);
        QVERIFY(child<QWidget>(&window, "Picture7")->isHidden());

        restartServer();
        drill->click();
        waitForRun();
        QCOMPARE(m_boxes.size(), 2);
        QVERIFY(!child<QWidget>(&window, "Picture7")->isHidden());
        QVERIFY(window.detailGrid().rows() > 2);
    }

    void commandLineExitsWithOne_data()
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

    void commandLineExitsWithOne()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, stopAt);
        QFETCH(int, seen);
        const QString csv = m_dir.filePath(QStringLiteral("out.csv"));
        QFile::remove(csv);
        const ServerLog log(logPath());
        QProcess cli;
        cli.start(QStringLiteral(FEE_CLI_PATH),
            args + QStringList { QStringLiteral("--connect"), m_server.oleDbString(), QStringLiteral("--csv"), csv });
        QVERIFY(cli.waitForStarted());
        QDeadlineTimer deadline(60000);
        while (log.count(stopAt) < seen && cli.state() == QProcess::Running && !deadline.hasExpired())
            QThread::msleep(2);
        killServer();
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 1);
        const QStringList errors
            = QString::fromUtf8(cli.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(!errors.isEmpty());
        const QString message = errors.last();
        QVERIFY2(message.startsWith(args.front() + QStringLiteral(": error ")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("EOF")) || message.contains(QStringLiteral("connect")),
            qPrintable(message));
        QVERIFY(!QFile::exists(csv));
        restartServer();
    }
};

QTEST_MAIN(TestDroppedConnection)
#include "tst_droppedconnection.moc"
