#include "widgets/gridcelldelegate.h"

#include "core/grid/twips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

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

GridCellDelegate::Shown GridCellDelegate::shownText(
    const QFontMetrics& metrics, const QString& text, int cellWidth, int margin, bool wordWrap)
{
    Shown shown;
    shown.text = text;
    shown.margin = margin;
    const int room = std::max(1, cellWidth - 2 * margin);
    const bool wrap = wordWrap || text.contains(QLatin1Char('\n'));
    int width = 0;
    if (wrap) {
        shown.wrap = true;
        width = metrics.boundingRect(QRect(0, 0, room, 1 << 20), Qt::TextWordWrap, text).width();
    } else {
        width = metrics.horizontalAdvance(text);
    }
    if (width <= room)
        return shown;
    if (width <= cellWidth) {
        // Whole within the cell once the margins give way.
        shown.margin = (cellWidth - width) / 2;
        return shown;
    }
    // Too wide for the cell itself (a figure or word that cannot wrap):
    // each line shortened, none cut.
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = metrics.elidedText(line, Qt::ElideRight, room);
    shown.text = lines.join(QLatin1Char('\n'));
    shown.wrap = false;
    shown.elided = shown.text != text;
    return shown;
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
    const QFontMetrics metrics = painter->fontMetrics();
    const Shown shown = shownText(metrics, text, cell.rect.width(), twipsToPixels(kCellTextMarginTwips, dpi),
        cell.features & QStyleOptionViewItem::WrapText);
    const CellTextPlace place = placeOf(cell.displayAlignment);
    const Qt::Alignment lines = qtAlignment(place) & Qt::AlignHorizontal_Mask;
    QSize size;
    int flags = int(lines | Qt::AlignTop);
    if (shown.wrap) {
        flags |= Qt::TextWordWrap;
        const int width = std::max(1, cell.rect.width() - 2 * shown.margin);
        size = metrics.boundingRect(QRect(0, 0, width, 1 << 20), flags, shown.text).size();
    } else if (shown.text.contains(QLatin1Char('\n'))) {
        size = metrics.boundingRect(QRect(0, 0, 1 << 20, 1 << 20), flags, shown.text).size();
    } else {
        size = QSize(metrics.horizontalAdvance(shown.text), metrics.height());
    }
    const QPointF origin = cellTextOrigin(cell.rect, size, place, shown.margin);
    painter->drawText(QRectF(origin, QSizeF(size)), flags, shown.text);
    painter->restore();
}

bool GridCellDelegate::helpEvent(
    QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event && view && event->type() == QEvent::ToolTip && index.isValid()) {
        const QString text = index.data(Qt::DisplayRole).toString();
        const QFontMetrics metrics(option.font);
        const Shown shown = shownText(metrics, text, option.rect.width(),
            twipsToPixels(kCellTextMarginTwips, view->logicalDpiX()), view->property("wordWrap").toBool());
        if (shown.elided) {
            QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

} // namespace fee
