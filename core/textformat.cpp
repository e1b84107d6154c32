#include "core/textformat.h"

#include <QLocale>
#include <cmath>

namespace fee {

namespace {

    // Digits after the point of a number format: "0.00" and "#0.00" give 2, "0" gives 0.
    int decimalsOf(const QString& format)
    {
        const int dot = int(format.indexOf(QLatin1Char('.')));
        if (dot < 0)
            return 0;
        int n = 0;
        for (int i = dot + 1; i < format.size(); ++i) {
            const QChar ch = format.at(i);
            if (ch == QLatin1Char('0') || ch == QLatin1Char('#'))
                ++n;
            else
                break;
        }
        return n;
    }

    // Adds one to the last digit of a digit string, carrying to the left.
    QString incremented(QString digits)
    {
        int i = int(digits.size()) - 1;
        while (i >= 0) {
            if (digits[i] == QLatin1Char('9')) {
                digits[i] = QLatin1Char('0');
                --i;
            } else {
                digits[i] = QChar(digits[i].unicode() + 1);
                return digits;
            }
        }
        return QLatin1Char('1') + digits;
    }

} // namespace

QString formatNumber(double value, const QString& format)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const int decimals = decimalsOf(format);

    // Round on the shortest decimal text that reads back as the value, so a
    // stored 2.675 (binary 2.67499999...) rounds the way the user sees it.
    const QString shortest = QString::number(std::fabs(value), 'g', QLocale::FloatingPointShortest);
    QString mantissa = shortest;
    int exponent = 0;
    const int ePos = int(shortest.indexOf(QLatin1Char('e')));
    if (ePos >= 0) {
        exponent = shortest.mid(ePos + 1).toInt();
        mantissa = shortest.left(ePos);
    }
    const int dot = int(mantissa.indexOf(QLatin1Char('.')));
    QString digits = mantissa;
    digits.remove(QLatin1Char('.'));
    const int intLen = (dot < 0 ? int(mantissa.size()) : dot) + exponent;

    QString intPart;
    QString fracPart;
    if (intLen <= 0) {
        intPart = QStringLiteral("0");
        fracPart = QString(-intLen, QLatin1Char('0')) + digits;
    } else if (intLen >= digits.size()) {
        intPart = digits + QString(intLen - digits.size(), QLatin1Char('0'));
    } else {
        intPart = digits.left(intLen);
        fracPart = digits.mid(intLen);
    }
    if (fracPart.size() < decimals + 1)
        fracPart += QString(decimals + 1 - fracPart.size(), QLatin1Char('0'));

    QString kept = intPart + fracPart.left(decimals);
    if (fracPart.at(decimals) >= QLatin1Char('5'))
        kept = incremented(kept);

    QString whole = kept.left(kept.size() - decimals);
    const QString frac = kept.right(decimals);
    int lead = 0;
    while (lead + 1 < whole.size() && whole.at(lead) == QLatin1Char('0'))
        ++lead;
    whole = whole.mid(lead);
    if (whole.isEmpty())
        whole = QStringLiteral("0");

    bool zero = true;
    for (QChar ch : std::as_const(kept))
        zero = zero && ch == QLatin1Char('0');
    QString result = (value < 0 && !zero) ? QStringLiteral("-") : QString();
    result += whole;
    if (decimals > 0)
        result += QLatin1Char('.') + frac;
    return result;
}

QString formatRate(double percent) { return formatNumber(percent, QStringLiteral("0.00")) + QLatin1Char('%'); }

double leadingNumber(const QString& text)
{
    // Reads like VB's Val: leading blanks skipped, an optional sign, digits
    // with at most one point, an optional exponent; the rest is ignored.
    int i = 0;
    const int n = int(text.size());
    while (i < n
        && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t') || text[i] == QLatin1Char('\r')
            || text[i] == QLatin1Char('\n')))
        ++i;
    const int start = i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    int mantissaDigits = 0;
    while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
        ++i;
        ++mantissaDigits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return 0.0;
    int end = i;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        const int expStart = j;
        while (j < n && text[j].unicode() >= '0' && text[j].unicode() <= '9')
            ++j;
        if (j > expStart)
            end = j;
    }
    QString number = text.mid(start, end - start);
    if (number.endsWith(QLatin1Char('.')))
        number.chop(1);
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

QString formatDate(const QDate& date, const QString& pattern)
{
    if (!date.isValid())
        return QString();
    const QString year = QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
    const QString month = QStringLiteral("%1").arg(date.month(), 2, 10, QLatin1Char('0'));
    const QString day = QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0'));
    // The letters are matched in place, ignoring case: lowering the whole
    // pattern first could change its length (U+0130 lowers to two code units)
    // and put the copy out of step with it.
    const auto repeats = [&pattern](qsizetype at, char16_t letter, qsizetype count) {
        if (at + count > pattern.size())
            return false;
        for (qsizetype k = at; k < at + count; ++k) {
            const char16_t c = pattern.at(k).unicode();
            if (c != letter && c != letter - (u'a' - u'A'))
                return false;
        }
        return true;
    };
    QString out;
    qsizetype i = 0;
    while (i < pattern.size()) {
        if (repeats(i, u'y', 4)) {
            out += year;
            i += 4;
        } else if (repeats(i, u'm', 2)) {
            out += month;
            i += 2;
        } else if (repeats(i, u'd', 2)) {
            out += day;
            i += 2;
        } else {
            out += pattern.at(i);
            ++i;
        }
    }
    return out;
}

double decimalValue(double value)
{
    if (!std::isfinite(value))
        return value;
    // Through the nine-decimal text: exact at any magnitude, unlike value * 1e9.
    const double rounded = QString::number(value, 'f', 9).toDouble();
    return rounded == 0.0 ? 0.0 : rounded;
}

QString moneyText(double value) { return formatNumber(decimalValue(value), QStringLiteral("0.00")); }

QString moneyOrEmpty(const std::optional<double>& value, ZeroMoney zero)
{
    if (!value || (zero == ZeroMoney::Empty && decimalValue(*value) == 0.0))
        return QString();
    return moneyText(*value);
}

qint64 moneyCents(double value)
{
    // Read back from the text: the one rounding rule for texts and sums.
    const QString text = moneyText(value);
    const bool negative = text.startsWith(QLatin1Char('-'));
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    const qint64 whole = text.mid(negative ? 1 : 0, dot - (negative ? 1 : 0)).toLongLong();
    const qint64 cents = whole * 100 + text.mid(dot + 1, 2).toLongLong();
    return negative ? -cents : cents;
}

QString centsText(qint64 cents)
{
    const qint64 magnitude = cents < 0 ? -cents : cents;
    QString text = QString::number(magnitude / 100) + QLatin1Char('.');
    const int fraction = int(magnitude % 100);
    text += QLatin1Char(char('0' + fraction / 10));
    text += QLatin1Char(char('0' + fraction % 10));
    return cents < 0 ? QLatin1Char('-') + text : text;
}

} // namespace fee
