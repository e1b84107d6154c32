#include "common/print/printgrid.h"

#include "common/failure.h"
#include "common/grid/gridmodel.h"
#include "common/messages.h"

#include <QVector>
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

    bool changeSettingsWanted(PaperWidthAnswer answer)
    {
        switch (answer) {
        case PaperWidthAnswer::Yes:
            return true;
        case PaperWidthAnswer::No:
            return false;
        case PaperWidthAnswer::Ask:
            break;
        }
        BoxRequest request;
        request.text = QStringLiteral("纸张宽度不够，请设置更宽的纸张或把纸张改成横向打印") + QStringLiteral("\r\n")
            + QStringLiteral("是否要修改打印设置？");
        request.title = programTitle();
        request.icon = BoxIcon::None;
        request.buttons = BoxButtons::YesNo;
        return showBox(request) == BoxAnswer::Yes;
    }

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
        void startPage();
        void printCell(int row, int col, double x);
        void printSingle(int col, double x, const QString& text);
        void printBlock(int col, double x, const QString& text);
        double textX(int col, double x, const QString& text) const;
        double rowTop(int pageRow) const { return m_yBase + m_rowHeight * (pageRow - 1); }

        PageSurface& m_surface;
        const GridModel& m_grid;
        const PrintGridOptions& m_options;
        const int m_printed;
        QVector<double> m_width;
        QVector<bool> m_rightAligned;
        QVector<bool> m_merges;
        double m_tableWidth = 0;
        double m_left = 0;
        double m_rowHeight = 0;
        double m_bodyHeight = 0;
        qint64 m_capacity = 0; // R: a page holds R - 1 data rows
        int m_dataRows = 0;
        int m_pageCount = 0;
        int m_page = 0;
        int m_pageRow = 0; // j
        double m_yBase = 0;
        // Per column: -1 while a merged run is open on this page, else 0; the
        // run's first and last page rows.
        QVector<int> m_mergeState;
        QVector<int> m_runStartRow;
        QVector<int> m_runEndRow;
    };

    PrintGridResult GridPrintJob::run()
    {
        PrintGridResult result;
        m_surface.setUnit(m_options.unit);
        const double pageWidth = m_surface.printableWidth();
        const double pageHeight = m_surface.printableHeight();

        for (double w : m_width)
            m_tableWidth += w;
        m_left = (pageWidth - m_tableWidth) / 2;
        result.cutOff = m_left < 0;
        if (result.cutOff && changeSettingsWanted(m_options.paperWidth))
            return result;

        const QString fontName = m_grid.fontName();
        const double fontSize = m_grid.fontSize();
        const double header = MeasureHeaderHeight(m_surface, !m_options.dateLine.isEmpty(), fontName, fontSize);
        const double footer = MeasureFooterHeight(m_surface, m_options.signature, fontName, fontSize);

        m_surface.setFontName(fontName);
        m_surface.setFontSize(fontSize);
        m_bodyHeight = m_surface.textHeight(kBody);
        m_rowHeight = m_grid.rows() > 0 ? m_grid.rowHeight(0) : GridModel::kDefaultRowHeight;

        m_capacity = wholeQuotient(pageHeight - header - footer - 4 * m_bodyHeight, m_rowHeight + kRowAllowance);
        // Not even one data row fits: there is no sensible page to print.
        if (m_capacity <= 1)
            throw Failure(
                kErrPrinter, QStringLiteral("纸张高度不够，一页连一行数据也打印不下，请设置更高的纸张或减小行高"));

        m_dataRows = std::max(m_grid.rows() - 1, 0);
        const qint64 perPage = m_capacity - 1;
        m_pageCount = m_capacity > m_dataRows ? 1 : int((m_dataRows + perPage - 1) / perPage);

        // A grid without data rows still prints its page: title block,
        // heading row and footer.
        if (m_dataRows == 0) {
            startPage();
            PrintPageFooter(m_surface, m_tableWidth, m_left, m_options.signature, m_page, m_pageCount,
                rowTop(m_pageRow), m_options.printDate);
        }

        for (int i = 1; i <= m_dataRows; ++i) {
            if (i == 1 || m_pageRow == m_capacity)
                startPage();
            double x = m_left;
            for (int c = 0; c < m_printed; ++c) {
                printCell(i, c, x);
                x += m_width[c];
            }
            ++m_pageRow;
            if (m_pageRow == m_capacity) {
                PrintPageFooter(m_surface, m_tableWidth, m_left, m_options.signature, m_page, m_pageCount,
                    rowTop(m_pageRow), m_options.printDate);
                if (i < m_dataRows)
                    m_surface.newPage();
            }
        }
        if (m_dataRows > 0 && m_pageRow != m_capacity)
            PrintPageFooter(m_surface, m_tableWidth, m_left, m_options.signature, m_page, m_pageCount,
                rowTop(m_pageRow), m_options.printDate);

        m_surface.endJob();
        result.printed = true;
        result.pages = m_pageCount;
        return result;
    }

    void GridPrintJob::startPage()
    {
        m_yBase = PrintPageHeader(m_surface, m_options.title, m_options.dateLine, m_grid.fontName(), m_grid.fontSize(),
            m_grid, m_options.skip, m_left);
        m_pageRow = 1;
        ++m_page;
        m_mergeState.fill(0);
    }

    void GridPrintJob::printCell(int row, int col, double x)
    {
        const QString text = m_grid.text(row, col);
        if (!m_merges[col]) {
            printSingle(col, x, text);
            return;
        }
        if (row < m_dataRows && !text.isEmpty() && m_grid.text(row + 1, col) == text) {
            // The run goes on into the next row.
            if (m_mergeState[col] == 0) {
                m_runStartRow[col] = m_pageRow;
                m_mergeState[col] = -1;
            }
            if (m_pageRow + 1 < m_capacity)
                return;
            // Last row of the page: a run never crosses a page.
            m_runEndRow[col] = m_pageRow;
            printBlock(col, x, text);
            return;
        }
        if (m_mergeState[col] == -1) {
            m_runEndRow[col] = m_pageRow;
            printBlock(col, x, text);
        } else {
            printSingle(col, x, text);
        }
    }

    double GridPrintJob::textX(int col, double x, const QString& text) const
    {
        if (m_rightAligned[col])
            return x + m_width[col] - m_surface.textWidth(text) - kCellPadding;
        return x + kCellPadding;
    }

    void GridPrintJob::printSingle(int col, double x, const QString& text)
    {
        const double w = m_width[col];
        const double top = rowTop(m_pageRow);
        m_surface.drawLine(x, top, x + w, top);
        m_surface.drawLine(x, top, x, top + m_rowHeight);
        if (!text.isEmpty()) {
            m_surface.setCurrentX(textX(col, x, text));
            m_surface.setCurrentY(top + (m_rowHeight - m_bodyHeight) / 2);
            m_surface.printText(text);
        }
        if (col == m_printed - 1)
            m_surface.drawLine(x + w, top, x + w, top + m_rowHeight);
    }

    void GridPrintJob::printBlock(int col, double x, const QString& text)
    {
        const double w = m_width[col];
        const int first = m_runStartRow[col];
        const int last = m_runEndRow[col];
        const double blockTop = rowTop(first);
        const double blockBottom = m_yBase + m_rowHeight * last;
        m_surface.drawLine(x, blockTop, x + w, blockTop);
        m_surface.drawLine(x, blockTop, x, blockBottom);
        m_surface.setCurrentX(textX(col, x, text));
        m_surface.setCurrentY(blockTop + (m_rowHeight * (last - first + 1) - m_bodyHeight) / 2);
        m_surface.printText(text);
        m_mergeState[col] = 0;
        if (col == m_printed - 1)
            m_surface.drawLine(x + w, blockTop, x + w, blockBottom);
    }

} // namespace

PrintGridResult PrintGrid(PageSurface& surface, const GridModel& grid, const PrintGridOptions& options)
{
    GridPrintJob job(surface, grid, options);
    return job.run();
}

} // namespace fee
