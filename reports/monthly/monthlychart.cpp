#include "reports/monthly/monthlychart.h"

#include "core/grid/gridmodel.h"
#include "reports/monthly/monthlycolumns.h"

namespace fee::monthly {

namespace {
    const QString kTotalsLabel = QStringLiteral("合计");
    constexpr int kChartColumns[] = { kRate, kArrearsRate };

    // A two-line heading of the grid as one line.
    QString seriesName(const GridModel& grid, int col)
    {
        if (grid.rows() < kHeadingRows)
            return {};
        return grid.text(kHeadingRows - 1, col).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    }
}

ChartData rateChart(const GridModel& summary)
{
    ChartData chart;
    chart.kind = ChartData::Kind::Grouped;
    chart.title = QStringLiteral("收缴率");
    chart.unit = QStringLiteral("%");
    if (summary.cols() < kColumnCount)
        return chart;
    for (int col : kChartColumns)
        chart.series << seriesName(summary, col);

    const int rows = summary.rows();
    for (int row = kHeadingRows; row < rows; ++row) {
        // rowTexts() never fails for a row a new run has just cut.
        const QVector<QString> texts = summary.rowTexts(row);
        if (texts.size() < kColumnCount)
            continue;
        const QString name = texts.at(kName);
        if (name.isEmpty())
            continue;
        if (name == kTotalsLabel) {
            chart.reference = chartValue(texts.at(kRate));
            chart.referenceLabel = kTotalsLabel + QLatin1Char(' ') + chart.series.front() + QLatin1Char(' ')
                + texts.at(kRate);
            chart.referenceRow = row;
            continue;
        }
        ChartBar bar;
        bar.label = name;
        bar.gridRow = row;
        for (int col : kChartColumns) {
            bar.values << chartValue(texts.at(col));
            bar.texts << texts.at(col);
            bar.sources << QVector<int> { row };
        }
        chart.bars << bar;
    }
    return chart;
}

WorkbookChart rateWorkbookChart(const GridModel& summary, const QString& summarySheet, int rowOffset)
{
    WorkbookChart chart;
    chart.kind = WorkbookChart::Kind::Bar;
    chart.sheetName = QStringLiteral("收缴率图表");
    chart.title = QStringLiteral("收缴率");
    chart.valueFormat = QStringLiteral("0%");
    for (int col : kChartColumns) {
        WorkbookChartSeries series;
        series.name = seriesName(summary, col);
        series.sheet = summarySheet;
        series.categoryColumn = kName + 1;
        series.valueColumn = col + 1;
        series.firstRow = kHeadingRows + rowOffset;
        series.lastRow = std::max(kHeadingRows, summary.rows() - 1) + rowOffset;
        chart.series << series;
    }
    return chart;
}

} // namespace fee::monthly
