#include "workbook/workbookprintlayout.h"

#include "workbook/workbooksheet.h"

#include <algorithm>
#include <cmath>

namespace fee {

namespace {

    constexpr double kDefaultColumnWidth = 8.43; // characters
    constexpr double kDefaultRowHeight = 15; // points
    constexpr double kPointsPerPixel = 0.75;

    // A column of w characters is w digits of 7 pixels plus 5 pixels of padding.
    double columnPoints(double characters)
    {
        const double pixels = characters < 1 ? std::round(characters * 12) : std::round(characters * 7) + 5;
        return pixels * kPointsPerPixel;
    }

} // namespace

double WorkbookPrintLayout::tableWidthPoints(const WorkbookSheet& sheet)
{
    const int right = sheet.usedRange().right;
    double width = 0;
    for (int c = 1; c <= right; ++c) {
        const double set = sheet.columnWidth(c);
        width += columnPoints(set < 0 ? kDefaultColumnWidth : set);
    }
    return width;
}

double WorkbookPrintLayout::tableHeightPoints(const WorkbookSheet& sheet)
{
    const int bottom = sheet.usedRange().bottom;
    const auto& heights = sheet.rowHeights();
    double height = double(bottom) * kDefaultRowHeight;
    for (auto it = heights.cbegin(); it != heights.cend() && it.key() <= bottom; ++it)
        height += it.value() - kDefaultRowHeight;
    return height;
}

bool WorkbookPrintLayout::landscapeFor(const WorkbookSheet& sheet)
{
    return tableWidthPoints(sheet) > std::min(tableHeightPoints(sheet), kPortraitPrintableHeight);
}

} // namespace fee
