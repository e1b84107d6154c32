#include "reports/daily/dailycelltexts.h"

#include "common/textformat.h"

namespace fee {

QString dailyIncomeText(const QString& amountCell, const QString& taxCell)
{
    return centsText(dailyCellCents(amountCell) - dailyCellCents(taxCell));
}

qint64 dailyCellCents(const QString& cell)
{
    // The texts the run writes ("-123.45" or empty) read directly; any other
    // text by its leading number.
    const qsizetype n = cell.size();
    const bool negative = n > 0 && cell.at(0) == u'-';
    const qsizetype dot = n - 3;
    if (dot > (negative ? 1 : 0) && cell.at(dot) == u'.') {
        qint64 cents = 0;
        bool digits = true;
        for (qsizetype i = negative ? 1 : 0; i < n && digits; ++i) {
            const char16_t c = cell.at(i).unicode();
            if (i == dot)
                continue;
            digits = c >= u'0' && c <= u'9';
            cents = cents * 10 + (c - u'0');
        }
        if (digits)
            return negative ? -cents : cents;
    }
    return qRound64(leadingNumber(cell) * 100);
}

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
