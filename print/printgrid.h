#pragma once

#include "core/messages.h"
#include "print/pagesurface.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <functional>
#include <optional>

namespace fee {

class GridModel;

// A text wider than its cell (heading or not) is drawn smaller, down to this
// share of the grid's font, and what still does not fit is cut to the cell.
constexpr double kSmallestCellTextShare = 0.6;

// The fixed first line of every printed page.
inline const char* const kPrintCompanyLine = "zu**物业管理有限公司";

// How the question "纸张宽度不够…是否要修改打印设置？" is answered when the table is
// wider than the printable width.
enum class PaperWidthAnswer {
    // Not answered yet: the printout stops before drawing anything and hands
    // the question back (PrintGridResult::question) for the window to ask;
    // it then prints again with the answer (widgets/gridprinter.h).
    Ask,
    Yes, // change the settings: nothing is printed
    No, // print anyway: the table's left part falls off the page
    // Not asked: the table is printed in parts of columns side by side, each
    // part on pages of its own with the fixed columns (序 ...) repeated at its
    // left, so that no column is lost.
    Split,
};

struct PrintGridOptions {
    QString title; // the report title under the company line
    QString dateLine; // the line under the title; empty = no date line
    bool signature = false; // the 审核/制单 line in every footer
    int skip = 0; // rightmost grid columns left out
    int unit = UnitTwips; // the unit of the grid's widths and heights
    PaperWidthAnswer paperWidth = PaperWidthAnswer::Ask;
    QDate printDate; // the date in the footers; null = today
    // Everything on the page drawn at this fraction of its size (1 = full
    // size); the page then holds the table as if it were 1/scale as large.
    double scale = 1;
    // Called before every page is drawn (page 1-based, and the page count);
    // returning false stops the job there (PrintGridResult::stopped).
    std::function<bool(int page, int pageCount)> progress;
};

// The question a table too wide for the paper asks: its text, title, icon
// and Yes/No buttons, for the message-box seam of whoever shows boxes.
BoxRequest paperWidthQuestion();

struct PrintGridResult {
    bool printed = false; // false: the paper question was answered Yes, or is still to be asked
    // The paper question, when PaperWidthAnswer::Ask met a table too wide:
    // nothing was drawn; print again with the answer (Yes prints nothing).
    std::optional<BoxRequest> question;
    int pages = 0; // the page count m printed in the footers
    bool cutOff = false; // the table is wider than the printable width
    int parts = 1; // parts of columns side by side (PaperWidthAnswer::Split)
    bool stopped = false; // the progress callback stopped the job
};

// Prints a grid as a ruled table, page by page: on every page the company
// line, the title and the date line, every fixed heading row of the grid
// (merged headings centred over their span and kept inside it), as many data
// rows as fit and a footer with the print date and "第n页 共m页". Columns keep
// their grid widths and the table is centred; in merge-flagged columns runs
// of equal non-empty texts print as one cell, closed at every page end.
//
// A grid without data rows prints one page: title block, heading row and the
// footer "第1页 共1页". A page too short for a single data row is refused with
// fee::Failure kErrPrinter before anything is drawn. Surface failures pass to
// the caller; a job already begun is not ended.
PrintGridResult PrintGrid(PageSurface& surface, const GridModel& grid, const PrintGridOptions& options);

// The parts of a printed page, in the surface's current unit.

// Estimated height of the title block.
double MeasureHeaderHeight(PageSurface& surface, bool hasDateLine, const QString& fontName, double fontSize);
// Estimated height of the footer (two lines, three with the signature line).
double MeasureFooterHeight(PageSurface& surface, bool signature, const QString& fontName, double fontSize);
// Prints the title block and the heading rows of the given grid columns (left
// to right) with the table's left edge at left; returns the top of the first
// data row. Leaves the body font set.
double PrintPageHeader(PageSurface& surface, const QString& title, const QString& dateLine, const QString& fontName,
    double fontSize, const GridModel& grid, const QVector<int>& columns, double left);
// Prints the table's bottom border at yBottom, the print date under its right
// end, the optional signature line and "第n页 共m页" at the foot of the page.
void PrintPageFooter(PageSurface& surface, double width, double left, bool signature, int page, int pageCount,
    double yBottom, const QDate& printDate = QDate());

// The number of grid columns a printout shows: all but the skip rightmost.
int printedColumnCount(const GridModel& grid, int skip);
// The width of the printed table (the sum of the printed columns' widths).
double printedTableWidth(const GridModel& grid, int skip);
// The heading rows repeated on every page: the grid's fixed rows (at least
// row 0), and their heights.
int headingRowCount(const GridModel& grid);
double headingRowHeight(const GridModel& grid, int row);

} // namespace fee
