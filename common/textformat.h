#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace fee {

// Number texts of the reports: "0.00", "#0.00" (two decimals, no thousands
// separator) and "0" (no decimals). Rounds half away from zero on the value's
// shortest decimal form (2.675 gives 2.68) and never shows "-0.00".
QString formatNumber(double value, const QString& format);

// "0.00" + "%"
QString formatRate(double percent);

// The leading number of a cell text: "" reads 0, "12.50%" reads 12.5,
// "-3.1abc" reads -3.1, text without a leading number reads 0.
double leadingNumber(const QString& text);

// Date texts with the reports' patterns: "yyyy-mm-dd", "yyyymmdd", "yyyymm",
// "yyyy" (case-insensitive, "YYYY-MM-DD" too). An invalid date gives "".
QString formatDate(const QDate& date, const QString& pattern);

} // namespace fee
