#pragma once

#include "common/textformat.h"

#include <QString>
#include <optional>

namespace fee {

// The money texts of the receipts grids.

// An amount read from the database: empty when NULL or 0, else "0.00".
QString moneyOrEmpty(const std::optional<double>& value);
// A tax cell from the amount and income texts of its group: empty when the
// amount is empty or reads 0, else amount - income as "0.00".
QString taxText(const QString& amount, const QString& income);

} // namespace fee
