#include "core/messages.h"
#include "widgets/gridcelldelegate.h"
#include "widgets/gridtablemodel.h"
#include "widgets/gridview.h"
#include "widgets/messageboxhandler.h"
#include "core/grid/fonttextmeasure.h"
#include "widgets/windowhelpers.h"

#include <QAbstractItemModelTester>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolTip>
#include <QWheelEvent>
#include <QtTest>

class TestGridView : public QObject {
    Q_OBJECT
private slots:
    void modelFollowsGrid();
    void modelRoles();
    void hundredThousandRows();
    void frozenPartsAndClicks();
    void wheelReachesTheBody();
    void frozenPartsStayUnderKeys();
    void tooWideTextElidedWithTooltip();
    void mergedBlocksShown();
    void shownGridDestroyedFirst();
    void autoFitColumns();
    void centerInMdi_data();
    void centerInMdi();
    void widgetTextMeasure();
    void messageBoxAnswers();
};

void TestGridView::modelFollowsGrid()
{
    auto* grid = new fee::GridModel;
    fee::GridTableModel model(grid);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    grid->appendRow();
    grid->setRows(6);
    QCOMPARE(inserted.size(), 2);
    QCOMPARE(model.rowCount(), 6);
    grid->setText(5, 1, QStringLiteral("x"));
    QCOMPARE(model.index(5, 1).data().toString(), QStringLiteral("x"));
    grid->setRows(3); // cut
    QCOMPARE(resets.size(), 1);
    QCOMPARE(model.rowCount(), 3);
    grid->setCols(5);
    QCOMPARE(model.columnCount(), 5);

    // While drawing is off the model keeps its old shape, then resets once.
    grid->setRedraw(false);
    grid->setRows(2);
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(!model.index(2, 0).data().isValid()); // cut from the grid: nothing, no failure
    for (int i = 0; i < 20; ++i)
        grid->appendRow();
    grid->setRows(10);
    QCOMPARE(model.rowCount(), 3);
    grid->setRedraw(true);
    QCOMPARE(model.rowCount(), 10);
    QCOMPARE(resets.size(), 3);

    delete grid;
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.grid());
}

void TestGridView::modelRoles()
{
    fee::GridModel grid;
    grid.setRows(3);
    grid.setCols(3);
    grid.setFixedAlignment(1, fee::AlignCenter);
    grid.setColAlignment(1, fee::AlignRight);
    grid.setText(0, 1, QStringLiteral("清欠率\r\n(含减免)"));
    grid.setText(1, 2, QStringLiteral("12.50"));
    grid.setText(2, 2, QStringLiteral("合计"));
    grid.setCellBackColor(1, 1, QColor(255, 255, 192));
    grid.setCellForeColor(2, 1, Qt::blue);
    grid.setColWidth(2, 1500);
    grid.setWordWrap(true);
    fee::GridTableModel model(&grid);

    auto align = [&](int r, int c) { return model.index(r, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>(); };
    QCOMPARE(align(0, 1), Qt::AlignHCenter | Qt::AlignVCenter); // fixed cell
    QCOMPARE(align(1, 1), Qt::AlignRight | Qt::AlignVCenter);
    QCOMPARE(align(1, 2), Qt::AlignRight | Qt::AlignVCenter); // general: a number
    QCOMPARE(align(2, 2), Qt::AlignLeft | Qt::AlignVCenter); // general: text
    QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("清欠率\n(含减免)"));
    QCOMPARE(model.index(1, 1).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 255, 192));
    QVERIFY(model.index(0, 2).data(Qt::BackgroundRole).isValid()); // heading face
    QVERIFY(!model.index(1, 2).data(Qt::BackgroundRole).isValid());
    QCOMPARE(model.index(2, 1).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::blue));
    QCOMPARE(model.index(1, 2).data(Qt::SizeHintRole).toSize(), QSize(100, 20));
    grid.setWordWrap(false);
    QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("清欠率 (含减免)"));
}

void TestGridView::hundredThousandRows()
{
    fee::GridView view;
    fee::GridModel& g = view.grid();
    g.setCols(18);
    g.setMergeCells(fee::MergeRestrictColumns);
    for (int c : { 0, 1, 2 })
        g.setMergeCol(c, true);
    view.resize(800, 600);
    view.show();
    for (int i = 0; i < 100000; ++i) {
        const int r = g.appendRow();
        g.setText(r, 0, QString::number(r));
        g.setText(r, 1, QStringLiteral("B%1").arg(i / 2));
        g.setText(r, 7, QStringLiteral("1.00"));
    }
    QCoreApplication::processEvents();
    QCOMPARE(view.tableModel()->rowCount(), 100002);
    QCOMPARE(view.rowSpan(2, 1), 2); // rows 2 and 3 hold B0
    QCOMPARE(view.rowSpan(4, 1), 2);
    QCOMPARE(view.rowSpan(2, 0), 1);
    view.scrollToBottom();
    QCoreApplication::processEvents();
    QCOMPARE(view.rowSpan(100000, 1), 2); // B49999, the last pair
    QCOMPARE(view.rowSpan(100000, 0), 1);
    // Only the rows around the visible ones carry merged blocks.
    const auto [first, last] = view.mergedRowBand();
    QCOMPARE(last, 100001);
    QVERIFY2(last - first < 1000, qPrintable(QString::number(last - first)));
    QCOMPARE(view.rowSpan(2, 1), 1);
}

void TestGridView::frozenPartsAndClicks()
{
    fee::GridView view;
    fee::GridModel& g = view.grid();
    g.setRows(60);
    g.setCols(30);
    g.setFixedRows(2);
    g.setFixedCols(1);
    g.setRowHeight(1, 600);
    for (int r = 0; r < g.rows(); ++r)
        for (int c = 0; c < g.cols(); ++c)
            g.setText(r, c, QStringLiteral("%1/%2").arg(r).arg(c));
    view.resize(600, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.refreshLayout();

    QTableView* top = view.fixedRowsView();
    QTableView* left = view.fixedColsView();
    QTableView* corner = view.cornerView();
    QVERIFY(top && left && corner);
    QVERIFY(top->isVisible() && left->isVisible() && corner->isVisible());
    QCOMPARE(top->height(), 20 + 40); // 300 + 600 twips
    QCOMPARE(left->width(), 64); // default 960 twips
    QCOMPARE(corner->size(), QSize(64, 60));

    QSignalSpy clicks(&view, &fee::GridView::cellClicked);
    struct Case {
        int row, col;
    };
    for (const Case& k : { Case { 5, 3 }, Case { 0, 4 }, Case { 7, 0 }, Case { 1, 0 } }) {
        const QRect rect = view.cellRect(k.row, k.col);
        QVERIFY2(rect.isValid(), qPrintable(QStringLiteral("%1,%2").arg(k.row).arg(k.col)));
        QWidget* target = view.childAt(rect.center());
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&view, rect.center()));
        QVERIFY(!clicks.isEmpty());
        const QList<QVariant> args = clicks.takeLast();
        QCOMPARE(args.at(0).toInt(), k.row);
        QCOMPARE(args.at(1).toInt(), k.col);
        QCOMPARE(g.currentRow(), k.row);
        QCOMPARE(g.currentCol(), k.col);
    }

    // Scrolling moves the body and the fixed column together; headings stay.
    view.verticalScrollBar()->setValue(200);
    view.horizontalScrollBar()->setValue(300);
    QCOMPARE(left->verticalScrollBar()->value(), 200);
    QCOMPARE(top->horizontalScrollBar()->value(), 300);
    QCOMPARE(top->verticalScrollBar()->value(), 0);
    QCOMPARE(view.cellRect(0, 0).topLeft(), corner->geometry().topLeft());
    QCOMPARE(view.cellRect(2, 1).top(), corner->geometry().bottom() + 1 - 200);
}

namespace {
    // A grid of 200 rows and 30 columns, two heading rows and one fixed
    // column, shown 600 x 400.
    void fillLarge(fee::GridView& view)
    {
        fee::GridModel& g = view.grid();
        g.setRows(200);
        g.setCols(30);
        g.setFixedRows(2);
        g.setFixedCols(1);
        for (int r = 0; r < g.rows(); ++r)
            for (int c = 0; c < g.cols(); ++c)
                g.setText(r, c, QStringLiteral("%1/%2").arg(r).arg(c));
        view.resize(600, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.refreshLayout();
    }

    void sendWheel(QWidget* target, int notches)
    {
        const QPoint at = target->rect().center();
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(target, &wheel);
    }
}

// A wheel turned over the body travels on to the scroll bar, which the
// view watches too; over a frozen part it is handed to the body. Either
// way the body scrolls, once, and the frozen headings stay.
void TestGridView::wheelReachesTheBody()
{
    fee::GridView view;
    fillLarge(view);
    QScrollBar* bar = view.verticalScrollBar();
    for (QWidget* target : { view.viewport(), static_cast<QWidget*>(bar), view.fixedRowsView()->viewport(),
             view.fixedColsView()->viewport(), view.cornerView()->viewport() }) {
        bar->setValue(0);
        sendWheel(target, -1);
        QVERIFY2(bar->value() > 0, qPrintable(target->objectName()));
        QCOMPARE(view.fixedRowsView()->verticalScrollBar()->value(), 0);
        QCOMPARE(view.fixedColsView()->verticalScrollBar()->value(), bar->value());
    }
    // At the end of the range the wheel goes nowhere, and ends.
    bar->setValue(bar->maximum());
    sendWheel(bar, -3);
    sendWheel(view.fixedRowsView()->viewport(), -3);
    QCOMPARE(bar->value(), bar->maximum());
    // An empty grid: nothing to scroll.
    view.grid().setRows(2);
    view.refreshLayout();
    sendWheel(view.fixedRowsView()->viewport(), -1);
    sendWheel(view.verticalScrollBar(), -1);
}

// The keyboard moves the current cell through the body; the heading rows
// keep showing the headings and the fixed column the rows beside it.
void TestGridView::frozenPartsStayUnderKeys()
{
    fee::GridView view;
    fillLarge(view);
    view.setFocus();
    view.setCurrentIndex(view.model()->index(5, 5));
    QTableView* top = view.fixedRowsView();
    QTableView* left = view.fixedColsView();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = { { Qt::Key_PageDown, {} }, { Qt::Key_End, Qt::ControlModifier }, { Qt::Key_Up, {} },
        { Qt::Key_Left, {} }, { Qt::Key_Home, {} }, { Qt::Key_Home, Qt::ControlModifier } };
    for (const auto& k : keys) {
        QTest::keyClick(&view, k.key, k.modifiers);
        QCoreApplication::processEvents();
        QCOMPARE(top->rowAt(1), 0);
        QCOMPARE(top->verticalScrollBar()->value(), 0);
        QCOMPARE(left->columnAt(1), 0);
        QCOMPARE(left->horizontalScrollBar()->value(), 0);
        QCOMPARE(left->verticalScrollBar()->value(), view.verticalScrollBar()->value());
        QCOMPARE(top->horizontalScrollBar()->value(), view.horizontalScrollBar()->value());
    }
}

// A text too wide for its cell even without margins is shortened with an
// ellipsis and shows whole as the cell's tooltip; one that fits shows as
// it is, and no tooltip comes.
void TestGridView::tooWideTextElidedWithTooltip()
{
    const QFontMetrics metrics(QFont(QStringLiteral("Noto Sans CJK SC"), 9));
    const QString figure = QStringLiteral("18069523.37");
    const int width = metrics.horizontalAdvance(figure);
    using Delegate = fee::GridCellDelegate;
    Delegate::Shown roomy = Delegate::shownText(metrics, figure, width + 6, 3, false);
    QCOMPARE(roomy.text, figure);
    QVERIFY(!roomy.elided);
    QCOMPARE(roomy.margin, 3);
    Delegate::Shown tight = Delegate::shownText(metrics, figure, width + 2, 3, false);
    QCOMPARE(tight.text, figure); // the margins give way first
    QCOMPARE(tight.margin, 1);
    Delegate::Shown narrow = Delegate::shownText(metrics, figure, width - 10, 3, false);
    QVERIFY(narrow.elided);
    QVERIFY(narrow.text.endsWith(QStringLiteral("…")));
    QVERIFY(metrics.horizontalAdvance(narrow.text) <= width - 16);
    Delegate::Shown wrapped = Delegate::shownText(metrics, QStringLiteral("清欠率\n(含减免)"), 40, 3, true);
    QVERIFY(wrapped.wrap);

    fee::GridView view;
    fee::GridModel& g = view.grid();
    g.setFontName(QStringLiteral("Noto Sans CJK SC"));
    g.setRows(3);
    g.setCols(2);
    g.setFixedRows(1);
    g.setFixedCols(0);
    g.setColWidth(0, 600); // 40 pixels
    g.setColWidth(1, 3000);
    g.setText(1, 0, figure);
    g.setText(1, 1, figure);
    view.resize(400, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.refreshLayout();
    auto tooltipAt = [&view](int row, int col) {
        const QRect cell = view.visualRect(view.model()->index(row, col));
        QHelpEvent help(QEvent::ToolTip, cell.center(), view.viewport()->mapToGlobal(cell.center()));
        QCoreApplication::sendEvent(view.viewport(), &help);
        const QString shown = QToolTip::isVisible() ? QToolTip::text() : QString();
        QToolTip::hideText();
        return shown;
    };
    QCOMPARE(tooltipAt(1, 1), QString());
    QCOMPARE(tooltipAt(1, 0), figure);
}

void TestGridView::mergedBlocksShown()
{
    fee::GridView view;
    fee::GridModel& g = view.grid();
    g.setRows(3);
    g.setCols(5);
    g.setFixedRows(2);
    for (int c = 1; c <= 3; ++c)
        g.setText(0, c, QStringLiteral("往年欠费"));
    g.setText(0, 4, QStringLiteral("合计"));
    g.setText(1, 4, QStringLiteral("合计"));
    g.setMergeCells(fee::MergeFree);
    g.setMergeRow(0, true);
    g.setMergeCol(4, true);
    view.refreshLayout();
    QCOMPARE(view.fixedRowsView()->columnSpan(0, 1), 3);
    QCOMPARE(view.fixedRowsView()->rowSpan(0, 4), 2);
    const QRect block = view.cellRect(0, 4);
    QCOMPARE(block.height(), 40 - 1); // both rows, less the grid line
    g.setText(1, 4, QStringLiteral("x"));
    view.refreshLayout();
    QCOMPARE(view.fixedRowsView()->rowSpan(0, 4), 1);
}

void TestGridView::shownGridDestroyedFirst()
{
    fee::GridView view;
    auto* external = new fee::GridModel;
    external->setRows(5);
    external->setFixedCols(0);
    view.setGrid(external);
    view.resize(300, 200);
    view.show();
    QCOMPARE(view.tableModel()->rowCount(), 5);
    delete external;
    QCOMPARE(view.cellRect(1, 1), QRect());
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(&view.grid(), view.tableModel()->grid());
    QCOMPARE(view.tableModel()->rowCount(), view.grid().rows());
    QVERIFY(view.cellRect(1, 1).isValid());
}

void TestGridView::autoFitColumns()
{
    fee::GridModel g;
    g.setRows(3);
    g.setCols(3);
    for (int c = 0; c < 3; ++c)
        g.setFixedAlignment(c, fee::AlignCenter);
    g.setFixedAlignment(2, fee::AlignGeneral);
    g.setColWidth(2, 1234);
    g.setText(0, 1, QStringLiteral("序"));
    g.setText(2, 1, QStringLiteral("付款人地址 long text"));
    g.setText(1, 2, QStringLiteral("a very long text that is ignored"));
    const QFontMetrics metrics(QFont(QStringLiteral("Noto Sans CJK SC"), 9));
    fee::AutoFitColumns(g, metrics);
    QCOMPARE(g.colWidth(0), 90); // all empty
    QCOMPARE(g.colWidth(1), int(std::nearbyint(fee::textWidthTwips(metrics, g.text(2, 1)) + 90)));
    QVERIFY(g.colWidth(1) > g.colWidth(0) + 90);
    QCOMPARE(g.colWidth(2), 1234); // general fixed alignment keeps its width
}

void TestGridView::centerInMdi_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("smaller") << QSize(200, 100) << QPoint(100, 100);
    QTest::newRow("wider than the client area") << QSize(500, 100) << QPoint(-50, 100);
}

void TestGridView::centerInMdi()
{
    QFETCH(QSize, window);
    QFETCH(QPoint, expected);
    QWidget client;
    client.resize(400, 300);
    QWidget child(&client);
    child.resize(window);
    fee::CenterInMdi(&child, &client);
    QCOMPARE(child.pos(), expected);
}

void TestGridView::widgetTextMeasure()
{
    fee::installFontTextMeasure();
    fee::GridModel g;
    g.setFontName(QStringLiteral("Noto Sans CJK SC"));
    QCOMPARE(g.measureText(QString()), 0);
    QVERIFY(g.measureText(QStringLiteral("金额   ")) > g.measureText(QStringLiteral("金额")));
    QCOMPARE(g.measureText(QStringLiteral("清欠率\r\n(含减免)")), g.measureText(QStringLiteral("(含减免)")));
    g.setFormatString(QStringLiteral("^序   |<票据簿编号  "));
    QCOMPARE(g.colWidth(1), g.measureText(QStringLiteral("票据簿编号  ")) + fee::GridModel::kFormatPadding);
    fee::GridModel::setTextMeasure({});
    QCOMPARE(g.measureText(QStringLiteral("序a")), 270);
}

void TestGridView::messageBoxAnswers()
{
    fee::installMessageBoxHandler();
    QString title;
    QString text;
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        box->button(QMessageBox::No)->click();
    });
    fee::BoxRequest r;
    r.text = QStringLiteral("确认要退出系统吗？");
    r.title = QStringLiteral("系统提示");
    r.icon = fee::BoxIcon::Question;
    r.buttons = fee::BoxButtons::YesNo;
    QCOMPARE(int(fee::showBox(r)), int(fee::BoxAnswer::No));
    QCOMPARE(title, r.title);
    QCOMPARE(text, r.text);
    fee::setBoxHandler({});
}

QTEST_MAIN(TestGridView)
#include "tst_gridview.moc"
