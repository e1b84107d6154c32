#pragma once

#include "print/printgrid.h"
#include "print/printpagechoice.h"

namespace fee {

struct GridPdfResult {
    int pages = 0;
    PrintPageChoice page; // the paper, its orientation and the scale
    bool landscape = false;
    // The table is wider than the page: it was printed centred, both sides
    // cut off.
    bool cutOff = false;
    int parts = 1; // parts of columns side by side (a table split to fit)
    // What became of a table too wide for the page, to show the user; empty
    // when every column is on the page.
    QString notice;
    // options.progress stopped the job: no file was written.
    bool stopped = false;
};

// Writes the printout of a grid (PrintGrid, the same pages as on paper) to a
// PDF file on the page choosePrintPage(grid, options.skip, paper,
// fitToWidth) gives, without asking. options.paperWidth and options.scale
// are not used.
//
// The file is written to a temporary file in the same folder and renamed: a
// failure leaves an existing file as it was. Failures: fee::Failure kErrFile
// (the file), kErrPrinter (a page too short for one row). Needs a
// QGuiApplication for the fonts; the "offscreen" platform is enough.
GridPdfResult writeGridPdf(const GridModel& grid, const QString& path, const PrintGridOptions& options,
    PrintPaper paper = PrintPaper::Auto, bool fitToWidth = false);

} // namespace fee
