#include "common/print/printpagechoice.h"

#include "common/print/printgrid.h"

#include <QPageSize>
#include <QRectF>

namespace fee {

QPageLayout a4PrintLayout(QPageLayout::Orientation orientation)
{
    return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(18, 18, 18, 18), QPageLayout::Point);
}

PrintPageChoice chooseA4Layout(const GridModel& grid, int skip)
{
    const double tableTwips = printedTableWidth(grid, skip);
    const auto fitsOn = [tableTwips](const QPageLayout& layout) {
        return tableTwips <= layout.paintRect(QPageLayout::Point).width() * 20;
    };
    const QPageLayout portrait = a4PrintLayout(QPageLayout::Portrait);
    if (fitsOn(portrait))
        return { portrait, true };
    const QPageLayout landscape = a4PrintLayout(QPageLayout::Landscape);
    return { landscape, fitsOn(landscape) };
}

} // namespace fee
