#include "common/widgets/gridcelldelegate.h"

#include "common/grid/twips.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace fee {

Qt::Alignment GridCellDelegate::qtAlignment(CellTextPlace place)
{
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (place.horizontal == HorizontalPlace::Centre)
        horizontal = Qt::AlignHCenter;
    else if (place.horizontal == HorizontalPlace::Right)
        horizontal = Qt::AlignRight;
    Qt::Alignment vertical = Qt::AlignVCenter;
    if (place.vertical == VerticalPlace::Top)
        vertical = Qt::AlignTop;
    else if (place.vertical == VerticalPlace::Bottom)
        vertical = Qt::AlignBottom;
    return horizontal | vertical;
}

CellTextPlace GridCellDelegate::placeOf(Qt::Alignment alignment)
{
    CellTextPlace place;
    if (alignment & Qt::AlignHCenter)
        place.horizontal = HorizontalPlace::Centre;
    else if (alignment & Qt::AlignRight)
        place.horizontal = HorizontalPlace::Right;
    if (alignment & Qt::AlignTop)
        place.vertical = VerticalPlace::Top;
    else if (alignment & Qt::AlignBottom)
        place.vertical = VerticalPlace::Bottom;
    return place;
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
    if (text.isEmpty())
        return;

    painter->save();
    painter->setClipRect(cell.rect);
    painter->setFont(cell.font);
    painter->setPen(cell.palette.color(QPalette::Text));
    const int dpi = cell.widget ? cell.widget->logicalDpiX() : kScreenDpi;
    const int margin = twipsToPixels(kCellTextMarginTwips, dpi);
    const CellTextPlace place = placeOf(cell.displayAlignment);
    const Qt::Alignment lines = qtAlignment(place) & Qt::AlignHorizontal_Mask;
    const QFontMetrics metrics = painter->fontMetrics();
    QSize size;
    int flags = int(lines | Qt::AlignTop);
    if (text.contains(QLatin1Char('\n')) || (cell.features & QStyleOptionViewItem::WrapText)) {
        flags |= Qt::TextWordWrap;
        const int width = std::max(1, cell.rect.width() - 2 * margin);
        size = metrics.boundingRect(QRect(0, 0, width, 1 << 20), flags, text).size();
    } else {
        size = QSize(metrics.horizontalAdvance(text), metrics.height());
    }
    const QPointF origin = cellTextOrigin(cell.rect, size, place, margin);
    painter->drawText(QRectF(origin, QSizeF(size)), flags, text);
    painter->restore();
}

} // namespace fee
