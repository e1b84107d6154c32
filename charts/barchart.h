#pragma once

#include "core/chartdata.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QVector>

class QPainter;
class QPaintDevice;

namespace fee {

// What lies under a point of a drawn chart: a bar's figure (bar and series)
// or an office's label (bar, series -1); nothing when bar is -1.
struct ChartHit {
    int bar = -1;
    int series = -1;
    bool isBar() const { return bar >= 0; }
    bool operator==(const ChartHit&) const = default;
};

// A chart's data laid out as horizontal bars, the first office at the top:
// title, legend, one band per office with its label at the left, grouped or
// stacked bars by the data's kind with the grid's figures written beside or
// inside them, the value axis with its unit at the bottom and the dashed
// reference line with its label. Each band is taller than a label line, so
// labels never overlap: a long office list makes a taller picture.
//
// The window, the picture files and the tests draw and hit-test the same
// layout. Texts are measured on `metrics` (a window, an image, a file's
// writer; the screen when null), so a QGuiApplication must exist.
class BarChart {
public:
    // The width of a picture written to a file, and the least height of one.
    static constexpr int kFileWidth = 1100;
    static constexpr int kFileMinimumHeight = 360;

    // `minimumHeight`: a chart shorter than this spreads its bands over it.
    BarChart(const ChartData& data, int width, const QPaintDevice* metrics = nullptr, int minimumHeight = 0);

    const ChartData& data() const { return m_data; }
    QSize size() const { return QSize(m_width, m_height); }
    int width() const { return m_width; }
    int height() const { return m_height; }

    // Paints the chart from (0, 0) on a white ground; `hovered` is the bar
    // whose band is lit (-1 for none).
    void paint(QPainter& painter, int hovered = -1) const;

    ChartHit hitTest(const QPointF& point) const;
    // Where a bar's figure is drawn (an empty rectangle for a figure without
    // a value or one of 0); where its label and its band are.
    QRectF barRect(int bar, int series) const;
    QRectF labelRect(int bar) const;
    QRectF bandRect(int bar) const;
    // The rectangle a hit stands for (the figure's bar or the label).
    QRectF hitRect(const ChartHit& hit) const;
    QRectF plotRect() const { return m_plot; }
    const QFont& labelFont() const { return m_labelFont; }
    // The label as drawn: on one line, cut with "…" when too long.
    QString shownLabel(int bar) const;
    // The value axis' marks as drawn ("80%", "20,000").
    QStringList axisTexts() const;

    // The colour of a series' bars.
    static QColor seriesColor(int series);

private:
    struct LegendItem {
        QRectF swatch;
        QRectF textRect;
        int series = 0;
    };

    void layOut(const QPaintDevice* metrics, int minimumHeight);
    void chooseScale(double plotWidth);
    void placeBars();
    double xOf(double value) const;
    QString tickText(double value) const;

    ChartData m_data;
    int m_width = 0;
    int m_height = 0;

    QFont m_titleFont;
    QFont m_legendFont;
    QFont m_labelFont;
    QFont m_valueFont;

    QRectF m_titleRect;
    QVector<LegendItem> m_legend;
    QRectF m_plot;
    double m_labelLeft = 0;
    double m_labelWidth = 0;
    double m_band = 0;
    double m_barThickness = 0;
    double m_axisTextTop = 0;
    QVector<QString> m_labels; // as drawn

    double m_low = 0;
    double m_high = 1;
    double m_step = 1;
    QVector<double> m_ticks;

    QVector<QVector<QRectF>> m_bars; // per bar, per series

    bool m_hasReference = false;
    double m_referenceX = 0;
    QRectF m_referenceText;
};

// Height of a chart written to a file (at least kFileMinimumHeight).
int barChartHeight(const ChartData& data);
// The size of a chart written to a file.
QSize barChartFileSize(const ChartData& data);

} // namespace fee
