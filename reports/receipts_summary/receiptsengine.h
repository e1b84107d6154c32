#pragma once

#include "reports/receipts_summary/receiptsselection.h"
#include "reports/receipts_summary/receiptsstatements.h"

#include <QString>

namespace fee {

class DbConnection;
class GridModel;
class RunContext;

// The statement input of a run for a date range: FeeItemList and
// PaymentMethodList built once (the latter throws Failure 5 on an empty
// method list when all methods are chosen).
ReceiptsStatementInput receiptsStatementInput(const ReceiptsSelection& selection, const DateRange& range);

// 累计实收: the amount received for one fee item of one office in a range,
// over all four sources; 0 when the office or item code is empty, when no row
// comes back or the sum is NULL. A failing statement throws: a figure that
// could not be read must not show as a plausible 0.00.
double 累计实收(DbConnection& connection, const ReceiptsStatementInput& input, const QString& officeCode,
    const QString& itemCode);

// Runs the receipts summary's statements for one selection over a run
// context and fills headless grids. What the run sent and waited for is
// counted in the context.
class ReceiptsEngine {
public:
    ReceiptsEngine(RunContext& run, const ReceiptsSelection& selection);

    // The statistics run: checks the selection (a refusal throws Failure 5
    // with the message and changes nothing), cuts the grid to its headings
    // (laying it out first when it has not been), then office by office
    // writes the data rows, a name-only row for an office without money, the
    // office's "小计" row and, when ticked, the month-to-date and
    // year-to-date columns; ends with the "合计" row. Reports offices done
    // and rows read to the context and stops with the cancellation failure
    // between statements once cancelled. Any failure ends the run by
    // throwing; the rows written so far stay.
    void fill(GridModel& grid);
    // The detail list behind a summary row (see ShowReceiptsDetails).
    bool fillDetail(const QString& key, const QString& kind, GridModel& detail);

private:
    RunContext& m_run;
    ReceiptsSelection m_selection;
};

} // namespace fee
