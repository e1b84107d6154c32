#include "common/grid/gridmodel.h"
#include "common/print/printgrid.h"

#include <algorithm>

namespace fee {

namespace {

    const QString kTitleFont = QStringLiteral("宋体");
    constexpr double kTitleSize = 16;
    const QString kTall = QStringLiteral("中");
    const QString kBody = QStringLiteral("的");

    void setFont(PageSurface& surface, const QString& name, double size)
    {
        surface.setFontName(name);
        surface.setFontSize(size);
    }

} // namespace

int printedColumnCount(const GridModel& grid, int skip)
{
    return std::clamp(grid.cols() - std::max(skip, 0), 0, grid.cols());
}

double printedTableWidth(const GridModel& grid, int skip)
{
    double width = 0;
    const int printed = printedColumnCount(grid, skip);
    for (int c = 0; c < printed; ++c)
        width += grid.colWidth(c);
    return width;
}

double MeasureHeaderHeight(PageSurface& surface, bool hasDateLine, const QString& fontName, double fontSize)
{
    setFont(surface, kTitleFont, kTitleSize);
    surface.setFontBold(true);
    double h = 1.5 * surface.textHeight(kTall);
    surface.setFontBold(false);
    h += surface.textHeight(kTall);
    if (hasDateLine) {
        setFont(surface, fontName, fontSize);
        h += 2 * surface.textHeight(kTall);
    }
    return h;
}

double MeasureFooterHeight(PageSurface& surface, bool signature, const QString& fontName, double fontSize)
{
    setFont(surface, fontName, fontSize);
    double h = surface.textHeight(kTall);
    if (signature)
        h += surface.textHeight(kTall);
    h += surface.textHeight(kTall);
    return h;
}

double PrintPageHeader(PageSurface& surface, const QString& title, const QString& dateLine, const QString& fontName,
    double fontSize, const GridModel& grid, int skip, double left)
{
    const double pageWidth = surface.printableWidth();
    const QString company = QString::fromUtf8(kPrintCompanyLine);

    setFont(surface, kTitleFont, kTitleSize);
    surface.setFontBold(true);
    surface.setCurrentX((pageWidth - surface.textWidth(company)) / 2);
    surface.setCurrentY(0);
    surface.printText(company);

    surface.setFontBold(false);
    surface.setCurrentX((pageWidth - surface.textWidth(title)) / 2);
    surface.setCurrentY(surface.currentY() + surface.textHeight(kTall) / 2);
    surface.printText(title);
    surface.printText(QString());
    const double y0 = surface.currentY();

    setFont(surface, fontName, fontSize);
    const double bodyHeight = surface.textHeight(kBody);
    const double rowHeight = grid.rows() > 0 ? grid.rowHeight(0) : GridModel::kDefaultRowHeight;

    if (!dateLine.isEmpty()) {
        surface.setCurrentX((pageWidth - surface.textWidth(dateLine)) / 2);
        surface.setCurrentY(y0);
        surface.printText(dateLine);
    }
    const double tableTop = surface.currentY() + surface.textHeight(kTall);

    double x = left;
    const int printed = printedColumnCount(grid, skip);
    for (int c = 0; c < printed; ++c) {
        const double w = grid.colWidth(c);
        surface.drawLine(x, tableTop, x + w, tableTop);
        if (c == printed - 1)
            surface.drawLine(x + w, tableTop, x + w, tableTop + rowHeight);
        surface.drawLine(x, tableTop, x, tableTop + rowHeight);
        const QString heading = grid.rows() > 0 ? grid.text(0, c) : QString();
        // Trailing blanks of a heading count: they widen the column on screen too.
        surface.setCurrentX(x + (w - surface.textWidth(heading)) / 2);
        surface.setCurrentY(tableTop + (rowHeight - bodyHeight) / 2);
        surface.printText(heading);
        x += w;
    }
    return tableTop + rowHeight;
}

void PrintPageFooter(PageSurface& surface, double width, double left, bool signature, int page, int pageCount,
    double yBottom, const QDate& printDate)
{
    const double pageWidth = surface.printableWidth();
    const double bodyHeight = surface.textHeight(kBody);

    surface.drawLine(left, yBottom, left + width, yBottom);

    const QDate date = printDate.isValid() ? printDate : QDate::currentDate();
    const QString dated = QStringLiteral("打印日期 ") + date.toString(QStringLiteral("yyyy-MM-dd"));
    surface.setCurrentX(left + width - surface.textWidth(dated));
    surface.setCurrentY(yBottom + bodyHeight);
    surface.printText(dated);

    if (signature) {
        const QString names = QStringLiteral("审核                制单              ");
        surface.setCurrentX((pageWidth - surface.textWidth(names)) / 2.5);
        surface.setCurrentY(yBottom + bodyHeight);
        surface.printText(names);
    }

    const QString numbered = QStringLiteral("第%1页 共%2页").arg(page).arg(pageCount);
    surface.setCurrentX((pageWidth - surface.textWidth(numbered)) / 2);
    surface.setCurrentY(surface.printableHeight() - bodyHeight);
    surface.printText(numbered);
}

} // namespace fee
