#pragma once

#include "print/pagesurface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QLineF>
#include <QPainter>
#include <QVector>

class QPagedPaintDevice;

namespace fee {

// A page surface that paints on a paged device: a QPrinter (paper) or a
// QPdfWriter (PDF). The printable area is the device's page minus its margins.
// Nothing reaches the device before the first text or line, so a job given up
// before it draws leaves no page and no print job behind. Font names resolve
// to installed faces (fontFamiliesFor), so Chinese text draws and measures
// with a real CJK font.
class PainterSurface : public PageSurface {
public:
    explicit PainterSurface(QPagedPaintDevice* device);
    ~PainterSurface() override;
    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;

    // Pages begun on the device (0 before anything was drawn).
    int pagesStarted() const { return m_pages; }

    // Width of the ruling pen.
    static constexpr double kPenTwips = 10;

protected:
    double pageWidthTwips() const override { return m_pageWidth; }
    double pageHeightTwips() const override { return m_pageHeight; }
    double measureWidthTwips(const PageFont& font, const QString& line) const override;
    double lineHeightTwips(const PageFont& font) const override;
    void drawTextTwips(const PageFont& font, double x, double y, const QString& text) override;
    void drawLineTwips(double x1, double y1, double x2, double y2) override;
    void startPage() override;
    void finishJob() override;
    double pixelTwips() const override { return 1440.0 / m_dpiX; }
    void clipTextsTwips(const QRectF& clip) override;

private:
    struct FaceEntry {
        QFont font;
        QFontMetricsF metrics;
    };
    const FaceEntry& face(const PageFont& font) const;
    void begin();
    void flushLines();
    void applyClip();

    QPagedPaintDevice* m_device;
    QPainter m_painter;
    double m_dpiX;
    double m_dpiY;
    double m_pageWidth;
    double m_pageHeight;
    int m_pages = 0;
    // The face of the last call: texts come in long runs of one font.
    mutable PageFont m_lastFont;
    mutable const FaceEntry* m_lastFace = nullptr;
    const FaceEntry* m_painterFace = nullptr;
    // The texts' clip in device pixels (null: none), and whether the painter
    // has it: it is set on the painter only when a text needs it.
    QRectF m_clip;
    bool m_clipApplied = true;
    // Rules are collected and drawn once per page, joined where they continue
    // each other (the top borders of one row, the left borders of one
    // column): a few long lines instead of thousands of short ones.
    QVector<QLineF> m_lines;
    mutable QHash<QString, FaceEntry*> m_faces;
};

} // namespace fee
