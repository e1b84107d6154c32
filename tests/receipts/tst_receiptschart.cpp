// The receipts chart reads the summary's values and row kinds: a grid whose
// labels and texts would mislead a reader of texts still charts right.
#include "core/grid/gridmodel.h"
#include "reports/receipts_summary/receiptschart.h"
#include "reports/receipts_summary/receiptscolumns.h"

#include <QtTest>

using namespace fee;

namespace col = ReceiptsColumn;

class TestReceiptsChart : public QObject {
    Q_OBJECT

    static void append(GridModel& grid, const QString& office, const QString& category, const CellValue& amount,
        RowKind kind = RowKind::Data)
    {
        QVector<CellValue> cells(col::kCount);
        cells[col::kOffice] = CellValue::fromText(office);
        cells[col::kCategory] = CellValue::fromText(category);
        cells[col::kTotalAmount] = amount;
        grid.appendRow(cells, kind);
    }

private slots:
    void misleadingLabels()
    {
        GridModel grid;
        layoutReceiptsSummaryGrid(grid);
        // An office named like a total row is an office.
        append(grid, "合计", "物业管理费", CellValue::fromMoney(1000)); // row 2
        append(grid, "甲", "物业管理费", CellValue::fromMoney(10));
        append(grid, "甲", "物业管理费", CellValue::fromMoney(20));
        // A subtotal row, whatever it is labelled, adds nothing.
        append(grid, "甲", "物业管理费", CellValue::fromMoney(30), RowKind::Subtotal); // row 5
        append(grid, "小计", "其他", CellValue::fromMoney(-5000));
        // A text that looks like a figure is no figure.
        append(grid, "小计", "其他", CellValue::fromText("99.00"));
        append(grid, "乙", "其他", CellValue::fromMoney(12300), RowKind::Total);

        const ChartData chart = receiptsCategoryChart(grid);
        QCOMPARE(chart.series, QStringList({ "物业管理费", "其他" }));
        QCOMPARE(chart.bars.size(), 3);
        const ChartBar& total = chart.bars.at(0);
        QCOMPARE(total.label, QStringLiteral("合计"));
        QCOMPARE(total.gridRow, 2);
        QCOMPARE(total.values, QVector<std::optional<double>>({ 10.0, std::nullopt }));
        const ChartBar& first = chart.bars.at(1);
        QCOMPARE(first.label, QStringLiteral("甲"));
        QCOMPARE(first.gridRow, 3);
        QCOMPARE(first.texts, QVector<QString>({ "0.30", QString() }));
        QCOMPARE(*first.values.at(0), 0.3);
        QCOMPARE(first.sources.at(0), QVector<int>({ 3, 4 }));
        const ChartBar& subtotal = chart.bars.at(2);
        QCOMPARE(subtotal.label, QStringLiteral("小计"));
        QCOMPARE(subtotal.texts, QVector<QString>({ QString(), "-50.00" }));
        QCOMPARE(subtotal.sources.at(1), QVector<int>({ 6, 7 }));
    }

    // Only texts in the figure column: the bars have no values.
    void textsAreNoFigures()
    {
        GridModel grid;
        layoutReceiptsSummaryGrid(grid);
        QVector<QString> texts(col::kCount);
        texts[col::kOffice] = "甲";
        texts[col::kCategory] = "物业管理费";
        texts[col::kTotalAmount] = "100.00";
        grid.appendRow(texts);
        const ChartData chart = receiptsCategoryChart(grid);
        QCOMPARE(chart.bars.size(), 1);
        QCOMPARE(chart.bars.at(0).values, QVector<std::optional<double>>({ std::nullopt }));
    }
};

QTEST_GUILESS_MAIN(TestReceiptsChart)
#include "tst_receiptschart.moc"
