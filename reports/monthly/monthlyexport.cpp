#include "reports/monthly/monthlyexport.h"

#include "reports/monthly/monthlychart.h"
#include "reports/monthly/monthlycolumns.h"

#include "core/failure.h"
#include "core/textformat.h"
#include "workbook/reportworkbookstyle.h"
#include "workbook/workbook.h"
#include "workbook/workbookgridtext.h"

namespace fee {

namespace {

    using namespace reportbook;
    constexpr double kTwipsPerPoint = 20;
    constexpr int kSummaryColumns = monthly::kOfficeCode; // grid columns up to the office code become A to AL
    constexpr int kGridToSheetRow = 4;

    const QString kMoneyFormat = QStringLiteral("#0.00");
    const QString kTotalsLabel = QStringLiteral("合计");

    // Grid texts written as typed input: the rates become percentages.
    bool isTypedSummaryColumn(int gridCol) { return monthly::isRateOrCount(gridCol); }

    void checkSavePath(const QString& savePath)
    {
        if (savePath.isEmpty())
            throw Failure(kErrFile, QStringLiteral("没有指定保存的文件名"));
    }

    // The derived columns of an office row as formulas over its money cells.
    // Each carries the value it computes to, reckoned like the spreadsheet:
    // an empty cell counts 0, a rate is a fraction, a zero divisor gives "".
    class OfficeRowFormulas {
    public:
        OfficeRowFormulas(WorkbookSheet& sheet, int row)
            : m_sheet(sheet)
            , m_row(row)
        {
        }

        void write()
        {
            const double c = n(3), d = n(4), e = n(5), i = n(9), w = n(23), x = n(24);
            double v = 0;
            for (int col = 10; col <= 21; ++col) // J to U
                v += n(col);
            const double f = c - d - e;
            const double y = i - v - w - x;
            const double ae = n(28) + n(29) + n(30);
            const double af = d + v + ae;
            const double ah = n(34), ai = n(35);
            const double aj = ah - ai;

            put(6, "=C{R}-D{R}-E{R}", f);
            put(7, "=IF(C{R},(D{R}+E{R})/C{R},\"\")", rate(d + e, c));
            put(8, "=IF((C{R}-E{R}),D{R}/(C{R}-E{R}),\"\")", rate(d, c - e));
            put(22, "=SUM(J{R}:U{R})", v);
            put(25, "=I{R}-V{R}-W{R}-X{R}", y);
            put(26, "=IF(I{R},(V{R}+W{R}+X{R})/I{R},\"\")", rate(v + w + x, i));
            put(27, "=IF((I{R}-W{R}-X{R}),V{R}/(I{R}-W{R}-X{R}),\"\")", rate(v, i - w - x));
            put(31, "=AB{R}+AC{R}+AD{R}", ae);
            put(32, "=D{R}+V{R}+AE{R}", af);
            put(36, "=AH{R}-AI{R}", aj);
            put(37, "=IF(AH{R},AI{R}/AH{R},\"\")", rate(ai, ah));
            put(38, "=F{R}+AJ{R}", f + aj);
        }

    private:
        double n(int col) const
        {
            const QVariant v = m_sheet.value(m_row, col);
            return v.typeId() == QMetaType::Double ? v.toDouble() : 0.0;
        }
        static QVariant rate(double numerator, double divisor)
        {
            if (divisor == 0)
                return QString();
            return numerator / divisor;
        }
        void put(int col, const char* formula, const QVariant& result)
        {
            QString text = QString::fromLatin1(formula);
            text.replace(QLatin1String("{R}"), QString::number(m_row));
            m_sheet.cells(m_row, col).setFormula(text, result);
        }

        WorkbookSheet& m_sheet;
        int m_row;
    };

    void writeSummaryHeadings(WorkbookSheet& ws, const GridModel& grid)
    {
        // Both heading rows set every width again, so the grid's column widths remain.
        for (int gridRow = 0; gridRow <= 1 && gridRow < grid.rows(); ++gridRow) {
            for (int c = 0; c < kSummaryColumns; ++c) {
                ws.columns(c + 1).setColumnWidth(grid.colWidth(c) / kTwipsPerWidthUnit);
                ws.cells(gridRow + kGridToSheetRow, c + 1).setValue(grid.text(gridRow, c));
            }
        }
        for (const char* address : { "A4:A5", "B4:B5", "C4:H4", "I4:AA4", "AB4:AE4", "AF4:AF5", "AG4:AK4", "AL4:AL5" })
            ws.range(QString::fromLatin1(address)).merge();
        ws.range(QStringLiteral("A4:AL5")).setInteriorColor(kHeadingColour);
        // The two-line headings of row 5 need the grid's taller heading row.
        if (grid.rows() > 1)
            ws.setRowHeight(kGridToSheetRow + 1, grid.rowHeight(1) / kTwipsPerPoint);
    }

    void writeSummaryRow(WorkbookSheet& ws, const GridModel& grid, int gridRow)
    {
        const int row = gridRow + kGridToSheetRow;
        for (int c = 0; c < kSummaryColumns; ++c) {
            WorkbookRange cell = ws.cells(row, c + 1);
            const QString text = grid.text(gridRow, c);
            if (c == 0) {
                cell.setValue(text).setHorizontalAlignment(kRight);
            } else if (c == 1) {
                cell.setValue(text).setHorizontalAlignment(kLeft);
            } else if (isTypedSummaryColumn(c)) {
                cell.setValue(text).setHorizontalAlignment(kRight);
            } else {
                cell.setNumberFormat(kMoneyFormat).setValue(moneyTypedText(text)).setHorizontalAlignment(kRight);
            }
        }
        if (grid.text(gridRow, 1) != kTotalsLabel)
            OfficeRowFormulas(ws, row).write();
    }

} // namespace

QString summaryDateLine(const QDate& statisticsDate)
{
    return QStringLiteral(" 统计日期 : ") + formatDate(statisticsDate, QStringLiteral("yyyy-mm-dd"));
}

void ExportSummaryWorkbook(const GridModel& summary, const SummaryWorkbookInfo& info, const QString& savePath,
    const std::function<void(int row)>& progress)
{
    checkSavePath(savePath);
    Workbook book;
    WorkbookSheet& ws = book.worksheet(1);

    ws.range(QStringLiteral("A1:AL1")).merge().setHorizontalAlignment(kCentre);
    ws.cells(1, 1).setValue(info.title);
    ws.range(QStringLiteral("A2:D2")).merge().setHorizontalAlignment(kLeft);
    ws.cells(2, 1).setValue(QStringLiteral(" 统计单位 : ") + info.company);
    ws.range(QStringLiteral("A3:D3")).merge().setHorizontalAlignment(kLeft);
    ws.cells(3, 1).setValue(summaryDateLine(info.statisticsDate));
    ws.range(QStringLiteral("A4:AL5")).setHorizontalAlignment(kCentre);

    writeSummaryHeadings(ws, summary);

    for (int r = 2; r < summary.rows(); ++r) {
        if (progress)
            progress(r);
        writeSummaryRow(ws, summary, r);
    }

    const int last = summary.rows() + 3;
    ws.range(QStringLiteral("A1:AL1")).setFontName(QStringLiteral("楷体_GB2312")).setFontBold(true);
    ws.range(ws.cells(2, 1), ws.cells(last + 1, kSummaryColumns))
        .setFontName(QStringLiteral("微软雅黑"))
        .setFontSize(10);
    ws.range(ws.cells(4, 1), ws.cells(last, kSummaryColumns)).setBorderLineStyle(kContinuous);
    ws.range(ws.cells(last, 1), ws.cells(last, kSummaryColumns)).setInteriorColor(kHeadingColour);
    ws.setPrintLayout(kGridToSheetRow, kGridToSheetRow + 1);
    if (summary.rows() > monthly::kHeadingRows)
        book.addChartSheet(monthly::rateWorkbookChart(summary, ws.name(), kGridToSheetRow));

    book.saveAs(savePath);
}

void ExportDetailWorkbook(const GridModel& detail, const DetailWorkbookInfo& info, const QString& savePath)
{
    checkSavePath(savePath);
    Workbook book;
    WorkbookSheet& ws = book.worksheet(1);
    const int cols = std::max(1, detail.cols());

    ws.range(ws.cells(1, 1), ws.cells(1, cols)).merge().setHorizontalAlignment(kCentre);
    ws.cells(1, 1).setValue(QStringLiteral("月报 ") + info.caption);
    ws.range(QStringLiteral("A2:D2")).merge().setHorizontalAlignment(kLeft);
    ws.cells(2, 1).setValue(QStringLiteral(" 统计单位 : ") + info.company);
    ws.range(QStringLiteral("A3:D3")).merge();
    ws.cells(3, 1).setValue(
        QStringLiteral(" 统计年月 : ") + info.year + QStringLiteral(" 年 ") + info.month + QStringLiteral(" 月"));
    ws.range(ws.cells(4, 1), ws.cells(4, cols)).setHorizontalAlignment(kCentre);

    for (int c = 0; c < detail.cols(); ++c) {
        ws.columns(c + 1).setColumnWidth(detail.colWidth(c) / kTwipsPerWidthUnit);
        ws.cells(kGridToSheetRow, c + 1).setValue(detail.text(0, c));
    }
    ws.range(ws.cells(4, 1), ws.cells(4, cols)).setInteriorColor(kHeadingColour);

    for (int r = 1; r < detail.rows(); ++r) {
        const int row = r + kGridToSheetRow;
        for (int c = 0; c < detail.cols(); ++c) {
            WorkbookRange cell = ws.cells(row, c + 1);
            const QString text = detail.text(r, c);
            if (c == 5) {
                cell.setNumberFormat(kMoneyFormat).setValue(moneyTypedText(text)).setHorizontalAlignment(kRight);
            } else if (c == 6) {
                cell.setNumberFormat(QStringLiteral("yyyy-mm-dd")).setHorizontalAlignment(kCentre);
                writeDateText(cell, text);
            } else if (c == 4) {
                cell.setValue(QLatin1Char('\'') + text); // the charge period stays text
            } else {
                cell.setValue(text);
            }
        }
    }

    const int last = detail.rows() + 3;
    ws.range(ws.cells(last, 1), ws.cells(last, cols)).setInteriorColor(kHeadingColour);
    ws.range(ws.cells(1, 1), ws.cells(1, cols)).setFontName(QStringLiteral("微软雅黑")).setFontBold(true);
    ws.range(ws.cells(2, 1), ws.cells(last + 1, cols)).setFontName(QStringLiteral("微软雅黑")).setFontSize(9);
    ws.range(ws.cells(4, 1), ws.cells(last, cols)).setBorderLineStyle(kContinuous);
    ws.setPrintLayout(kGridToSheetRow, kGridToSheetRow);

    book.saveAs(savePath);
}

} // namespace fee
