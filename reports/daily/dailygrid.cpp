#include "reports/daily/dailygrid.h"

#include "core/grid/gridmodel.h"

namespace fee {

QString DailyGrid::formatString()
{
    return QStringLiteral(
        "^序   |<票据簿编号  |<票据号码     |<付款人        |<付款人地址        |<收费项目        "
        "|<摘要             |>金额              |>税额         |>收入              |<开票日期      "
        "|<开票人      |<收款日期        |<收款人      |<收款方式      |<备注          |<换票日期      "
        "|<换票号码 ");
}

QStringList DailyGrid::headings()
{
    QStringList texts;
    for (const QString& part : formatString().split(QLatin1Char('|')))
        texts << part.mid(1);
    return texts;
}

bool DailyGrid::isMergeColumn(int column) { return column == Serial || column == Book || column == Number; }

QString DailyGrid::fontName() { return QStringLiteral("微软雅黑"); }

QColor DailyGrid::gridLineColor() { return QColor(192, 192, 192); }

void DailyGrid::layout(GridModel& grid)
{
    grid.setRedraw(false);
    grid.setFontName(fontName());
    grid.setFontSize(kFontSize);
    grid.setCols(ColumnCount);
    grid.setRows(2);
    grid.setFixedRows(1);
    grid.setFixedCols(1);
    grid.setGridLineColor(gridLineColor());
    grid.setFormatString(formatString());
    grid.setRows(1);
    for (int c = 0; c < ColumnCount; ++c)
        grid.setFixedAlignment(c, AlignCenter);
    grid.setRedraw(true);
}

bool DailyGrid::isLaidOut(const GridModel& grid)
{
    if (grid.cols() != ColumnCount || grid.rows() < 1 || grid.fixedRows() != 1 || grid.fixedCols() != 1
        || grid.fontName() != fontName())
        return false;
    const QStringList texts = headings();
    for (int c = 0; c < ColumnCount; ++c)
        if (grid.text(0, c) != texts.at(c))
            return false;
    return true;
}

void DailyGrid::applyMergeSettings(GridModel& grid)
{
    grid.setMergeCells(MergeRestrictColumns);
    for (int c = 0; c < grid.cols(); ++c)
        grid.setMergeCol(c, isMergeColumn(c));
}

QColor DailyGrid::highlightColor() { return QColor(208, 255, 253); }

int DailyGrid::highlightRow(GridModel& grid, int highlighted, int row)
{
    const int rows = grid.rows();
    if (rows <= 1 || row < 1 || row >= rows)
        return highlighted;
    grid.setRedraw(false);
    if (highlighted > 0 && highlighted < rows)
        grid.setRowBackColor(highlighted, 1, grid.cols() - 1, QColor());
    grid.setRowBackColor(row, 1, grid.cols() - 1, highlightColor());
    grid.setRedraw(true);
    return row;
}

} // namespace fee
