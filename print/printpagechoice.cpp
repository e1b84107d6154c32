#include "print/printpagechoice.h"

#include "core/grid/gridmodel.h"

#include <QRectF>
#include <algorithm>
#include <cmath>

namespace fee {

namespace {

    struct Candidate {
        QPageSize::PageSizeId paper;
        QPageLayout::Orientation orientation;
    };

    double printableTwips(const QPageLayout& layout) { return layout.paintRect(QPageLayout::Point).width() * 20; }

    // A scale a little under the exact ratio, so that the shrunk table is
    // never a rounding error wider than the page.
    double scaleToFit(double pageTwips, double tableTwips)
    {
        return std::floor(pageTwips / tableTwips * 10000) / 10000;
    }

} // namespace

QPageLayout printPageLayout(const QPageSize& paper, QPageLayout::Orientation orientation)
{
    return QPageLayout(paper, orientation, QMarginsF(18, 18, 18, 18), QPageLayout::Point);
}

PrintPageChoice choosePrintPage(const GridModel& grid, int skip, PrintPaper paper, bool fitToWidth)
{
    QVector<Candidate> candidates;
    switch (paper) {
    case PrintPaper::Auto:
        candidates = { { QPageSize::A4, QPageLayout::Portrait }, { QPageSize::A4, QPageLayout::Landscape },
            { QPageSize::A3, QPageLayout::Landscape } };
        break;
    case PrintPaper::A4:
        candidates = { { QPageSize::A4, QPageLayout::Portrait }, { QPageSize::A4, QPageLayout::Landscape } };
        break;
    case PrintPaper::A3:
        candidates = { { QPageSize::A3, QPageLayout::Portrait }, { QPageSize::A3, QPageLayout::Landscape } };
        break;
    }
    const double tableTwips = printedTableWidth(grid, skip);
    PrintPageChoice choice;
    for (const Candidate& c : candidates) {
        choice.layout = printPageLayout(QPageSize(c.paper), c.orientation);
        choice.paperName = c.paper == QPageSize::A3 ? QStringLiteral("A3") : QStringLiteral("A4");
        if (tableTwips <= printableTwips(choice.layout))
            return choice;
    }
    // The widest page of the list is left in the choice.
    const double fitting = scaleToFit(printableTwips(choice.layout), tableTwips);
    if (fitToWidth) {
        choice.scale = fitting;
        return choice;
    }
    if (paper != PrintPaper::Auto) {
        choice.fits = false;
        choice.overflow = PaperWidthAnswer::No;
        return choice;
    }
    const double smallest = std::min(1.0, kSmallestPrintedPoints / std::max(grid.fontSize(), 1.0));
    if (fitting >= smallest) {
        choice.scale = fitting;
        return choice;
    }
    choice.scale = smallest;
    choice.fits = false;
    choice.overflow = PaperWidthAnswer::Split;
    return choice;
}

PrintGridOptions withPrintPageChoice(PrintGridOptions options, const PrintPageChoice& choice)
{
    options.scale = choice.scale;
    options.paperWidth = choice.fits ? PaperWidthAnswer::No : choice.overflow;
    return options;
}

QString printPageDescription(const PrintPageChoice& choice)
{
    QString text = choice.paperName + (choice.landscape() ? QStringLiteral(" 横向") : QStringLiteral(" 纵向"));
    if (choice.scale < 1)
        text += QStringLiteral(", 缩小到 %1%").arg(std::floor(choice.scale * 100));
    return text;
}

QString printOverflowNotice(const PrintPageChoice& choice, int parts, bool cutOff)
{
    if (choice.fits)
        return QString();
    const QString page
        = (choice.landscape() ? QStringLiteral("横向") : QStringLiteral("纵向")) + choice.paperName + QStringLiteral("纸");
    if (choice.overflow == PaperWidthAnswer::Split) {
        QString text
            = QStringLiteral("表格缩小到 %1% 仍比%2的可打印宽度还宽，分成左右 %3 部分打印，每部分重复左边的固定列")
                  .arg(std::floor(choice.scale * 100))
                  .arg(page)
                  .arg(parts);
        if (cutOff)
            text += QStringLiteral("；有的列单独就比纸宽，超出的部分打印不出来");
        return text;
    }
    return QStringLiteral("表格比%1的可打印宽度还宽，左右两边超出的部分打印不出来").arg(page);
}

} // namespace fee
