// The rate chart reads the summary's values and row kinds, never its texts:
// a grid whose texts would mislead a reader of texts still charts right.
#include "core/grid/gridmodel.h"
#include "reports/monthly/monthlychart.h"
#include "reports/monthly/monthlycolumns.h"

#include <QtTest>

using namespace fee;

namespace {

QVector<CellValue> summaryRow(const QString& name, const CellValue& rate, const CellValue& arrearsRate)
{
    QVector<CellValue> row(monthly::kColumnCount);
    row[monthly::kName] = CellValue::fromText(name);
    row[monthly::kRate] = rate;
    row[monthly::kArrearsRate] = arrearsRate;
    return row;
}

CellValue rate(qint64 hundredths) { return CellValue::fromRateHundredths(hundredths); }

} // namespace

class TestMonthlyChart : public QObject {
    Q_OBJECT

private slots:
    void readsValuesAndKinds()
    {
        GridModel grid;
        monthly::layoutSummaryGrid(grid, QStringLiteral("2026"));
        // An office that happens to be named 合计 is an office.
        grid.appendRow(summaryRow(QStringLiteral("合计"), rate(4025), rate(300)), RowKind::Data, RowKey { "01" });
        // A rate written as a text is no figure, however it reads.
        grid.appendRow(summaryRow(QStringLiteral("二号"), CellValue::fromText(QStringLiteral("99.00%")), rate(-150)),
            RowKind::Data, RowKey { "02" });
        // Rows of other kinds are no bars.
        grid.appendRow(summaryRow(QStringLiteral("说明"), rate(5000), rate(5000)), RowKind::Note);
        grid.appendRow(summaryRow(QStringLiteral("小计"), rate(5000), rate(5000)), RowKind::Subtotal);
        // The whole company's rate comes from the Total row, whatever its name.
        grid.appendRow(summaryRow(QStringLiteral("全公司"), rate(6107), CellValue()), RowKind::Total);

        const ChartData chart = monthly::rateChart(grid);
        QCOMPARE(chart.bars.size(), 2);
        const ChartBar& first = chart.bars.at(0);
        QCOMPARE(first.label, QStringLiteral("合计"));
        QCOMPARE(first.gridRow, 2);
        QCOMPARE(first.values, (QVector<std::optional<double>> { 40.25, 3.0 }));
        QCOMPARE(first.texts, (QVector<QString> { QStringLiteral("40.25%"), QStringLiteral("3.00%") }));
        const ChartBar& second = chart.bars.at(1);
        QCOMPARE(second.gridRow, 3);
        QCOMPARE(second.values, (QVector<std::optional<double>> { std::nullopt, -1.5 }));
        QCOMPARE(second.texts.at(0), QStringLiteral("99.00%"));

        QCOMPARE(chart.reference, std::optional<double>(61.07));
        QCOMPARE(chart.referenceRow, 6);
        QCOMPARE(chart.referenceLabel, QStringLiteral("全公司 当年收缴率(不含减免及空置) 61.07%"));
    }

    // A Total row without a rate gives no reference line.
    void totalWithoutRate()
    {
        GridModel grid;
        monthly::layoutSummaryGrid(grid, QStringLiteral("2026"));
        grid.appendRow(summaryRow(QStringLiteral("一号"), CellValue(), CellValue()), RowKind::Data, RowKey { "01" });
        grid.appendRow(summaryRow(QStringLiteral("合计"), CellValue(), CellValue()), RowKind::Total);
        const ChartData chart = monthly::rateChart(grid);
        QCOMPARE(chart.bars.size(), 1);
        QCOMPARE(chart.bars.first().values, (QVector<std::optional<double>> { std::nullopt, std::nullopt }));
        QVERIFY(!chart.reference.has_value());
        QCOMPARE(chart.referenceRow, 3);
    }
};

QTEST_GUILESS_MAIN(TestMonthlyChart)
#include "tst_monthlychart.moc"
