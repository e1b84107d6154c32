#pragma once

#include "reports/monthly/monthlyengine.h"
#include "reports/shared/runcontext.h"

namespace fee {

// One run over an open connection, one office at a time, as the command line
// makes it.
inline void runMonthly(DbConnection& connection, const MonthlySelection& selection, GridModel& summary)
{
    RunContext run(connection);
    MonthlyEngine(run, selection).fill(summary);
}

inline void monthlyDetail(DbConnection& connection, const MonthlySelection& selection, int column,
    const QString& officeCode, GridModel& detail)
{
    RunContext run(connection);
    MonthlyEngine(run, selection).fillDetail({ RowKey { officeCode }, column }, detail);
}

} // namespace fee
