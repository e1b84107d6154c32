#pragma once

#include <QString>

namespace fee {

// Maps the font names the windows ask for ("宋体", "微软雅黑", "楷体_GB2312"
// and their Latin names) to the installed CJK fonts, and makes "宋体" at 9
// points the application font, so Chinese text renders and measures the same
// in every window.
void installFontSubstitutions();
void useApplicationFont();

// The installed family that stands in for a requested one ("" when none).
QString substituteFamily(const QString& requested);

} // namespace fee
