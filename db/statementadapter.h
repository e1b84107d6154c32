#pragma once

#include <QString>

namespace fee {

// Rewrites a T-SQL statement of the reports for the embedded database. String
// literals and bracketed names are left alone.
QString adaptStatementForSqlite(const QString& tsql);

} // namespace fee
