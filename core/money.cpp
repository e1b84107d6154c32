#include "core/money.h"

#include "core/textformat.h"

#include <cmath>

namespace fee {

Amount Amount::fromDouble(double value)
{
    if (!std::isfinite(value))
        return Amount();
    // The nine-decimal text is the value's exact decimal form at that
    // precision at any magnitude, unlike value * 1e9 (which rounds twice).
    const QString text = QString::number(value, 'f', 9);
    const bool negative = text.startsWith(QLatin1Char('-'));
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    const qint64 whole = text.mid(negative ? 1 : 0, dot - (negative ? 1 : 0)).toLongLong();
    const qint64 fraction = text.mid(dot + 1, 9).toLongLong();
    const qint64 nanos = whole * 1'000'000'000 + fraction;
    return Amount(negative ? -nanos : nanos);
}

std::optional<Amount> Amount::fromDouble(const std::optional<double>& value)
{
    if (!value)
        return std::nullopt;
    return fromDouble(*value);
}

qint64 Amount::cents() const { return roundedDivide(m_nanos, 10'000'000); }

std::optional<double> percentOf(Amount numerator, Amount denominator)
{
    if (denominator.isZero())
        return std::nullopt;
    return decimalValue(numerator.toDouble() / denominator.toDouble() * 100);
}

} // namespace fee
