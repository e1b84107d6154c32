#pragma once

#include <QString>
#include <QtGlobal>
#include <compare>
#include <optional>

namespace fee {

// An amount of money held exactly, in billionths of a yuan, so that sums and
// differences of what the database returns stay exact (a double's 0.1 + 0.2
// never creeps into a figure) and rounding to cents happens once, when a
// figure is put into a cell. Nine decimals is the precision the amounts have
// always been compared at; it leaves room for ±9.2 billion yuan, far beyond
// any single office's ledger. A grand total is summed in cents, not here.
class Amount {
public:
    constexpr Amount() = default;

    // A database value: its decimal form rounded half away from zero at the
    // ninth decimal (a double's binary noise dropped), -0 made 0.
    static Amount fromDouble(double value);
    static std::optional<Amount> fromDouble(const std::optional<double>& value);
    static constexpr Amount fromCents(qint64 cents) { return Amount(cents * 10'000'000); }
    static constexpr Amount fromNanos(qint64 nanos) { return Amount(nanos); }

    // Rounded half away from zero to whole cents: the figure a cell shows.
    qint64 cents() const;
    // The nearest double: for ratios (rates), never for money kept as money.
    double toDouble() const { return double(m_nanos) / 1e9; }
    constexpr qint64 nanos() const { return m_nanos; }
    constexpr bool isZero() const { return m_nanos == 0; }

    constexpr Amount operator+(Amount other) const { return Amount(m_nanos + other.m_nanos); }
    constexpr Amount operator-(Amount other) const { return Amount(m_nanos - other.m_nanos); }
    constexpr Amount operator-() const { return Amount(-m_nanos); }
    constexpr Amount& operator+=(Amount other)
    {
        m_nanos += other.m_nanos;
        return *this;
    }
    constexpr Amount& operator-=(Amount other)
    {
        m_nanos -= other.m_nanos;
        return *this;
    }
    constexpr auto operator<=>(const Amount&) const = default;

private:
    constexpr explicit Amount(qint64 nanos)
        : m_nanos(nanos)
    {
    }
    qint64 m_nanos = 0;
};

// Rounds an integer count of small units to a coarser unit (divisor a power
// of ten), half away from zero: the one rounding rule of every figure.
constexpr qint64 roundedDivide(qint64 value, qint64 divisor)
{
    const qint64 half = divisor / 2;
    return value >= 0 ? (value + half) / divisor : -((-value + half) / divisor);
}

// A percentage of two amounts as the reports compute it (numerator over
// denominator times 100, its decimal form cleaned like an amount); nothing
// when the denominator is zero.
std::optional<double> percentOf(Amount numerator, Amount denominator);

} // namespace fee
