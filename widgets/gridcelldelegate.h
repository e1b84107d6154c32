#pragma once

#include "core/grid/celltextplacement.h"

#include <QStringList>
#include <QStyledItemDelegate>

class QFontMetrics;

namespace fee {

// Draws a grid cell the way the report grids have always looked: the text
// placed by the grid's cell rule (45 twips from the edge it is aligned to,
// the same rule as the printed page). A text wider than its cell is never
// shown cut: it takes the margins first, and when even the whole cell is too
// narrow it is shortened with "…" and shows whole as the cell's tooltip.
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
        const QModelIndex& index) override;

    // How a text is shown in a cell `cellWidth` pixels wide: its lines, the
    // margin left on the side it is aligned to, whether lines wrap inside
    // the cell, and whether it had to be shortened.
    struct Shown {
        QString text; // the whole text, or its lines shortened and joined by "\n"
        int margin = 0;
        bool wrap = false;
        bool elided = false;
    };
    static Shown shownText(
        const QFontMetrics& metrics, const QString& text, int cellWidth, int margin, bool wordWrap);

    // Qt's spelling of a cell text place and back.
    static Qt::Alignment qtAlignment(CellTextPlace place);
    static CellTextPlace placeOf(Qt::Alignment alignment);
};

} // namespace fee
