#include "reports/daily/dailycolumnwidener.h"

#include "common/grid/gridmodel.h"
#include "reports/daily/dailygrid.h"

namespace fee {

int DailyColumnWidener::width(const GridModel& grid, const QString& text)
{
    const auto found = m_widths.constFind(text);
    if (found != m_widths.constEnd())
        return *found;
    const int twips = grid.measureText(text);
    m_widths.insert(text, twips);
    return twips;
}

void DailyColumnWidener::widenToRow(GridModel& grid, int row)
{
    for (int c = 0; c < grid.cols(); ++c) {
        const int wanted = width(grid, grid.text(row, c)) + DailyGrid::kWidenPadding;
        if (wanted > grid.colWidth(c))
            grid.setColWidth(c, wanted);
    }
}

} // namespace fee
