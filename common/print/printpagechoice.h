#pragma once

#include <QPageLayout>

namespace fee {

class GridModel;

// The page a printout starts from where no printer says otherwise (the PDF
// file, the preview without a printer): A4 with quarter-inch margins all
// round, the printable area of a common office printer.
QPageLayout a4PrintLayout(QPageLayout::Orientation orientation);

struct PrintPageChoice {
    QPageLayout layout;
    bool fits = true; // the table fits the printable width
};

// A4 portrait when the table (its printed columns, widths in twips) fits it,
// else landscape; fits is false when even landscape is too narrow.
PrintPageChoice chooseA4Layout(const GridModel& grid, int skip);

} // namespace fee
