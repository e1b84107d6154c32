#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace fee {

enum class HorizontalPlace { Left, Centre, Right };
enum class VerticalPlace { Top, Middle, Bottom };

// Where a cell's text goes inside its cell. Screen and printer share these
// rules so a report looks the same on both.
struct CellTextPlace {
    HorizontalPlace horizontal = HorizontalPlace::Left;
    VerticalPlace vertical = VerticalPlace::Middle;
    friend bool operator==(const CellTextPlace&, const CellTextPlace&) = default;
};

// Gap between the text and the cell's left or right edge: columns are sized
// to their text plus 90 twips, half of it on each side.
inline constexpr int kCellTextMarginTwips = 45;

// The place of a grid alignment code (GridAlign) on screen; general (9, or any
// code outside 0 to 8) puts a text that reads as a number on the right and
// any other text on the left.
CellTextPlace cellTextPlace(int alignCode, const QString& text);

// The printed page knows only right-aligned columns (code 7) and left ones;
// every printed text is vertically centred.
CellTextPlace printedCellTextPlace(int alignCode);

// Top-left corner of a text block of the given size in a cell, all in one
// unit (twips on the printer, pixels on screen; margin in the same unit):
// left x + margin, right x + w - text width - margin, centred
// x + (w - text width) / 2; top y, bottom y + h - text height, middle
// y + (h - text height) / 2.
QPointF cellTextOrigin(const QRectF& cell, const QSizeF& text, CellTextPlace place, double margin);

} // namespace fee
