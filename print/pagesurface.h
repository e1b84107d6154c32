#pragma once

#include <QRectF>
#include <QString>

namespace fee {

// Failure number of a print job the printer (or its paper) cannot take.
constexpr int kErrPrinter = 482;

// Coordinate units of a page surface (the windows' scale-mode codes).
enum PageUnit : int {
    UnitTwips = 1,
    UnitPoints = 2,
    UnitPixels = 3,
    UnitInches = 5,
    UnitMillimetres = 6,
    UnitCentimetres = 7,
};

// The font a page surface draws and measures with: the family as the reports
// name it ("宋体", "微软雅黑"); the surface resolves it to an installed face.
struct PageFont {
    QString name = QStringLiteral("宋体");
    double size = 9; // points
    bool bold = false;
};

// A paged drawing surface in the manner of a printer object: a coordinate
// unit, a printable area, a current font, a text cursor, text, lines and
// pages. The page layout of the grid printout draws on it; the paper, the PDF
// file and the tests each supply one.
//
// Coordinates and sizes are in the current unit (twips until set), measured
// from the top-left corner of the printable area. Printing a text draws it
// with its top-left corner at the cursor and moves the cursor to the start of
// the next line.
class PageSurface {
public:
    virtual ~PageSurface() = default;

    // Throws fee::Failure 380 for a unit the surface cannot map.
    void setUnit(int unit);
    int unit() const { return m_unit; }

    double printableWidth() const { return fromTwips(pageWidthTwips()); }
    double printableHeight() const { return fromTwips(pageHeightTwips()); }

    // Draws everything (positions, lengths and font sizes) at this fraction of
    // its size: 1 is full size. The printable area grows by the inverse, so a
    // layout made for the larger area lands, uniformly shrunk, on the paper.
    // Throws fee::Failure 380 for a scale that is not positive.
    void setScale(double scale);
    double scale() const { return m_scale; }

    // While a clip is set, texts draw only inside it (a rectangle in the
    // current unit); lines are never clipped.
    void setClip(double x, double y, double width, double height);
    void clearClip();

    void setFontName(const QString& name) { m_font.name = name; }
    void setFontSize(double points) { m_font.size = points; }
    void setFontBold(bool bold) { m_font.bold = bold; }
    const PageFont& font() const { return m_font; }

    double currentX() const { return m_x; }
    double currentY() const { return m_y; }
    void setCurrentX(double x) { m_x = x; }
    void setCurrentY(double y) { m_y = y; }

    // Width of the widest line and height of all lines of a text in the
    // current font.
    double textWidth(const QString& text) const;
    double textHeight(const QString& text) const;

    void printText(const QString& text);
    void drawLine(double x1, double y1, double x2, double y2);
    void newPage();
    void endJob();

protected:
    // What a concrete surface supplies, all in twips.
    virtual double pageWidthTwips() const = 0;
    virtual double pageHeightTwips() const = 0;
    virtual double measureWidthTwips(const PageFont& font, const QString& line) const = 0;
    virtual double lineHeightTwips(const PageFont& font) const = 0;
    // The font arrives at the size it is drawn in (the scale applied).
    virtual void drawTextTwips(const PageFont& font, double x, double y, const QString& text) = 0;
    virtual void drawLineTwips(double x1, double y1, double x2, double y2) = 0;
    virtual void startPage() = 0;
    virtual void finishJob() = 0;
    // The clip of the texts that follow; a null rectangle for none.
    virtual void clipTextsTwips(const QRectF& clip) = 0;
    // Size of one device pixel, for the pixel unit.
    virtual double pixelTwips() const { return 15; }
    virtual void unitChanged(int unit) { (void)unit; }

private:
    double toTwips(double v) const { return v * m_twipsPerUnit * m_scale; }
    double fromTwips(double v) const { return v / (m_twipsPerUnit * m_scale); }
    PageFont drawnFont() const;

    int m_unit = UnitTwips;
    double m_twipsPerUnit = 1;
    double m_scale = 1;
    PageFont m_font;
    double m_x = 0;
    double m_y = 0;
};

} // namespace fee
