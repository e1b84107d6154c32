#pragma once

#include "common/print/printgrid.h"

class QWidget;

namespace fee {

// Shows the printout of a grid in Qt's print preview (object name
// "GridPrintPreview"), modal. It starts on A4, portrait or, when the table
// only fits that way, landscape; the user can change paper and orientation
// there and print, or print to a PDF file. The preview never asks the paper
// question: what does not fit shows as cut off (an explicit Yes or No in the
// options is kept). A failure while the pages are laid out closes the preview
// and comes back as fee::Failure.
void showGridPrintPreview(const GridModel& grid, const PrintGridOptions& options, QWidget* parent = nullptr);

} // namespace fee
