#include "core/grid/cellvalue.h"
#include "core/grid/gridmodel.h"
#include "core/money.h"
#include "core/textformat.h"

#include <QtTest>
#include <algorithm>

using fee::Amount;
using fee::CellValue;
using fee::GridModel;
using fee::RowKey;
using fee::RowKind;

Q_DECLARE_METATYPE(CellValue)

// Typed cells: the one presentation every output shows, the exact amounts
// they are made from, and the rows of a grid that say what they are.
class TestCellValue : public QObject {
    Q_OBJECT

private slots:
    void presentation_data()
    {
        QTest::addColumn<CellValue>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::newRow("money") << CellValue::fromMoney(588000) << "5880.00" << 5880.0;
        QTest::newRow("refund") << CellValue::fromMoney(-320) << "-3.20" << -3.2;
        QTest::newRow("a cent") << CellValue::fromMoney(-1) << "-0.01" << -0.01;
        QTest::newRow("zero") << CellValue::fromMoney(0) << "0.00" << 0.0;
        QTest::newRow("rate") << CellValue::fromRateHundredths(1250) << "12.50%" << 12.5;
        QTest::newRow("rate rounds like its text") << CellValue::fromPercent(2.675) << "2.68%" << 2.68;
        QTest::newRow("rate half away below zero") << CellValue::fromPercent(-0.005) << "-0.01%" << -0.01;
        QTest::newRow("rate never -0.00") << CellValue::fromPercent(-0.004) << "0.00%" << 0.0;
        QTest::newRow("count") << CellValue::fromCount(12) << "12" << 12.0;
        QTest::newRow("date") << CellValue::fromDate(QDate(2026, 8, 1)) << "2026-08-01" << 0.0;
        QTest::newRow("date and time") << CellValue::fromDateTime(QDate(2025, 12, 31), QTime(23, 5, 9))
                                       << "2025-12-31 23:05:09" << 0.0;
        QTest::newRow("midnight shows the day") << CellValue::fromDateTime(QDate(2025, 12, 31), QTime(0, 0))
                                                << "2025-12-31" << 0.0;
        QTest::newRow("invalid date is empty") << CellValue::fromDate(QDate()) << "" << 0.0;
        QTest::newRow("text") << CellValue::fromText(QStringLiteral("不记录票据信息")) << "不记录票据信息" << 0.0;
        QTest::newRow("empty text is empty") << CellValue::fromText(QString()) << "" << 0.0;
    }
    void presentation()
    {
        QFETCH(CellValue, value);
        QFETCH(QString, text);
        QFETCH(double, number);
        QCOMPARE(value.text(), text);
        QCOMPARE(value.number(), number);
        QCOMPARE(value.isEmpty(), text.isEmpty());
    }

    // Amounts as the database hands them over: the figure a cell shows is
    // the one the former text rounding gave, and sums stay exact.
    void amounts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("cents");
        QTest::newRow("2.675 as written") << 2.675 << qint64(268);
        QTest::newRow("-2.675") << -2.675 << qint64(-268);
        QTest::newRow("binary noise") << 0.1 + 0.2 << qint64(30);
        QTest::newRow("half a cent below zero") << -0.005 << qint64(-1);
        QTest::newRow("less than half a cent below zero") << -0.004 << qint64(0);
        QTest::newRow("four decimals") << 10.0049 << qint64(1000);
        QTest::newRow("large") << 123456789.125 << qint64(12345678913);
    }
    void amounts()
    {
        QFETCH(double, value);
        QFETCH(qint64, cents);
        QCOMPARE(Amount::fromDouble(value).cents(), cents);
        QCOMPARE(Amount::fromDouble(value).cents(), fee::moneyCents(value));
    }

    void sumsAreExact()
    {
        // Sub-cent parts add up before the one rounding, as a database sum does.
        Amount sum;
        for (int i = 0; i < 3; ++i)
            sum += Amount::fromDouble(0.005);
        QCOMPARE(sum.cents(), qint64(2));
        QCOMPARE((Amount::fromDouble(0.3) - Amount::fromDouble(0.1) - Amount::fromDouble(0.2)).isZero(), true);
        QCOMPARE(fee::percentOf(Amount::fromDouble(1), Amount()), std::nullopt);
        QCOMPARE(*fee::percentOf(Amount::fromDouble(1), Amount::fromDouble(3)), 33.333333333);
    }

    void ordering()
    {
        QVector<CellValue> values { CellValue::fromMoney(1000), CellValue(), CellValue::fromMoney(-5),
            CellValue::fromMoney(999) };
        std::stable_sort(values.begin(), values.end(),
            [](const CellValue& a, const CellValue& b) { return CellValue::compare(a, b) < 0; });
        QCOMPARE(values.at(0), CellValue());
        QCOMPARE(values.at(1).cents(), qint64(-5));
        QCOMPARE(values.at(3).cents(), qint64(1000));
        QVERIFY(CellValue::compare(CellValue::fromDate(QDate(2026, 1, 2)),
                    CellValue::fromDateTime(QDate(2026, 1, 1), QTime(23, 0)))
            > 0);
    }

    // A grid's rows say what they are and what they stand for; both go with
    // the rows a new run cuts.
    void rowKindsAndKeys()
    {
        GridModel grid;
        grid.setCols(3);
        grid.setRows(1);
        const int office = grid.appendRow(
            { CellValue::fromCount(1), CellValue::fromText(QStringLiteral("阳光花园")), CellValue::fromMoney(100) },
            RowKind::Data, RowKey { QStringLiteral("01"), {}, QStringLiteral("11"), {} });
        const int total = grid.appendRow(
            { CellValue(), CellValue::fromText(QStringLiteral("合计")), CellValue::fromMoney(100) }, RowKind::Total);
        QCOMPARE(grid.rowKind(0), RowKind::Heading);
        QCOMPARE(grid.rowKind(office), RowKind::Data);
        QCOMPARE(grid.rowKind(total), RowKind::Total);
        QCOMPARE(grid.rowKey(office).office, QStringLiteral("01"));
        QCOMPARE(grid.rowsOfKind(RowKind::Total), QVector<int> { total });
        QCOMPARE(grid.text(office, 2), QStringLiteral("1.00"));
        QCOMPARE(grid.value(total, 2).cents(), qint64(100));

        grid.setRows(1);
        grid.appendRow(QVector<QString> { QString(), QStringLiteral("x") });
        QCOMPARE(grid.rowKind(1), RowKind::Data);
        QVERIFY(grid.rowKey(1).isEmpty());
        const GridModel copy(grid);
        QCOMPARE(copy.rowKind(1), RowKind::Data);
    }
};

QTEST_GUILESS_MAIN(TestCellValue)
#include "tst_cellvalue.moc"
