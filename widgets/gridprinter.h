#pragma once

#include "print/printgrid.h"

#include <functional>

class QWidget;

namespace fee {

enum class GridPrintOutcome {
    Printed, // sent to the default printer
    NotPrinted, // the paper question was answered Yes: nothing printed
    Previewed, // no printer installed: the print preview was shown instead
};

// PrintGrid, with the paper question it hands back (PaperWidthAnswer::Ask and
// a table too wide) asked through the message-box seam: Yes prints nothing,
// No prints the table cut off.
PrintGridResult printGridAsking(PageSurface& surface, const GridModel& grid, const PrintGridOptions& options);

// Prints a grid on the default printer without a printer dialog
// (printGridAsking with these options: title, date line, paper question ...). Where no printer
// is installed the print preview is shown instead (showGridPrintPreview), from
// which the pages can be printed to a PDF file. Failures come back as
// fee::Failure (kErrPrinter for the printer or a page too short for one row);
// the calling window shows them in its error box.
GridPrintOutcome printGridToPrinter(const GridModel& grid, const PrintGridOptions& options, QWidget* parent = nullptr);

// Where the windows' print buttons send their grids: printGridToPrinter
// unless another printer is installed (tests record what a button hands
// over, or print to a recording surface, instead of opening a preview).
using GridPrinter = std::function<GridPrintOutcome(const GridModel&, const PrintGridOptions&, QWidget* parent)>;
void setGridPrinter(GridPrinter printer); // an empty one restores printGridToPrinter
GridPrintOutcome printGrid(const GridModel& grid, const PrintGridOptions& options, QWidget* parent = nullptr);

} // namespace fee
