#include "print/paintersurface.h"

#include "core/failure.h"
#include "core/fontfamilies.h"

#include <QPagedPaintDevice>
#include <QPen>
#include <algorithm>

namespace fee {

namespace {

    QString faceKey(const PageFont& font)
    {
        return font.name + QLatin1Char('/') + QString::number(font.size)
            + (font.bold ? QStringLiteral("/b") : QString());
    }

    // Joins horizontal lines on one y (vertical ones on one x) that touch or
    // overlap into single lines; other lines stay as they are.
    QVector<QLineF> joinedLines(const QVector<QLineF>& lines)
    {
        // Ends computed by different sums may differ in the last bits.
        constexpr double kJoinSlack = 0.01; // device pixels
        struct Span {
            double at; // y of a horizontal line, x of a vertical one
            double from;
            double to;
        };
        QVector<Span> across;
        QVector<Span> down;
        QVector<QLineF> joined;
        for (const QLineF& l : lines) {
            if (l.y1() == l.y2())
                across.append({ l.y1(), std::min(l.x1(), l.x2()), std::max(l.x1(), l.x2()) });
            else if (l.x1() == l.x2())
                down.append({ l.x1(), std::min(l.y1(), l.y2()), std::max(l.y1(), l.y2()) });
            else
                joined.append(l);
        }
        const auto join = [&joined](QVector<Span>& spans, bool horizontal) {
            std::sort(spans.begin(), spans.end(),
                [](const Span& a, const Span& b) { return a.at != b.at ? a.at < b.at : a.from < b.from; });
            for (int k = 0; k < spans.size();) {
                Span run = spans[k++];
                while (k < spans.size() && spans[k].at == run.at && spans[k].from <= run.to + kJoinSlack) {
                    run.to = std::max(run.to, spans[k].to);
                    ++k;
                }
                joined.append(
                    horizontal ? QLineF(run.from, run.at, run.to, run.at) : QLineF(run.at, run.from, run.at, run.to));
            }
        };
        join(across, true);
        join(down, false);
        return joined;
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
    if (m_lastFace && font.size == m_lastFont.size && font.bold == m_lastFont.bold && font.name == m_lastFont.name)
        return *m_lastFace;
    const QString key = faceKey(font);
    if (FaceEntry* found = m_faces.value(key)) {
        m_lastFont = font;
        m_lastFace = found;
        return *found;
    }
    QFont f;
    f.setFamilies(fontFamiliesFor(font.name));
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
    m_lastFont = font;
    m_lastFace = entry;
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

void PainterSurface::clipTextsTwips(const QRectF& clip)
{
    const QRectF device = clip.isNull()
        ? QRectF()
        : QRectF(clip.x() * m_dpiX / 1440.0, clip.y() * m_dpiY / 1440.0, clip.width() * m_dpiX / 1440.0,
            clip.height() * m_dpiY / 1440.0);
    if (device == m_clip)
        return;
    m_clip = device;
    m_clipApplied = false;
}

void PainterSurface::applyClip()
{
    if (m_clipApplied)
        return;
    if (m_clip.isNull())
        m_painter.setClipping(false);
    else
        m_painter.setClipRect(m_clip);
    m_clipApplied = true;
}

void PainterSurface::drawTextTwips(const PageFont& font, double x, double y, const QString& text)
{
    begin();
    applyClip();
    const FaceEntry& f = face(font);
    if (&f != m_painterFace) {
        m_painter.setFont(f.font);
        m_painterFace = &f;
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
    if (m_lines.isEmpty())
        return;
    // Rules are never clipped; the texts' clip is set again when next needed.
    if (m_painter.hasClipping()) {
        m_painter.setClipping(false);
        m_clipApplied = m_clip.isNull();
    }
    m_painter.drawLines(joinedLines(m_lines));
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
