#pragma once

#include "core/officeentry.h"

#include <QString>
#include <QVector>
#include <functional>

namespace fee {

class DbConnection;
class DbResult;

// The office list of the monthly report: active offices of one kind (0
// residential, 1 commercial) whose department is active, shorter codes first.
QString monthlyOfficeListStatement(bool commercial);
// The office lists of the receipts summary and of the daily report (offices
// of kind 0 or 2; the two texts differ in a blank).
QString receiptsOfficeListStatement();
QString dailyOfficeListStatement();

// How an office's name is taken from GYD_Name.
enum class OfficeNames {
    AsStored,
    OnOneLine, // every "\r\n" removed
};

// Runs an office-list statement and hands each office to the sink as it is
// read, so a failure part-way (thrown as Failure) leaves the offices already
// delivered with the caller.
void loadOffices(DbConnection& connection, const QString& statement, OfficeNames names,
    const std::function<void(const Office&)>& sink);
QVector<Office> loadOffices(DbConnection& connection, const QString& statement, OfficeNames names);
// The same over a result of an office-list statement.
void readOffices(DbResult& result, OfficeNames names, const std::function<void(const Office&)>& sink);

} // namespace fee
