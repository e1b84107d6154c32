// A long run in the daily window over a generated database of tens of
// thousands of receipt lines: the window keeps painting and handling events
// (its own and another top-level window's) while the worker fills the grid;
// cancelling and closing during a run; the rows at the end equal the engine's.
#include "dailywindowtest.h"

#include "cli/demodb/demodb.h"
#include "core/fontfamilies.h"
#include "core/grid/fonttextmeasure.h"
#include "core/grid/twips.h"
#include "core/messages.h"
#include "core/sessioninfo.h"
#include "widgets/frmtoexcel.h"
#include "widgets/gridprinter.h"
#include "widgets/gridview.h"
#include "widgets/sessionstatusbar.h"
#include "db/dbconnection.h"
#include "reports/daily/dailyengine.h"
#include "reports/daily/dailygrid.h"
#include "reports/shared/runcontext.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using fee::DailyReportWindow;
using namespace dailywindow;

namespace {

const QDate kStart(2025, 1, 1);
const QDate kEnd(2025, 12, 31);
constexpr int kRooms = 2500; // about 45,000 receipt lines of office 01 in 2025

// Counts the events a widget handles: paints of a view, or the posted
// events of a second window.
class EventCounter : public QObject {
public:
    explicit EventCounter(QEvent::Type type, std::function<void()> seen)
        : m_type(type)
        , m_seen(std::move(seen))
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == m_type)
            m_seen();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_seen;
};

const QEvent::Type kPing = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

class TestDailyWindowLong : public fee::testing::WindowTestHarness {
    Q_OBJECT

    QString m_connection;

    std::unique_ptr<DailyReportWindow> openWindow()
    {
        auto window = std::make_unique<DailyReportWindow>(fee::DbConnection::shared(), fee::sessionInfo());
        window->resize(1200, 700);
        window->show();
        chooseOffice(window.get(), QStringLiteral("01"));
        setDates(window.get(), kStart, kEnd);
        tickAllFeeItems(window.get());
        return window;
    }

    QVector<QStringList> engineRows(const fee::DailySelection& selection)
    {
        return dailywindow::engineRows(m_connection, selection);
    }

private slots:
    void initTestCase()
    {
        setUpHarness();
        fee::installFontSubstitutions();
        fee::installFontTextMeasure();
        fee::demo::DemoDbOptions options;
        options.path = m_dir.filePath(QStringLiteral("long.db"));
        options.offices = 1;
        options.rooms = kRooms;
        fee::demo::buildDemoDb(options);
        m_connection = QStringLiteral("Provider=SQLite;Data Source=") + options.path;
        useConnection(m_connection);
    }

    void init() { clearRecords(); }

    // While the worker fills the grid, the GUI thread paints the grid as it
    // grows, runs its timers, lays the window out anew, and another window
    // handles its posted events. The rows at the end are the engine's.
    void responsiveDuringRun()
    {
        auto window = openWindow();
        auto* view = child<fee::GridView>(window.get(), "MSFlexGrid1");
        QWidget other;
        other.setWindowTitle(QStringLiteral("another window"));
        other.show();

        QList<int> paintedRowCounts; // the view's rows at each paint during the run
        EventCounter paints(QEvent::Paint, [&] {
            if (window->isRunning())
                paintedRowCounts << view->model()->rowCount();
        });
        view->viewport()->installEventFilter(&paints);
        int pingsHandled = 0;
        EventCounter pings(kPing, [&] {
            if (window->isRunning())
                ++pingsHandled;
        });
        other.installEventFilter(&pings);

        int ticks = 0;
        bool resized = false;
        QTimer timer;
        connect(&timer, &QTimer::timeout, &timer, [&] {
            if (!window->isRunning())
                return;
            ++ticks;
            QCoreApplication::postEvent(&other, new QEvent(kPing));
            // Scroll to the end as the rows come, so new rows get painted,
            // and resize the window once during the run.
            view->scrollToBottom();
            view->viewport()->update();
            if (ticks == 5) {
                window->resize(1000, 600);
                resized = true;
            }
        });
        timer.start(5);

        press(window.get(), DailyReportWindow::Run);
        QVERIFY(window->isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!window->isRunning(), 300000);
        timer.stop();
        QVERIFY(m_boxes.isEmpty());

        const int rows = window->resultGrid().rows();
        QVERIFY2(rows > 20000, qPrintable(QString::number(rows)));
        QVERIFY2(ticks > 1, qPrintable(QString::number(ticks)));
        QVERIFY2(pingsHandled > 0, qPrintable(QString::number(pingsHandled)));
        // The grid was painted part-filled, and with more rows later on.
        QVERIFY(!paintedRowCounts.isEmpty());
        QVERIFY2(std::any_of(paintedRowCounts.cbegin(), paintedRowCounts.cend(),
                     [&](int count) { return count > 1 && count < rows; }),
            qPrintable(QString::number(paintedRowCounts.size())));
        QVERIFY(std::is_sorted(paintedRowCounts.cbegin(), paintedRowCounts.cend()));
        QVERIFY(paintedRowCounts.first() < paintedRowCounts.last());
        // The window was laid out anew during the run.
        QVERIFY(resized);
        const int left = fee::twipsToPixels(3420);
        QCOMPARE(view->width(), window->width() - left - fee::twipsToPixels(60));

        QCOMPARE(window->resultGrid().text(rows - 1, fee::DailyGrid::Book), QStringLiteral("合计"));
        QCOMPARE(gridTexts(window->resultGrid()), engineRows(window->currentSelection()));
        QTRY_COMPARE(view->model()->rowCount(), rows);
    }

    // 取消统计 ends the run with the rows so far, without a box.
    void cancelRun()
    {
        auto window = openWindow();
        auto* cancel = child<QPushButton>(window.get(), "PictureWait_Cancel");
        QTimer timer;
        connect(&timer, &QTimer::timeout, &timer, [&] {
            if (window->isRunning() && window->resultGrid().rows() > 1000 && cancel->isEnabled())
                cancel->click();
        });
        timer.start(5);
        press(window.get(), DailyReportWindow::Run);
        QVERIFY(child<QWidget>(window.get(), "PictureWait")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!window->isRunning(), 300000);
        timer.stop();
        QVERIFY(m_boxes.isEmpty());
        QVERIFY(child<QWidget>(window.get(), "PictureWait")->isHidden());
        const fee::GridModel& grid = window->resultGrid();
        QVERIFY(grid.rows() > 1000);
        QVERIFY(grid.text(grid.rows() - 1, fee::DailyGrid::Book) != QStringLiteral("合计"));
        // The rows so far are the first rows of the whole list.
        const QVector<QStringList> whole = engineRows(window->currentSelection());
        QVERIFY(grid.rows() < whole.size());
        const QVector<QStringList> shown = gridTexts(grid);
        // The last row may be still unfinished when the run stopped.
        QCOMPARE(shown.mid(0, shown.size() - 1), whole.mid(0, shown.size() - 1));
        // A cancelled run leaves the window ready for the next one.
        QVERIFY(child<QPushButton>(window.get(), "Command1_0")->isEnabled());
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
    }

    // While a run fills the grid nothing prints or writes it: 打印,
    // 输出EXCEL and the open export dialog's 输出 are disabled, and the wait
    // panel says what it waits for. A cancelled list says so and asks
    // before it is printed or written.
    void outputsWaitForTheRun()
    {
        auto window = openWindow();
        int printed = 0;
        fee::setGridPrinter([&printed](const fee::GridModel&, const fee::PrintGridOptions&, QWidget*) {
            ++printed;
            return fee::GridPrintOutcome::Printed;
        });
        auto restorePrinter = qScopeGuard([] { fee::setGridPrinter({}); });
        press(window.get(), DailyReportWindow::ExportToExcel);
        QPointer<fee::FrmToExcel> dialog = window->exportDialog();
        QVERIFY(dialog);
        QAction* output = dialog->findChild<QAction*>(QStringLiteral("输出"));
        QVERIFY(output && output->isEnabled());
        auto* print = child<QPushButton>(window.get(), "Command1_3");
        auto* exportButton = child<QPushButton>(window.get(), "Command1_1");
        auto* cancel = child<QPushButton>(window.get(), "PictureWait_Cancel");

        int checked = 0;
        QStringList wrong;
        QTimer timer;
        connect(&timer, &QTimer::timeout, &timer, [&] {
            if (!window->isRunning() || !cancel->isEnabled())
                return;
            ++checked;
            if (print->isEnabled() || exportButton->isEnabled() || output->isEnabled())
                wrong << QStringLiteral("an output stayed enabled");
            const QString subject = child<QLabel>(window.get(), "PictureWait_Subject")->text();
            if (!subject.contains(QStringLiteral("2025-01-01")) || !subject.contains(QStringLiteral("打印")))
                wrong << subject;
            if (window->resultGrid().rows() > 1000)
                cancel->click();
        });
        timer.start(5);
        press(window.get(), DailyReportWindow::Run);
        QTRY_VERIFY_WITH_TIMEOUT(!window->isRunning(), 300000);
        timer.stop();
        QVERIFY(checked > 0);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('/'))));
        QVERIFY(print->isEnabled() && exportButton->isEnabled() && output->isEnabled());
        QCOMPARE(child<fee::SessionStatusBar>(window.get(), "StatusBar1")->message(),
            QStringLiteral("统计已取消，列表不完整（没有合计行）"));
        QVERIFY(m_boxes.isEmpty());

        // Each way out asks; the box's answer here is no Yes.
        press(window.get(), DailyReportWindow::Print);
        QCOMPARE(printed, 0);
        dialog->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!dialog);
        press(window.get(), DailyReportWindow::ExportToExcel);
        QVERIFY(!window->exportDialog());
        QCOMPARE(m_boxes.size(), 2);
        for (const fee::BoxRequest& box : std::as_const(m_boxes)) {
            QCOMPARE(box.buttons, fee::BoxButtons::YesNo);
            QVERIFY2(box.text.contains(QStringLiteral("不完整")), qPrintable(box.text));
        }
    }

    // A second 统计 during a run is ignored; closing the window during a run
    // cancels it and closes the window once it has ended.
    void secondStartAndCloseDuringRun()
    {
        auto* window = new DailyReportWindow(fee::DbConnection::shared(), fee::sessionInfo());
        window->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<DailyReportWindow> alive(window);
        window->show();
        chooseOffice(window, QStringLiteral("01"));
        setDates(window, kStart, kEnd);
        tickAllFeeItems(window);
        int ended = 0;
        QString lastBook;
        connect(window, &DailyReportWindow::statisticsEnded, window, [&] {
            ++ended;
            const fee::GridModel& grid = window->resultGrid();
            lastBook = grid.text(grid.rows() - 1, fee::DailyGrid::Book);
        });
        bool pressedAgain = false;
        QTimer timer;
        connect(&timer, &QTimer::timeout, &timer, [&] {
            if (!alive || pressedAgain || !alive->isRunning() || alive->resultGrid().rows() < 100)
                return;
            pressedAgain = true;
            press(alive, DailyReportWindow::Run); // ignored
            press(alive, DailyReportWindow::Exit);
            QVERIFY(alive); // stays until the run has ended
        });
        timer.start(5);
        press(window, DailyReportWindow::Run);
        QTRY_VERIFY_WITH_TIMEOUT(!alive, 300000);
        QVERIFY(pressedAgain);
        QCOMPARE(ended, 1);
        QVERIFY(lastBook != QStringLiteral("合计"));
        QVERIFY(m_boxes.isEmpty());
    }
};

QTEST_MAIN(TestDailyWindowLong)
#include "tst_dailywindowlong.moc"
