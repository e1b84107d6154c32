#include "common/widgets/gridcelldelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace fee {

namespace {
    constexpr int kTextMargin = 2; // pixels, on each side
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
    const QRect area = cell.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    int flags = int(cell.displayAlignment);
    if (text.contains(QLatin1Char('\n')) || (cell.features & QStyleOptionViewItem::WrapText))
        flags |= Qt::TextWordWrap;
    painter->drawText(area, flags, text);
    painter->restore();
}

} // namespace fee
