#include "core/grid/gridmodel.h"
#include "print/printgrid.h"

#include <QStringList>
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

namespace {

    // Room between a cell's border and its text.
    constexpr double kHeadingPadding = 45;

    QStringList headingLines(const QString& text)
    {
        QString plain = text;
        plain.remove(QLatin1Char('\r'));
        return plain.split(QLatin1Char('\n'));
    }

    // One heading cell, or a merged heading cut to the page's columns: ruled
    // on top and on the left (and on the right at the table's right end), the
    // text centred over the whole piece and kept inside it.
    void printHeadingPiece(PageSurface& surface, double x, double y, double w, double h, const QString& text,
        bool rightEnd, double fontSize)
    {
        surface.drawLine(x, y, x + w, y);
        if (rightEnd)
            surface.drawLine(x + w, y, x + w, y + h);
        surface.drawLine(x, y, x, y + h);
        if (text.isEmpty() || w <= 0 || h <= 0)
            return;

        QStringList lines = headingLines(text);
        const auto widest = [&surface](const QStringList& texts) {
            double most = 0;
            for (const QString& line : texts)
                most = std::max(most, surface.textWidth(line));
            return most;
        };
        const double room = w - 2 * kHeadingPadding;
        // Trailing blanks widen a heading's column on screen and count when it
        // is centred, as long as the heading fits with them.
        if (widest(lines) > room) {
            for (QString& line : lines) {
                while (line.endsWith(QLatin1Char(' ')))
                    line.chop(1);
            }
        }
        double lineHeight = surface.textHeight(kBody);
        const double wide = widest(lines);
        const double tall = lineHeight * lines.size();
        double share = 1;
        if (wide > room && wide > 0)
            share = std::min(share, std::max(room, 0.0) / wide);
        if (tall > h && tall > 0)
            share = std::min(share, h / tall);
        share = std::max(share, kSmallestCellTextShare);
        if (share < 1) {
            surface.setFontSize(fontSize * share);
            lineHeight = surface.textHeight(kBody);
        }
        surface.setClip(x, y, w, h);
        double lineY = y + (h - lineHeight * lines.size()) / 2;
        for (const QString& line : lines) {
            surface.setCurrentX(x + (w - surface.textWidth(line)) / 2);
            surface.setCurrentY(lineY);
            surface.printText(line);
            lineY += lineHeight;
        }
        surface.clearClip();
        if (share < 1)
            surface.setFontSize(fontSize);
    }

} // namespace

int headingRowCount(const GridModel& grid)
{
    return std::min(std::max(grid.fixedRows(), 1), grid.rows());
}

double headingRowHeight(const GridModel& grid, int row)
{
    if (grid.rows() == 0)
        return GridModel::kDefaultRowHeight;
    return grid.rowHeight(row);
}

double PrintPageHeader(PageSurface& surface, const QString& title, const QString& dateLine, const QString& fontName,
    double fontSize, const GridModel& grid, const QVector<int>& columns, double left)
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
    if (!dateLine.isEmpty()) {
        surface.setCurrentX((pageWidth - surface.textWidth(dateLine)) / 2);
        surface.setCurrentY(y0);
        surface.printText(dateLine);
    }
    const double tableTop = surface.currentY() + surface.textHeight(kTall);

    // Every fixed heading row, merged headings drawn once over their span
    // (cut to this page's columns).
    const int headingRows = headingRowCount(grid);
    QVector<double> xs; // left edge of every printed column, then the right end
    double x = left;
    for (int c : columns) {
        xs.append(x);
        x += grid.colWidth(c);
    }
    xs.append(x);
    const QVector<QRect> blocks = headingRows > 0 ? grid.mergedBlocks(0, headingRows - 1) : QVector<QRect>();
    const auto blockOf = [&blocks](int row, int col) {
        for (const QRect& b : blocks) {
            if (b.contains(col, row))
                return b;
        }
        return QRect(col, row, 1, 1);
    };
    QVector<double> rowTops;
    double y = tableTop;
    for (int r = 0; r < headingRows; ++r) {
        rowTops.append(y);
        y += headingRowHeight(grid, r);
    }
    const double headingBottom = y;
    rowTops.append(headingBottom);

    // Neighbours on the page that are neighbours in the grid too (only
    // columns of no width, which are not printed, between them).
    const auto adjacent = [&grid](int left, int right) {
        for (int c = left + 1; c < right; ++c) {
            if (grid.colWidth(c) > 0)
                return false;
        }
        return right > left;
    };
    const int n = int(columns.size());
    for (int r = 0; r < headingRows; ++r) {
        for (int p = 0; p < n;) {
            const QRect block = blockOf(r, columns[p]);
            if (block.top() < r) {
                ++p; // drawn with the row the block starts in
                continue;
            }
            int q = p;
            while (q + 1 < n && adjacent(columns[q], columns[q + 1]) && block.contains(columns[q + 1], r))
                ++q;
            const int bottom = std::min(block.bottom(), headingRows - 1);
            printHeadingPiece(surface, xs[p], rowTops[r], xs[q + 1] - xs[p], rowTops[bottom + 1] - rowTops[r],
                grid.text(r, columns[p]), q == n - 1, fontSize);
            p = q + 1;
        }
    }
    return headingBottom;
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
