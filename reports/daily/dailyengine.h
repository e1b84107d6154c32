#pragma once

#include "reports/daily/dailyrunoutcome.h"
#include "reports/daily/dailyselection.h"
#include "reports/daily/dailystatements.h"

namespace fee {

class GridModel;
class RunContext;

// The statistics run of the daily receipts list: checks a selection, runs the
// five-fragment statement on the run's connection and fills a grid laid out
// by DailyGrid::layout, row by row as the result arrives. What the run sent
// and waited for is counted in the context.
class DailyEngine {
public:
    DailyEngine(RunContext& run, const DailySelection& selection);

    // The checks before a run, in order: no office or no method entry (nothing
    // happens), start after end, no fee item. Done when the run may go on.
    static DailyRunOutcome check(const DailySelection& selection);
    // The statement's values; throws Failure 5 when "选择全部" is chosen and
    // the method list is empty.
    static DailyStatementInput statementInput(const DailySelection& selection);

    // Cuts the grid to its heading row, writes one row per result row (with
    // the exchange marking), then the totals row "合计" when there are rows,
    // and applies the merge settings. The columns widen to each new row. A
    // refused run leaves the grid as it was. A failure or a cancellation is
    // thrown as Failure and keeps the rows written so far (merge settings
    // applied).
    DailyRunOutcome fill(GridModel& grid);

private:
    RunContext& m_run;
    DailySelection m_selection;
};

} // namespace fee
