#include "core/grid/columnfitter.h"
#include "core/textformat.h"
#include "core/grid/gridmodel.h"
#include "reports/daily/compactperiodlist.h"
#include "reports/daily/dailycellvalues.h"
#include "reports/daily/dailygrid.h"
#include "reports/daily/dailyoutputtexts.h"

#include <QtTest>

using namespace fee;

// The texts of the daily list's cells and its grid layout.
class TestDailyTexts : public QObject {
    Q_OBJECT

private slots:
    void compactPeriodList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const char* text, const char* expected) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(expected);
        };
        row("three months", "202301,202302,202303", "202301-202303");
        row("run then gap", "202301,202302,202305", "202301-202302,202305");
        row("no run", "202301,202303", "202301,202303");
        row("across a year", "202311,202312,202401", "202311-202401");
        row("trailing comma", "202301,202302,", "202301-202302");
        row("ledger min-max", "202301-202303", "202301-202303");
        row("single period", "202301", "202301");
        row("no comma, not a period", "押金", "押金");
        row("empty", "", "");
        row("two runs", "202301,202302,202304,202305,202306", "202301-202302,202304-202306");
        row("text ends a run", "202301,202302,押金,202303", "202301-202302,押金,202303");
        row("empty element in the middle", "202301,,202302", "202301,202302");
        row("leading comma", ",202301,202302", "202301-202302");
        row("month 13 is no period", "202312,202313", "202312,202313");
        row("month 00 is no period", "202300,202301", "202300,202301");
        row("backwards", "202303,202302", "202303,202302");
        row("repeated month", "202301,202301", "202301");
        row("repeated text", "押金,押金", "押金");
        row("repeat after more pieces stays", "A,B,A", "A,B,A");
        row("blanks kept in the texts", "202301, 202302", "202301- 202302");
        row("only commas", ",,", "");
    }
    void compactPeriodList()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(fee::compactPeriodList(text), expected);
    }

    void moneyAndIncome_data()
    {
        QTest::addColumn<QVariant>("amount");
        QTest::addColumn<QVariant>("tax");
        QTest::addColumn<QString>("amountText");
        QTest::addColumn<QString>("taxText");
        QTest::addColumn<QString>("income");
        QTest::newRow("plain") << QVariant(300.0) << QVariant(16.98) << "300.00"
                               << "16.98"
                               << "283.02";
        QTest::newRow("tax NULL") << QVariant(100.0) << QVariant() << "100.00"
                                  << ""
                                  << "100.00";
        QTest::newRow("both NULL") << QVariant() << QVariant() << ""
                                   << ""
                                   << "0.00";
        QTest::newRow("half away from zero") << QVariant(2.675) << QVariant(0.005) << "2.68"
                                             << "0.01"
                                             << "2.67";
        QTest::newRow("refund") << QVariant(-50.0) << QVariant(-2.83) << "-50.00"
                                << "-2.83"
                                << "-47.17";
        QTest::newRow("binary noise") << QVariant(0.3) << QVariant(0.1) << "0.30"
                                      << "0.10"
                                      << "0.20";
    }
    void moneyAndIncome()
    {
        QFETCH(QVariant, amount);
        QFETCH(QVariant, tax);
        QFETCH(QString, amountText);
        QFETCH(QString, taxText);
        QFETCH(QString, income);
        auto value = [](const QVariant& v) {
            return Amount::fromDouble(v.isValid() ? std::optional<double>(v.toDouble()) : std::nullopt);
        };
        QCOMPARE(dailyMoney(value(amount)).text(), amountText);
        QCOMPARE(dailyMoney(value(tax)).text(), taxText);
        QCOMPARE(CellValue::fromMoney(dailyCents(value(amount)) - dailyCents(value(tax))).text(), income);
    }

    // What a money cell shows, in whole cents: the totals add these.
    void cents_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<qint64>("cents");
        QTest::addColumn<QString>("text");
        QTest::newRow("NULL") << QVariant() << qint64(0) << "0.00";
        QTest::newRow("plain") << QVariant(1753.18) << qint64(175318) << "1753.18";
        QTest::newRow("negative") << QVariant(-47.17) << qint64(-4717) << "-47.17";
        QTest::newRow("small negative") << QVariant(-0.05) << qint64(-5) << "-0.05";
        QTest::newRow("negative below a cent") << QVariant(-0.004) << qint64(0) << "0.00";
        QTest::newRow("half away from zero") << QVariant(2.675) << qint64(268) << "2.68";
        QTest::newRow("large") << QVariant(12816336.48) << qint64(1281633648) << "12816336.48";
    }
    void cents()
    {
        QFETCH(QVariant, value);
        QFETCH(qint64, cents);
        QFETCH(QString, text);
        const std::optional<Amount> v
            = Amount::fromDouble(value.isValid() ? std::optional<double>(value.toDouble()) : std::nullopt);
        QCOMPARE(dailyCents(v), cents);
        QCOMPARE(CellValue::fromMoney(dailyCents(v)).text(), text);
        if (v)
            QCOMPARE(dailyMoney(v).text(), text);
        else
            QVERIFY(dailyMoney(v).isEmpty());
    }

    void dates()
    {
        const DayAndTime midnight { QDate(2024, 3, 5), QTime(0, 0) };
        const DayAndTime afternoon { QDate(2024, 3, 5), QTime(14, 30, 5) };
        QCOMPARE(dailyDate(midnight).text(), QStringLiteral("2024-03-05"));
        QCOMPARE(dailyDate(afternoon).text(), QStringLiteral("2024-03-05"));
        QCOMPARE(dailyDate(DayAndTime {}).text(), QString());
        QCOMPARE(dailyDate(DayAndTime { QDate(987, 12, 31), QTime() }).text(), QStringLiteral("0987-12-31"));
        QCOMPARE(dailyDateTime(midnight).text(), QStringLiteral("2024-03-05"));
        QCOMPARE(dailyDateTime(afternoon).text(), QStringLiteral("2024-03-05 14:30:05"));
        QCOMPARE(dailyDateTime(DayAndTime {}).text(), QString());
        // The values themselves: a day, a day with its time, nothing for NULL.
        QCOMPARE(dailyDate(afternoon), CellValue::fromDate(QDate(2024, 3, 5)));
        QCOMPARE(dailyDateTime(afternoon).time(), QTime(14, 30, 5));
        QVERIFY(dailyDate(DayAndTime {}).isEmpty() && dailyDateTime(DayAndTime {}).isEmpty());
        QVERIFY(isZeroDate(DayAndTime { QDate(1900, 1, 1), QTime(0, 0) }));
        QVERIFY(!isZeroDate(DayAndTime { QDate(1900, 1, 1), QTime(0, 0, 1) }));
        QVERIFY(!isZeroDate(midnight));
    }

    void layout()
    {
        GridModel grid;
        grid.setRows(5);
        DailyGrid::layout(grid);
        QCOMPARE(grid.cols(), 18);
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.fixedRows(), 1);
        QCOMPARE(grid.fixedCols(), 1);
        QCOMPARE(grid.fontName(), QStringLiteral("微软雅黑"));
        QCOMPARE(grid.fontSize(), 9.0);
        QCOMPARE(grid.gridLineColor(), QColor(192, 192, 192));
        const QStringList headings { "序   ", "票据簿编号  ", "票据号码     ", "付款人        ", "付款人地址        ",
            "收费项目        ", "摘要             ", "金额              ", "税额         ", "收入              ",
            "开票日期      ", "开票人      ", "收款日期        ", "收款人      ", "收款方式      ", "备注          ",
            "换票日期      ", "换票号码 " };
        QCOMPARE(DailyGrid::headings(), headings);
        for (int c = 0; c < 18; ++c) {
            QCOMPARE(grid.text(0, c), headings.at(c));
            QCOMPARE(grid.fixedAlignment(c), int(AlignCenter));
            const int align = c == 0 ? AlignCenter : (c >= 7 && c <= 9 ? AlignRight : AlignLeft);
            QCOMPARE(grid.colAlignment(c), align);
            // Trailing blanks of a heading widen its column.
            QCOMPARE(grid.colWidth(c), grid.measureText(headings.at(c)) + GridModel::kFormatPadding);
        }
        QVERIFY(grid.colWidth(1) > grid.measureText(QStringLiteral("票据簿编号")) + GridModel::kFormatPadding);
    }

    void mergeSettings()
    {
        GridModel grid;
        DailyGrid::layout(grid);
        grid.setMergeCol(5, true);
        DailyGrid::applyMergeSettings(grid);
        QCOMPARE(grid.mergeCells(), int(MergeRestrictColumns));
        for (int c = 0; c < 18; ++c)
            QCOMPARE(grid.mergeCol(c), c <= 2);
    }

    // Columns widen to a row's texts + 90 twips and never narrow; each
    // distinct text is measured once.
    void widening()
    {
        QHash<QString, int> calls;
        GridModel::setTextMeasure([&calls](const QString& text, const QString&, double) {
            ++calls[text];
            return int(text.size()) * 100;
        });
        GridModel grid;
        DailyGrid::layout(grid);
        const int narrow = grid.colWidth(3);
        calls.clear();
        ColumnFitter widener(DailyGrid::kWidenPadding);
        for (int i = 0; i < 3; ++i) {
            const int r = grid.appendRow();
            grid.setText(r, 3, QStringLiteral("一个很长很长很长很长的付款人名字"));
            grid.setText(r, 5, QStringLiteral("短"));
            widener.fitRow(grid, r);
        }
        QCOMPARE(grid.colWidth(3), 16 * 100 + 90);
        QVERIFY(grid.colWidth(3) > narrow);
        QCOMPARE(grid.colWidth(5), grid.measureText(QStringLiteral("收费项目        ")) + GridModel::kFormatPadding);
        QCOMPARE(calls.value(QStringLiteral("一个很长很长很长很长的付款人名字")), 1);
        QCOMPARE(calls.value(QString()), 1);
        const int r = grid.appendRow();
        grid.setText(r, 3, QStringLiteral("短"));
        widener.fitRow(grid, r);
        QCOMPARE(grid.colWidth(3), 16 * 100 + 90);
        GridModel::setTextMeasure({});
    }

    // The titles and date lines of the printout and of the workbook.
    void outputTexts_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("printTitle");
        QTest::addColumn<QString>("exportTitle");
        QTest::newRow("code and name") << "0101 南区"
                                       << "(南区)收款日报表"
                                       << "(南区) 收款日报表";
        QTest::newRow("name with a blank") << "03 东 区"
                                           << "(东 区)收款日报表"
                                           << "(东 区) 收款日报表";
        QTest::newRow("no blank: the whole text") << "南区"
                                                  << "(南区)收款日报表"
                                                  << "(南区) 收款日报表";
        QTest::newRow("no office") << ""
                                   << "()收款日报表"
                                   << "() 收款日报表";
    }
    void outputTexts()
    {
        QFETCH(QString, entry);
        QFETCH(QString, printTitle);
        QFETCH(QString, exportTitle);
        const QDate start(2024, 1, 5);
        const QDate end(2024, 1, 31);
        const DailyOutputTexts printed = dailyPrintTexts(dailyOfficeName(entry), start, end);
        QCOMPARE(printed.title, printTitle);
        QCOMPARE(printed.dateLine, QStringLiteral("日期范围:2024年01月05日-2024年01月31日"));
        const DailyOutputTexts exported = dailyExportTexts(dailyOfficeName(entry), start, end);
        QCOMPARE(exported.title, exportTitle);
        QCOMPARE(exported.dateLine, QStringLiteral("日期范围:2024年01月05日至2024年01月31日"));
    }

    // A click highlights its row from column 1 on; the row before gets its
    // colour back unless a cut took it away.
    void highlightRow()
    {
        GridModel grid;
        DailyGrid::layout(grid);
        QCOMPARE(DailyGrid::highlightRow(grid, 0, 1), 0); // the heading row alone
        grid.setRows(6);
        QCOMPARE(DailyGrid::highlightRow(grid, 0, 0), 0);
        QCOMPARE(DailyGrid::highlightRow(grid, 0, 6), 0);
        QCOMPARE(DailyGrid::highlightRow(grid, 0, 3), 3);
        QCOMPARE(DailyGrid::highlightRow(grid, 3, 5), 5);
        for (int c = 0; c < grid.cols(); ++c) {
            QCOMPARE(grid.cellBackColor(3, c), QColor());
            QCOMPARE(grid.cellBackColor(5, c), c == 0 ? QColor() : QColor(208, 255, 253));
        }
        grid.setRows(4);
        QCOMPARE(DailyGrid::highlightRow(grid, 5, 2), 2);
        QCOMPARE(grid.cellBackColor(2, 1), QColor(208, 255, 253));
    }
};

QTEST_GUILESS_MAIN(TestDailyTexts)
#include "tst_dailytexts.moc"
