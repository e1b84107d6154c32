#include "common/print/printpagechoice.h"

#include "common/print/printgrid.h"

#include <QRectF>

namespace fee {

QPageLayout printPageLayout(const QPageSize& paper, QPageLayout::Orientation orientation)
{
    return QPageLayout(paper, orientation, QMarginsF(18, 18, 18, 18), QPageLayout::Point);
}

PrintPageChoice choosePrintLayout(const GridModel& grid, int skip, const QPageSize& paper)
{
    const double tableTwips = printedTableWidth(grid, skip);
    const auto fitsOn = [tableTwips](const QPageLayout& layout) {
        return tableTwips <= layout.paintRect(QPageLayout::Point).width() * 20;
    };
    const QPageLayout portrait = printPageLayout(paper, QPageLayout::Portrait);
    if (fitsOn(portrait))
        return { portrait, true };
    const QPageLayout landscape = printPageLayout(paper, QPageLayout::Landscape);
    return { landscape, fitsOn(landscape) };
}

} // namespace fee
