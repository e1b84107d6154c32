#pragma once

#include <QPageLayout>
#include <QPageSize>

namespace fee {

class GridModel;

// The page a printout starts from where no printer says otherwise (the PDF
// file, the preview without a printer): the paper (A4 unless the caller
// chooses another) with quarter-inch margins all round, the printable area of
// a common office printer.
QPageLayout printPageLayout(const QPageSize& paper, QPageLayout::Orientation orientation);

struct PrintPageChoice {
    QPageLayout layout;
    bool fits = true; // the table fits the printable width
};

// Portrait when the table (its printed columns, widths in twips) fits it,
// else landscape; fits is false when even landscape is too narrow.
PrintPageChoice choosePrintLayout(const GridModel& grid, int skip, const QPageSize& paper = QPageSize(QPageSize::A4));

} // namespace fee
