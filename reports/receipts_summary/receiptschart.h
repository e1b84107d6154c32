#pragma once

#include "core/chartdata.h"

namespace fee {

class GridModel;
class Workbook;

// The receipts chart of a summary grid: one stacked bar per office, its
// receipts (the money values of the 合计 金额 column) added up by fee
// category, offices and categories in the order the grid first shows them.
// Only data rows count (小计 and 合计 rows are known by their row kind); a
// category an office has no receipts of has no value there.
ChartData receiptsCategoryChart(const GridModel& summary);

// The same chart in the summary workbook: a sheet 图表数据 holding each
// office's category sums as formulas over the 金额 cells of the summary
// sheet (grid row r is sheet row r + rowOffset), and a chart sheet 收款图表
// whose stacked bars point at those sums, so that both follow an edited
// figure. Nothing is added for a grid without offices.
void addReceiptsChartSheets(Workbook& book, const GridModel& summary, const QString& summarySheet, int rowOffset);

} // namespace fee
