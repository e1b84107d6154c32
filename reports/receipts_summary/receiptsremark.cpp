#include "reports/receipts_summary/receiptsremark.h"

#include <QDate>

namespace fee {

namespace {

    // The month a part stands for when it is written as the number yyyymm
    // (read as the pattern "0000-00": the last two digits the month);
    // an invalid date otherwise.
    QDate monthOf(const QString& part)
    {
        const QString digits = part.trimmed();
        if (digits.isEmpty() || digits.size() > 8)
            return {};
        for (const QChar c : digits) {
            if (!c.isDigit() || c.unicode() > 127)
                return {};
        }
        const qint64 value = digits.toLongLong();
        const int month = int(value % 100);
        const int year = int(value / 100);
        if (year < 100 || year > 9999)
            return {};
        return QDate(year, month, 1);
    }

    int monthsBetween(const QDate& from, const QDate& to)
    {
        return (to.year() - from.year()) * 12 + (to.month() - from.month());
    }

} // namespace

QString MergeMonthRun(const QStringList& parts, int& i)
{
    const int n = int(parts.size()) - 1;
    const QDate start = monthOf(parts.at(i));
    if (!start.isValid())
        return parts.at(i);
    const QString first = parts.at(i);
    QString last = first;
    QDate lastMonth = start;
    int j = i + 1;
    for (; j <= n; ++j) {
        const QDate month = monthOf(parts.at(j));
        if (!month.isValid())
            break;
        const int step = monthsBetween(lastMonth, month);
        if (step == 1) {
            last = parts.at(j);
            lastMonth = month;
        } else if (step != 0) {
            break;
        }
    }
    i = j > n ? n : j - 1;
    return last != first ? first + QLatin1Char('-') + last : first;
}

QString receiptsRemarkText(const std::optional<QString>& remark)
{
    if (!remark)
        return QString();
    if (!remark->contains(QLatin1Char(',')))
        return QLatin1Char('[') + *remark + QLatin1Char(']');
    const QStringList parts = remark->split(QLatin1Char(','));
    const int n = int(parts.size()) - 1;
    QString cell;
    // The parts before the last comma each start a piece; a run may take in
    // the part after it. That last part, when no run reached it, is shown on
    // its own too: leaving it out would drop a month or a word of the remark.
    for (int i = 0; i <= n; ++i) {
        if (i == n && parts.at(n).isEmpty())
            break;
        const QString piece = MergeMonthRun(parts, i);
        cell += (cell.isEmpty() ? QString() : QStringLiteral(",")) + QLatin1Char('[') + piece + QLatin1Char(']');
    }
    return cell;
}

} // namespace fee
