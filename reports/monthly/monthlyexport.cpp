#include "reports/monthly/monthlyexport.h"

#include "reports/monthly/monthlychart.h"
#include "reports/monthly/monthlycolumns.h"

#include "core/failure.h"
#include "core/textformat.h"
#include "workbook/reportworkbookstyle.h"
#include "workbook/workbook.h"
#include "workbook/workbookrange.h"
#include "workbook/workbookvalue.h"

namespace fee {

using namespace monthly;

namespace {

    using namespace reportbook;
    constexpr double kTwipsPerPoint = 20;
    constexpr int kSummaryColumns = kOfficeCode; // grid columns up to the office code become A to AL
    constexpr int kGridToSheetRow = 4;

    const QString kMoneyFormat = QStringLiteral("#0.00");

    // Grid column c is sheet column c + 1.
    int sheetColumn(int gridColumn) { return gridColumn + 1; }

    void checkSavePath(const QString& savePath)
    {
        if (savePath.isEmpty())
            throw Failure(kErrFile, QStringLiteral("没有指定保存的文件名"));
    }

    // The derived columns of an office row as formulas over its money cells.
    // Each carries the value it computes to, reckoned like the spreadsheet
    // from the cells as written (in doubles, as it computes, so a reader that
    // does not recalculate shows what one that does would): an empty cell
    // counts 0, a rate is a fraction, a zero divisor gives "".
    class OfficeRowFormulas {
    public:
        OfficeRowFormulas(WorkbookSheet& sheet, int row)
            : m_sheet(sheet)
            , m_row(row)
        {
        }

        void write()
        {
            const double arrears = n(kArrears), arrearsCollected = n(kArrearsCollected),
                         arrearsWaived = n(kArrearsWaived), due = n(kDue), waived = n(kWaived), vacant = n(kVacant);
            double collected = 0;
            for (int m = 0; m < 12; ++m)
                collected += n(kFirstMonth + m);
            const double arrearsUnpaid = arrears - arrearsCollected - arrearsWaived;
            const double unpaid = due - collected - waived - vacant;
            const double prepaid = n(kPrepaidNextYear) + n(kPrepaidYearAfter) + n(kPrepaidLater);
            const double received = arrearsCollected + collected + prepaid;
            const double dueToDate = n(kDueToDate), collectedToDate = n(kCollectedToDate);
            const double unpaidToDate = dueToDate - collectedToDate;

            put(kArrearsUnpaid, "=C{R}-D{R}-E{R}", arrearsUnpaid);
            put(kArrearsRateWithWaivers, "=IF(C{R},(D{R}+E{R})/C{R},\"\")",
                rate(arrearsCollected + arrearsWaived, arrears));
            put(kArrearsRate, "=IF((C{R}-E{R}),D{R}/(C{R}-E{R}),\"\")",
                rate(arrearsCollected, arrears - arrearsWaived));
            put(kCollected, "=SUM(J{R}:U{R})", collected);
            put(kUnpaid, "=I{R}-V{R}-W{R}-X{R}", unpaid);
            put(kRateWithWaivers, "=IF(I{R},(V{R}+W{R}+X{R})/I{R},\"\")", rate(collected + waived + vacant, due));
            put(kRate, "=IF((I{R}-W{R}-X{R}),V{R}/(I{R}-W{R}-X{R}),\"\")", rate(collected, due - waived - vacant));
            put(kPrepaid, "=AB{R}+AC{R}+AD{R}", prepaid);
            put(kReceived, "=D{R}+V{R}+AE{R}", received);
            put(kUnpaidToDate, "=AH{R}-AI{R}", unpaidToDate);
            put(kRateToDate, "=IF(AH{R},AI{R}/AH{R},\"\")", rate(collectedToDate, dueToDate));
            put(kAllUnpaid, "=F{R}+AJ{R}", arrearsUnpaid + unpaidToDate);
        }

    private:
        // The number written into the office row's cell of a grid column.
        double n(int gridColumn) const
        {
            const QVariant v = m_sheet.value(m_row, sheetColumn(gridColumn));
            return v.typeId() == QMetaType::Double ? v.toDouble() : 0.0;
        }
        static QVariant rate(double numerator, double divisor)
        {
            if (divisor == 0)
                return QString();
            return numerator / divisor;
        }
        void put(int gridColumn, const char* formula, const QVariant& result)
        {
            QString text = QString::fromLatin1(formula);
            text.replace(QLatin1String("{R}"), QString::number(m_row));
            m_sheet.cells(m_row, sheetColumn(gridColumn)).setFormula(text, result);
        }

        WorkbookSheet& m_sheet;
        int m_row;
    };

    void writeSummaryHeadings(WorkbookSheet& ws, const GridModel& grid)
    {
        // Both heading rows set every width again, so the grid's column widths remain.
        for (int gridRow = 0; gridRow < kHeadingRows && gridRow < grid.rows(); ++gridRow) {
            for (int c = 0; c < kSummaryColumns; ++c) {
                ws.columns(sheetColumn(c)).setColumnWidth(grid.colWidth(c) / kTwipsPerWidthUnit);
                writeCellValue(ws.cells(gridRow + kGridToSheetRow, sheetColumn(c)), grid.value(gridRow, c));
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
        const QVector<CellValue> values = grid.rowValues(gridRow);
        for (int c = 0; c < kSummaryColumns; ++c) {
            WorkbookRange cell = ws.cells(row, sheetColumn(c));
            // Money columns show two decimals even where a cell is empty.
            if (c >= kArrears && !isRateOrCount(c))
                cell.setNumberFormat(kMoneyFormat);
            writeCellValue(cell, values.value(c));
            cell.setHorizontalAlignment(c == kName ? kLeft : kRight);
        }
        if (grid.rowKind(gridRow) != RowKind::Total)
            OfficeRowFormulas(ws, row).write();
    }

} // namespace

QString summaryDateLine(const QDate& statisticsDate)
{
    return QStringLiteral(" 统计日期 : ") + formatDate(statisticsDate, QStringLiteral("yyyy-mm-dd"));
}

void writeMonthlySummaryWorkbook(const GridModel& summary, const SummaryWorkbookInfo& info, const QString& savePath,
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

    for (int r = kHeadingRows; r < summary.rows(); ++r) {
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
    if (summary.rows() > kHeadingRows)
        book.addChartSheet(rateWorkbookChart(summary, ws.name(), kGridToSheetRow));

    book.saveAs(savePath);
}

void writeMonthlyDetailWorkbook(const GridModel& detail, const DetailWorkbookInfo& info, const QString& savePath)
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
        writeCellValue(ws.cells(kGridToSheetRow, c + 1), detail.value(0, c));
    }
    ws.range(ws.cells(4, 1), ws.cells(4, cols)).setInteriorColor(kHeadingColour);

    namespace col = MonthlyDetailColumn;
    for (int r = 1; r < detail.rows(); ++r) {
        const int row = r + kGridToSheetRow;
        const QVector<CellValue> values = detail.rowValues(r);
        for (int c = 0; c < detail.cols(); ++c) {
            WorkbookRange cell = ws.cells(row, c + 1);
            const CellValue& value = values.at(c);
            if (c == col::kAmount) {
                cell.setNumberFormat(kMoneyFormat).setHorizontalAlignment(kRight);
                writeCellValue(cell, value);
            } else if (c == col::kCollected) {
                cell.setNumberFormat(QStringLiteral("yyyy-mm-dd")).setHorizontalAlignment(kCentre);
                writeCellValue(cell, value);
            } else if (c == col::kPeriod) {
                cell.setText(value.text()); // the charge period stays text
            } else {
                writeCellValue(cell, value);
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
