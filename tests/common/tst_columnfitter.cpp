#include "core/grid/columnfitter.h"
#include "core/grid/gridmodel.h"

#include <QtTest>

// Without an installed measure a half-width character is 90 twips and a
// wide one 180, which makes the widths below easy to follow.
class TestColumnFitter : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { fee::GridModel::setTextMeasure({}); }
    void fitRow_data();
    void fitRow();
    void cellsAndLooseTexts();
    void eachTextMeasuredOnce();
    void shownRowsAfterARun();
};

void TestColumnFitter::fitRow_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("fitted");
    QTest::newRow("wider text widens") << 960 << QStringLiteral("ABCDEFGHIJK") << 990 + 90;
    QTest::newRow("text plus padding exactly the width keeps it") << 990 << QStringLiteral("ABCDEFGHIJ") << 990;
    QTest::newRow("narrower text keeps a wide column") << 960 << QStringLiteral("AB") << 960;
    QTest::newRow("wide characters") << 960 << QStringLiteral("票据簿编号") << 900 + 90;
    QTest::newRow("a line break: the widest line") << 200 << QStringLiteral("清欠率\r\n(含减免)") << 720 + 90;
    QTest::newRow("empty text against a hidden column") << 0 << QString() << 90;
}

void TestColumnFitter::fitRow()
{
    QFETCH(int, width);
    QFETCH(QString, text);
    QFETCH(int, fitted);
    fee::GridModel g;
    g.setCols(3);
    g.setColWidth(1, width);
    g.setText(1, 1, text);
    g.setText(1, 2, QStringLiteral("x"));
    fee::ColumnFitter fitter;
    fitter.fitRow(g, 1);
    QCOMPARE(g.colWidth(1), fitted);
    QCOMPARE(g.colWidth(2), fee::GridModel::kDefaultColWidth);
}

void TestColumnFitter::cellsAndLooseTexts()
{
    fee::GridModel g;
    g.setCols(2);
    g.setColWidth(0, 100);
    g.setColWidth(1, 100);
    g.setText(1, 0, QStringLiteral("AAAA"));
    g.setText(1, 1, QStringLiteral("BBBBBB"));
    fee::ColumnFitter fitter(120);
    fitter.fitCell(g, 1, 1);
    QCOMPARE(g.colWidth(0), 100); // only the cell asked for
    QCOMPARE(g.colWidth(1), 540 + 120);
    // Texts of a row still to be appended; those past the last column are ignored.
    fitter.fitTexts(g, { QStringLiteral("CCCCCCC"), QStringLiteral("D"), QStringLiteral("EEEEEEEEEEEE") });
    QCOMPARE(g.colWidth(0), 630 + 120);
    QCOMPARE(g.colWidth(1), 660);
    QCOMPARE(g.cols(), 2);
}

// A long run repeating a few texts measures each of them once per font.
void TestColumnFitter::eachTextMeasuredOnce()
{
    QHash<QString, int> calls;
    fee::GridModel::setTextMeasure([&calls](const QString& text, const QString&, double) {
        ++calls[text];
        return int(text.size()) * 200;
    });
    const QStringList texts { "合计", "物业管理费", "现金", "0.00", "12.50", "A-101", "不记录票据信息" };
    fee::GridModel g;
    g.setCols(4);
    fee::ColumnFitter fitter;
    for (int i = 0; i < 100000; ++i) {
        const int r = g.appendRow({ texts[i % 7], texts[(i / 3) % 7], texts[(i / 11) % 7], texts[(i / 17) % 7] });
        fitter.fitRow(g, r);
    }
    QCOMPARE(calls.size(), 7);
    for (auto it = calls.cbegin(); it != calls.cend(); ++it)
        QCOMPARE(it.value(), 1);
    QCOMPARE(fitter.measurements(), 7);
    QCOMPARE(g.colWidth(0), 1400 + 90); // 不记录票据信息
    // Another font is another width.
    g.setFontSize(12);
    fitter.fitRow(g, 5);
    const QVector<QString> row = g.rowTexts(5);
    QCOMPARE(fitter.measurements(), 7 + int(QSet<QString>(row.cbegin(), row.cend()).size()));
}

// After a run: the shown columns take the widest text of the rows asked for,
// as the view shows it; hidden columns, the rows left out and narrower
// texts change nothing.
void TestColumnFitter::shownRowsAfterARun()
{
    fee::GridModel g;
    g.setCols(4);
    g.setRows(5);
    for (int c = 0; c < 4; ++c)
        g.setColWidth(c, 500);
    g.setColWidth(3, 0); // a hidden key column
    g.setText(0, 0, QStringLiteral("A very long heading"));
    g.setText(2, 0, QStringLiteral("AB"));
    g.setText(3, 0, QStringLiteral("18069523.37"));
    g.setText(2, 1, QStringLiteral("碧水湾\r\n管理处"));
    g.setText(4, 2, QStringLiteral("left out"));
    g.setText(2, 3, QStringLiteral("01 0101"));
    fee::ColumnFitter fitter;
    fitter.fitShownRows(g, 2, 3);
    QCOMPARE(g.colWidth(0), 11 * 90 + 90); // the figure, not the heading row
    QCOMPARE(g.colWidth(1), (6 * 180 + 90) + 90); // one line with a blank between
    QCOMPARE(g.colWidth(2), 500);
    QCOMPARE(g.colWidth(3), 0);
    // In a grid that wraps, a line break stays a break: the widest line.
    g.setWordWrap(true);
    g.setColWidth(1, 100);
    fitter.fitShownRows(g, 2, 2);
    QCOMPARE(g.colWidth(1), 3 * 180 + 90);
}

QTEST_APPLESS_MAIN(TestColumnFitter)
#include "tst_columnfitter.moc"
