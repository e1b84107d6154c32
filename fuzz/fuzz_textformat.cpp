// The texts of numbers and dates: leadingNumber, formatNumber with any
// pattern and formatDate with any pattern. The first byte picks the function.

#include "core/textformat.h"
#include "fuzzsupport.h"

#include <QRegularExpression>
#include <cmath>

namespace {

bool continuesNumber(const QString& text)
{
    if (text.isEmpty())
        return false;
    const QChar c = text.at(0);
    return (c >= u'0' && c <= u'9') || c == u'.' || c == u'e' || c == u'E';
}

// A number written in full reads back as itself, whatever follows it.
void checkLeadingNumber(double value, const QString& text)
{
    const double read = fee::leadingNumber(text);
    fuzz::check(std::isfinite(read), "a cell's leading number is finite", text);
    if (!std::isfinite(value))
        return;
    const QString written = QString::number(value, 'g', 17) + (continuesNumber(text) ? QString() : text);
    const double back = fee::leadingNumber(QStringLiteral("  ") + written);
    fuzz::check(back == value || (back == 0 && value == 0), "a written number reads back",
        written + QStringLiteral(" -> ") + QString::number(back, 'g', 17));
}

int decimalsOf(const QString& format)
{
    const qsizetype dot = format.indexOf(u'.');
    if (dot < 0)
        return 0;
    int n = 0;
    while (dot + 1 + n < format.size() && (format.at(dot + 1 + n) == u'0' || format.at(dot + 1 + n) == u'#'))
        ++n;
    return n;
}

void checkFormatNumber(double value, const QString& format)
{
    const QString text = fee::formatNumber(value, format);
    const QString shown
        = QString::number(value, 'g', 17) + QStringLiteral(" \"") + format + QStringLiteral("\" -> ") + text;
    if (!std::isfinite(value))
        return;
    const int decimals = decimalsOf(format);
    const QRegularExpression shape(decimals > 0 ? QStringLiteral("^-?(0|[1-9][0-9]*)\\.[0-9]{%1}$").arg(decimals)
                                                : QStringLiteral("^-?(0|[1-9][0-9]*)$"));
    fuzz::check(shape.match(text).hasMatch(), "a number text has the pattern's shape", shown);
    bool zero = true;
    for (const QChar c : text)
        zero = zero && (c == u'0' || c == u'.' || c == u'-');
    fuzz::check(!(zero && text.startsWith(u'-')), "no negative zero", shown);
    fuzz::check((value < 0 && !zero) == text.startsWith(u'-'), "the sign is the value's", shown);
    if (decimals <= 300) {
        // Within half a unit of the last decimal (and the double's own precision).
        const double back = text.toDouble();
        const double allowed = 0.5 * std::pow(10.0, -decimals) + std::fabs(value) * 1e-15;
        fuzz::check(std::fabs(back - value) <= allowed * 1.000001, "the text rounds the value", shown);
    }
}

void checkFormatDate(const QDate& date, const QString& pattern)
{
    const QString text = fee::formatDate(date, pattern);
    const QString shown
        = date.toString(Qt::ISODate) + QStringLiteral(" \"") + pattern + QStringLiteral("\" -> ") + text;
    if (!date.isValid()) {
        fuzz::check(text.isEmpty(), "an invalid date gives nothing", shown);
        return;
    }
    // A pattern without any of the date's letters is copied as it is.
    bool letters = false;
    for (const QChar c : pattern)
        letters = letters || QStringLiteral("yYmMdD").contains(c);
    if (!letters)
        fuzz::check(text == pattern, "a pattern without date letters is copied", shown);
    if (pattern.compare(QLatin1String("yyyy-mm-dd"), Qt::CaseInsensitive) == 0 && date.year() >= 0
        && date.year() <= 9999)
        fuzz::check(text == date.toString(QStringLiteral("yyyy-MM-dd")), "the ISO pattern gives the ISO date", shown);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Bytes bytes(data, size);
    switch (bytes.byte() % 3) {
    case 0: {
        const double value = bytes.number();
        checkLeadingNumber(value, bytes.restAsText());
        break;
    }
    case 1: {
        const double value = bytes.number();
        checkFormatNumber(value, bytes.restAsText());
        break;
    }
    default: {
        // Julian days around the reports' years, and far out now and then.
        const uint8_t far = bytes.byte();
        qint64 day = 0;
        for (int i = 0; i < 4; ++i)
            day = (day << 8) | bytes.byte();
        const qint64 julian = far % 16 == 0 ? day * 1000 - 2'000'000'000LL : 2'400'000 + day % 200'000;
        checkFormatDate(QDate::fromJulianDay(julian), bytes.restAsText());
        break;
    }
    }
    return 0;
}
