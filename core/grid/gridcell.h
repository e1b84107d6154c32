#pragma once

#include "core/grid/cellvalue.h"
#include "core/grid/rowkind.h"

#include <QColor>
#include <QString>

namespace fee {

// One cell as a painter needs it, read from a GridModel under one lock so the
// parts belong together even while another thread writes the grid.
struct GridCell {
    QString text; // the value's presentation
    CellValue value;
    RowKind rowKind = RowKind::Data;
    QColor back; // invalid: the default background
    QColor fore; // invalid: the default text colour
    int alignment = 0; // GridAlign code in force: the fixed-cell one for fixed cells
    bool fixed = false; // in a fixed row or a fixed column
    int width = 0; // column width, twips
    int height = 0; // row height, twips
    bool wordWrap = false;
};

} // namespace fee
