#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

namespace fee {

// Number texts of the reports: "0.00", "#0.00" (two decimals, no thousands
// separator) and "0" (no decimals). Rounds half away from zero on the value's
// shortest decimal form (2.675 gives 2.68) and never shows "-0.00".
QString formatNumber(double value, const QString& format);

// A sum of amounts as its decimal form reads: a double's binary noise (0.1 +
// 0.2) dropped at nine decimals, and -0 made 0, so tests for zero and the
// texts agree on both databases.
double decimalValue(double value);

// A sum as money: decimalValue(value) written "0.00".
QString moneyText(double value);

// A money cell from a value that may be missing: empty for NULL, and for a
// value whose decimal form is 0 where a zero shows as an empty cell; else
// moneyText(value).
enum class ZeroMoney { Shown, Empty };
QString moneyOrEmpty(const std::optional<double>& value, ZeroMoney zero = ZeroMoney::Shown);

// Money as its text shows it, in whole cents: the figures of a grid add up
// exactly, and a total shows the sum of the figures above it. moneyCents
// rounds like moneyText; centsText writes "0.00" (never "-0.00").
qint64 moneyCents(double value);
QString centsText(qint64 cents);

// "0.00" + "%"
QString formatRate(double percent);

// The leading number of a cell text: "" reads 0, "12.50%" reads 12.5,
// "-3.1abc" reads -3.1, text without a leading number reads 0.
double leadingNumber(const QString& text);

// Date texts with the reports' patterns: "yyyy-mm-dd", "yyyymmdd", "yyyymm",
// "yyyy" (case-insensitive, "YYYY-MM-DD" too). An invalid date gives "".
QString formatDate(const QDate& date, const QString& pattern);

} // namespace fee
