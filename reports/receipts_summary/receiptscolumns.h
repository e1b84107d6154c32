#pragma once

#include <QColor>
#include <QString>

namespace fee {

class GridModel;

// The summary grid's columns, named once: the engine, the detail lists, the
// window, the exports and the printout all address the grid through these.
namespace ReceiptsColumn {
    constexpr int kSequence = 0; // 序
    constexpr int kOffice = 1; // 管理项目名称; "小计" and "合计" on the total rows
    constexpr int kCategory = 2; // 项目类别 (收费类别)
    constexpr int kItem = 3; // 收费项目 (XM)
    // The five money groups (amount, tax, income), their sums and the
    // cumulative columns.
    constexpr int kGroupCount = 5; // 收历年, 收当年, 预收明年, 预收明年后, 其他费用(无应收)
    constexpr int kFirstGroup = 4; // group g (0-based) spans kFirstGroup + 3g .. + 2
    constexpr int kTotalAmount = 19; // 合计 金额
    constexpr int kTotalTax = 20;
    constexpr int kTotalIncome = 21;
    constexpr int kDetail = 22; // "明细"
    constexpr int kMonthCumulative = 23; // 月实收累计
    constexpr int kYearCumulative = 24; // 年实收累计
    // Hidden on screen, kept in the CSV; nothing reads them back: a row's
    // source and codes are its RowKey.
    constexpr int kSummaryKind = 25; // 汇总类别 1 to 4 (hidden)
    constexpr int kKey = 26; // office code + " " + DH (hidden)
    constexpr int kCount = 27;
    constexpr int kFirstFigure = 4; // columns 4 to 21 hold figures
    constexpr int kLastFigure = 21;
    constexpr int kFigureCount = kLastFigure - kFirstFigure + 1;
    // Within a group of three (and the sums): amount, tax, income.
    constexpr int kAmountOffset = 0;
    constexpr int kTaxOffset = 1;
    constexpr int kIncomeOffset = 2;
    constexpr int kGroupWidth = 3;
    constexpr int kFirstDataRow = 2; // below the two heading rows
} // namespace ReceiptsColumn

// What a summary column holds.
enum class ReceiptsColumnRole { Text, Amount, Tax, Income, Detail, Cumulative, Hidden };
ReceiptsColumnRole receiptsColumnRole(int column);

// The summary grid's headings (row 0 and row 1) and widths in twips.
QString receiptsHeading(int row, int column);
int receiptsColumnWidth(int column);

// The texts and colours of the summary rows.
inline const char* const kReceiptsDetailText = "明细";
inline const char* const kReceiptsSubtotalText = "小计";
inline const char* const kReceiptsTotalText = "合计";
inline QColor receiptsSubtotalColor() { return QColor(192, 255, 255); }
inline QColor receiptsTotalColor() { return QColor(192, 192, 255); }
inline QColor receiptsDetailTextColor() { return QColor(0, 0, 255); }
inline QColor receiptsHighlightColor() { return QColor(224, 224, 224); }

// The format string that sets the summary grid's alignments.
QString receiptsSummaryFormatString();

// Sets the summary grid to its 2 heading rows and 27 columns: headings,
// widths, alignments, free merging (row 0 and columns 0, 1, 2, 3, 23, 24),
// heading cells centred, the two hidden columns. What ReceiptsEngine::layout
// does, and what the window shows before its first run.
void layoutReceiptsSummaryGrid(GridModel& grid);

// The detail grid's 14 columns.
namespace ReceiptsDetailColumn {
    constexpr int kSequence = 0;
    constexpr int kBook = 1; // 票据簿编号
    constexpr int kNumber = 2; // 票据号码
    constexpr int kPayer = 3;
    constexpr int kItem = 4;
    constexpr int kRemark = 5; // 摘要
    constexpr int kAmount = 6;
    constexpr int kTax = 7;
    constexpr int kIncome = 8;
    constexpr int kReceived = 9; // 收款日期
    constexpr int kCashier = 10;
    constexpr int kIssuer = 11;
    constexpr int kIssued = 12; // 开票日期
    constexpr int kHidden = 13;
    constexpr int kCount = 14;
} // namespace ReceiptsDetailColumn

// The detail grid's format string (the blanks in its headings give the first widths).
QString receiptsDetailFormatString();

// Cuts the detail grid to its heading row and lays out its 14 columns:
// headings, alignments and first widths from the format string, heading
// cells centred, the last column hidden. Done once when the window loads:
// the widths a list widens stay for the next list.
void layoutReceiptsDetailGrid(GridModel& grid);

} // namespace fee
