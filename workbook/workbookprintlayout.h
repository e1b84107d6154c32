#pragma once

namespace fee {

class WorkbookSheet;

// How a sheet prints: fitted to one page wide (as many pages tall as it
// takes), landscape when the table is wider than tall, and the heading rows
// repeated at the top of every page.
struct WorkbookPrintLayout {
    bool enabled = false;
    int titleFirstRow = 0; // 1-based; 0 = no repeated rows
    int titleLastRow = 0;

    // The table's extent in points from the sheet's used range, its column
    // widths and row heights. A table longer than one page counts one page
    // long: a long narrow list stays upright, a wide one turns.
    static bool landscapeFor(const WorkbookSheet& sheet);
    static double tableWidthPoints(const WorkbookSheet& sheet);
    static double tableHeightPoints(const WorkbookSheet& sheet);

    // The printable length of an upright A4 page with the default margins (0.75 inch top and bottom).
    static constexpr double kPortraitPrintableHeight = 842 - 2 * 54;
};

} // namespace fee
