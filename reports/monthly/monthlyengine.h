#pragma once

#include "core/grid/gridmodel.h"
#include "core/money.h"
#include "reports/monthly/monthlyselection.h"
#include "reports/shared/reportengine.h"

#include <QMap>
#include <QString>

namespace fee {

class DbConnection;
class RunContext;
struct MonthlyStatementInput;

// Runs the report's statements for one selection over a run context and
// fills headless grids with typed rows. What the run sent and waited for is
// counted in the context.
class MonthlyEngine : public ReportEngine {
public:
    MonthlyEngine(RunContext& run, const MonthlySelection& selection);

    // The 39 columns under the two heading rows of the report year.
    void layout(GridModel& summary) const override;
    // Lays out the grid, writes one Data row per office, in office order,
    // keyed by its office code, and the Total row 合计. Money is in cents,
    // the rates as they are shown, 累计月数 a count. The offices are summed
    // through the context's connections, side by side where it has several.
    // A database failure throws: the finished offices' rows stay, and the
    // failing office's Data row shows its serial number and name only (it
    // has no key, so no detail opens from it). A cancelled run throws the
    // cancellation failure and keeps the finished rows. No Total row unless
    // every office is done.
    FillOutcome fill(GridModel& summary) override;

    // A figure of an office's row in a column that sums a measure.
    bool hasDetail(const GridModel& summary, int row, int column) const override;
    // The 7-column detail grid of a summary column: its heading row only.
    void layoutDetail(const DrillKey& key, GridModel& detail) const override;
    // Lists the ledger rows behind the figure of key.column in the office
    // key.row.office into the detail grid (heading row, Data rows, the Total
    // row 合计), over the context's connection. Throws Failure. A column
    // without a detail leaves the grid as it is.
    FillOutcome fillDetail(const DrillKey& key, GridModel& detail) override;

private:
    // The office's measures by summary column, from one batch of its statements.
    QMap<int, Amount> sumMeasures(DbConnection& connection, const MonthlyStatementInput& input);
    QString reportYear() const;

    RunContext& m_run;
    MonthlySelection m_selection;
};

} // namespace fee
