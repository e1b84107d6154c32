#pragma once

#include "common/print/printgrid.h"

#include <QPageSize>

namespace fee {

struct GridPdfResult {
    int pages = 0;
    bool landscape = false;
    // The table is wider than even landscape paper: it was printed centred,
    // both sides cut off. notice then holds a line to show the user.
    bool cutOff = false;
    QString notice;
};

// Writes the printout of a grid (PrintGrid, the same pages as on paper) to a
// PDF file on A4 (or the paper given): portrait, or landscape when the table
// only fits that way, chosen here without asking. A table wider than
// landscape prints cut off (the paper question answered No) and the result
// says so. options.paperWidth is not used.
//
// The file is written to a temporary file in the same folder and renamed: a
// failure leaves an existing file as it was. Failures: fee::Failure kErrFile
// (the file), kErrPrinter (a page too short for one row). Needs a
// QGuiApplication for the fonts; the "offscreen" platform is enough.
GridPdfResult writeGridPdf(const GridModel& grid, const QString& path, const PrintGridOptions& options,
    const QPageSize& paper = QPageSize(QPageSize::A4));

} // namespace fee
