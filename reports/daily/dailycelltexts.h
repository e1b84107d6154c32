#pragma once

#include <QDate>
#include <QString>
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

// 金额 and 税额: moneyOrEmpty (NULL gives an empty cell). What the cell
// shows in whole cents, NULL counting 0: 收入 (金额 minus 税额) and the totals
// are differences and sums of these, exact in cents (centsText writes them).
qint64 dailyCents(const std::optional<double>& value);
// 收款日期: "YYYY-MM-DD"; invalid (NULL) gives an empty cell.
QString dailyDateText(const DayAndTime& value);
// SQL Server's zero date 1900-01-01 00:00:00, which an empty text becomes in a
// datetime column. No invoice carries it.
bool isZeroDate(const DayAndTime& value);
// 换票日期: the date "YYYY-MM-DD", followed by " HH:MM:SS" when the time is
// not midnight (the program's general date text); invalid gives empty.
QString dailyDateTimeText(const DayAndTime& value);

} // namespace fee
