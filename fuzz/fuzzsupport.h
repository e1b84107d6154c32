#pragma once

// What every fuzz target shares: turning the fuzzer's bytes into texts and
// numbers, and failing loudly when a property does not hold (a failed check
// aborts, so libFuzzer keeps the input as a crash).

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzz {

// Prints what went wrong and aborts the run.
[[noreturn]] inline void fail(const char* what, const QString& detail = QString())
{
    std::fprintf(stderr, "\n*** property violated: %s\n%s\n", what, detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

inline void check(bool holds, const char* what, const QString& detail = QString())
{
    if (!holds)
        fail(what, detail);
}

// Hands out the fuzzer's bytes piece by piece; an exhausted input reads zeros.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    size_t remaining() const { return m_size - m_at; }

    uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }

    double number()
    {
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = (bits << 8) | byte();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // The rest of the input as UTF-8 text (invalid sequences become U+FFFD).
    QString restAsText()
    {
        const QString text = QString::fromUtf8(reinterpret_cast<const char*>(m_data + m_at), qsizetype(remaining()));
        m_at = m_size;
        return text;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

inline QString text(const uint8_t* data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

} // namespace fuzz
