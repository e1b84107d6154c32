#include "reports/receipts_summary/receiptsvalues.h"

#include "common/textformat.h"

#include <cmath>

namespace fee {

double decimalValue(double value)
{
    if (!std::isfinite(value))
        return value;
    // Through the nine-decimal text: exact at any magnitude, unlike value * 1e9.
    const double rounded = QString::number(value, 'f', 9).toDouble();
    return rounded == 0.0 ? 0.0 : rounded;
}

QString money(double value) { return formatNumber(decimalValue(value), QStringLiteral("0.00")); }

QString moneyOrEmpty(const std::optional<double>& value)
{
    if (!value || decimalValue(*value) == 0.0)
        return QString();
    return money(*value);
}

QString taxText(const QString& amount, const QString& income)
{
    const double a = leadingNumber(amount);
    if (amount.isEmpty() || a == 0.0)
        return QString();
    return money(a - leadingNumber(income));
}

} // namespace fee
