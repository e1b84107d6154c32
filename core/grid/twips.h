#pragma once

#include <QRect>
#include <QSize>
#include <QtGlobal>

namespace fee {

// Every length of the report grids, windows and printed pages is kept in
// twips (1/1440 inch); this is the program's one conversion to and from
// device pixels. Without a dpi the screen's usual 96 dpi applies: 15 twips
// to a pixel.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kScreenDpi = 96;
inline constexpr int kTwipsPerPixel = kTwipsPerInch / kScreenDpi;

// Rounds half a pixel up.
constexpr int twipsToPixels(int twips, int dpi = kScreenDpi)
{
    return int((qint64(twips) * dpi + kTwipsPerInch / 2) / kTwipsPerInch);
}
constexpr double pixelsToTwips(double pixels, double dpi = kScreenDpi) { return pixels * kTwipsPerInch / dpi; }

inline QSize twipsSize(int width, int height) { return QSize(twipsToPixels(width), twipsToPixels(height)); }
inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace fee
