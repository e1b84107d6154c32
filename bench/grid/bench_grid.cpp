// Times a report-sized result (ROWS x 18 columns, merge mode 3 over columns
// 0-2, a marked row every 50, columns widened as rows arrive) appended by a
// worker thread while a GridView shows the grid, and reports how long the GUI
// thread's event loop was held at most. The wall-clock gap includes time the
// GUI thread waited for a core; the CPU figure is the GUI thread's own work
// within that gap, which is what the grid code controls.
#include "core/grid/columnfitter.h"
#include "core/grid/gridmodel.h"
#include "widgets/gridtablemodel.h"
#include "widgets/gridview.h"
#include "core/grid/fonttextmeasure.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextStream>
#include <QTimer>
#include <atomic>
#include <thread>
#include <time.h>

using namespace fee;

namespace {

const QString kDailyFormat = QStringLiteral(
    "^序   |<票据簿编号  |<票据号码 |<收款日期  |<管理处 |<房号 |<姓名 |>金额   |>税额  |>收入  |<收费项目 |<所属期间 "
    "|<收款方式|<收款人|<备注|<换票号码|<作废|<类别");

qint64 threadCpuNs()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

QVector<QString> rowOf(int i)
{
    QVector<QString> cells(18);
    cells[0] = QString::number(i + 1);
    cells[1] = QStringLiteral("BK%1").arg(i / 30);
    cells[2] = QStringLiteral("%1").arg(i / 3, 8, 10, QLatin1Char('0'));
    cells[3] = QStringLiteral("2023-%1-%2")
                   .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                   .arg(1 + i % 28, 2, 10, QLatin1Char('0'));
    cells[4] = QStringLiteral("管理处%1").arg(i % 7);
    cells[5] = QStringLiteral("%1-%2").arg(i % 40).arg(i % 1200);
    cells[6] = QStringLiteral("业主%1").arg(i % 101);
    cells[7] = QStringLiteral("%1.00").arg(i % 977);
    cells[8] = QStringLiteral("0.00");
    cells[9] = cells[7];
    cells[10] = QStringLiteral("物业管理费");
    cells[11] = QStringLiteral("202301-202312");
    cells[12] = QStringLiteral("现金");
    cells[13] = QStringLiteral("收款员%1").arg(i % 5);
    return cells;
}

void layout(GridModel& g)
{
    g.setRedraw(false);
    g.setFontName(QStringLiteral("微软雅黑"));
    g.setFormatString(kDailyFormat);
    g.setRows(1);
    g.setFixedRows(1);
    g.setFixedCols(1);
    for (int c = 0; c < g.cols(); ++c)
        g.setFixedAlignment(c, AlignCenter);
    g.setMergeCells(MergeRestrictColumns);
    for (int c : { 0, 1, 2 })
        g.setMergeCol(c, true);
    g.setRedraw(true);
}

int fill(GridModel& g, int rows)
{
    ColumnFitter fitter;
    const QColor marked(255, 255, 192);
    for (int i = 0; i < rows; ++i) {
        QVector<QString> cells = rowOf(i);
        fitter.fitTexts(g, cells);
        const int r = g.appendRow(std::move(cells));
        if (i % 50 == 0) {
            for (int c = 1; c < 18; ++c)
                g.setCellBackColor(r, c, marked);
        }
    }
    return fitter.measurements();
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    int rows = 100000;
    bool follow = false;
    bool headless = true;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--follow"))
            follow = true;
        else if (args[i] == QLatin1String("--stream-only"))
            headless = false;
        else if (args[i].toInt() > 0)
            rows = args[i].toInt();
    }
    installFontTextMeasure();
    QTextStream out(stdout);

    // The grid alone, on one thread: what a command-line run pays.
    for (int n : { rows / 10, rows }) {
        if (!headless)
            break;
        GridModel g;
        layout(g);
        QElapsedTimer t;
        t.start();
        const int measured = fill(g, n);
        out << QStringLiteral("headless fill %1 rows: %2 ms (%3 texts measured)\n")
                   .arg(n)
                   .arg(t.nsecsElapsed() / 1e6, 0, 'f', 1)
                   .arg(measured);
    }

    GridView view;
    GridModel& g = view.grid();
    view.resize(1000, 700);
    view.show();
    QCoreApplication::processEvents();

    int batches = 0;
    QObject::connect(view.tableModel(), &QAbstractItemModel::rowsInserted, [&] { ++batches; });
    std::atomic_bool done { false };
    QElapsedTimer total;
    total.start();
    std::thread worker([&] {
        layout(g);
        fill(g, rows);
        done = true;
    });

    qint64 longestWall = 0;
    qint64 longestCpu = 0;
    QElapsedTimer since;
    qint64 cpuAtTick = threadCpuNs();
    const qint64 cpuAtStart = cpuAtTick;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 cpu = threadCpuNs();
        longestWall = std::max(longestWall, since.restart());
        longestCpu = std::max(longestCpu, cpu - cpuAtTick);
        cpuAtTick = cpu;
    });
    QTimer user; // someone watching: scrolls and resizes now and then
    int moves = 0;
    QObject::connect(&user, &QTimer::timeout, [&] {
        ++moves;
        if (follow || moves % 2)
            view.scrollToBottom();
        else
            view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
        view.resize(1000 + (moves % 3) * 40, 700);
    });
    since.start();
    tick.start(1);
    user.start(150);
    while (!done || view.tableModel()->rowCount() != g.rows())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double totalMs = total.nsecsElapsed() / 1e6;
    tick.stop();
    user.stop();
    worker.join();
    const double guiCpuMs = (threadCpuNs() - cpuAtStart) / 1e6;

    out << QStringLiteral("streamed %1 x %2 into a shown view: %3 ms until all rows shown, %4 insert batches\n")
               .arg(rows)
               .arg(g.cols())
               .arg(totalMs, 0, 'f', 1)
               .arg(batches);
    out << QStringLiteral("GUI thread: longest event-loop gap %1 ms wall, %2 ms of its own CPU; %3 ms CPU in all\n")
               .arg(longestWall)
               .arg(longestCpu / 1e6, 0, 'f', 1)
               .arg(guiCpuMs, 0, 'f', 1);
    return 0;
}
