#pragma once

// The values the report workbooks are written with, in the spreadsheet's own
// terms, shared by every report's summary and detail workbooks.

namespace fee::reportbook {

inline constexpr int kHeadingColour = 16761024; // RGB(192, 192, 255), blue-green-red
inline constexpr int kCentre = -4108;
inline constexpr int kLeft = -4131;
inline constexpr int kRight = -4152;
inline constexpr int kContinuous = 1; // line style of the cell borders
// A grid column's width in twips over this is the sheet column's width.
inline constexpr double kTwipsPerWidthUnit = 110;

} // namespace fee::reportbook
