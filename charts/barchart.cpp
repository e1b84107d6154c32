#include "charts/barchart.h"

#include "core/fontfamilies.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace fee {

namespace {

    // The face the reports' screens use; its installed stand-in draws Chinese.
    const QString kChartFamily = QStringLiteral("微软雅黑");

    constexpr double kMargin = 16;
    constexpr double kTop = 12;
    constexpr double kBottom = 12;
    constexpr double kSwatch = 12;
    constexpr double kLegendGap = 22; // between two legend entries
    constexpr double kLabelGap = 10; // between a label and its bars
    constexpr double kValueGap = 4; // between a bar's end and its figure
    constexpr double kGroupedGap = 2; // between the bars of one office
    constexpr double kTickSpacing = 90; // the least room per value-axis mark

    const QColor kText(0x2b, 0x34, 0x3e);
    const QColor kMutedText(0x56, 0x61, 0x6c);
    const QColor kGrid(0xe2, 0xe6, 0xeb);
    const QColor kAxis(0x8f, 0x99, 0xa3);
    const QColor kZebra(0xf7, 0xf9, 0xfb);
    const QColor kHover(0xe3, 0xee, 0xfa);
    const QColor kReference(0xc8, 0x1e, 0x1e);

    QFont chartFont(double points, bool bold = false)
    {
        QFont font;
        font.setFamilies(fontFamiliesFor(kChartFamily));
        font.setStyleHint(QFont::SansSerif);
        font.setPointSizeF(points);
        font.setBold(bold);
        return font;
    }

    QFontMetricsF metricsOf(const QFont& font, const QPaintDevice* device)
    {
        return device ? QFontMetricsF(font, device) : QFontMetricsF(font);
    }

    // A name the grid shows over two lines reads as one here.
    QString oneLine(QString text)
    {
        text.remove(QLatin1Char('\r'));
        text.replace(QLatin1Char('\n'), QString());
        return text;
    }

    std::optional<double> valueOf(const ChartBar& bar, int series)
    {
        return series < bar.values.size() ? bar.values.at(series) : std::nullopt;
    }

    QString textOf(const ChartBar& bar, int series)
    {
        return series < bar.texts.size() ? bar.texts.at(series) : QString();
    }

    // The lowest and highest figures the axis must hold: each figure of a
    // grouped chart, each office's sums of a stacked one, the reference, 0.
    void valueRange(const ChartData& data, double& low, double& high)
    {
        low = 0;
        high = 0;
        for (const ChartBar& bar : data.bars) {
            double positive = 0;
            double negative = 0;
            for (const std::optional<double>& value : bar.values) {
                if (!value)
                    continue;
                if (data.kind == ChartData::Kind::Stacked) {
                    (*value >= 0 ? positive : negative) += *value;
                } else {
                    positive = std::max(positive, *value);
                    negative = std::min(negative, *value);
                }
            }
            high = std::max(high, positive);
            low = std::min(low, negative);
        }
        if (data.reference && !data.bars.isEmpty()) {
            high = std::max(high, *data.reference);
            low = std::min(low, *data.reference);
        }
    }

    // 1, 2, 2.5 or 5 times a power of ten, at least `raw`.
    double niceStep(double raw)
    {
        if (!(raw > 0))
            return 1;
        const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
        const double fraction = raw / magnitude;
        double nice = 10;
        for (double candidate : { 1.0, 2.0, 2.5, 5.0 }) {
            if (fraction <= candidate + 1e-9) {
                nice = candidate;
                break;
            }
        }
        return nice * magnitude;
    }

    int decimalsOf(double step)
    {
        int decimals = 0;
        double scaled = step;
        while (decimals < 6 && std::fabs(scaled - std::round(scaled)) > 1e-6 * std::max(1.0, std::fabs(scaled))) {
            ++decimals;
            scaled *= 10;
        }
        return decimals;
    }

    // Light fills take dark figures, dark ones white.
    QColor textOn(const QColor& fill)
    {
        const double luma = 0.299 * fill.red() + 0.587 * fill.green() + 0.114 * fill.blue();
        return luma > 160 ? kText : QColor(Qt::white);
    }

    QRectF snapped(const QRectF& rect)
    {
        return QRectF(QPointF(std::round(rect.left()), std::round(rect.top())),
            QPointF(std::round(rect.right()), std::round(rect.bottom())));
    }

} // namespace

QColor BarChart::seriesColor(int series)
{
    // The first three are the colours the charts always had.
    static const QColor palette[]
        = { QColor(0x20, 0x9f, 0xdf), QColor(0x99, 0xca, 0x53), QColor(0xf6, 0xa6, 0x25), QColor(0x6d, 0x5f, 0xd5),
              QColor(0xbf, 0x59, 0x3e), QColor(0x2b, 0xb3, 0xa5), QColor(0xe0, 0x67, 0x9b), QColor(0x8a, 0x8f, 0x96) };
    constexpr int count = int(sizeof(palette) / sizeof(palette[0]));
    return palette[((series % count) + count) % count];
}

BarChart::BarChart(const ChartData& data, int width, const QPaintDevice* metrics, int minimumHeight)
    : m_data(data)
    , m_width(std::max(width, 200))
{
    m_titleFont = chartFont(13, true);
    m_legendFont = chartFont(9);
    m_labelFont = chartFont(9);
    m_valueFont = chartFont(8);
    layOut(metrics, minimumHeight);
}

void BarChart::layOut(const QPaintDevice* metrics, int minimumHeight)
{
    const QFontMetricsF title = metricsOf(m_titleFont, metrics);
    const QFontMetricsF legend = metricsOf(m_legendFont, metrics);
    const QFontMetricsF label = metricsOf(m_labelFont, metrics);
    const QFontMetricsF value = metricsOf(m_valueFont, metrics);
    const double inner = m_width - 2 * kMargin;
    const int bars = int(m_data.bars.size());
    const int series = int(m_data.series.size());
    const bool grouped = m_data.kind == ChartData::Kind::Grouped;

    double y = kTop;
    if (!m_data.title.isEmpty()) {
        m_titleRect = QRectF(kMargin, y, inner, title.height());
        y += title.height() + 6;
    }

    // The legend: entries side by side, as many lines as the width needs,
    // each line centred.
    if (series > 0) {
        const double lineHeight = std::max(legend.height(), kSwatch) + 4;
        QVector<QVector<LegendItem>> lines(1);
        double lineWidth = 0;
        for (int s = 0; s < series; ++s) {
            const QString name = oneLine(m_data.series.at(s));
            const double textWidth = std::min(legend.horizontalAdvance(name), inner - kSwatch - 6);
            const double entry = kSwatch + 6 + textWidth;
            if (!lines.last().isEmpty() && lineWidth + kLegendGap + entry > inner) {
                lines.append(QVector<LegendItem>());
                lineWidth = 0;
            }
            LegendItem item;
            item.series = s;
            const double x = lineWidth + (lines.last().isEmpty() ? 0 : kLegendGap);
            item.swatch = QRectF(x, 0, kSwatch, kSwatch);
            item.textRect = QRectF(x + kSwatch + 6, 0, textWidth, lineHeight);
            lineWidth = x + entry;
            lines.last().append(item);
        }
        for (const QVector<LegendItem>& line : lines) {
            const double used = line.last().textRect.right();
            const double left = kMargin + (inner - used) / 2;
            for (LegendItem item : line) {
                item.swatch.translate(left, y + (lineHeight - kSwatch) / 2);
                item.textRect.translate(left, y);
                m_legend.append(item);
            }
            y += lineHeight;
        }
        y += 6;
    }

    m_hasReference = m_data.reference.has_value() && bars > 0;
    const double referenceStrip = m_hasReference ? value.height() + 4 : 0;
    y += referenceStrip;

    // The labels' column: as wide as the longest office name, within a third
    // of the picture; a longer name is cut (the tooltip shows it whole).
    double labelWidth = 0;
    for (const ChartBar& bar : m_data.bars)
        labelWidth = std::max(labelWidth, label.horizontalAdvance(oneLine(bar.label)));
    m_labelWidth = std::ceil(std::min(labelWidth, std::max(80.0, m_width * 0.32)));
    m_labelLeft = kMargin;
    m_labels.clear();
    for (const ChartBar& bar : m_data.bars)
        m_labels << label.elidedText(oneLine(bar.label), Qt::ElideRight, m_labelWidth);

    // Room right of the longest bar for its figure (grouped bars carry theirs
    // at their ends), and left of the plot for a negative one's.
    double figureRoom = 0;
    if (grouped) {
        for (const ChartBar& bar : m_data.bars) {
            for (int s = 0; s < series; ++s)
                figureRoom = std::max(figureRoom, value.horizontalAdvance(textOf(bar, s)));
        }
        figureRoom += kValueGap + 2;
    }
    double low = 0;
    double high = 0;
    valueRange(m_data, low, high);
    const double plotLeft = m_labelLeft + m_labelWidth + kLabelGap + (grouped && low < 0 ? figureRoom : 0);
    double plotRight = m_width - kMargin - figureRoom;
    // The value axis' last mark is centred under the plot's right end.
    chooseScale(plotRight - plotLeft);
    const double lastMark = value.horizontalAdvance(tickText(m_high)) / 2;
    if (plotRight + lastMark > m_width - kMargin / 2) {
        plotRight = m_width - kMargin / 2 - lastMark;
        chooseScale(plotRight - plotLeft);
    }

    // One band per office: taller than a label line and than its bars.
    if (grouped) {
        const int sets = std::max(1, series);
        m_barThickness = sets == 1 ? 18 : 13;
        m_band = std::max(label.height() + 8, sets * m_barThickness + (sets - 1) * kGroupedGap + 12);
    } else {
        m_barThickness = 20;
        m_band = std::max(label.height() + 8, m_barThickness + 12);
    }
    m_band = std::ceil(m_band);
    const double plotTop = std::round(y);
    const double axisText = value.height() + 6;
    double natural = plotTop + bars * m_band + axisText + kBottom;
    if (bars == 0)
        natural = plotTop + kBottom;
    if (minimumHeight > natural && bars > 0) {
        // Few offices in a tall place: wider bands, somewhat thicker bars.
        const double band = std::floor((minimumHeight - plotTop - axisText - kBottom) / bars);
        m_barThickness = std::min(
            m_barThickness * 1.6, m_barThickness + (band - m_band) / (grouped ? 2 * std::max(1, series) : 2));
        m_band = band;
    }
    m_height = int(std::ceil(std::max<double>(natural, minimumHeight)));
    m_plot = QRectF(QPointF(std::round(plotLeft), plotTop), QPointF(std::round(plotRight), plotTop + bars * m_band));
    m_axisTextTop = m_plot.bottom() + 5;

    placeBars();

    if (m_hasReference) {
        m_referenceX = std::round(xOf(*m_data.reference)) + 0.5;
        const double width = value.horizontalAdvance(m_data.referenceLabel) + 8;
        const double top = m_plot.top() - referenceStrip;
        // Right of the line where it fits, else left of it.
        if (m_referenceX + 2 + width <= m_width - kMargin / 2)
            m_referenceText = QRectF(m_referenceX + 2, top, width, referenceStrip - 2);
        else
            m_referenceText = QRectF(std::max(kMargin / 2, m_referenceX - 2 - width), top, width, referenceStrip - 2);
    }
}

void BarChart::chooseScale(double plotWidth)
{
    double low = 0;
    double high = 0;
    valueRange(m_data, low, high);
    if (high <= low)
        high = low + (m_data.unit == QLatin1String("%") ? 100 : 1);
    const int marks = std::clamp(int(plotWidth / kTickSpacing), 2, 10);
    double step = niceStep((high - low) / marks);
    // Rates read best in whole tens.
    if (m_data.unit == QLatin1String("%") && step < 10 && high - low >= 20)
        step = 10;
    m_step = step;
    m_low = std::floor(low / step + 1e-9) * step;
    m_high = std::ceil(high / step - 1e-9) * step;
    if (m_high <= m_low)
        m_high = m_low + step;
    m_ticks.clear();
    for (int i = 0;; ++i) {
        const double tick = m_low + i * step;
        if (tick > m_high + step * 1e-6)
            break;
        m_ticks << (std::fabs(tick) < step * 1e-9 ? 0.0 : tick);
    }
}

double BarChart::xOf(double value) const { return m_plot.left() + (value - m_low) / (m_high - m_low) * m_plot.width(); }

QString BarChart::tickText(double value) const
{
    const int decimals = decimalsOf(m_step);
    if (m_data.unit == QLatin1String("%"))
        return QString::number(value, 'f', decimals) + m_data.unit;
    // Thousands grouped: a sum of receipts reads at a glance.
    static const QLocale grouped(QLocale::English, QLocale::UnitedStates);
    return grouped.toString(value, 'f', decimals) + m_data.unit;
}

void BarChart::placeBars()
{
    const int series = int(m_data.series.size());
    const bool grouped = m_data.kind == ChartData::Kind::Grouped;
    const double zero = xOf(0);
    m_bars.clear();
    for (int i = 0; i < m_data.bars.size(); ++i) {
        const ChartBar& bar = m_data.bars.at(i);
        const double bandTop = m_plot.top() + i * m_band;
        QVector<QRectF> rects(series);
        if (grouped) {
            const double group = series * m_barThickness + (series - 1) * kGroupedGap;
            const double top = bandTop + (m_band - group) / 2;
            for (int s = 0; s < series; ++s) {
                const std::optional<double> value = valueOf(bar, s);
                if (!value)
                    continue;
                const double y = top + s * (m_barThickness + kGroupedGap);
                const double end = xOf(*value);
                rects[s] = snapped(
                    QRectF(QPointF(std::min(zero, end), y), QPointF(std::max(zero, end), y + m_barThickness)));
            }
        } else {
            const double top = bandTop + (m_band - m_barThickness) / 2;
            double positive = 0;
            double negative = 0;
            for (int s = 0; s < series; ++s) {
                const std::optional<double> value = valueOf(bar, s);
                if (!value)
                    continue;
                double from = 0;
                double to = 0;
                if (*value >= 0) {
                    from = positive;
                    to = positive += *value;
                } else {
                    to = negative;
                    from = negative += *value;
                }
                rects[s] = snapped(QRectF(QPointF(xOf(from), top), QPointF(xOf(to), top + m_barThickness)));
            }
        }
        m_bars << rects;
    }
}

QRectF BarChart::barRect(int bar, int series) const
{
    if (bar < 0 || bar >= m_bars.size() || series < 0 || series >= m_bars.at(bar).size())
        return {};
    return m_bars.at(bar).at(series);
}

QRectF BarChart::bandRect(int bar) const
{
    if (bar < 0 || bar >= m_data.bars.size())
        return {};
    return QRectF(kMargin / 2, m_plot.top() + bar * m_band, m_width - kMargin, m_band);
}

QRectF BarChart::labelRect(int bar) const
{
    if (bar < 0 || bar >= m_data.bars.size())
        return {};
    return QRectF(m_labelLeft, m_plot.top() + bar * m_band, m_labelWidth, m_band);
}

QRectF BarChart::hitRect(const ChartHit& hit) const
{
    return hit.series < 0 ? labelRect(hit.bar) : barRect(hit.bar, hit.series);
}

QString BarChart::shownLabel(int bar) const { return m_labels.value(bar); }

QStringList BarChart::axisTexts() const
{
    QStringList texts;
    for (double tick : m_ticks)
        texts << tickText(tick);
    return texts;
}

ChartHit BarChart::hitTest(const QPointF& point) const
{
    if (m_data.bars.isEmpty() || point.y() < m_plot.top() || point.y() >= m_plot.bottom())
        return {};
    const int bar = std::clamp(int((point.y() - m_plot.top()) / m_band), 0, int(m_data.bars.size()) - 1);
    if (labelRect(bar).contains(point))
        return { bar, -1 };
    const QVector<QRectF>& rects = m_bars.at(bar);
    for (int s = 0; s < rects.size(); ++s) {
        const QRectF rect = rects.at(s);
        // A bar of a pixel or two is still to be found by the pointer.
        if (!rect.isNull() && rect.width() > 0 && rect.adjusted(-1, 0, 1, 0).contains(point))
            return { bar, s };
    }
    return {};
}

void BarChart::paint(QPainter& painter, int hovered) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(m_labelFont);
    painter.fillRect(QRectF(0, 0, m_width, m_height), Qt::white);

    if (!m_titleRect.isNull()) {
        painter.setFont(m_titleFont);
        painter.setPen(kText);
        painter.drawText(m_titleRect, Qt::AlignCenter, m_data.title);
    }

    painter.setFont(m_legendFont);
    for (const LegendItem& item : m_legend) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(seriesColor(item.series));
        painter.drawRoundedRect(item.swatch, 2, 2);
        painter.setPen(kText);
        painter.drawText(item.textRect, Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetricsF(m_legendFont, painter.device())
                .elidedText(oneLine(m_data.series.at(item.series)), Qt::ElideRight, item.textRect.width() + 1));
    }

    if (m_data.bars.isEmpty()) {
        painter.restore();
        return;
    }

    // Bands: every other one faintly shaded, the one under the pointer lit.
    for (int i = 0; i < m_data.bars.size(); ++i) {
        if (i == hovered)
            painter.fillRect(bandRect(i), kHover);
        else if (i % 2 == 1)
            painter.fillRect(QRectF(m_plot.left(), m_plot.top() + i * m_band, m_plot.width(), m_band), kZebra);
    }

    // The value axis: a line per mark across the plot, the marks below it.
    painter.setFont(m_valueFont);
    const QFontMetricsF valueMetrics(m_valueFont, painter.device());
    for (double tick : m_ticks) {
        const double x = std::round(xOf(tick)) + 0.5;
        painter.setPen(QPen(tick == 0 ? kAxis : kGrid, 1));
        painter.drawLine(QPointF(x, m_plot.top()), QPointF(x, m_plot.bottom()));
        const QString text = tickText(tick);
        const double width = valueMetrics.horizontalAdvance(text) + 2;
        const double left = std::clamp(x - width / 2, 0.0, m_width - width);
        painter.setPen(kMutedText);
        painter.drawText(QRectF(left, m_axisTextTop, width, valueMetrics.height()), Qt::AlignCenter, text);
    }
    painter.setPen(QPen(kAxis, 1));
    painter.drawLine(QPointF(m_plot.left(), m_plot.bottom() + 0.5), QPointF(m_plot.right(), m_plot.bottom() + 0.5));

    // The bars.
    const bool grouped = m_data.kind == ChartData::Kind::Grouped;
    for (int i = 0; i < m_bars.size(); ++i) {
        for (int s = 0; s < m_bars.at(i).size(); ++s) {
            const QRectF rect = m_bars.at(i).at(s);
            if (rect.isNull() || rect.width() <= 0)
                continue;
            painter.setPen(grouped ? QPen(Qt::NoPen) : QPen(Qt::white, 1));
            painter.setBrush(seriesColor(s));
            painter.drawRect(rect);
        }
    }
    painter.setPen(QPen(kAxis, 1));
    painter.drawLine(QPointF(m_plot.left() + 0.5, m_plot.top()), QPointF(m_plot.left() + 0.5, m_plot.bottom()));

    // The whole company's figure: a dashed line across every band.
    if (m_hasReference) {
        QPen pen(kReference, 2);
        pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(QPointF(m_referenceX, m_referenceText.top() + 2), QPointF(m_referenceX, m_plot.bottom()));
    }

    // The offices' names, right-aligned against their bars.
    painter.setFont(m_labelFont);
    painter.setPen(kText);
    for (int i = 0; i < m_data.bars.size(); ++i)
        painter.drawText(labelRect(i), Qt::AlignRight | Qt::AlignVCenter, m_labels.at(i));

    // The figures as the grid shows them: beside a grouped bar's end (on a
    // light ground, so that the line does not cross them out), inside a
    // stacked segment wide enough for it.
    painter.setFont(m_valueFont);
    for (int i = 0; i < m_bars.size(); ++i) {
        const ChartBar& bar = m_data.bars.at(i);
        for (int s = 0; s < m_bars.at(i).size(); ++s) {
            const std::optional<double> value = valueOf(bar, s);
            const QString text = textOf(bar, s);
            if (!value || text.isEmpty())
                continue;
            const QRectF rect = m_bars.at(i).at(s);
            const double width = valueMetrics.horizontalAdvance(text) + 2;
            const double height = valueMetrics.height();
            const double middle = rect.center().y();
            if (grouped) {
                const bool negative = *value < 0;
                const double x = negative ? rect.left() - kValueGap - width : rect.right() + kValueGap;
                const QRectF place(x, middle - height / 2, width, height);
                const QRectF ground(place.left(), middle - rect.height() / 2, place.width(), rect.height());
                painter.fillRect(ground, QColor(255, 255, 255, 210));
                painter.setPen(kMutedText);
                painter.drawText(place, (negative ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, text);
            } else if (width + 6 <= rect.width()) {
                painter.setPen(textOn(seriesColor(s)));
                painter.drawText(QRectF(rect.left(), middle - height / 2, rect.width(), height), Qt::AlignCenter, text);
            }
        }
    }

    if (m_hasReference) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 230));
        painter.drawRect(m_referenceText);
        painter.setPen(kReference);
        painter.drawText(m_referenceText, Qt::AlignCenter, m_data.referenceLabel);
    }
    painter.restore();
}

int barChartHeight(const ChartData& data)
{
    const QImage metrics(1, 1, QImage::Format_ARGB32_Premultiplied);
    return BarChart(data, BarChart::kFileWidth, &metrics, BarChart::kFileMinimumHeight).height();
}

QSize barChartFileSize(const ChartData& data) { return QSize(BarChart::kFileWidth, barChartHeight(data)); }

} // namespace fee
