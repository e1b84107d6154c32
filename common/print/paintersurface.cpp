#include "common/print/paintersurface.h"

#include "common/failure.h"
#include "common/print/printfonts.h"

#include <QPagedPaintDevice>
#include <QPen>

namespace fee {

namespace {

    QString faceKey(const PageFont& font)
    {
        return font.name + QLatin1Char('/') + QString::number(font.size)
            + (font.bold ? QStringLiteral("/b") : QString());
    }

} // namespace

PainterSurface::PainterSurface(QPagedPaintDevice* device)
    : m_device(device)
    , m_dpiX(device->logicalDpiX())
    , m_dpiY(device->logicalDpiY())
{
    const QRectF area = device->pageLayout().paintRect(QPageLayout::Point);
    m_pageWidth = area.width() * 20;
    m_pageHeight = area.height() * 20;
}

PainterSurface::~PainterSurface()
{
    if (m_painter.isActive())
        m_painter.end();
    qDeleteAll(m_faces);
}

const PainterSurface::FaceEntry& PainterSurface::face(const PageFont& font) const
{
    const QString key = faceKey(font);
    if (FaceEntry* found = m_faces.value(key))
        return *found;
    QFont f;
    f.setFamilies(printFontFamilies(font.name));
    f.setPointSizeF(font.size > 0 ? font.size : 9);
    f.setBold(font.bold);
    // Widths measured here must be the widths drawn on the device.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    // Unshaped runs keep the plain glyph of every character: shaped digits
    // after Latin letters came out as glyphs a PDF reader cannot turn back
    // into text. Chinese and Latin text need no shaping.
    f.setStyleStrategy(QFont::PreferNoShaping);
    auto* entry = new FaceEntry { QFont(f, m_device), QFontMetricsF(f, m_device) };
    m_faces.insert(key, entry);
    return *entry;
}

double PainterSurface::measureWidthTwips(const PageFont& font, const QString& line) const
{
    return face(font).metrics.horizontalAdvance(line) * 1440.0 / m_dpiX;
}

double PainterSurface::lineHeightTwips(const PageFont& font) const
{
    return face(font).metrics.height() * 1440.0 / m_dpiY;
}

void PainterSurface::begin()
{
    if (m_painter.isActive())
        return;
    if (!m_painter.begin(m_device))
        throw Failure(kErrPrinter, QStringLiteral("Printer error"));
    m_pages = 1;
    QPen pen(Qt::black);
    pen.setWidthF(kPenTwips * m_dpiX / 1440.0);
    m_painter.setPen(pen);
}

void PainterSurface::drawTextTwips(const PageFont& font, double x, double y, const QString& text)
{
    begin();
    const FaceEntry& f = face(font);
    const QString key = faceKey(font);
    if (key != m_currentFace) {
        m_painter.setFont(f.font);
        m_currentFace = key;
    }
    m_painter.drawText(QPointF(x * m_dpiX / 1440.0, y * m_dpiY / 1440.0 + f.metrics.ascent()), text);
}

void PainterSurface::drawLineTwips(double x1, double y1, double x2, double y2)
{
    begin();
    const double sx = m_dpiX / 1440.0;
    const double sy = m_dpiY / 1440.0;
    m_lines.append(QLineF(x1 * sx, y1 * sy, x2 * sx, y2 * sy));
}

void PainterSurface::flushLines()
{
    if (!m_lines.isEmpty())
        m_painter.drawLines(m_lines);
    m_lines.clear();
}

void PainterSurface::startPage()
{
    begin();
    flushLines();
    if (!m_device->newPage())
        throw Failure(kErrPrinter, QStringLiteral("Printer error"));
    ++m_pages;
}

void PainterSurface::finishJob()
{
    if (!m_painter.isActive())
        return;
    flushLines();
    if (!m_painter.end())
        throw Failure(kErrPrinter, QStringLiteral("Printer error"));
}

} // namespace fee
