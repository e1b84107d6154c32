#pragma once

#include "reports/daily/dailyselection.h"
#include "reports/daily/dailystatements.h"
#include "reports/shared/reportengine.h"

namespace fee {

class GridModel;
class RunContext;

// The statistics run of the daily receipts list: runs the five-fragment
// statement on the run's connection and fills the grid row by row as the
// result arrives. What the run sent and waited for is counted in the context.
class DailyEngine : public ReportEngine {
public:
    DailyEngine(RunContext& run, const DailySelection& selection);

    // The statement's values; throws Failure 5 when "选择全部" is chosen and
    // the method list is empty.
    static DailyStatementInput statementInput(const DailySelection& selection);

    // DailyGrid's design layout.
    void layout(GridModel& grid) const override;
    // Lays the grid out unless it is the daily grid already (a list shown
    // again keeps the widths its columns have widened to), cuts it to its
    // heading row and writes one Data row per result row (with the exchange
    // marking), keyed by the office and the invoice, then the Total row
    // "合计" when there are rows, and applies the merge settings. The
    // columns widen to each new row. A selection checkDailySelection does
    // not pass writes nothing. A failure or a cancellation is thrown as
    // Failure and keeps the rows written so far (merge settings applied).
    FillOutcome fill(GridModel& grid) override;

private:
    RunContext& m_run;
    DailySelection m_selection;
};

} // namespace fee
