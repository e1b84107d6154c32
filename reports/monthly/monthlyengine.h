#pragma once

#include "core/grid/gridmodel.h"
#include "core/officeentry.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

namespace fee {

class DbConnection;
class RunContext;

// What one run of the monthly collection-rate report covers.
struct MonthlySelection {
    QVector<Office> offices; // the ticked offices, in list order
    QStringList feeCodes; // the ticked fee items' codes, in tree order; never empty for a run
    QDate statisticsDate;
    QString reportYear; // "yyyy"; the year of the statistics date at the last run
};

// What a detail list is opened for: one figure of the summary grid.
struct MonthlyDrillKey {
    QString officeCode;
    QString officeName;
    int column = -1; // a summary column with a detail list
    QDate statisticsDate;
};

// Runs the report's statements for one selection over a run context and
// fills headless grids. What the run sent and waited for is counted in the
// context.
class MonthlyEngine {
public:
    MonthlyEngine(RunContext& run, const MonthlySelection& selection);

    // Lays out the grid, writes one row per office, in office order, and the
    // totals row. The offices are summed through the context's connections,
    // side by side where it has several. A database failure throws: the
    // finished offices' rows stay, and the failing office's row shows its
    // serial number and name only (it has no office code, so no detail
    // opens from it). A cancelled run throws the cancellation failure and
    // keeps the finished rows. No totals row unless every office is done.
    void fill(GridModel& summary);

    // Summary columns that have a detail list.
    static bool isDrillColumn(int column);
    // Lists the ledger rows behind one figure into the 7-column detail grid
    // (heading row, data rows, totals row), over the context's connection.
    // Throws Failure.
    void fillDetail(int column, const QString& officeCode, GridModel& detail);

private:
    // The office's measures by summary column, from one batch of its statements.
    QMap<int, double> sumMeasures(DbConnection& connection, const struct MonthlyStatementInput& input);
    QString reportYear() const;

    RunContext& m_run;
    MonthlySelection m_selection;
};

} // namespace fee
