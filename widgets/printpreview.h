#pragma once

#include "print/printgrid.h"

class QWidget;

namespace fee {

// Shows the printout of a grid in the print preview
// (GridPrintPreviewDialog, object name "GridPrintPreview"), modal. It starts
// on the paper "自动" chooses (A4 portrait, A4 landscape, or A3 landscape,
// shrunk when needed); the user can choose the paper and "适合纸宽" there and
// print, or save a PDF file, of what it shows. The preview never asks the
// paper question. A failure while the pages are laid out closes the preview
// and comes back as fee::Failure.
void showGridPrintPreview(const GridModel& grid, const PrintGridOptions& options, QWidget* parent = nullptr);

} // namespace fee
