#include "workbook/workbookinput.h"

#include <QVarLengthArray>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace fee {

namespace {

    bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

    // Reads " *[+-]?(digits[.digits]|.digits)([eE][+-]?digits)? *(%?) *" over the
    // whole text: only plain decimal forms (QString::toDouble alone would also
    // take "inf" and "nan"). Written by hand because every grid cell of an
    // export passes through here.
    bool parseTypedNumber(const QString& typed, double& value, bool& percent, bool& hasPoint)
    {
        const char16_t* p = reinterpret_cast<const char16_t*>(typed.constData());
        const char16_t* const end = p + typed.size();
        while (p < end && *p == u' ')
            ++p;
        QVarLengthArray<char, 64> digits;
        auto put = [&](char16_t c) { digits.append(char(c)); };
        bool negative = false;
        if (p < end && (*p == u'+' || *p == u'-'))
            negative = *p++ == u'-';
        if (negative)
            put(u'-');
        int mantissaDigits = 0;
        while (p < end && isDigit(*p)) {
            put(*p++);
            ++mantissaDigits;
        }
        hasPoint = false;
        if (p < end && *p == u'.') {
            hasPoint = true;
            put(*p++);
            while (p < end && isDigit(*p)) {
                put(*p++);
                ++mantissaDigits;
            }
        }
        if (mantissaDigits == 0)
            return false;
        if (p < end && (*p == u'e' || *p == u'E')) {
            const char16_t* q = p + 1;
            bool negativeExponent = false;
            if (q < end && (*q == u'+' || *q == u'-'))
                negativeExponent = *q++ == u'-';
            if (q >= end || !isDigit(*q))
                return false; // "1e" is no number
            put(u'e');
            if (negativeExponent)
                put(u'-');
            while (q < end && isDigit(*q))
                put(*q++);
            p = q;
        }
        while (p < end && *p == u' ')
            ++p;
        percent = p < end && *p == u'%';
        if (percent)
            ++p;
        while (p < end && *p == u' ')
            ++p;
        if (p != end)
            return false;
        const char* const first = digits.constData();
        const char* const last = first + digits.size();
        const auto result = std::from_chars(first, last, value);
        if (result.ec == std::errc::result_out_of_range) {
            // Too small to hold reads as zero; too large is no number.
            const char* e = std::find(first, last, 'e');
            if (e == last || e[1] != '-')
                return false;
            value = 0;
            return true;
        }
        return result.ec == std::errc() && result.ptr == last && std::isfinite(value);
    }

} // namespace

WorkbookInput WorkbookInput::fromTyped(const QString& typed)
{
    WorkbookInput in;
    if (typed.isEmpty())
        return in;
    if (typed.startsWith(u'\'')) {
        in.text = typed.mid(1);
        in.kind = in.text.isEmpty() ? Empty : Text;
        return in;
    }
    if (typed.size() > 1 && typed.startsWith(u'=')) {
        in.kind = Formula;
        in.text = typed;
        return in;
    }
    double value = 0;
    bool percent = false;
    bool hasPoint = false;
    if (parseTypedNumber(typed, value, percent, hasPoint)) {
        if (percent) {
            value /= 100;
            in.numberFormat = hasPoint ? QStringLiteral("0.00%") : QStringLiteral("0%");
        }
        in.kind = Number;
        in.number = value == 0 ? 0.0 : value; // no negative zero
        return in;
    }
    in.kind = Text;
    in.text = typed;
    return in;
}

} // namespace fee
