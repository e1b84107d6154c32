#pragma once

#include <QStyledItemDelegate>

namespace fee {

// Draws a grid cell the way the report grids have always looked: text close to
// the cell edge (the grids size columns to their text plus 90 twips, which
// Qt's wider item margins would cut off) and never shortened with an ellipsis.
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace fee
