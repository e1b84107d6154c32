// The charts' data read off the report grids: on a demo database through the
// command line's CSV (every grid cell as the grid holds it), checked against
// sums the test makes itself, and on small hand-made grids for the edges.
#include "../support/clirun.h"

#include "core/grid/gridmodel.h"
#include "reports/monthly/monthlychart.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/receipts_summary/receiptschart.h"
#include "reports/receipts_summary/receiptscolumns.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <map>

using namespace fee;
using namespace fee::testing;

namespace {

// The receipts summary's rows of the CSV as its engine writes them: money in
// the figure columns, each row of its kind.
void appendReceiptsRecords(GridModel& grid, const QList<QStringList>& records)
{
    namespace col = ReceiptsColumn;
    for (int r = 2; r < records.size(); ++r) {
        const QStringList& record = records.at(r);
        QVector<CellValue> values(record.size());
        for (int c = 0; c < record.size(); ++c) {
            const bool money = (c >= col::kFirstFigure && c <= col::kLastFigure) || c == col::kMonthCumulative
                || c == col::kYearCumulative;
            values[c] = money && !record.at(c).isEmpty()
                ? CellValue::fromMoney(std::llround(record.at(c).toDouble() * 100))
                : CellValue::fromText(record.at(c));
        }
        const QString label = record.at(col::kOffice);
        grid.appendRow(values,
            label == QStringLiteral("小计")       ? RowKind::Subtotal
                : label == QStringLiteral("合计") ? RowKind::Total
                                                  : RowKind::Data);
    }
}

std::optional<double> figure(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    QString t = text;
    t.remove(QLatin1Char('%'));
    return t.toDouble();
}

// A monthly summary row as the engine writes it: the name and the two rates
// the chart shows (a rate's text as its value), 合计 the Total row.
void appendMonthlyRow(GridModel& grid, const QString& name, const QString& rate, const QString& arrearsRate)
{
    const auto value = [](const QString& text) {
        const std::optional<double> percent = figure(text);
        return percent ? CellValue::fromPercent(*percent) : CellValue();
    };
    QVector<CellValue> row(monthly::kColumnCount);
    row[monthly::kName] = CellValue::fromText(name);
    row[monthly::kRate] = value(rate);
    row[monthly::kArrearsRate] = value(arrearsRate);
    grid.appendRow(row, name == QStringLiteral("合计") ? RowKind::Total : RowKind::Data);
}

} // namespace

class TestChartData : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_connect;

    QList<QStringList> csvOf(const QStringList& args)
    {
        const CliResult run = runCli(args + QStringList { QStringLiteral("--connect"), m_connect,
                                                  QStringLiteral("--csv"), QStringLiteral("-") });
        QList<QStringList> records;
        if (run.exitCode != 0 || !parseCsv(run.out, records))
            qWarning() << run.err;
        return records;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("demo.db"));
        const CliResult made = runCli({ QStringLiteral("demo-db"), path, QStringLiteral("--offices"),
            QStringLiteral("4"), QStringLiteral("--rooms"), QStringLiteral("12") });
        QVERIFY2(made.exitCode == 0, qPrintable(made.err));
        m_connect = QStringLiteral("Provider=SQLite;Data Source=") + path;
    }

    // Every office row in the grid's order, its two rates as numbers, an
    // empty rate without a value, the 合计 rate as the reference.
    void monthlyChartReadsTheGrid()
    {
        const QList<QStringList> records
            = csvOf({ QStringLiteral("monthly"), QStringLiteral("--date"), QStringLiteral("2026-11-30") });
        QVERIFY(records.size() > 3);
        GridModel grid;
        monthly::layoutSummaryGrid(grid, QStringLiteral("2026"));
        for (int r = 2; r < records.size(); ++r) {
            const QStringList& rec = records.at(r);
            appendMonthlyRow(grid, rec.at(monthly::kName), rec.at(monthly::kRate), rec.at(monthly::kArrearsRate));
        }

        const ChartData chart = monthly::rateChart(grid);
        QCOMPARE(chart.series,
            QStringList({ QStringLiteral("当年收缴率(不含减免及空置)"), QStringLiteral("清欠率(不含减免)") }));
        int bar = 0;
        bool sawEmpty = false;
        for (int r = 2; r < records.size(); ++r) {
            const QStringList& rec = records.at(r);
            if (rec.at(monthly::kName) == QStringLiteral("合计")) {
                QCOMPARE(chart.reference, figure(rec.at(monthly::kRate)));
                QCOMPARE(chart.referenceRow, r);
                continue;
            }
            QVERIFY(bar < chart.bars.size());
            const ChartBar& b = chart.bars.at(bar++);
            QCOMPARE(b.label, rec.at(monthly::kName));
            QCOMPARE(b.gridRow, r);
            QCOMPARE(b.values.at(0), figure(rec.at(monthly::kRate)));
            QCOMPARE(b.values.at(1), figure(rec.at(monthly::kArrearsRate)));
            QCOMPARE(b.texts.at(0), rec.at(monthly::kRate));
            sawEmpty = sawEmpty || !b.values.at(0);
        }
        QCOMPARE(bar, chart.bars.size());
        QVERIFY2(sawEmpty, "the demo's office without charges has no rate");
        QVERIFY(chart.reference.has_value());
    }

    void monthlyChartEdges_data()
    {
        QTest::addColumn<int>("offices");
        QTest::addColumn<bool>("totals");
        QTest::newRow("one office") << 1 << true;
        QTest::newRow("100 offices") << 100 << true;
        QTest::newRow("run still going, no totals yet") << 3 << false;
        QTest::newRow("headings only") << 0 << false;
    }

    void monthlyChartEdges()
    {
        QFETCH(int, offices);
        QFETCH(bool, totals);
        GridModel grid;
        monthly::layoutSummaryGrid(grid, QStringLiteral("2026"));
        for (int i = 0; i < offices; ++i) {
            // Every third office has no arrears rate, every fifth no rate at all.
            const QString rate = i % 5 == 4 ? QString() : QStringLiteral("%1.25%").arg(40 + i % 60);
            const QString arrears = i % 3 == 2 || i % 5 == 4 ? QString() : QStringLiteral("%1.00%").arg(i % 30);
            appendMonthlyRow(grid, QStringLiteral("管理处%1").arg(i + 1), rate, arrears);
        }
        if (totals)
            appendMonthlyRow(grid, QStringLiteral("合计"), QStringLiteral("61.07%"), QStringLiteral("3.00%"));

        const ChartData chart = monthly::rateChart(grid);
        QCOMPARE(chart.bars.size(), offices);
        QCOMPARE(chart.reference.has_value(), totals);
        if (totals)
            QCOMPARE(*chart.reference, 61.07);
        for (int i = 0; i < offices; ++i) {
            const ChartBar& b = chart.bars.at(i);
            QCOMPARE(b.label, QStringLiteral("管理处%1").arg(i + 1));
            QCOMPARE(b.gridRow, i + 2);
            QCOMPARE(b.values.at(0).has_value(), i % 5 != 4);
            QCOMPARE(b.values.at(1).has_value(), i % 3 != 2 && i % 5 != 4);
            if (b.values.at(0))
                QCOMPARE(*b.values.at(0), 40 + i % 60 + 0.25);
        }
    }

    // One bar per office, its 合计 金额 added up by category; 小计 and 合计 rows
    // left out; an office without receipts has a bar without values.
    void receiptsChartReadsTheGrid()
    {
        namespace col = ReceiptsColumn;
        const QList<QStringList> records = csvOf({ QStringLiteral("receipts"), QStringLiteral("--from"),
            QStringLiteral("2026-06-01"), QStringLiteral("--to"), QStringLiteral("2026-11-30") });
        QVERIFY(records.size() > 3);
        GridModel grid;
        layoutReceiptsSummaryGrid(grid);
        appendReceiptsRecords(grid, records);

        QStringList offices;
        QStringList categories;
        std::map<std::pair<QString, QString>, long long> cents;
        for (int r = 2; r < records.size(); ++r) {
            const QStringList& rec = records.at(r);
            const QString office = rec.at(col::kOffice);
            if (office == QStringLiteral("小计") || office == QStringLiteral("合计"))
                continue;
            if (!offices.contains(office))
                offices << office;
            if (rec.at(col::kCategory).isEmpty())
                continue;
            if (!categories.contains(rec.at(col::kCategory)))
                categories << rec.at(col::kCategory);
            if (!rec.at(col::kTotalAmount).isEmpty())
                cents[{ office, rec.at(col::kCategory) }] += std::llround(rec.at(col::kTotalAmount).toDouble() * 100);
        }

        const ChartData chart = receiptsCategoryChart(grid);
        QCOMPARE(chart.kind, ChartData::Kind::Stacked);
        QCOMPARE(chart.series, categories);
        QCOMPARE(chart.bars.size(), offices.size());
        bool sawEmpty = false;
        for (int b = 0; b < offices.size(); ++b) {
            const ChartBar& bar = chart.bars.at(b);
            QCOMPARE(bar.label, offices.at(b));
            QCOMPARE(grid.text(bar.gridRow, col::kOffice), offices.at(b));
            bool any = false;
            for (int s = 0; s < categories.size(); ++s) {
                const auto it = cents.find({ offices.at(b), categories.at(s) });
                if (it == cents.end()) {
                    QVERIFY(!bar.values.at(s));
                    continue;
                }
                any = true;
                QVERIFY(bar.values.at(s));
                QCOMPARE(std::llround(*bar.values.at(s) * 100), it->second);
                for (int row : bar.sources.at(s)) {
                    QCOMPARE(grid.text(row, col::kOffice), offices.at(b));
                    QCOMPARE(grid.text(row, col::kCategory), categories.at(s));
                }
            }
            sawEmpty = sawEmpty || !any;
        }
        QVERIFY2(sawEmpty, "the demo has offices without receipts");
    }

    // Amounts that binary doubles add up badly, a refund and an empty cell.
    void receiptsSumsAreExactCents()
    {
        namespace col = ReceiptsColumn;
        GridModel grid;
        layoutReceiptsSummaryGrid(grid);
        const auto row = [&grid](const QString& office, const QString& category, std::optional<qint64> cents,
                             RowKind kind = RowKind::Data) {
            QVector<CellValue> r(col::kCount);
            r[col::kOffice] = CellValue::fromText(office);
            r[col::kCategory] = CellValue::fromText(category);
            if (cents)
                r[col::kTotalAmount] = CellValue::fromMoney(*cents);
            grid.appendRow(r, kind);
        };
        row(QStringLiteral("甲"), QStringLiteral("物业管理费"), 10);
        row(QStringLiteral("甲"), QStringLiteral("物业管理费"), 20);
        row(QStringLiteral("甲"), QStringLiteral("其他"), std::nullopt);
        row(QStringLiteral("小计"), QString(), 30, RowKind::Subtotal);
        row(QStringLiteral("乙"), QStringLiteral("其他"), -5000);
        row(QStringLiteral("乙"), QStringLiteral("其他"), 2005);
        row(QStringLiteral("合计"), QString(), -2965, RowKind::Total);

        const ChartData chart = receiptsCategoryChart(grid);
        QCOMPARE(chart.series, QStringList({ QStringLiteral("物业管理费"), QStringLiteral("其他") }));
        QCOMPARE(chart.bars.size(), 2);
        QCOMPARE(chart.bars.at(0).texts, QVector<QString>({ QStringLiteral("0.30"), QString() }));
        QVERIFY(!chart.bars.at(0).values.at(1));
        QCOMPARE(chart.bars.at(1).texts, QVector<QString>({ QString(), QStringLiteral("-29.95") }));
        QCOMPARE(chart.bars.at(1).sources.at(1), QVector<int>({ 6, 7 }));
    }
};

QTEST_GUILESS_MAIN(TestChartData)
#include "tst_chartdata.moc"
