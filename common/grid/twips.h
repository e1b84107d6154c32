#pragma once

#include <QRect>
#include <QSize>

namespace fee {

// Window geometry is laid out in twips; the screen has 15 twips to a pixel.
inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
inline QSize twipsSize(int width, int height) { return QSize(twipsToPixels(width), twipsToPixels(height)); }
inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace fee
