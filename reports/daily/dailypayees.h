#pragma once

#include <QString>
#include <QStringList>

namespace fee {

class DbConnection;

// The payee list of the daily window after "选择全部": the names of the staff
// of a department, by position code, duplicates kept. Throws Failure.
QStringList loadDailyPayees(DbConnection& connection, const QString& departmentCode);

// The names of the staff of every department: what the payee list of any
// session could hold. Throws Failure.
QStringList loadAllDailyPayees(DbConnection& connection);

} // namespace fee
