#pragma once

#include <QString>
#include <optional>

namespace fee {

// The money texts of the receipts grids.

// A sum read back through a binary float carries noise (0.1 + 0.2 - 0.3 is not
// 0); the value rounded to nine decimals is the decimal sum the database meant,
// so the embedded and the server roads show the same text.
double decimalValue(double value);

// "0.00" always (sums and totals).
QString money(double value);
// An amount read from the database: empty when NULL or 0, else "0.00".
QString moneyOrEmpty(const std::optional<double>& value);
// A tax cell from the amount and income texts of its group: empty when the
// amount is empty or reads 0, else amount - income as "0.00".
QString taxText(const QString& amount, const QString& income);

} // namespace fee
