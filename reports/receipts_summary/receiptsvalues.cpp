#include "reports/receipts_summary/receiptsvalues.h"

#include "common/textformat.h"

#include <cmath>

namespace fee {

QString moneyOrEmpty(const std::optional<double>& value)
{
    if (!value || decimalValue(*value) == 0.0)
        return QString();
    return moneyText(*value);
}

QString taxText(const QString& amount, const QString& income)
{
    const double a = leadingNumber(amount);
    if (amount.isEmpty() || a == 0.0)
        return QString();
    return moneyText(a - leadingNumber(income));
}

} // namespace fee
