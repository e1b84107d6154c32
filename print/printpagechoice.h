#pragma once

#include "print/printgrid.h"

#include <QPageLayout>
#include <QPageSize>

namespace fee {

class GridModel;

// The page a printout starts from where no printer says otherwise (the PDF
// file, the preview): the paper with quarter-inch margins all round, the
// printable area of a common office printer.
QPageLayout printPageLayout(const QPageSize& paper, QPageLayout::Orientation orientation);

// The paper asked for: Auto lets the table choose among A4 and A3.
enum class PrintPaper { Auto, A4, A3 };

// Text never prints smaller than this when a table is shrunk to fit (unless
// the user asks for fit to width).
constexpr double kSmallestPrintedPoints = 8;

struct PrintPageChoice {
    QPageLayout layout;
    double scale = 1; // the table (and the whole page) drawn at this size
    bool fits = true; // every column fits the printable width at that scale
    // What happens to a table that does not fit: No = printed cut off on both
    // sides; Split = printed in parts of columns side by side.
    PaperWidthAnswer overflow = PaperWidthAnswer::No;
    QString paperName; // "A4", "A3"
    bool landscape() const { return layout.orientation() == QPageLayout::Landscape; }
};

// Where a table goes:
// - Auto: the first of A4 portrait, A4 landscape and A3 landscape on which the
//   table fits at full size; otherwise A3 landscape with the table shrunk to
//   its width, though never so far that the grid's text prints below
//   kSmallestPrintedPoints: at that scale a table still too wide prints in
//   parts of columns (PaperWidthAnswer::Split).
// - A4 or A3: portrait when the table fits it at full size, else landscape;
//   a table wider than that prints cut off.
// - fitToWidth: a table wider than the chosen page (A3 landscape for Auto,
//   landscape of the paper given) is shrunk to its width, however small; a
//   narrower one keeps its size.
PrintPageChoice choosePrintPage(const GridModel& grid, int skip, PrintPaper paper = PrintPaper::Auto,
    bool fitToWidth = false);

// The options with the choice's scale and its answer for a table too wide.
PrintGridOptions withPrintPageChoice(PrintGridOptions options, const PrintPageChoice& choice);

// "A3 横向" or "A4 纵向", with ", 缩小到 92%" when shrunk.
QString printPageDescription(const PrintPageChoice& choice);

// The line that tells the user what became of a table too wide for the page
// (empty when it fits): cut off, or printed in parts (cutOff: a column of
// its own is still wider than the page).
QString printOverflowNotice(const PrintPageChoice& choice, int parts, bool cutOff = false);

} // namespace fee
