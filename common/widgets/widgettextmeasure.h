#pragma once

class QFontMetrics;
class QString;

namespace fee {

// Makes GridModel measure texts with the real fonts (needs a QGuiApplication).
void installWidgetTextMeasure();

// Width of a text in twips for these font metrics; a text with line breaks is
// as wide as its widest line.
double textWidthTwips(const QFontMetrics& metrics, const QString& text);

} // namespace fee
