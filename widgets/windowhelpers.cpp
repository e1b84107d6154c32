#include "widgets/windowhelpers.h"

#include "core/grid/fonttextmeasure.h"
#include "core/grid/gridmodel.h"

#include <QFontMetrics>
#include <QMdiSubWindow>
#include <QWidget>
#include <cmath>

namespace fee {

QWidget* windowFrame(QWidget* window)
{
    auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    return frame ? static_cast<QWidget*>(frame) : window;
}

void CenterInMdi(QWidget* window, QWidget* mdiClientArea)
{
    if (!window || !mdiClientArea)
        return;
    const QRect outer = window->frameGeometry();
    const int left = (mdiClientArea->width() - outer.width()) / 2;
    const int top = (mdiClientArea->height() - outer.height()) / 2;
    if (window->isWindow()) {
        // A top-level window lands over the client area wherever the main window is.
        window->move(mdiClientArea->mapToGlobal(QPoint(left, top)));
    } else if (window->parentWidget() && window->parentWidget() != mdiClientArea) {
        window->move(window->parentWidget()->mapFromGlobal(mdiClientArea->mapToGlobal(QPoint(left, top))));
    } else {
        window->move(left, top);
    }
}

void AutoFitColumns(GridModel& grid, const QFontMetrics& metrics)
{
    for (int c = 0; c < grid.cols(); ++c) {
        if (grid.fixedAlignment(c) == AlignGeneral)
            continue;
        double best = 0;
        for (int r = 0; r < grid.rows(); ++r) {
            const double w = textWidthTwips(metrics, grid.text(r, c)) + 90;
            if (w > best)
                best = w;
        }
        if (best != 0)
            grid.setColWidth(c, int(std::nearbyint(best))); // halves go to the even neighbour
    }
}

} // namespace fee
