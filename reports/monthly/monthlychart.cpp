#include "reports/monthly/monthlychart.h"

#include "core/grid/gridmodel.h"
#include "reports/monthly/monthlycolumns.h"

namespace fee::monthly {

namespace {
    constexpr int kChartColumns[] = { kRate, kArrearsRate };

    // A two-line heading of the grid as one line.
    QString seriesName(const GridModel& grid, int col)
    {
        if (grid.rows() < kHeadingRows)
            return {};
        return grid.text(kHeadingRows - 1, col).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    }

    // A rate cell's figure in percent; nothing for an empty cell.
    std::optional<double> rateOf(const CellValue& value)
    {
        if (!value.isRate())
            return std::nullopt;
        return value.number();
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
        // cell() never fails for a row a new run has just cut: nothing is left to read.
        const std::optional<GridCell> name = summary.cell(row, kName);
        const std::optional<GridCell> rate = summary.cell(row, kRate);
        const std::optional<GridCell> arrearsRate = summary.cell(row, kArrearsRate);
        if (!name || !rate || !arrearsRate)
            break;
        if (name->rowKind == RowKind::Total) {
            chart.reference = rateOf(rate->value);
            chart.referenceLabel = name->text + QLatin1Char(' ') + chart.series.front() + QLatin1Char(' ') + rate->text;
            chart.referenceRow = row;
            continue;
        }
        if (name->rowKind != RowKind::Data || name->text.isEmpty())
            continue;
        ChartBar bar;
        bar.label = name->text;
        bar.gridRow = row;
        for (const GridCell* cell : { &*rate, &*arrearsRate }) {
            bar.values << rateOf(cell->value);
            bar.texts << cell->text;
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
