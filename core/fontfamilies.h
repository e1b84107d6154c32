#pragma once

#include <QString>
#include <QStringList>

namespace fee {

// The installed families that draw a font the reports name: "宋体" (SimSun)
// and "楷体_GB2312" by a CJK serif face, "微软雅黑" (Microsoft YaHei) by a CJK
// sans face, best first, followed by the requested name itself. Any other name
// is returned alone. Needs a QGuiApplication (the font database); without one
// only the requested name comes back.
QStringList fontFamiliesFor(const QString& requested);

// Makes every font a report names draw with its installed stand-in
// (QFont substitutions), so texts render and measure the same in the
// windows, the printouts and the command line.
void installFontSubstitutions();

// The installed family that stands in for a requested one ("" when none).
QString substituteFamily(const QString& requested);

} // namespace fee
