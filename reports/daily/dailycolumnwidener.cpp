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
    if (m_lastTexts.size() != grid.cols())
        m_lastTexts = QVector<QString>(grid.cols());
    for (int c = 0; c < grid.cols(); ++c) {
        const QString text = grid.text(row, c);
        // The same text as the row before fits already (columns never narrow).
        if (!m_lastTexts.at(c).isNull() && text == m_lastTexts.at(c))
            continue;
        m_lastTexts[c] = text;
        const int wanted = width(grid, text) + DailyGrid::kWidenPadding;
        if (wanted > grid.colWidth(c))
            grid.setColWidth(c, wanted);
    }
}

} // namespace fee
