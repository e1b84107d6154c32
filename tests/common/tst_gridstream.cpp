#include "core/grid/columnfitter.h"
#include "core/grid/gridmodel.h"
#include "core/grid/twips.h"
#include "widgets/gridtablemodel.h"
#include "widgets/gridview.h"
#include "core/grid/fonttextmeasure.h"

#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <atomic>
#include <thread>

namespace {

// The layout of the daily receipts list: 18 columns, one fixed row and column.
const QString kDailyFormat = QStringLiteral(
    "^序   |<票据簿编号  |<票据号码 |<收款日期  |<管理处 |<房号 |<姓名 |>金额   |>税额  |>收入  |<收费项目 |<所属期间 "
    "|<收款方式|<收款人|<备注|<换票号码|<作废|<类别");

// Runs a writer on its own thread while the GUI thread keeps its event loop
// going; records the longest time the loop was held between two timer ticks.
class Run {
public:
    explicit Run(std::function<void()> writer)
    {
        m_thread = std::thread([this, writer = std::move(writer)] {
            try {
                writer();
            } catch (...) {
                m_failed = true;
            }
            m_done = true;
        });
    }
    ~Run()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    // Lets the GUI thread run until the writer is done; `whileRunning` is
    // called on the GUI thread now and then.
    void wait(const std::function<void()>& whileRunning = {})
    {
        QTimer tick;
        QElapsedTimer since;
        since.start();
        QObject::connect(&tick, &QTimer::timeout, [&] { m_longestGapMs = std::max(m_longestGapMs, since.restart()); });
        tick.start(1);
        QElapsedTimer poke;
        poke.start();
        while (!m_done) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (whileRunning && poke.elapsed() > 150) {
                whileRunning();
                poke.restart();
            }
        }
        m_thread.join();
    }
    bool failed() const { return m_failed; }
    qint64 longestGapMs() const { return m_longestGapMs; }

private:
    std::thread m_thread;
    std::atomic_bool m_done { false };
    std::atomic_bool m_failed { false };
    qint64 m_longestGapMs = 0;
};

// The merged blocks the view shows must be the grid's own, seen through the
// rows it has laid out.
void compareSpans(const fee::GridView& view)
{
    const fee::GridModel& g = view.grid();
    QTRY_VERIFY(view.mergedRowBand().second >= view.mergedRowBand().first); // laid out once events ran
    const auto [first, last] = view.mergedRowBand();
    // Every row in sight is in the band.
    QVERIFY(view.rowAt(0) >= first);
    const int bottom = view.rowAt(view.viewport()->height() - 1);
    QVERIFY(bottom <= last);
    for (const QRect& b : g.mergedBlocks(first, last)) {
        QCOMPARE(view.rowSpan(b.top(), b.left()), b.height());
        QCOMPARE(view.columnSpan(b.top(), b.left()), b.width());
    }
}

} // namespace

class TestGridStream : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void workerFillsShownGrid();
    void writerChangesShape_data();
    void writerChangesShape();
    void insertsComeInBatches();
};

void TestGridStream::initTestCase()
{
    // The real font measure, called from the writers' threads.
    fee::installFontTextMeasure();
}

void TestGridStream::workerFillsShownGrid()
{
    constexpr int kRows = 100000;
    fee::GridView view;
    fee::GridModel& g = view.grid();
    std::unique_ptr<QAbstractItemModelTester> tester;
    if (!qEnvironmentVariableIsSet("NO_TESTER"))
        tester = std::make_unique<QAbstractItemModelTester>(
            view.tableModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    view.resize(900, 600);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    const QColor marked(255, 255, 192);
    Run run([&] {
        // The way a report run lays out and fills its grid.
        g.setRedraw(false);
        g.setFormatString(kDailyFormat);
        g.setRows(1);
        g.setFixedRows(1);
        g.setFixedCols(1);
        for (int c = 0; c < g.cols(); ++c)
            g.setFixedAlignment(c, fee::AlignCenter);
        g.setMergeCells(fee::MergeRestrictColumns);
        for (int c : { 0, 1, 2 })
            g.setMergeCol(c, true);
        g.setRedraw(true);
        fee::ColumnFitter fitter;
        for (int i = 0; i < kRows; ++i) {
            QVector<QString> cells(18);
            cells[0] = QString::number(i + 1);
            cells[1] = QStringLiteral("BK%1").arg(i / 30);
            cells[2] = QStringLiteral("%1").arg(i / 3, 8, 10, QLatin1Char('0'));
            cells[3] = QStringLiteral("2023-%1-%2")
                           .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                           .arg(1 + i % 28, 2, 10, QLatin1Char('0'));
            cells[4] = QStringLiteral("管理处%1").arg(i % 7);
            cells[6] = QStringLiteral("业主%1").arg(i % 101);
            cells[7] = QStringLiteral("%1.00").arg(i % 977);
            cells[10] = QStringLiteral("物业管理费");
            fitter.fitTexts(g, cells);
            const int r = g.appendRow(std::move(cells));
            if (i % 50 == 0) {
                for (int c = 1; c < 18; ++c)
                    g.setCellBackColor(r, c, marked);
            }
        }
        const int total = g.appendRow({ QString(), QStringLiteral("合计") });
        g.setCellForeColor(total, 1, Qt::red);
    });
    int scrolls = 0;
    run.wait([&] {
        // The user moves about and resizes while the rows come in.
        if (++scrolls % 2)
            view.scrollToBottom();
        else
            view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
        view.resize(900 + (scrolls % 3) * 40, 600);
    });
    QVERIFY(!run.failed());
    qInfo("%d rows from a worker: longest GUI event-loop gap %lld ms", kRows, run.longestGapMs());

    QTRY_COMPARE(view.tableModel()->rowCount(), kRows + 2);
    QCOMPARE(view.tableModel()->columnCount(), 18);
    const QModelIndex last = view.tableModel()->index(kRows + 1, 1);
    QCOMPARE(last.data().toString(), QStringLiteral("合计"));
    QCOMPARE(last.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    QCOMPARE(view.tableModel()->index(51, 5).data(Qt::BackgroundRole).value<QBrush>().color(), marked);
    for (int c = 0; c < 18; ++c)
        QTRY_COMPARE(view.columnWidth(c), fee::twipsToPixels(g.colWidth(c), view.logicalDpiX()));
    // The widest amount widened its column beyond the heading.
    QVERIFY(g.colWidth(2) >= g.measureText(QStringLiteral("00033333")) + 90);

    view.scrollToBottom();
    QCoreApplication::processEvents();
    QCOMPARE(view.rowAt(view.viewport()->height() - 1), kRows + 1);
    compareSpans(view);
    QCOMPARE(view.rowSpan(kRows - 1, 2), 3); // rows 99998 to 100000 share 票据号码 00033332
    view.scrollToTop();
    QCoreApplication::processEvents();
    compareSpans(view);
    QCOMPARE(view.rowSpan(1, 2), 3);
}

enum class Shape { CutWhileShown, RedrawOffAndOn, WidthsAndMerges, MoreColumns, CutToHeadings };
Q_DECLARE_METATYPE(Shape)

void TestGridStream::writerChangesShape_data()
{
    QTest::addColumn<Shape>("shape");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::newRow("cut while shown") << Shape::CutWhileShown << 1200 << 6;
    QTest::newRow("redraw off and on") << Shape::RedrawOffAndOn << 700 << 6;
    QTest::newRow("widths and merges") << Shape::WidthsAndMerges << 3002 << 6;
    QTest::newRow("more columns") << Shape::MoreColumns << 3002 << 9;
    QTest::newRow("cut to the headings") << Shape::CutToHeadings << 1 << 6;
}

// Whatever the writer does to the grid's shape while it is shown, the view
// ends showing the grid as it is.
void TestGridStream::writerChangesShape()
{
    QFETCH(Shape, shape);
    QFETCH(int, rows);
    QFETCH(int, cols);
    fee::GridView view;
    fee::GridModel& g = view.grid();
    g.setCols(6);
    g.setMergeCells(fee::MergeRestrictColumns);
    g.setMergeCol(1, true);
    QAbstractItemModelTester tester(view.tableModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    view.resize(500, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    auto fill = [&](int count) {
        for (int i = 0; i < count; ++i)
            g.appendRow({ QString::number(i), QStringLiteral("K%1").arg(i / 4) });
    };
    Run run([&] {
        fill(3000);
        switch (shape) {
        case Shape::CutWhileShown:
            g.setRows(1000);
            fill(200);
            break;
        case Shape::RedrawOffAndOn:
            g.setRedraw(false);
            g.setRows(500);
            fill(200);
            g.setColWidth(1, 3000);
            g.setRedraw(true);
            break;
        case Shape::WidthsAndMerges:
            g.setColWidth(1, 2500);
            g.setColWidth(4, 0);
            g.setRowHeight(2900, 900);
            g.setMergeCol(2, true);
            g.setMergeCells(fee::MergeFree);
            break;
        case Shape::MoreColumns:
            g.setCols(9);
            g.setColWidth(8, 1500);
            break;
        case Shape::CutToHeadings:
            g.setRows(1);
            break;
        }
    });
    run.wait([&] { view.scrollToBottom(); });
    QVERIFY(!run.failed());

    QTRY_COMPARE(view.tableModel()->rowCount(), rows);
    QCOMPARE(g.rows(), rows);
    QCOMPARE(view.tableModel()->columnCount(), cols);
    view.scrollToBottom();
    QTRY_COMPARE(view.columnWidth(1), fee::twipsToPixels(g.colWidth(1), view.logicalDpiX()));
    QCOMPARE(view.isColumnHidden(4), g.colWidth(4) == 0);
    QCOMPARE(view.columnWidth(cols - 1), fee::twipsToPixels(g.colWidth(cols - 1), view.logicalDpiX()));
    if (rows > 2900)
        QCOMPARE(view.rowHeight(2900), fee::twipsToPixels(g.rowHeight(2900), view.logicalDpiY()));
    const QModelIndex bottom = view.tableModel()->index(rows - 1, 1);
    QCOMPARE(bottom.data().toString(), g.text(rows - 1, 1));
    compareSpans(view);
}

// Rows appended one at a time by another thread reach the view in a few
// batches, each announced once and in order.
void TestGridStream::insertsComeInBatches()
{
    constexpr int kRows = 20000;
    fee::GridModel g;
    fee::GridTableModel model(&g);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    Run run([&] {
        for (int i = 0; i < kRows; ++i) {
            const int r = g.appendRow();
            g.setText(r, 1, QString::number(i));
        }
    });
    run.wait();
    QVERIFY(!run.failed());
    QTRY_COMPARE(model.rowCount(), kRows + 2);
    QCOMPARE(resets.size(), 0);
    QVERIFY2(inserted.size() < kRows / 100, qPrintable(QString::number(inserted.size())));
    int next = 2;
    for (const QList<QVariant>& batch : std::as_const(inserted)) {
        QCOMPARE(batch.at(1).toInt(), next);
        next = batch.at(2).toInt() + 1;
    }
    QCOMPARE(next, kRows + 2);
    QCOMPARE(model.index(kRows + 1, 1).data().toString(), QString::number(kRows - 1));
}

QTEST_MAIN(TestGridStream)
#include "tst_gridstream.moc"
