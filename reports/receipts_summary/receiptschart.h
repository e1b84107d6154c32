#pragma once

#include "common/chartdata.h"

namespace fee {

class GridModel;

// The receipts chart of a summary grid: one stacked bar per office, its
// receipts (the 合计 金额 column) added up by fee category, offices and
// categories in the order the grid first shows them. 小计 and 合计 rows are
// left out; a category an office has no receipts of has no value there.
ChartData receiptsCategoryChart(const GridModel& summary);

} // namespace fee
