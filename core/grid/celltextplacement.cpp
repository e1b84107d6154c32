#include "core/grid/celltextplacement.h"

#include "core/grid/gridalign.h"

namespace fee {

CellTextPlace cellTextPlace(int alignCode, const QString& text)
{
    if (alignCode >= AlignLeftTop && alignCode <= AlignRightBottom) {
        static constexpr HorizontalPlace kHorizontal[]
            = { HorizontalPlace::Left, HorizontalPlace::Centre, HorizontalPlace::Right };
        static constexpr VerticalPlace kVertical[]
            = { VerticalPlace::Top, VerticalPlace::Middle, VerticalPlace::Bottom };
        return { kHorizontal[alignCode / 3], kVertical[alignCode % 3] };
    }
    bool number = false;
    text.trimmed().toDouble(&number);
    return { number ? HorizontalPlace::Right : HorizontalPlace::Left, VerticalPlace::Middle };
}

CellTextPlace printedCellTextPlace(int alignCode)
{
    return { alignCode == AlignRight ? HorizontalPlace::Right : HorizontalPlace::Left, VerticalPlace::Middle };
}

QPointF cellTextOrigin(const QRectF& cell, const QSizeF& text, CellTextPlace place, double margin)
{
    double x = cell.x() + margin;
    if (place.horizontal == HorizontalPlace::Right)
        x = cell.x() + cell.width() - text.width() - margin;
    else if (place.horizontal == HorizontalPlace::Centre)
        x = cell.x() + (cell.width() - text.width()) / 2;
    double y = cell.y() + (cell.height() - text.height()) / 2;
    if (place.vertical == VerticalPlace::Top)
        y = cell.y();
    else if (place.vertical == VerticalPlace::Bottom)
        y = cell.y() + cell.height() - text.height();
    return { x, y };
}

} // namespace fee
