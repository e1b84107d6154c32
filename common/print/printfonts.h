#pragma once

#include <QStringList>

namespace fee {

// The installed families that draw a font the reports name: "宋体" (SimSun)
// and "楷体_GB2312" by a CJK serif face, "微软雅黑" (Microsoft YaHei) by a CJK
// sans face, best first, followed by the requested name itself. Any other name
// is returned alone. Needs a QGuiApplication (the font database); without one
// only the requested name comes back.
QStringList printFontFamilies(const QString& requested);

} // namespace fee
