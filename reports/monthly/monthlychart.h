#pragma once

#include "core/chartdata.h"
#include "workbook/workbookchart.h"

namespace fee {

class GridModel;

namespace monthly {

    // The collection-rate chart of a summary grid: per office (Data) row, in
    // the grid's order, this year's collection rate and the arrears clearing
    // rate (both without waivers), and the Total row's collection rate as the
    // reference line. Only rate values count: an empty cell has no value.
    // Reads rows as they are, so a grid still being filled gives the offices
    // it holds so far.
    ChartData rateChart(const GridModel& summary);

    // The same rates as a chart of the summary workbook, pointing at the rate
    // cells of its summary sheet (grid row r is sheet row r + rowOffset):
    // one bar per office and one for 合计.
    WorkbookChart rateWorkbookChart(const GridModel& summary, const QString& summarySheet, int rowOffset);

} // namespace monthly

} // namespace fee
