#pragma once

#include "common/print/printgrid.h"

class QWidget;

namespace fee {

enum class GridPrintOutcome {
    Printed, // sent to the default printer
    NotPrinted, // the paper question was answered Yes: nothing printed
    Previewed, // no printer installed: the print preview was shown instead
};

// Prints a grid on the default printer without a printer dialog (PrintGrid
// with these options: title, date line, paper question ...). Where no printer
// is installed the print preview is shown instead (showGridPrintPreview), from
// which the pages can be printed to a PDF file. Failures come back as
// fee::Failure (kErrPrinter for the printer or a page too short for one row);
// the calling window shows them in its error box.
GridPrintOutcome printGridToPrinter(const GridModel& grid, const PrintGridOptions& options, QWidget* parent = nullptr);

} // namespace fee
