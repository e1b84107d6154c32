#include "print/pdftextmap.h"

#include <QFont>
#include <QGuiApplication>
#include <QMutex>
#include <QRawFont>
#include <QVector>

namespace fee {

namespace {

    constexpr char16_t kRadicalsFirst = 0x2E80;
    constexpr char16_t kRadicalsLast = 0x2FDF;

    bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

    // Rewrites the hex code at pdf[pos + 1 .. pos + 4] (after "<") when it is a
    // radical with a known ideograph.
    void repairCode(QByteArray& pdf, qsizetype pos, const QHash<char16_t, char16_t>& map)
    {
        bool ok = false;
        const auto code = char16_t(pdf.mid(pos + 1, 4).toUInt(&ok, 16));
        if (!ok || code < kRadicalsFirst || code > kRadicalsLast)
            return;
        const auto found = map.constFind(code);
        if (found == map.constEnd())
            return;
        const QByteArray hex = QByteArray::number(uint(*found), 16).toUpper().rightJustified(4, '0');
        pdf.replace(pos + 1, 4, hex);
    }

    // The positions of the "<" of every complete "<XXXX>" token in a line.
    QVector<qsizetype> codesIn(const QByteArray& pdf, qsizetype from, qsizetype to)
    {
        QVector<qsizetype> codes;
        for (qsizetype i = from; i + 5 < to; ++i) {
            if (pdf[i] == '<' && pdf[i + 5] == '>' && isHex(pdf[i + 1]) && isHex(pdf[i + 2]) && isHex(pdf[i + 3])
                && isHex(pdf[i + 4]))
                codes.append(i);
        }
        return codes;
    }

    // One "beginbf… endbf…" section: each line maps source codes to targets.
    void repairSection(QByteArray& pdf, qsizetype from, qsizetype to, bool ranges, const QHash<char16_t, char16_t>& map)
    {
        qsizetype lineStart = from;
        while (lineStart < to) {
            qsizetype lineEnd = pdf.indexOf('\n', lineStart);
            if (lineEnd < 0 || lineEnd > to)
                lineEnd = to;
            const QVector<qsizetype> codes = codesIn(pdf, lineStart, lineEnd);
            if (!ranges) {
                // <source> <target>
                if (codes.size() == 2)
                    repairCode(pdf, codes[1], map);
            } else if (codes.size() >= 3) {
                const bool array = pdf.indexOf('[', codes[1]) >= 0 && pdf.indexOf('[', codes[1]) < lineEnd;
                // <first> <last> [<target> ...], or <first> <last> <target> for
                // consecutive targets (only a range of one can be repaired).
                if (array) {
                    for (int k = 2; k < codes.size(); ++k)
                        repairCode(pdf, codes[k], map);
                } else if (codes.size() == 3 && pdf.mid(codes[0], 6) == pdf.mid(codes[1], 6)) {
                    repairCode(pdf, codes[2], map);
                }
            }
            lineStart = lineEnd + 1;
        }
    }

    void repairSections(QByteArray& pdf, qsizetype from, qsizetype to, const QByteArray& begin, const QByteArray& end,
        bool ranges, const QHash<char16_t, char16_t>& map)
    {
        qsizetype pos = from;
        while (true) {
            const qsizetype start = pdf.indexOf(begin, pos);
            if (start < 0 || start >= to)
                return;
            const qsizetype stop = pdf.indexOf(end, start);
            if (stop < 0 || stop > to)
                return;
            repairSection(pdf, start + begin.size(), stop, ranges, map);
            pos = stop + end.size();
        }
    }

} // namespace

QHash<char16_t, char16_t> radicalIdeographs(const QStringList& families)
{
    QHash<char16_t, char16_t> map;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return map;
    // A printout asks for the same faces every time.
    static QMutex mutex;
    static QHash<QStringList, QHash<char16_t, char16_t>> cache;
    QMutexLocker lock(&mutex);
    if (cache.contains(families))
        return cache.value(families);
    QVector<QChar> ideographs;
    for (char16_t u = 0x3400; u <= 0x4DBF; ++u)
        ideographs.append(QChar(u));
    for (char16_t u = 0x4E00; u <= 0x9FFF; ++u)
        ideographs.append(QChar(u));
    QVector<QChar> radicals;
    for (char16_t u = kRadicalsFirst; u <= kRadicalsLast; ++u)
        radicals.append(QChar(u));

    for (const QString& family : families) {
        QFont font;
        font.setFamilies({ family });
        const QRawFont raw = QRawFont::fromFont(font);
        if (!raw.isValid())
            continue;
        QVector<quint32> glyphs(ideographs.size());
        int count = int(glyphs.size());
        if (!raw.glyphIndexesForChars(ideographs.constData(), int(ideographs.size()), glyphs.data(), &count))
            continue;
        QHash<quint32, char16_t> byGlyph;
        for (int k = 0; k < count; ++k) {
            if (glyphs[k] != 0 && !byGlyph.contains(glyphs[k]))
                byGlyph.insert(glyphs[k], ideographs[k].unicode());
        }
        QVector<quint32> radicalGlyphs(radicals.size());
        count = int(radicalGlyphs.size());
        if (!raw.glyphIndexesForChars(radicals.constData(), int(radicals.size()), radicalGlyphs.data(), &count))
            continue;
        for (int k = 0; k < count; ++k) {
            const auto found = byGlyph.constFind(radicalGlyphs[k]);
            if (radicalGlyphs[k] != 0 && found != byGlyph.constEnd() && !map.contains(radicals[k].unicode()))
                map.insert(radicals[k].unicode(), *found);
        }
    }
    cache.insert(families, map);
    return map;
}

void repairPdfTextMaps(QByteArray& pdf, const QHash<char16_t, char16_t>& radicalToIdeograph)
{
    if (radicalToIdeograph.isEmpty())
        return;
    static const QByteArray kBegin("begincmap");
    static const QByteArray kEnd("endcmap");
    qsizetype pos = 0;
    while (true) {
        const qsizetype start = pdf.indexOf(kBegin, pos);
        if (start < 0)
            return;
        const qsizetype stop = pdf.indexOf(kEnd, start);
        if (stop < 0)
            return;
        repairSections(pdf, start, stop, "beginbfrange", "endbfrange", true, radicalToIdeograph);
        repairSections(pdf, start, stop, "beginbfchar", "endbfchar", false, radicalToIdeograph);
        pos = stop + kEnd.size();
    }
}

} // namespace fee
