#include "db/sqlitefunctions.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>
#include <string>
#include <unordered_map>

namespace fee {

namespace {

    // ---- collation ----------------------------------------------------------

    // Next code point of a UTF-8 text; malformed bytes stand for themselves
    // above the ASCII range so that every byte sequence keeps a place in the order.
    char32_t decodeUtf8(const unsigned char* s, int n, int& i)
    {
        const unsigned char c = s[i];
        int extra = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            ++i;
            return c;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            ++i;
            return 0x110000 + c;
        }
        if (i + extra >= n) {
            ++i;
            return 0x110000 + c;
        }
        for (int k = 1; k <= extra; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) {
                ++i;
                return 0x110000 + c;
            }
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        i += extra + 1;
        return cp;
    }

    // Order of two distinct non-ASCII characters: the Chinese collator (pinyin
    // for Han characters), the code point breaking ties so the order stays strict.
    int compareWide(char32_t a, char32_t b)
    {
        thread_local QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
        thread_local std::unordered_map<char32_t, QCollatorSortKey> keys;
        auto keyOf = [&](char32_t cp) -> const QCollatorSortKey& {
            auto it = keys.find(cp);
            if (it == keys.end()) {
                const QString text = cp < 0x110000 ? QString::fromUcs4(&cp, 1) : QString();
                it = keys.emplace(cp, collator.sortKey(text)).first;
            }
            return it->second;
        };
        const int byCollator = keyOf(a).compare(keyOf(b));
        if (byCollator != 0)
            return byCollator < 0 ? -1 : 1;
        return a < b ? -1 : 1;
    }

    unsigned char foldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

    // Character by character: ASCII ignoring letter case before every other
    // character; trailing blanks do not count. A lexicographic order over a
    // total order of characters, hence a strict weak ordering of texts.
    int collate(void*, int n1, const void* p1, int n2, const void* p2)
    {
        const auto* a = static_cast<const unsigned char*>(p1);
        const auto* b = static_cast<const unsigned char*>(p2);
        while (n1 > 0 && a[n1 - 1] == ' ')
            --n1;
        while (n2 > 0 && b[n2 - 1] == ' ')
            --n2;
        int i = 0;
        int j = 0;
        while (i < n1 && j < n2) {
            if (a[i] < 0x80 && b[j] < 0x80) {
                const unsigned char x = foldAscii(a[i++]);
                const unsigned char y = foldAscii(b[j++]);
                if (x != y)
                    return x < y ? -1 : 1;
                continue;
            }
            if (a[i] < 0x80)
                return -1;
            if (b[j] < 0x80)
                return 1;
            const char32_t x = decodeUtf8(a, n1, i);
            const char32_t y = decodeUtf8(b, n2, j);
            if (x != y)
                return compareWide(x, y);
        }
        if (i < n1)
            return 1;
        if (j < n2)
            return -1;
        return 0;
    }

    // ---- exact sum ----------------------------------------------------------

    using Int128 = __int128;
    constexpr int kScale = 9; // the sum counts units of 1e-9
    constexpr Int128 kLimit = Int128(1000000000000000000LL) * Int128(1000000000000000000LL); // 1e36

    struct SumState {
        bool any;
        bool hasDecimal;
        bool intOverflow;
        bool inexact;
        sqlite3_int64 integerSum;
        Int128 units;
        long double approximate;
    };

    // A decimal text ("-12.50", "1e-07") as units of 1e-9; false when it is
    // not a number or cannot be held exactly.
    bool decimalUnits(const char* s, size_t n, Int128& units)
    {
        size_t i = 0;
        while (i < n && (s[i] == ' ' || s[i] == '\t'))
            ++i;
        while (n > i && (s[n - 1] == ' ' || s[n - 1] == '\t'))
            --n;
        bool negative = false;
        if (i < n && (s[i] == '-' || s[i] == '+'))
            negative = s[i++] == '-';
        Int128 mantissa = 0;
        int exponent = 0;
        int digits = 0;
        bool dropped = false;
        bool seenPoint = false;
        for (; i < n; ++i) {
            const char c = s[i];
            if (c >= '0' && c <= '9') {
                if (mantissa < kLimit) {
                    mantissa = mantissa * 10 + (c - '0');
                    if (seenPoint)
                        --exponent;
                } else {
                    if (c != '0')
                        dropped = true;
                    if (!seenPoint)
                        ++exponent;
                }
                ++digits;
            } else if (c == '.' && !seenPoint) {
                seenPoint = true;
            } else {
                break;
            }
        }
        if (digits == 0 || dropped)
            return false;
        if (i < n && (s[i] == 'e' || s[i] == 'E')) {
            ++i;
            int sign = 1;
            if (i < n && (s[i] == '-' || s[i] == '+'))
                sign = s[i++] == '-' ? -1 : 1;
            int e = 0;
            int expDigits = 0;
            for (; i < n && s[i] >= '0' && s[i] <= '9'; ++i, ++expDigits)
                e = std::min(e * 10 + (s[i] - '0'), 10000);
            if (expDigits == 0)
                return false;
            exponent += sign * e;
        }
        if (i != n)
            return false;
        int shift = exponent + kScale;
        while (shift > 0) {
            if (mantissa > kLimit)
                return false;
            mantissa *= 10;
            --shift;
        }
        while (shift < 0) {
            if (mantissa % 10 != 0)
                return false;
            mantissa /= 10;
            ++shift;
        }
        units = negative ? -mantissa : mantissa;
        return true;
    }

    bool isIntegerText(const char* s, size_t n)
    {
        size_t i = 0;
        if (i < n && (s[i] == '-' || s[i] == '+'))
            ++i;
        if (i == n || n - i > 18)
            return false;
        for (; i < n; ++i)
            if (s[i] < '0' || s[i] > '9')
                return false;
        return true;
    }

    void addInteger(SumState& st, sqlite3_int64 v)
    {
        if (__builtin_add_overflow(st.integerSum, v, &st.integerSum))
            st.intOverflow = true;
        // Far beyond any ledger, but an overflowing signed sum would be undefined.
        if (__builtin_add_overflow(st.units, Int128(v) * 1000000000, &st.units))
            st.inexact = true;
        st.approximate += v;
    }

    void addDecimal(SumState& st, const char* text, size_t n, long double approx)
    {
        st.hasDecimal = true;
        st.approximate += approx;
        Int128 units = 0;
        if (!decimalUnits(text, n, units) || (units > 0 ? units : -units) > kLimit)
            st.inexact = true;
        else if (__builtin_add_overflow(st.units, units, &st.units))
            st.inexact = true;
        if (st.units > kLimit || st.units < -kLimit)
            st.inexact = true;
    }

    void addValue(SumState& st, sqlite3_value* v)
    {
        switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            return;
        case SQLITE_INTEGER:
            st.any = true;
            addInteger(st, sqlite3_value_int64(v));
            return;
        case SQLITE_FLOAT: {
            st.any = true;
            const double d = sqlite3_value_double(v);
            char buf[64];
            const auto res = std::to_chars(buf, buf + sizeof buf, d);
            addDecimal(st, buf, res.ec == std::errc() ? size_t(res.ptr - buf) : 0, d);
            return;
        }
        default: {
            st.any = true;
            const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
            const size_t n = text ? size_t(sqlite3_value_bytes(v)) : 0;
            if (text && isIntegerText(text, n)) {
                addInteger(st, std::strtoll(text, nullptr, 10));
                return;
            }
            Int128 ignored = 0;
            if (text && decimalUnits(text, n, ignored))
                addDecimal(st, text, n, std::strtold(std::string(text, n).c_str(), nullptr));
            // Text that is no number adds nothing, as in SQLite's own sum.
            return;
        }
        }
    }

    // SQLite hands out aggregate memory aligned for 8 bytes only, and the
    // state holds 16-byte values: it is copied in and out, never used in place.
    // The memory starts zeroed, which is the empty state.
    void sumStep(sqlite3_context* ctx, int, sqlite3_value** argv)
    {
        void* slot = sqlite3_aggregate_context(ctx, sizeof(SumState));
        if (!slot)
            return;
        SumState st;
        std::memcpy(&st, slot, sizeof st);
        addValue(st, argv[0]);
        std::memcpy(slot, &st, sizeof st);
    }

    std::string unitsText(Int128 units)
    {
        const bool negative = units < 0;
        unsigned __int128 magnitude = negative ? (unsigned __int128)(-(units + 1)) + 1 : (unsigned __int128)units;
        std::string digits;
        do {
            digits.insert(digits.begin(), char('0' + int(magnitude % 10)));
            magnitude /= 10;
        } while (magnitude != 0);
        while (digits.size() <= size_t(kScale))
            digits.insert(digits.begin(), '0');
        digits.insert(digits.end() - kScale, '.');
        return (negative ? "-" : "") + digits;
    }

    void sumFinal(sqlite3_context* ctx)
    {
        const void* slot = sqlite3_aggregate_context(ctx, 0);
        SumState st {};
        if (slot)
            std::memcpy(&st, slot, sizeof st);
        if (!st.any) {
            sqlite3_result_null(ctx);
            return;
        }
        if (!st.hasDecimal && !st.intOverflow) {
            sqlite3_result_int64(ctx, st.integerSum);
            return;
        }
        if (st.inexact) {
            sqlite3_result_double(ctx, double(st.approximate));
            return;
        }
        const double value = std::strtod(unitsText(st.units).c_str(), nullptr);
        sqlite3_result_double(ctx, value == 0.0 ? 0.0 : value);
    }

} // namespace

void registerSqliteFunctions(sqlite3* db)
{
    sqlite3_create_collation_v2(db, kSqliteCollation, SQLITE_UTF8, nullptr, collate, nullptr);
    // Same name and arity as the built-in: the statements' sum() becomes exact.
    sqlite3_create_function_v2(db, "sum", 1, SQLITE_UTF8, nullptr, nullptr, sumStep, sumFinal, nullptr);
}

} // namespace fee
