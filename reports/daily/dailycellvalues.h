#pragma once

#include "core/grid/cellvalue.h"
#include "core/money.h"

#include <QDate>
#include <QTime>
#include <optional>

namespace fee {

// The cell rules of the daily list's columns, the same on both databases.

// A date and time as a result field holds it, without a time zone (building
// a QDateTime in local time for every field costs more than the rest of a row).
struct DayAndTime {
    QDate day; // invalid for NULL
    QTime time;
    bool isValid() const { return day.isValid(); }
};

// 金额 and 税额: the amount in whole cents; NULL gives an empty cell.
CellValue dailyMoney(const std::optional<Amount>& value);
// What a money cell shows in whole cents, NULL counting 0: 收入 (金额 minus
// 税额) and the totals are differences and sums of these, exact in cents.
qint64 dailyCents(const std::optional<Amount>& value);
// 开票日期 and 收款日期: the day, shown "YYYY-MM-DD"; invalid (NULL) gives an
// empty cell.
CellValue dailyDate(const DayAndTime& value);
// SQL Server's zero date 1900-01-01 00:00:00, which an empty text becomes in a
// datetime column. No invoice carries it.
bool isZeroDate(const DayAndTime& value);
// 换票日期: the day and its time of day, shown "YYYY-MM-DD" followed by
// " HH:MM:SS" when the time is not midnight (the program's general date
// text); invalid gives an empty cell.
CellValue dailyDateTime(const DayAndTime& value);

} // namespace fee
