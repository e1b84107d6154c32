#pragma once

#include <QString>

namespace fee {

// Makes "宋体" at 9 points the application font, so Chinese text renders and
// measures the same in every window (the font substitutions of
// core/fontfamilies.h must be installed first).
void useApplicationFont();

} // namespace fee
