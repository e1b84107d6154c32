#include "core/grid/cellvalue.h"

#include "core/money.h"
#include "core/textformat.h"

namespace fee {

namespace {

    constexpr qint64 kSecondsPerDay = 86400;

    QString hundredthsText(qint64 hundredths) { return centsText(hundredths); }

    // "yyyy-mm-dd" digit by digit: a long list shows two dates a row, and the
    // general date formatting costs as much as the rest of the row's texts.
    QString dayText(const QDate& day)
    {
        const int year = day.year();
        if (year < 1 || year > 9999)
            return formatDate(day, QStringLiteral("yyyy-mm-dd"));
        const int month = day.month();
        const int d = day.day();
        const char16_t text[10] = { char16_t(u'0' + year / 1000), char16_t(u'0' + year / 100 % 10),
            char16_t(u'0' + year / 10 % 10), char16_t(u'0' + year % 10), u'-', char16_t(u'0' + month / 10),
            char16_t(u'0' + month % 10), u'-', char16_t(u'0' + d / 10), char16_t(u'0' + d % 10) };
        return QString(reinterpret_cast<const QChar*>(text), 10);
    }

} // namespace

CellValue CellValue::fromText(const QString& text)
{
    CellValue value;
    if (!text.isEmpty()) {
        value.m_kind = Kind::Text;
        value.m_text = text;
    }
    return value;
}

CellValue CellValue::fromPercent(double percent)
{
    // The text's own rounding, so the value is exactly the figure shown.
    const QString shown = formatNumber(percent, QStringLiteral("0.00"));
    const bool negative = shown.startsWith(QLatin1Char('-'));
    const qsizetype dot = shown.indexOf(QLatin1Char('.'));
    const qint64 whole = shown.mid(negative ? 1 : 0, dot - (negative ? 1 : 0)).toLongLong();
    const qint64 hundredths = whole * 100 + shown.mid(dot + 1, 2).toLongLong();
    return fromRateHundredths(negative ? -hundredths : hundredths);
}

CellValue CellValue::fromDate(const QDate& date)
{
    if (!date.isValid())
        return CellValue();
    return CellValue(Kind::Date, date.toJulianDay());
}

CellValue CellValue::fromDateTime(const QDate& date, const QTime& time)
{
    if (!date.isValid())
        return CellValue();
    const qint64 seconds = time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
    return CellValue(Kind::DateTime, date.toJulianDay() * kSecondsPerDay + seconds);
}

CellValue CellValue::fromStored(Kind kind, qint64 number)
{
    if (kind == Kind::Empty || kind == Kind::Text)
        return CellValue();
    return CellValue(kind, number);
}

QDate CellValue::date() const
{
    if (m_kind == Kind::Date)
        return QDate::fromJulianDay(m_number);
    if (m_kind == Kind::DateTime)
        return QDate::fromJulianDay(m_number / kSecondsPerDay);
    return QDate();
}

QTime CellValue::time() const
{
    if (m_kind == Kind::DateTime)
        return QTime(0, 0).addSecs(int(m_number % kSecondsPerDay));
    return m_kind == Kind::Date ? QTime(0, 0) : QTime();
}

double CellValue::number() const
{
    switch (m_kind) {
    case Kind::Money:
    case Kind::Rate:
        // Exact for every figure a cell holds: the division is correctly rounded.
        return double(m_number) / 100;
    case Kind::Count:
        return double(m_number);
    default:
        return 0;
    }
}

QString CellValue::text() const
{
    switch (m_kind) {
    case Kind::Empty:
        return QString();
    case Kind::Text:
        return m_text;
    case Kind::Money:
        return centsText(m_number);
    case Kind::Rate:
        return hundredthsText(m_number) + QLatin1Char('%');
    case Kind::Count:
        return QString::number(m_number);
    case Kind::Date:
        return dayText(date());
    case Kind::DateTime: {
        QString text = dayText(date());
        const QTime t = time();
        if (t != QTime(0, 0))
            text += QLatin1Char(' ') + t.toString(QStringLiteral("HH:mm:ss"));
        return text;
    }
    }
    return QString();
}

int CellValue::compare(const CellValue& a, const CellValue& b)
{
    const auto order = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    if (a.isEmpty() || b.isEmpty())
        return order(!a.isEmpty(), !b.isEmpty());
    const bool aDate = a.isDate(), bDate = b.isDate();
    if (aDate && bDate) {
        const qint64 sa = a.m_kind == Kind::Date ? a.m_number * kSecondsPerDay : a.m_number;
        const qint64 sb = b.m_kind == Kind::Date ? b.m_number * kSecondsPerDay : b.m_number;
        return order(sa, sb);
    }
    if (a.isNumber() && b.isNumber()) {
        if (a.m_kind == b.m_kind)
            return order(a.m_number, b.m_number);
        return order(a.number(), b.number());
    }
    if (a.m_kind != b.m_kind)
        return order(int(a.m_kind), int(b.m_kind));
    return order(a.m_text.compare(b.m_text), 0);
}

} // namespace fee
