#include "reports/receipts_summary/receiptschart.h"
#include "reports/receipts_summary/receiptsexport.h"

#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "core/textformat.h"
#include "workbook/reportworkbookstyle.h"
#include "workbook/workbook.h"
#include "workbook/workbookvalue.h"
#include "reports/receipts_summary/receiptscolumns.h"

namespace fee {

namespace {

    using namespace reportbook;

    const QString kMoneyFormat = QStringLiteral("#0.00");
    const QString kDateFormat = QStringLiteral("yyyy-mm-dd");
    const QString kSheetFont = QStringLiteral("微软雅黑");

    // The summary's columns up to 年实收累计 (A to Y); the two hidden ones stay out.
    constexpr int kSummarySheetColumns = ReceiptsColumn::kSummaryKind;
    // Grid rows 2 on go to sheet row r + 4, under the two heading rows 4 and 5.
    constexpr int kSummaryRowOffset = 4;
    // The detail's columns up to 开票日期 (A to M); the empty last one stays out.
    constexpr int kDetailSheetColumns = ReceiptsDetailColumn::kHidden;
    // Grid rows 1 on go to sheet row r + 4, under the heading row 4.
    constexpr int kDetailRowOffset = 4;

    // The colour number the sheet takes for a grid colour (blue-green-red).
    int bgr(const QColor& colour) { return colour.red() | (colour.green() << 8) | (colour.blue() << 16); }

    void checkFileName(const QString& fileName)
    {
        if (fileName.isEmpty())
            throw Failure(kErrFile, QStringLiteral("没有指定保存的文件名"));
    }

    QString receiptDateLine(const DateRange& receipts)
    {
        return QStringLiteral(" 收款日期: ") + formatDate(receipts.start, kDateFormat) + QStringLiteral(" 至 ")
            + formatDate(receipts.end, kDateFormat);
    }

    void writeTitle(WorkbookSheet& ws, const QString& title, int columns)
    {
        ws.range(ws.cells(1, 1), ws.cells(1, columns)).merge().setHorizontalAlignment(kCentre);
        ws.cells(1, 1).setValue(title);
    }

    // A cell of a money column: the value shown "#0.00" on the right (the
    // summary's 明细 text too, as it always was); an empty cell stays empty.
    void writeAmount(WorkbookRange cell, const CellValue& value)
    {
        if (value.isEmpty())
            return;
        cell.setNumberFormat(kMoneyFormat);
        writeCellValue(cell, value);
        cell.setHorizontalAlignment(kRight);
    }

    // Fonts of rows 2 to one below the last, borders of the table, the
    // last row in the heading colour.
    void finishSheet(WorkbookSheet& ws, int lastRow, int columns)
    {
        ws.range(ws.cells(lastRow, 1), ws.cells(lastRow, columns)).setInteriorColor(kHeadingColour);
        ws.range(ws.cells(1, 1), ws.cells(1, columns)).setFontName(kSheetFont).setFontBold(true);
        ws.range(ws.cells(2, 1), ws.cells(lastRow + 1, columns)).setFontName(kSheetFont).setFontSize(9);
        ws.range(ws.cells(4, 1), ws.cells(lastRow, columns)).setBorderLineStyle(kContinuous);
    }

} // namespace

QString receiptsSummaryPresetName(const QDate& today)
{
    return QStringLiteral("收款汇总表_") + formatDate(today, QStringLiteral("yyyymmdd"));
}

QString receiptsDetailPresetName(const QString& officeName, const QString& itemName, const QDate& today)
{
    return QStringLiteral("收款明细_") + officeName + QLatin1Char('_') + itemName + QLatin1Char('_')
        + formatDate(today, QStringLiteral("yyyymmdd"));
}

void WriteReceiptsSummaryWorkbook(const GridModel& summary, const DateRange& receipts, const QString& fileName,
    const std::function<void(int done)>& progress)
{
    checkFileName(fileName);
    namespace col = ReceiptsColumn;
    const int n = std::min(kSummarySheetColumns, summary.cols());
    Workbook book;
    WorkbookSheet& ws = book.worksheet(1);

    writeTitle(ws, QStringLiteral("收 款 汇 总 表"), n);
    ws.range(QStringLiteral("A3:D3")).merge();
    ws.cells(3, 1).setValue(receiptDateLine(receipts));

    for (int c = 0; c < n; ++c) {
        ws.columns(c + 1).setColumnWidth(summary.colWidth(c) / kTwipsPerWidthUnit);
        for (int r = 0; r < col::kFirstDataRow && r < summary.rows(); ++r)
            writeCellValue(ws.cells(r + kSummaryRowOffset, c + 1), summary.value(r, c));
    }
    WorkbookRange headings = ws.range(ws.cells(4, 1), ws.cells(5, n));
    headings.setHorizontalAlignment(kCentre).setInteriorColor(kHeadingColour);
    for (const char* block :
        { "A4:A5", "B4:B5", "C4:C5", "D4:D5", "E4:G4", "H4:J4", "K4:M4", "N4:P4", "Q4:S4", "T4:V4" })
        ws.range(QString::fromLatin1(block)).merge();

    for (int r = col::kFirstDataRow; r < summary.rows(); ++r) {
        if (progress)
            progress(r - col::kFirstDataRow);
        const int row = r + kSummaryRowOffset;
        const QVector<CellValue> values = summary.rowValues(r);
        for (int c = 0; c < n; ++c) {
            if (c < col::kFirstFigure)
                writeCellValue(ws.cells(row, c + 1), values.at(c));
            else
                writeAmount(ws.cells(row, c + 1), values.at(c));
        }
        if (summary.rowKind(r) == RowKind::Subtotal) {
            const QColor colour = summary.cellBackColor(r, col::kOffice);
            ws.range(ws.cells(row, 1), ws.cells(row, n))
                .setInteriorColor(bgr(colour.isValid() ? colour : receiptsSubtotalColor()));
        }
    }

    finishSheet(ws, summary.rows() + 3, n);
    ws.setPrintLayout(kSummaryRowOffset, kSummaryRowOffset + 1);
    addReceiptsChartSheets(book, summary, ws.name(), kSummaryRowOffset);
    book.saveToFile(fileName);
}

void WriteReceiptsDetailWorkbook(const GridModel& detail, const ReceiptsDetailHeading& heading,
    const DateRange& receipts, const QString& fileName, const std::function<void(int row)>& progress)
{
    checkFileName(fileName);
    namespace dcol = ReceiptsDetailColumn;
    const int m = std::min(kDetailSheetColumns, detail.cols());
    Workbook book;
    WorkbookSheet& ws = book.worksheet(1);

    writeTitle(ws, QStringLiteral("收款汇总明细表"), m);
    ws.range(QStringLiteral("A2:D2")).merge().setHorizontalAlignment(kLeft);
    ws.cells(2, 1).setValue(QStringLiteral(" 管 理 处: ") + heading.officeName + QLatin1Char('_') + heading.itemName);
    ws.range(QStringLiteral("A3:D3")).merge();
    ws.cells(3, 1).setValue(receiptDateLine(receipts));

    for (int c = 0; c < m; ++c) {
        ws.columns(c + 1).setColumnWidth(detail.colWidth(c) / kTwipsPerWidthUnit);
        writeCellValue(ws.cells(kDetailRowOffset, c + 1), detail.value(0, c));
    }
    ws.range(ws.cells(4, 1), ws.cells(4, m)).setHorizontalAlignment(kCentre).setInteriorColor(kHeadingColour);

    for (int r = 1; r < detail.rows(); ++r) {
        if (progress)
            progress(r);
        const int row = r + kDetailRowOffset;
        const QVector<CellValue> values = detail.rowValues(r);
        for (int c = 0; c < m; ++c) {
            WorkbookRange cell = ws.cells(row, c + 1);
            const CellValue& value = values.at(c);
            switch (c) {
            case dcol::kAmount:
            case dcol::kTax:
            case dcol::kIncome:
                writeAmount(cell, value);
                break;
            case dcol::kReceived:
            case dcol::kIssued:
                cell.setNumberFormat(kDateFormat).setHorizontalAlignment(kCentre);
                writeCellValue(cell, value);
                break;
            case dcol::kBook:
            case dcol::kNumber:
                // Book and receipt numbers stay text, typed as text: leading zeros are kept.
                cell.setValue(QLatin1Char('\'') + value.text());
                break;
            default:
                writeCellValue(cell, value);
                break;
            }
        }
    }

    finishSheet(ws, detail.rows() + 3, m);
    ws.setPrintLayout(kDetailRowOffset, kDetailRowOffset);
    book.saveToFile(fileName);
}

} // namespace fee
