#include "print/recordingsurface.h"

#include <algorithm>

namespace fee {

namespace {

    bool isWide(char32_t u)
    {
        return (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0x303E) || (u >= 0x3041 && u <= 0x33FF)
            || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xA000 && u <= 0xA4CF)
            || (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F)
            || (u >= 0xFF00 && u <= 0xFF60) || (u >= 0xFFE0 && u <= 0xFFE6) || (u >= 0x20000 && u <= 0x3FFFD);
    }

} // namespace

RecordingSurface::RecordingSurface(double widthTwips, double heightTwips)
    : m_width(widthTwips)
    , m_height(heightTwips)
{
}

double RecordingSurface::measureWidthTwips(const PageFont& font, const QString& line) const
{
    double width = 0;
    for (char32_t u : line.toUcs4())
        width += isWide(u) ? wideCharWidth(font.size) : wideCharWidth(font.size) / 2;
    return width;
}

double RecordingSurface::lineHeightTwips(const PageFont& font) const { return lineHeight(font.size); }

void RecordingSurface::drawTextTwips(const PageFont& font, double x, double y, const QString& text)
{
    SurfaceRecord r;
    r.kind = SurfaceRecord::Text;
    r.page = m_page;
    r.x1 = x;
    r.y1 = y;
    r.x2 = x + measureWidthTwips(font, text);
    r.y2 = y + lineHeightTwips(font);
    r.text = text;
    r.clip = m_clip;
    r.font = font;
    r.unit = unit();
    m_records.append(r);
}

void RecordingSurface::drawLineTwips(double x1, double y1, double x2, double y2)
{
    SurfaceRecord r;
    r.kind = SurfaceRecord::Line;
    r.page = m_page;
    r.x1 = x1;
    r.y1 = y1;
    r.x2 = x2;
    r.y2 = y2;
    r.unit = unit();
    m_records.append(r);
}

void RecordingSurface::startPage()
{
    SurfaceRecord r;
    r.kind = SurfaceRecord::NewPage;
    r.page = m_page;
    m_records.append(r);
    ++m_page;
}

void RecordingSurface::finishJob()
{
    SurfaceRecord r;
    r.kind = SurfaceRecord::EndJob;
    r.page = m_page;
    m_records.append(r);
}

void RecordingSurface::unitChanged(int unit)
{
    SurfaceRecord r;
    r.kind = SurfaceRecord::Unit;
    r.page = m_page;
    r.unit = unit;
    m_records.append(r);
}

QVector<SurfaceRecord> RecordingSurface::ofKind(SurfaceRecord::Kind kind, int page) const
{
    QVector<SurfaceRecord> found;
    for (const SurfaceRecord& r : m_records) {
        if (r.kind == kind && r.page == page)
            found.append(r);
    }
    return found;
}

QVector<SurfaceRecord> RecordingSurface::texts(int page) const { return ofKind(SurfaceRecord::Text, page); }

QVector<SurfaceRecord> RecordingSurface::lines(int page) const { return ofKind(SurfaceRecord::Line, page); }

int RecordingSurface::pageCount() const
{
    int pages = 0;
    for (const SurfaceRecord& r : m_records) {
        if (r.kind == SurfaceRecord::Text || r.kind == SurfaceRecord::Line)
            pages = std::max(pages, r.page);
    }
    return pages;
}

bool RecordingSurface::ended() const
{
    return std::any_of(
        m_records.begin(), m_records.end(), [](const SurfaceRecord& r) { return r.kind == SurfaceRecord::EndJob; });
}

} // namespace fee
