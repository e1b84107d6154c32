#include "reports/receipts_summary/receiptscolumns.h"

#include "core/grid/gridmodel.h"

namespace fee {

namespace {

    const char* const kGroupHeadings[] = { "收历年", "收当年", "预收明年", "预收明年后", "其他费用(无应收)", "合计" };
    const char* const kGroupParts[] = { "金额", "税额", "收入" };

} // namespace

ReceiptsColumnRole receiptsColumnRole(int column)
{
    using namespace ReceiptsColumn;
    if (column >= kFirstFigure && column <= kLastFigure) {
        switch ((column - kFirstFigure) % 3) {
        case 0:
            return ReceiptsColumnRole::Amount;
        case 1:
            return ReceiptsColumnRole::Tax;
        default:
            return ReceiptsColumnRole::Income;
        }
    }
    if (column == kDetail)
        return ReceiptsColumnRole::Detail;
    if (column == kMonthCumulative || column == kYearCumulative)
        return ReceiptsColumnRole::Cumulative;
    if (column == kSummaryKind || column == kKey)
        return ReceiptsColumnRole::Hidden;
    return ReceiptsColumnRole::Text;
}

QString receiptsHeading(int row, int column)
{
    using namespace ReceiptsColumn;
    switch (column) {
    case kSequence:
        return QStringLiteral("序");
    case kOffice:
        return QStringLiteral("管理项目名称");
    case kCategory:
        return QStringLiteral("项目类别");
    case kItem:
        return QStringLiteral("收费项目");
    case kDetail:
        return row == 0 ? QStringLiteral("查看") : QStringLiteral("操作");
    case kMonthCumulative:
        return QStringLiteral("月实收累计");
    case kYearCumulative:
        return QStringLiteral("年实收累计");
    case kSummaryKind:
    case kKey:
        return QString();
    default:
        break;
    }
    if (column < kFirstFigure || column > kLastFigure)
        return QString();
    const int offset = column - kFirstFigure;
    return QString::fromUtf8(row == 0 ? kGroupHeadings[offset / 3] : kGroupParts[offset % 3]);
}

int receiptsColumnWidth(int column)
{
    using namespace ReceiptsColumn;
    switch (column) {
    case kSequence:
        return 400;
    case kOffice:
    case kCategory:
    case kItem:
        return 1400;
    case kDetail:
        return 500;
    case kSummaryKind:
    case kKey:
        return 0;
    default:
        return 1000;
    }
}

QString receiptsSummaryFormatString()
{
    return QStringLiteral("^|< |< |< |>|>|> |>|>|> |>|>|> |>|>|> |>|>|> |>|>|> |>|> |>|");
}

void layoutReceiptsSummaryGrid(GridModel& grid)
{
    using namespace ReceiptsColumn;
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    grid.setRows(2);
    grid.setCols(kCount);
    grid.setFixedRows(2);
    grid.setFixedCols(1);
    // The format string sets the alignments of its 26 parts; the headings
    // and widths it would leave are replaced below.
    grid.setFormatString(receiptsSummaryFormatString());
    grid.setCols(kCount);
    grid.setMergeCells(MergeFree);
    for (int r = 0; r < grid.rows(); ++r)
        grid.setMergeRow(r, r == 0);
    for (int c = 0; c < kCount; ++c) {
        grid.setText(0, c, receiptsHeading(0, c));
        grid.setText(1, c, receiptsHeading(1, c));
        grid.setColWidth(c, receiptsColumnWidth(c));
        grid.setFixedAlignment(c, AlignCenter);
        grid.setMergeCol(c,
            c == kSequence || c == kOffice || c == kCategory || c == kItem || c == kMonthCumulative
                || c == kYearCumulative);
    }
    grid.setRedraw(redraw);
}

QString receiptsDetailFormatString()
{
    return QStringLiteral(
        "^序    |<票据簿编号|<票据号码  |<付款人                    |<收费项目          |<摘    要                  "
        "            |>金额         |>税额         |>收入         |<收款日期        |<收款人    |<开票人    |<开票日期 "
        " "
        "      |");
}

void layoutReceiptsDetailGrid(GridModel& grid)
{
    using namespace ReceiptsDetailColumn;
    const bool redraw = grid.redraw();
    grid.setRedraw(false);
    grid.setRows(1);
    grid.setCols(kCount);
    grid.setFixedRows(1);
    grid.setFixedCols(1);
    grid.setFormatString(receiptsDetailFormatString());
    for (int c = 0; c < kCount; ++c)
        grid.setFixedAlignment(c, AlignCenter);
    grid.setColWidth(kHidden, 0);
    grid.setRedraw(redraw);
}

} // namespace fee
