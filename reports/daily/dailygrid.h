#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

namespace fee {

class GridModel;

// The result grid of the daily receipts list, named in this one place: the
// columns, the format string with headings, alignments and first widths, the
// font, the grid lines and the merge settings. The window, printing, the
// export and the command line all take the layout from here.
class DailyGrid {
public:
    enum Column : int {
        Serial = 0, // 序
        Book, // 票据簿编号
        Number, // 票据号码
        Payer, // 付款人
        Address, // 付款人地址
        FeeItem, // 收费项目
        Summary, // 摘要
        Amount, // 金额
        Tax, // 税额
        Income, // 收入
        InvoiceDate, // 开票日期
        Issuer, // 开票人
        ReceiptDate, // 收款日期
        Payee, // 收款人
        Method, // 收款方式
        Remark, // 备注
        ExchangeDate, // 换票日期
        ExchangeNumbers, // 换票号码
        ColumnCount
    };

    // The grid's format string (headings with their trailing blanks, which
    // widen the first widths).
    static QString formatString();
    // The heading texts as the heading row holds them, blanks included.
    static QStringList headings();

    static bool isMergeColumn(int column); // 序, 票据簿编号, 票据号码

    static QString fontName(); // 微软雅黑
    static constexpr double kFontSize = 9;
    static QColor gridLineColor(); // RGB(192, 192, 192)
    // Added to a measured text when a column is widened to fit it.
    static constexpr int kWidenPadding = 90;

    // The design layout: 18 columns from the format string, one fixed heading
    // row and the fixed row-number column, the font, grid lines and centred
    // heading cells; the grid is cut to its heading row.
    static void layout(GridModel& grid);
    // The grid has this layout's columns, fixed row and column and headings
    // (whatever widths they have taken since).
    static bool isLaidOut(const GridModel& grid);
    // What every run leaves: merge mode 3 (restrict columns) with merging in
    // columns 0, 1 and 2, so the lines of one invoice read as one book and
    // number; printing merges the same columns.
    static void applyMergeSettings(GridModel& grid);

    // The background of the row a click highlights: RGB(208, 255, 253).
    static QColor highlightColor();
    // Highlights a clicked row and returns the row highlighted now: the row
    // highlighted before gets the window colour back (when a later run has
    // cut the grid below it, its colours went with the cut and nothing is
    // reset), then the clicked row's cells from column 1 to the last take
    // the highlight; the row number in column 0 is never coloured. A grid
    // with only its heading row, or a click on the heading row or outside
    // the grid, changes nothing.
    static int highlightRow(GridModel& grid, int highlighted, int row);
};

} // namespace fee
