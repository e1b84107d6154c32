#include "charts/barchart.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace fee {

namespace {
    // The face the reports' texts use; its stand-in draws Chinese.
    const QString kChartFamily = QStringLiteral("微软雅黑");
    constexpr int kLabelPoints = 9;
    // Room for title, legend and the value axis around the bars.
    constexpr int kFrameHeight = 170;
    constexpr int kMinimumHeight = 360;
    constexpr int kFileWidth = 1100;

    QFont chartFont(int points, bool bold = false)
    {
        QFont font(kChartFamily);
        font.setPointSize(points);
        font.setBold(bold);
        return font;
    }

    int pixelsPerBar(const ChartData& data)
    {
        // Grouped bars stand side by side, stacked ones share one band; either
        // way a band is taller than a label line, so labels never overlap.
        const int sets = data.kind == ChartData::Kind::Grouped ? int(std::max<qsizetype>(1, data.series.size())) : 1;
        return 12 + 12 * sets;
    }

    // Category labels must be distinct for the axis; two offices of the same
    // name get invisible marks to tell them apart.
    QStringList distinctLabels(const ChartData& data)
    {
        QStringList labels;
        for (int i = int(data.bars.size()) - 1; i >= 0; --i) {
            // A name the grid wraps over two lines reads as one here.
            QString label = data.bars.at(i).label;
            label.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
            while (labels.contains(label))
                label += QChar(0x200B);
            labels << label;
        }
        return labels;
    }

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
        if (data.reference) {
            high = std::max(high, *data.reference);
            low = std::min(low, *data.reference);
        }
        if (high <= low)
            high = low + (data.unit == QLatin1String("%") ? 100 : 1);
    }
}

int barChartHeight(const ChartData& data)
{
    return std::max(kMinimumHeight, kFrameHeight + int(data.bars.size()) * pixelsPerBar(data));
}

QSize barChartFileSize(const ChartData& data) { return QSize(kFileWidth, barChartHeight(data)); }

QChart* makeBarChart(const ChartData& data)
{
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(data.title);
    chart->setTitleFont(chartFont(12, true));
    chart->legend()->setFont(chartFont(kLabelPoints));
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->setBackgroundRoundness(0);

    QAbstractBarSeries* series = nullptr;
    if (data.kind == ChartData::Kind::Stacked)
        series = new QHorizontalStackedBarSeries;
    else
        series = new QHorizontalBarSeries;
    series->setBarWidth(data.kind == ChartData::Kind::Stacked ? 0.6 : 0.8);
    for (int s = 0; s < data.series.size(); ++s) {
        auto* set = new QBarSet(data.series.at(s));
        // Bottom-up, so that the grid's first row is the top bar. A figure
        // without a value stands as 0, which draws no bar; the tooltip tells
        // it apart from a real 0.
        for (int i = int(data.bars.size()) - 1; i >= 0; --i) {
            const ChartBar& bar = data.bars.at(i);
            set->append(s < bar.values.size() && bar.values.at(s) ? *bar.values.at(s) : 0.0);
        }
        series->append(set);
    }
    chart->addSeries(series);

    auto* categories = new QBarCategoryAxis;
    categories->append(distinctLabels(data));
    categories->setLabelsFont(chartFont(kLabelPoints));
    chart->addAxis(categories, Qt::AlignLeft);
    series->attachAxis(categories);

    double low = 0;
    double high = 0;
    valueRange(data, low, high);
    auto* values = new QValueAxis;
    values->setLabelsFont(chartFont(kLabelPoints));
    if (data.unit == QLatin1String("%")) {
        // Rates in steps of ten.
        low = std::floor(low / 10) * 10;
        high = std::ceil(high / 10) * 10;
        values->setRange(low, high);
        values->setTickCount(int(std::lround((high - low) / 10)) + 1);
        values->setLabelFormat(QStringLiteral("%.0f%%"));
    } else {
        values->setRange(low, high);
        values->applyNiceNumbers();
        values->setLabelFormat(QStringLiteral("%.0f"));
    }
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);

    if (data.reference && !data.bars.isEmpty()) {
        // A vertical line across every bar at the company figure.
        auto* line = new QLineSeries;
        line->setName(data.referenceLabel);
        line->append(*data.reference, 0);
        line->append(*data.reference, 1);
        QPen pen(QColor(200, 30, 30));
        pen.setWidth(2);
        pen.setStyle(Qt::DashLine);
        line->setPen(pen);
        chart->addSeries(line);
        auto* span = new QValueAxis;
        span->setRange(0, 1);
        span->setVisible(false);
        chart->addAxis(span, Qt::AlignRight);
        line->attachAxis(values);
        line->attachAxis(span);
    }
    return chart;
}

} // namespace fee
