#include "reports/daily/compactperiodlist.h"

#include <QDate>
#include <QStringList>
#include <optional>

namespace fee {

namespace {

    // The month an element stands for, counted from year 0: the element is a
    // whole number (blanks around it allowed) whose "0000-00" form (at least
    // four digits, a hyphen, the last two digits) is a valid year and month.
    std::optional<qint64> periodOf(const QString& element)
    {
        const QString digits = element.trimmed();
        if (digits.isEmpty() || digits.size() > 12)
            return std::nullopt;
        for (const QChar c : digits) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
        }
        const qint64 value = digits.toLongLong();
        const qint64 year = value / 100;
        const int month = int(value % 100);
        if (year > 9999 || !QDate(int(year), month, 1).isValid())
            return std::nullopt;
        return year * 12 + (month - 1);
    }

} // namespace

QString compactPeriodList(const QString& text)
{
    if (!text.contains(QLatin1Char(',')))
        return text;
    const QStringList elements = text.split(QLatin1Char(','));

    QString out;
    bool first = true;
    auto append = [&](const QString& piece) {
        if (first) {
            out = piece;
            first = false;
        } else if (piece != out) {
            out += QLatin1Char(',') + piece;
        }
    };

    qsizetype i = 0;
    while (i < elements.size()) {
        const QString& element = elements.at(i);
        const std::optional<qint64> period = periodOf(element);
        if (!period) {
            if (!element.isEmpty())
                append(element);
            ++i;
            continue;
        }
        qsizetype last = i;
        qint64 lastPeriod = *period;
        while (last + 1 < elements.size()) {
            const std::optional<qint64> next = periodOf(elements.at(last + 1));
            if (!next || *next != lastPeriod + 1)
                break;
            ++last;
            lastPeriod = *next;
        }
        append(last == i ? element : element + QLatin1Char('-') + elements.at(last));
        i = last + 1;
    }
    return out;
}

} // namespace fee
