#pragma once

#include "core/money.h"
#include "reports/receipts_summary/receiptsselection.h"
#include "reports/receipts_summary/receiptsstatements.h"
#include "reports/shared/reportengine.h"

#include <QString>

namespace fee {

class DbConnection;
class GridModel;
class RunContext;

// The statement input of a run for a date range: FeeItemList and
// PaymentMethodList built once (the latter throws Failure 5 on an empty
// method list when all methods are chosen).
ReceiptsStatementInput receiptsStatementInput(const ReceiptsSelection& selection, const DateRange& range);

// The amount received for one fee item of one office in the input's range
// (a month-to-date or year-to-date figure), over all four sources; 0 when the
// office or item code is empty, when no row comes back or the sum is NULL. A
// failing statement throws: a figure that could not be read must not show as
// a plausible 0.00.
Amount cumulativeReceived(
    DbConnection& connection, const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode);

// Runs the receipts summary's statements for one selection over a run
// context and fills headless grids. What the run sent and waited for is
// counted in the context.
//
// The summary's rows: office by office the data rows (RowKind::Data, keyed
// by office code, fee category, item code and source 汇总类别 1 to 4 in
// RowKey::kind), a name-only Data row (keyed by its office) for an office
// without money, the office's "小计" (Subtotal, keyed by its office); the
// "合计" (Total) ends the report. Figures are money in cents, the sequence
// and the source counts, names texts.
class ReceiptsEngine : public ReportEngine {
public:
    ReceiptsEngine(RunContext& run, const ReceiptsSelection& selection);

    void layout(GridModel& grid) const override;
    // The statistics run: checks the selection (a refusal throws Failure 5
    // with the message and changes nothing), cuts the grid to its headings
    // (laying it out first when it is not laid out as the summary: a grid
    // already laid out keeps the widths the last run widened), then office
    // by office writes the rows (see above) and, when ticked, the
    // month-to-date and year-to-date columns; ends with the "合计" row.
    // Reports offices done and rows read to the context and stops with the
    // cancellation failure between statements once cancelled. Any failure
    // ends the run by throwing; the rows written so far stay.
    FillOutcome fill(GridModel& grid) override;

    // The 明细 cell of a data row with a source (receiptsCellHasDetail).
    bool hasDetail(const GridModel& grid, int row, int column) const override;
    void layoutDetail(const DrillKey& key, GridModel& detail) const override;
    // The detail list behind the key's row (fillReceiptsDetail); nothing for
    // a row without one.
    FillOutcome fillDetail(const DrillKey& key, GridModel& detail) override;

private:
    RunContext& m_run;
    ReceiptsSelection m_selection;
};

} // namespace fee
