#include "print/printgrid.h"

#include "core/failure.h"
#include "core/grid/gridmodel.h"

#include <QVector>
#include <algorithm>
#include <cmath>

namespace fee {

namespace {

    // Room between a cell's border and its text, and the spacing added to
    // every row when the page's capacity is reckoned.
    constexpr double kCellPadding = 45;
    constexpr double kRowAllowance = 45;
    const QString kBody = QStringLiteral("的");

    // Integer division of the print layout: both operands rounded to whole
    // numbers (halves to the even neighbour), the quotient truncated.
    qint64 wholeQuotient(double dividend, double divisor)
    {
        // nearbyint rounds in the default mode: to nearest, halves to even.
        const qint64 a = qint64(std::nearbyint(dividend));
        const qint64 b = qint64(std::nearbyint(divisor));
        if (b == 0)
            return 0;
        return a / b;
    }

    // The columns one page shows, left to right, and where the table sits.
    struct ColumnPart {
        QVector<int> columns;
        double width = 0;
        double left = 0;
    };

    // One print job: the page loop and the cell rules.
    class GridPrintJob {
    public:
        GridPrintJob(PageSurface& surface, const GridModel& grid, const PrintGridOptions& options)
            : m_surface(surface)
            , m_grid(grid)
            , m_options(options)
            , m_printed(printedColumnCount(grid, options.skip))
            , m_mergeState(m_printed, 0)
            , m_runStartRow(m_printed, 0)
            , m_runEndRow(m_printed, 0)
        {
            for (int c = 0; c < m_printed; ++c) {
                m_width.append(grid.colWidth(c));
                m_rightAligned.append(grid.colAlignment(c) == AlignRight);
                m_merges.append(grid.mergeCol(c));
            }
        }

        PrintGridResult run();

    private:
        QVector<ColumnPart> splitColumns(double pageWidth) const;
        void startPage(const ColumnPart& part);
        void printCell(int row, int col, double x, bool lastOfPage, bool rightEnd);
        void printSingle(int col, double x, const QString& text, bool rightEnd);
        void printBlock(int col, double x, const QString& text, bool rightEnd);
        void printCellText(int col, double x, double top, double height, const QString& text);
        double rowTop(int pageRow) const { return m_yBase + m_rowHeight * (pageRow - 1); }

        PageSurface& m_surface;
        const GridModel& m_grid;
        const PrintGridOptions& m_options;
        const int m_printed;
        QVector<double> m_width;
        QVector<bool> m_rightAligned;
        QVector<bool> m_merges;
        double m_rowHeight = 0;
        double m_bodyHeight = 0;
        int m_headingRows = 1;
        int m_dataRows = 0;
        int m_pageRow = 0; // j
        double m_yBase = 0;
        // Per column: -1 while a merged run is open on this page, else 0; the
        // run's first and last page rows.
        QVector<int> m_mergeState;
        QVector<int> m_runStartRow;
        QVector<int> m_runEndRow;
    };

    // The printed columns in parts that each fit the page width: the fixed
    // columns, then as many of the others as fit (at least one). The fixed
    // columns are not repeated when they take half the page or more.
    QVector<ColumnPart> GridPrintJob::splitColumns(double pageWidth) const
    {
        const int fixed = std::clamp(m_grid.fixedCols(), 0, m_printed);
        double fixedWidth = 0;
        for (int c = 0; c < fixed; ++c)
            fixedWidth += m_width[c];
        const bool repeat = fixedWidth < pageWidth / 2;

        QVector<ColumnPart> parts;
        ColumnPart part;
        const auto begin = [&](bool first) {
            part = ColumnPart();
            if (first || repeat) {
                for (int c = 0; c < fixed; ++c) {
                    if (m_width[c] <= 0)
                        continue;
                    part.columns.append(c);
                    part.width += m_width[c];
                }
            }
        };
        begin(true);
        int ownColumns = 0;
        for (int c = fixed; c < m_printed; ++c) {
            if (m_width[c] <= 0)
                continue;
            if (ownColumns > 0 && part.width + m_width[c] > pageWidth) {
                parts.append(part);
                begin(false);
                ownColumns = 0;
            }
            part.columns.append(c);
            part.width += m_width[c];
            ++ownColumns;
        }
        parts.append(part);
        for (ColumnPart& p : parts)
            p.left = (pageWidth - p.width) / 2;
        return parts;
    }

    PrintGridResult GridPrintJob::run()
    {
        PrintGridResult result;
        m_surface.setUnit(m_options.unit);
        m_surface.setScale(m_options.scale > 0 ? m_options.scale : 1);
        const double pageWidth = m_surface.printableWidth();
        const double pageHeight = m_surface.printableHeight();

        // A column of no width (hidden on screen) is not printed.
        ColumnPart whole;
        for (int c = 0; c < m_printed; ++c) {
            if (m_width[c] <= 0)
                continue;
            whole.columns.append(c);
            whole.width += m_width[c];
        }
        whole.left = (pageWidth - whole.width) / 2;
        QVector<ColumnPart> parts { whole };
        if (whole.left < 0 && m_options.paperWidth == PaperWidthAnswer::Split) {
            parts = splitColumns(pageWidth);
        } else {
            result.cutOff = whole.left < 0;
            if (result.cutOff && m_options.paperWidth == PaperWidthAnswer::Ask)
                result.question = paperWidthQuestion();
            if (result.cutOff && m_options.paperWidth != PaperWidthAnswer::No) {
                // Yes (change the settings) prints nothing, and neither does
                // a question still to be asked.
                m_surface.setScale(1);
                return result;
            }
        }
        for (const ColumnPart& part : parts)
            result.cutOff = result.cutOff || part.left < 0;

        const QString fontName = m_grid.fontName();
        const double fontSize = m_grid.fontSize();
        const double header = MeasureHeaderHeight(m_surface, !m_options.dateLine.isEmpty(), fontName, fontSize);
        const double footer = MeasureFooterHeight(m_surface, m_options.signature, fontName, fontSize);

        m_surface.setFontName(fontName);
        m_surface.setFontSize(fontSize);
        m_bodyHeight = m_surface.textHeight(kBody);
        m_rowHeight = headingRowHeight(m_grid, 0);
        m_headingRows = headingRowCount(m_grid);
        // Row 0 counts among the page's rows; the further heading rows take
        // their own room.
        double moreHeadings = 0;
        for (int r = 1; r < m_headingRows; ++r)
            moreHeadings += headingRowHeight(m_grid, r) + kRowAllowance;

        const qint64 capacity = wholeQuotient(
            pageHeight - header - footer - 4 * m_bodyHeight - moreHeadings, m_rowHeight + kRowAllowance);
        // Not even one data row fits: there is no sensible page to print.
        if (capacity <= 1) {
            m_surface.setScale(1);
            throw Failure(
                kErrPrinter, QStringLiteral("纸张高度不够，一页连一行数据也打印不下，请设置更高的纸张或减小行高"));
        }

        m_dataRows = std::max(m_grid.rows() - m_headingRows, 0);
        const qint64 perPage = capacity - 1;
        const int rowPages = m_dataRows == 0 ? 1 : int((m_dataRows + perPage - 1) / perPage);
        const int pageCount = rowPages * int(parts.size());
        const int lastRow = m_headingRows + m_dataRows - 1;

        // Pages go across before down: the parts of the same rows follow one
        // another, so they can be laid side by side.
        int page = 0;
        for (int rowPage = 0; rowPage < rowPages && !result.stopped; ++rowPage) {
            const int first = m_headingRows + int(rowPage * perPage);
            const int last = std::min(lastRow, int(first + perPage - 1));
            for (const ColumnPart& part : parts) {
                if (m_options.progress && !m_options.progress(page + 1, pageCount)) {
                    result.stopped = true;
                    break;
                }
                if (page > 0)
                    m_surface.newPage();
                ++page;
                startPage(part);
                for (int i = first; i <= last; ++i) {
                    double x = part.left;
                    for (int k = 0; k < part.columns.size(); ++k) {
                        const int c = part.columns[k];
                        printCell(i, c, x, i == last, k == part.columns.size() - 1);
                        x += m_width[c];
                    }
                    ++m_pageRow;
                }
                PrintPageFooter(m_surface, part.width, part.left, m_options.signature, page, pageCount,
                    rowTop(m_pageRow), m_options.printDate);
            }
        }

        m_surface.endJob();
        m_surface.setScale(1);
        result.printed = !result.stopped;
        result.pages = pageCount;
        result.parts = int(parts.size());
        return result;
    }

    void GridPrintJob::startPage(const ColumnPart& part)
    {
        m_yBase = PrintPageHeader(m_surface, m_options.title, m_options.dateLine, m_grid.fontName(),
            m_grid.fontSize(), m_grid, part.columns, part.left);
        m_pageRow = 1;
        m_mergeState.fill(0);
    }

    void GridPrintJob::printCell(int row, int col, double x, bool lastOfPage, bool rightEnd)
    {
        const QString text = m_grid.text(row, col);
        if (!m_merges[col]) {
            printSingle(col, x, text, rightEnd);
            return;
        }
        const bool lastData = row == m_headingRows + m_dataRows - 1;
        if (!lastData && !text.isEmpty() && m_grid.text(row + 1, col) == text) {
            // The run goes on into the next row.
            if (m_mergeState[col] == 0) {
                m_runStartRow[col] = m_pageRow;
                m_mergeState[col] = -1;
            }
            if (!lastOfPage)
                return;
            // Last row of the page: a run never crosses a page.
            m_runEndRow[col] = m_pageRow;
            printBlock(col, x, text, rightEnd);
            return;
        }
        if (m_mergeState[col] == -1) {
            m_runEndRow[col] = m_pageRow;
            printBlock(col, x, text, rightEnd);
        } else {
            printSingle(col, x, text, rightEnd);
        }
    }

    // A text wider than its cell is drawn smaller, and what still does not
    // fit is cut to the cell: it never runs over the neighbour's text.
    void GridPrintJob::printCellText(int col, double x, double top, double height, const QString& text)
    {
        const double w = m_width[col];
        double width = m_surface.textWidth(text);
        const double room = w - 2 * kCellPadding;
        const bool tooWide = width > room;
        double bodyHeight = m_bodyHeight;
        if (tooWide) {
            const double share = room > 0 ? std::max(room / width, kSmallestCellTextShare) : kSmallestCellTextShare;
            m_surface.setFontSize(m_grid.fontSize() * share);
            width = m_surface.textWidth(text);
            bodyHeight = m_surface.textHeight(kBody);
            m_surface.setClip(x, top, w, height);
        }
        m_surface.setCurrentX(m_rightAligned[col] ? x + w - width - kCellPadding : x + kCellPadding);
        m_surface.setCurrentY(top + (height - bodyHeight) / 2);
        m_surface.printText(text);
        if (tooWide) {
            m_surface.clearClip();
            m_surface.setFontSize(m_grid.fontSize());
        }
    }

    void GridPrintJob::printSingle(int col, double x, const QString& text, bool rightEnd)
    {
        const double w = m_width[col];
        const double top = rowTop(m_pageRow);
        m_surface.drawLine(x, top, x + w, top);
        m_surface.drawLine(x, top, x, top + m_rowHeight);
        if (!text.isEmpty())
            printCellText(col, x, top, m_rowHeight, text);
        if (rightEnd)
            m_surface.drawLine(x + w, top, x + w, top + m_rowHeight);
    }

    void GridPrintJob::printBlock(int col, double x, const QString& text, bool rightEnd)
    {
        const double w = m_width[col];
        const int first = m_runStartRow[col];
        const int last = m_runEndRow[col];
        const double blockTop = rowTop(first);
        const double blockBottom = m_yBase + m_rowHeight * last;
        m_surface.drawLine(x, blockTop, x + w, blockTop);
        m_surface.drawLine(x, blockTop, x, blockBottom);
        printCellText(col, x, blockTop, m_rowHeight * (last - first + 1), text);
        m_mergeState[col] = 0;
        if (rightEnd)
            m_surface.drawLine(x + w, blockTop, x + w, blockBottom);
    }

} // namespace

BoxRequest paperWidthQuestion()
{
    BoxRequest request;
    request.text = QStringLiteral("纸张宽度不够，请设置更宽的纸张或把纸张改成横向打印") + QStringLiteral("\r\n")
        + QStringLiteral("是否要修改打印设置？");
    request.title = programTitle();
    request.icon = BoxIcon::None;
    request.buttons = BoxButtons::YesNo;
    return request;
}

PrintGridResult PrintGrid(PageSurface& surface, const GridModel& grid, const PrintGridOptions& options)
{
    GridPrintJob job(surface, grid, options);
    return job.run();
}

} // namespace fee
