#pragma once

class QFontMetrics;
class QString;

namespace fee {

// Makes GridModel measure texts with the real fonts (needs a QGuiApplication;
// call it on the GUI thread). The measure may then be called from any
// thread, report runs measuring on their own threads included; it is
// uninstalled when the application object goes.
void installFontTextMeasure();

// Width of a text in twips for these font metrics; a text with line breaks is
// as wide as its widest line. Without a dpi the primary screen's applies
// (GUI thread only).
double textWidthTwips(const QFontMetrics& metrics, const QString& text);
double textWidthTwips(const QFontMetrics& metrics, const QString& text, double dpi);

} // namespace fee
