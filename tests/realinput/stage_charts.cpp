// A report's chart under real input: shown by its button, a bar hovered and
// clicked, the picture saved, hidden again.
#include "stage.h"

#include "core/grid/gridmodel.h"
#include "widgets/chartpanel.h"
#include "widgets/savefilechooser.h"

#include <QFileInfo>
#include <QImage>
#include <QPushButton>
#include <QScrollArea>
#include <QToolTip>
#include <QtTest>

namespace {

// Where on the screen a bar's first figure is drawn, in its middle, scrolled
// into sight.
QPoint barOnScreen(fee::ChartPanel* panel, int bar)
{
    fee::ChartView* view = panel->chartView();
    const QPoint inView = view->barRect(bar, 0).center();
    panel->scrollArea()->ensureVisible(inView.x(), inView.y(), 10, 40);
    return view->mapToGlobal(inView);
}

} // namespace

QString Stage::chartProblem(QWidget* window, QWidget* shotTarget, const fee::GridModel& grid, const QString& shot)
{
    auto* toggle = window->findChild<QPushButton*>(QStringLiteral("cmdChart"));
    auto* panel = window->findChild<fee::ChartPanel*>();
    if (!toggle || !panel)
        return QStringLiteral("no 图表 button or chart panel");
    if (!input.click(toggle))
        return QStringLiteral("could not click 图表");
    if (!QTest::qWaitFor([panel] { return panel->isVisible() && !panel->data().isEmpty(); }, 10000))
        return QStringLiteral("the chart did not show the run's offices");
    // The last office that has a figure: a click must move the grid there.
    const fee::ChartData& data = panel->data();
    int bar = int(data.bars.size()) - 1;
    while (bar >= 0 && !(data.bars.at(bar).values.at(0) && *data.bars.at(bar).values.at(0) > 0))
        --bar;
    if (bar < 0)
        return QStringLiteral("no office with a figure");
    QTest::qWait(300);
    const QPoint at = barOnScreen(panel, bar);
    QTest::qWait(200);
    const QPoint where = barOnScreen(panel, bar);
    if (!input.moveTo(where))
        return QStringLiteral("could not move the pointer");
    const QString tip = panel->barTip(bar);
    if (!QTest::qWaitFor([&tip] { return QToolTip::isVisible() && QToolTip::text() == tip; }, 5000))
        return QStringLiteral("hovering %1 showed no tooltip \"%2\" (at %3,%4)")
            .arg(data.bars.at(bar).label, tip)
            .arg(at.x())
            .arg(at.y());
    if (!this->shoot(shotTarget, shot))
        return QStringLiteral("no screenshot");
    const int row = data.bars.at(bar).gridRow;
    if (!input.click(where))
        return QStringLiteral("could not click the bar");
    if (!QTest::qWaitFor([&grid, row] { return grid.currentRow() == row; }, 5000))
        return QStringLiteral("a click on %1 left the grid at row %2, not %3")
            .arg(data.bars.at(bar).label)
            .arg(grid.currentRow())
            .arg(row);

    const QString file = dir.filePath(QFileInfo(shot).completeBaseName() + QStringLiteral("-saved.png"));
    fee::setSaveFileChooser([file](QWidget*, const QString&, const QString&) { return file; });
    const bool clicked = input.click(panel->saveButton());
    const bool saved = QTest::qWaitFor([&file] { return QFileInfo::exists(file); }, 10000);
    fee::setSaveFileChooser({});
    if (!clicked || !saved || QImage(file).isNull())
        return QStringLiteral("保存图表 wrote no picture");

    if (!input.click(toggle) || !QTest::qWaitFor([panel] { return !panel->isVisible(); }, 5000))
        return QStringLiteral("图表 did not hide the chart");
    return {};
}
