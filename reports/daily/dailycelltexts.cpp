#include "reports/daily/dailycelltexts.h"

#include "common/textformat.h"

namespace fee {

QString dailyMoneyText(const std::optional<double>& value)
{
    return value ? formatNumber(*value, QStringLiteral("#0.00")) : QString();
}

QString dailyIncomeText(const QString& amountCell, const QString& taxCell)
{
    // The cells hold two decimals: subtract whole cents so that no binary
    // remainder reaches the rounding.
    const qint64 cents = qRound64(leadingNumber(amountCell) * 100) - qRound64(leadingNumber(taxCell) * 100);
    return formatNumber(double(cents) / 100, QStringLiteral("0.00"));
}

QString dailyDateText(const DayAndTime& value) { return formatDate(value.day, QStringLiteral("yyyy-mm-dd")); }

bool isZeroDate(const DayAndTime& value) { return value.day == QDate(1900, 1, 1) && value.time == QTime(0, 0); }

QString dailyDateTimeText(const DayAndTime& value)
{
    if (!value.isValid())
        return QString();
    const QString day = formatDate(value.day, QStringLiteral("yyyy-mm-dd"));
    if (!value.time.isValid() || value.time == QTime(0, 0))
        return day;
    return day + QLatin1Char(' ') + value.time.toString(QStringLiteral("HH:mm:ss"));
}

} // namespace fee
