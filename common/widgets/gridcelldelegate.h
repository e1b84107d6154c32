#pragma once

#include "common/grid/celltextplacement.h"

#include <QStyledItemDelegate>

namespace fee {

// Draws a grid cell the way the report grids have always looked: the text
// placed by the grid's cell rule (45 twips from the edge it is aligned to,
// the same rule as the printed page) and never shortened with an ellipsis.
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Qt's spelling of a cell text place and back.
    static Qt::Alignment qtAlignment(CellTextPlace place);
    static CellTextPlace placeOf(Qt::Alignment alignment);
};

} // namespace fee
