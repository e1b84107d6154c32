#pragma once

#include "reports/receipts_summary/receiptsselection.h"

#include <QDate>
#include <QString>
#include <functional>

namespace fee {

class GridModel;

// The two workbooks of the receipts summary, written cell by cell from the
// values of the grids the window shows (money as numbers, dates as dates, the
// 小计 rows known by their row kind): the summary (columns 0 to 24, the hidden
// ones left out) and a detail list (columns 0 to 12). No formulas.

// The filter of the save dialog of both exports.
inline const char* const kReceiptsWorkbookFilter = "电子表|*.xls;*.xlsx";

// The names the save dialog is preset to: "收款汇总表_" + yyyymmdd, and
// "收款明细_" + office + "_" + fee item + "_" + yyyymmdd.
QString receiptsSummaryPresetName(const QDate& today);
QString receiptsDetailPresetName(const QString& officeName, const QString& itemName, const QDate& today);

// The summary workbook: the title "收 款 汇 总 表", the receipt-date range,
// the two heading rows merged and coloured, the rows with their amounts as
// numbers "#0.00", the 小计 rows in the grid's colour and the last row in the
// heading colour, fonts, borders, the headings repeated on every printed
// page. Written to fileName exactly (through a temporary file: a failure
// leaves an existing file as it was). progress(done) counts the grid's data
// rows written (0 for the first). Throws Failure.
void WriteReceiptsSummaryWorkbook(const GridModel& summary, const DateRange& receipts, const QString& fileName,
    const std::function<void(int done)>& progress = {});

// The heading line of the detail workbook: office and fee item of the summary
// row the list belongs to.
struct ReceiptsDetailHeading {
    QString officeName;
    QString itemName;
};

// The detail workbook "收款汇总明细表": office and fee item, the receipt-date
// range, the heading row, the rows (book and receipt numbers kept as text,
// amounts as numbers "#0.00", dates as dates), the totals row coloured.
// progress(row) gets the grid row being written (1 for the first).
void WriteReceiptsDetailWorkbook(const GridModel& detail, const ReceiptsDetailHeading& heading,
    const DateRange& receipts, const QString& fileName, const std::function<void(int row)>& progress = {});

} // namespace fee
