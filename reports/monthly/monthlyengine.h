#pragma once

#include "common/grid/gridmodel.h"
#include "reports/shared/officeentry.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace fee {

class DbConnection;
struct MonthlyStatementInput;

// What one run of the monthly collection-rate report covers.
struct MonthlySelection {
    QVector<Office> offices; // the ticked offices, in list order
    QStringList feeCodes; // the ticked fee items' codes, in tree order; never empty for a run
    QDate statisticsDate;
    QString reportYear; // "yyyy"; the year of the statistics date at the last run
};

// Runs the report's statements on a connection and fills headless grids.
class MonthlyEngine {
public:
    explicit MonthlyEngine(DbConnection& connection);

    // 39 columns, the two heading rows with their merges, line breaks and widths.
    static void layoutSummaryGrid(GridModel& grid, const QString& reportYear);

    // Called before each office is summed, once its row shows the serial
    // number and name, with (index of the office, number of offices); the
    // window lets pending events run here. Return false to stop the run: the
    // finished rows stay, the unfinished one goes and no totals row is added.
    using OfficeProgress = std::function<bool(int index, int count)>;
    // Asked before every statement; return false to stop the run (as above).
    using KeepGoing = std::function<bool()>;

    // Lays out the grid, writes one row per office and the totals row.
    // Database failures throw Failure; the rows written so far stay.
    // Returns true when the run went to the end.
    bool run(const MonthlySelection& selection, GridModel& summary, const OfficeProgress& progress = {},
        const KeepGoing& keepGoing = {});

    // Summary columns that have a detail list.
    static bool isDrillColumn(int column);
    // Lists the ledger rows behind one figure into the 7-column detail grid
    // (heading row, data rows, totals row). Throws Failure.
    void fillDetail(const MonthlySelection& selection, int column, const QString& officeCode, GridModel& detail);

    // Time spent waiting for the database (statements and row reads) and the
    // number of statements sent since the last reset; for measuring runs.
    void resetTiming();
    qint64 databaseNanoseconds() const { return m_databaseNs; }
    int statementCount() const { return m_statements; }

private:
    // False when keepGoing asked to stop before a statement.
    bool sumMeasure(int column, const MonthlyStatementInput& input, const KeepGoing& keepGoing, double& value);
    static void writeOfficeRow(
        GridModel& grid, int row, const QMap<int, double>& values, const QDate& date, const QString& officeCode);
    static void writeTotalsRow(GridModel& grid);

    DbConnection& m_connection;
    qint64 m_databaseNs = 0;
    int m_statements = 0;
};

} // namespace fee
