#pragma once

#include "core/grid/rowkind.h"
#include "reports/receipts_summary/receiptsselection.h"
#include "reports/shared/reportengine.h"

namespace fee {

class GridModel;
class RunContext;

// Whether a summary row has a detail list behind it: a data row the summary
// statement gave, its key naming the source (汇总类别 1 to 4).
bool hasReceiptsDetail(const RowKey& row);
// Whether a click on a summary cell opens that list: the 明细 cell of such a
// row. Nothing for a heading, a 小计 or 合计 row, or a row out of the grid.
bool receiptsCellHasDetail(const GridModel& summary, int row, int column);

// The detail list behind a summary row, chosen by its source: the receipt
// lines (1), the household (2), parking-registration (3) or parking-space
// (4) ledger payments of the row's office and fee item in the selection's
// receipt range and payment methods. Cuts the detail grid (laid out once by
// layoutReceiptsDetailGrid, or here when it is not) to its heading row,
// lists the rows, widens columns to their texts, adds the 合计 row when there
// is a detail row, and sets the merging. Does nothing for a row without a
// list (hasReceiptsDetail). Failures throw; the rows listed so far stay.
FillOutcome fillReceiptsDetail(
    RunContext& run, const ReceiptsSelection& selection, const RowKey& row, GridModel& detail);

} // namespace fee
