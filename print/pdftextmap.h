#pragma once

#include <QByteArray>
#include <QHash>
#include <QStringList>

namespace fee {

// Qt writes the ToUnicode map of an embedded font by asking, for every code
// point from 0 up, which glyph it draws, and keeps the first code point found.
// CJK fonts draw an ideograph and its look-alike radical with one glyph, so
// 日 comes back from the PDF as the Kangxi radical U+2F47 and 页 as U+2EDA:
// the pages look right, but copied or searched text is wrong.

// The ideograph each radical (U+2E80 to U+2FDF) shares its glyph with, in the
// given font families. Needs a QGuiApplication.
QHash<char16_t, char16_t> radicalIdeographs(const QStringList& families);

// Puts the ideographs back in every ToUnicode map of a PDF written by Qt.
// Only the four hex digits of a target code change, so every byte offset of
// the file stays valid.
void repairPdfTextMaps(QByteArray& pdf, const QHash<char16_t, char16_t>& radicalToIdeograph);

} // namespace fee
