#include "reports/receipts_summary/receiptschart.h"

#include "core/grid/gridmodel.h"
#include "workbook/workbook.h"
#include "workbook/workbookarea.h"
#include "reports/receipts_summary/receiptscolumns.h"

#include <QHash>

namespace fee {

namespace {
    struct Sum {
        qint64 cents = 0;
        bool any = false;
        QVector<int> rows;
    };

    // The text value of a cell; empty outside the grid (rows a run has just cut).
    QString textOf(const std::optional<GridCell>& cell) { return cell ? cell->value.string() : QString(); }
}

ChartData receiptsCategoryChart(const GridModel& summary)
{
    namespace col = ReceiptsColumn;
    ChartData chart;
    chart.kind = ChartData::Kind::Stacked;
    chart.title = QStringLiteral("收款金额");
    if (summary.cols() < col::kCount)
        return chart;

    QStringList offices;
    QVector<int> firstRows;
    QHash<QString, QHash<QString, Sum>> sums; // office -> category -> sum
    // Cells, not rows, are read: the chart may follow a grid a run is still filling.
    const int rows = summary.rows();
    for (int row = summary.fixedRows(); row < rows; ++row) {
        const std::optional<GridCell> officeCell = summary.cell(row, col::kOffice);
        if (!officeCell || officeCell->rowKind != RowKind::Data)
            continue;
        const QString office = textOf(officeCell);
        if (office.isEmpty())
            continue;
        const QString category = textOf(summary.cell(row, col::kCategory));
        if (!offices.contains(office)) {
            offices << office;
            firstRows << row;
        }
        // An office without receipts shows one row without a category: a bar
        // without figures, no series.
        if (category.isEmpty())
            continue;
        if (!chart.series.contains(category))
            chart.series << category;
        Sum& sum = sums[office][category];
        sum.rows << row;
        // Added up in cents: the bars show the same figures the grid's rows add up to.
        if (const std::optional<GridCell> amount = summary.cell(row, col::kTotalAmount);
            amount && amount->value.isMoney()) {
            sum.cents += amount->value.cents();
            sum.any = true;
        }
    }
    for (int i = 0; i < offices.size(); ++i) {
        ChartBar bar;
        bar.label = offices.at(i);
        bar.gridRow = firstRows.at(i);
        const QHash<QString, Sum>& byCategory = sums[offices.at(i)];
        for (const QString& category : chart.series) {
            const auto it = byCategory.find(category);
            if (it == byCategory.end() || !it->any) {
                bar.values << std::nullopt;
                bar.texts << QString();
            } else {
                const CellValue figure = CellValue::fromMoney(it->cents);
                bar.values << figure.number();
                bar.texts << figure.text();
            }
            bar.sources << (it == byCategory.end() ? QVector<int>() : it->rows);
        }
        chart.bars << bar;
    }
    return chart;
}

} // namespace fee

namespace fee {

namespace {
    // =SUM('Sheet1'!T7:T10,'Sheet1'!T12): consecutive rows as one range.
    QString sumFormula(const QVector<int>& gridRows, const QString& sheet, int column, int rowOffset)
    {
        QStringList parts;
        const QString prefix = quotedSheetName(sheet) + QLatin1Char('!');
        for (int i = 0; i < gridRows.size();) {
            int j = i;
            while (j + 1 < gridRows.size() && gridRows.at(j + 1) == gridRows.at(j) + 1)
                ++j;
            parts << prefix
                    + WorkbookArea::cells(gridRows.at(i) + rowOffset, column, gridRows.at(j) + rowOffset, column).address();
            i = j + 1;
        }
        return QStringLiteral("=SUM(") + parts.join(QLatin1Char(',')) + QLatin1Char(')');
    }
}

void addReceiptsChartSheets(Workbook& book, const GridModel& summary, const QString& summarySheet, int rowOffset)
{
    const ChartData chart = receiptsCategoryChart(summary);
    if (chart.isEmpty() || chart.series.isEmpty())
        return;
    WorkbookSheet& data = book.addWorksheet(QStringLiteral("图表数据"));
    data.cells(1, 1).setValue(QStringLiteral("管理处"));
    data.columns(1).setColumnWidth(20);
    for (int s = 0; s < chart.series.size(); ++s) {
        data.cells(1, s + 2).setValue(chart.series.at(s));
        data.columns(s + 2).setColumnWidth(14);
    }
    const int amountColumn = ReceiptsColumn::kTotalAmount + 1;
    for (int b = 0; b < chart.bars.size(); ++b) {
        const ChartBar& bar = chart.bars.at(b);
        const int row = b + 2;
        data.cells(row, 1).setValue(bar.label);
        for (int s = 0; s < chart.series.size(); ++s) {
            if (bar.sources.at(s).isEmpty())
                continue;
            data.cells(row, s + 2)
                .setNumberFormat(QStringLiteral("#0.00"))
                .setFormula(sumFormula(bar.sources.at(s), summarySheet, amountColumn, rowOffset),
                    bar.values.at(s).value_or(0.0));
        }
    }
    WorkbookChart sheet;
    sheet.kind = WorkbookChart::Kind::StackedBar;
    sheet.sheetName = QStringLiteral("收款图表");
    sheet.title = chart.title;
    for (int s = 0; s < chart.series.size(); ++s) {
        WorkbookChartSeries series;
        series.name = chart.series.at(s);
        series.sheet = data.name();
        series.categoryColumn = 1;
        series.valueColumn = s + 2;
        series.firstRow = 2;
        series.lastRow = int(chart.bars.size()) + 1;
        sheet.series << series;
    }
    book.addChartSheet(sheet);
}

} // namespace fee
