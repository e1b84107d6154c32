#include "reports/daily/dailycelltexts.h"

#include "core/textformat.h"

namespace fee {

qint64 dailyCents(const std::optional<double>& value) { return value ? moneyCents(*value) : 0; }

QString dailyDateText(const DayAndTime& value)
{
    // Written digit by digit: two of these a row, and the general date
    // formatting costs as much as the rest of the row's texts.
    if (!value.day.isValid() || value.day.year() < 1 || value.day.year() > 9999)
        return formatDate(value.day, QStringLiteral("yyyy-mm-dd"));
    const int year = value.day.year();
    const int month = value.day.month();
    const int day = value.day.day();
    const char16_t text[10] = { char16_t(u'0' + year / 1000), char16_t(u'0' + year / 100 % 10),
        char16_t(u'0' + year / 10 % 10), char16_t(u'0' + year % 10), u'-', char16_t(u'0' + month / 10),
        char16_t(u'0' + month % 10), u'-', char16_t(u'0' + day / 10), char16_t(u'0' + day % 10) };
    return QString(reinterpret_cast<const QChar*>(text), 10);
}

bool isZeroDate(const DayAndTime& value) { return value.day == QDate(1900, 1, 1) && value.time == QTime(0, 0); }

QString dailyDateTimeText(const DayAndTime& value)
{
    if (!value.isValid())
        return QString();
    const QString day = dailyDateText(value);
    if (!value.time.isValid() || value.time == QTime(0, 0))
        return day;
    return day + QLatin1Char(' ') + value.time.toString(QStringLiteral("HH:mm:ss"));
}

} // namespace fee
