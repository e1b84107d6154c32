#pragma once

#include "print/pagesurface.h"

#include <QVector>

namespace fee {

// One call a recording surface received. Coordinates in twips from the
// top-left corner of the printable area, as drawn (any scale applied); a
// text's (x1, y1) is its top-left corner and (x2, y2) the opposite corner of
// its box (its measured width, one line high), clip the rectangle it was cut
// to (null when none).
struct SurfaceRecord {
    enum Kind { Unit, Text, Line, NewPage, EndJob };
    Kind kind = Text;
    int page = 1; // the page the call went to
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    QString text;
    QRectF clip;
    PageFont font;
    int unit = UnitTwips;
};

// A page surface that draws nothing and records every call, for tests of the
// page layout. Its metrics are fixed, so layouts are exact figures: a wide
// (CJK) character is as wide as the font size (20 twips a point), any other
// half that; a line is 1.5 times the font size high (30 twips a point).
class RecordingSurface : public PageSurface {
public:
    RecordingSurface(double widthTwips, double heightTwips);

    const QVector<SurfaceRecord>& records() const { return m_records; }
    // The texts or lines drawn on one page (1-based), in drawing order.
    QVector<SurfaceRecord> texts(int page) const;
    QVector<SurfaceRecord> lines(int page) const;
    // Pages that received anything drawn (0 when nothing was drawn).
    int pageCount() const;
    bool ended() const;

    static double wideCharWidth(double points) { return points * 20; }
    static double lineHeight(double points) { return points * 30; }

protected:
    double pageWidthTwips() const override { return m_width; }
    double pageHeightTwips() const override { return m_height; }
    double measureWidthTwips(const PageFont& font, const QString& line) const override;
    double lineHeightTwips(const PageFont& font) const override;
    void drawTextTwips(const PageFont& font, double x, double y, const QString& text) override;
    void drawLineTwips(double x1, double y1, double x2, double y2) override;
    void startPage() override;
    void finishJob() override;
    void unitChanged(int unit) override;
    void clipTextsTwips(const QRectF& clip) override { m_clip = clip; }

private:
    QVector<SurfaceRecord> ofKind(SurfaceRecord::Kind kind, int page) const;

    double m_width;
    double m_height;
    int m_page = 1;
    QRectF m_clip;
    QVector<SurfaceRecord> m_records;
};

} // namespace fee
