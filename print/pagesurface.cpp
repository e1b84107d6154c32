#include "print/pagesurface.h"

#include "core/failure.h"

#include <QStringList>
#include <algorithm>

namespace fee {

namespace {

    constexpr int kErrInvalidPropertyValue = 380;

    QStringList linesOf(const QString& text)
    {
        QString plain = text;
        plain.remove(QLatin1Char('\r'));
        return plain.split(QLatin1Char('\n'));
    }

} // namespace

void PageSurface::setUnit(int unit)
{
    double twips = 0;
    switch (unit) {
    case UnitTwips:
        twips = 1;
        break;
    case UnitPoints:
        twips = 20;
        break;
    case UnitPixels:
        twips = pixelTwips();
        break;
    case UnitInches:
        twips = 1440;
        break;
    case UnitMillimetres:
        twips = 1440 / 25.4;
        break;
    case UnitCentimetres:
        twips = 1440 / 2.54;
        break;
    default:
        throw Failure(kErrInvalidPropertyValue, QStringLiteral("Invalid property value"));
    }
    // The cursor keeps its place on the page.
    m_x = m_x * m_twipsPerUnit / twips;
    m_y = m_y * m_twipsPerUnit / twips;
    m_unit = unit;
    m_twipsPerUnit = twips;
    unitChanged(unit);
}

void PageSurface::setScale(double scale)
{
    if (!(scale > 0))
        throw Failure(kErrInvalidPropertyValue, QStringLiteral("Invalid property value"));
    // The cursor keeps its place on the page.
    m_x = m_x * m_scale / scale;
    m_y = m_y * m_scale / scale;
    m_scale = scale;
}

void PageSurface::setClip(double x, double y, double width, double height)
{
    clipTextsTwips(QRectF(toTwips(x), toTwips(y), toTwips(width), toTwips(height)));
}

void PageSurface::clearClip() { clipTextsTwips(QRectF()); }

// Texts are measured in the font they are drawn in: a shrunk font is not
// exactly a shrunk copy of the full-size one.
PageFont PageSurface::drawnFont() const
{
    PageFont font = m_font;
    font.size *= m_scale;
    return font;
}

double PageSurface::textWidth(const QString& text) const
{
    const PageFont font = drawnFont();
    double widest = 0;
    for (const QString& line : linesOf(text))
        widest = std::max(widest, measureWidthTwips(font, line));
    return fromTwips(widest);
}

double PageSurface::textHeight(const QString& text) const
{
    return fromTwips(lineHeightTwips(drawnFont()) * linesOf(text).size());
}

void PageSurface::printText(const QString& text)
{
    const PageFont font = drawnFont();
    const double lineHeight = lineHeightTwips(font);
    double y = toTwips(m_y);
    for (const QString& line : linesOf(text)) {
        if (!line.isEmpty())
            drawTextTwips(font, toTwips(m_x), y, line);
        y += lineHeight;
    }
    m_x = 0;
    m_y = fromTwips(y);
}

void PageSurface::drawLine(double x1, double y1, double x2, double y2)
{
    drawLineTwips(toTwips(x1), toTwips(y1), toTwips(x2), toTwips(y2));
}

void PageSurface::newPage()
{
    startPage();
    m_x = 0;
    m_y = 0;
}

void PageSurface::endJob()
{
    finishJob();
    m_x = 0;
    m_y = 0;
}

} // namespace fee
