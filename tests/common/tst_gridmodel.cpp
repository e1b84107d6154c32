#include "core/failure.h"
#include "core/grid/gridmodel.h"

#include <QtTest>
#include <atomic>
#include <thread>

namespace {

// Records the notices a grid sends.
struct Recorder : fee::GridObserver {
    int resets = 0;
    int layouts = 0;
    int destroyed = 0;
    QList<QPair<int, int>> inserted;
    QList<QRect> changed;
    void gridReset() override { ++resets; }
    void gridRowsInserted(int first, int last) override { inserted.append({ first, last }); }
    void gridCellsChanged(int top, int left, int bottom, int right) override
    {
        changed.append(QRect(QPoint(left, top), QPoint(right, bottom)));
    }
    void gridLayoutChanged() override { ++layouts; }
    void gridDestroyed() override { ++destroyed; }
};

int charWidth(const QString& text)
{
    int w = 0;
    for (QChar ch : text)
        w += ch.unicode() >= 0x2E80 ? 180 : 90;
    return w;
}

// "A,B|C,D" -> a grid with rows "A,B" and "C,D".
void fill(fee::GridModel& g, const QString& cells)
{
    const QStringList rows = cells.split(QLatin1Char('|'));
    g.setRows(int(rows.size()));
    g.setCols(int(rows[0].split(QLatin1Char(',')).size()));
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList cols = rows[r].split(QLatin1Char(','));
        for (int c = 0; c < cols.size(); ++c)
            g.setText(r, c, cols[c]);
    }
}

// The heading layout of the monthly collection-rate summary.
void layoutMonthlySummary(fee::GridModel& g)
{
    g.setRows(2);
    g.setCols(39);
    g.setFixedRows(2);
    g.setFixedCols(2);
    auto both = [&](int c, const QString& t) {
        g.setText(0, c, t);
        g.setText(1, c, t);
    };
    both(0, QStringLiteral("序"));
    both(1, QStringLiteral("项目名称"));
    for (int c = 2; c <= 7; ++c)
        g.setText(0, c, QStringLiteral("往年欠费"));
    const QStringList past { "往年欠费应收", "收往年欠费", "往年欠费减免", "未收欠费", "清欠率\r\n(含减免)",
        "清欠率\r\n(不含减免)" };
    for (int i = 0; i < past.size(); ++i)
        g.setText(1, 2 + i, past[i]);
    for (int c = 8; c <= 26; ++c) {
        g.setText(0, c, QStringLiteral("2020年物业费"));
        g.setText(1, c, QStringLiteral("h%1").arg(c));
    }
    for (int c = 27; c <= 30; ++c) {
        g.setText(0, c, QStringLiteral("预收后续年度"));
        g.setText(1, c, QStringLiteral("p%1").arg(c));
    }
    both(31, QStringLiteral("收款金额合计"));
    for (int c = 32; c <= 36; ++c) {
        g.setText(0, c, QStringLiteral("本年累计欠费"));
        g.setText(1, c, QStringLiteral("a%1").arg(c));
    }
    both(37, QStringLiteral("往年欠费\r\n+本年累计欠费"));
    g.setMergeCells(fee::MergeRestrictColumns);
    g.setMergeRow(0, true);
    for (int c : { 0, 1, 31, 37, 38 })
        g.setMergeCol(c, true);
}

QRect cells(int row, int col, int rows = 1, int cols = 1) { return QRect(col, row, cols, rows); }

} // namespace

class TestGridModel : public QObject {
    Q_OBJECT
private slots:
    void formatString_data();
    void formatString();
    void formatStringKeepsWiderGrid();
    void monthlySummaryMerges_data();
    void monthlySummaryMerges();
    void mergeRules_data();
    void mergeRules();
    void blocksPartitionTheGrid();
    void blocksThroughBand_data();
    void blocksThroughBand();
    void rowsAndCells();
    void appendWholeRows();
    void notices();
    void redrawCollectsOneReset();
    void copiesAndDestruction();
    void outOfRangeFails();
    void writerAndReaderThreads();
    void measureSwappedWhileMeasuring();
};

void TestGridModel::formatString_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QStringList>("headings");
    QTest::addColumn<QList<int>>("alignments");

    QTest::newRow("monthly detail") << "^序 |<地址  |<姓名  |<收费项目  |<应收年月 |>应收金额  |<收款日期  "
                                    << QStringList { "序 ", "地址  ", "姓名  ", "收费项目  ", "应收年月 ", "应收金额  ",
                                           "收款日期  " }
                                    << QList<int> { 4, 1, 1, 1, 1, 7, 1 };
    QTest::newRow("receipts detail") << "^序    |<票据簿编号|<票据号码  |<付款人                    |<收费项目         "
                                        " |<摘    要                              |>金额         |>税额         |>收入 "
                                        "        |<收款日期        |<收款人    |<开票人    |<开票日期        |"
                                     << QStringList { "序    ", "票据簿编号", "票据号码  ",
                                            "付款人                    ", "收费项目          ",
                                            "摘    要                              ", "金额         ", "税额         ",
                                            "收入         ", "收款日期        ", "收款人    ", "开票人    ",
                                            "开票日期        ", "" }
                                     << QList<int> { 4, 1, 1, 1, 1, 1, 7, 7, 7, 1, 1, 1, 1, 9 };
    QTest::newRow("daily result")
        << "^序   |<票据簿编号  |<票据号码     |<付款人        |<付款人地址        |<收费项目        |<摘要            "
           " |>金额              |>税额         |>收入              |<开票日期      |<开票人      |<收款日期        "
           "|<收款人      |<收款方式      |<备注          |<换票日期      |<换票号码 "
        << QStringList { "序   ", "票据簿编号  ", "票据号码     ", "付款人        ", "付款人地址        ",
               "收费项目        ", "摘要             ", "金额              ", "税额         ", "收入              ",
               "开票日期      ", "开票人      ", "收款日期        ", "收款人      ", "收款方式      ", "备注          ",
               "换票日期      ", "换票号码 " }
        << QList<int> { 4, 1, 1, 1, 1, 1, 1, 7, 7, 7, 1, 1, 1, 1, 1, 1, 1, 1 };
    QTest::newRow("unmarked part is all heading") << "序|<a" << QStringList { "序", "a" } << QList<int> { 9, 1 };
}

void TestGridModel::formatString()
{
    QFETCH(QString, format);
    QFETCH(QStringList, headings);
    QFETCH(QList<int>, alignments);

    fee::GridModel g;
    g.setCols(1);
    g.setFormatString(format);
    QCOMPARE(g.cols(), int(headings.size()));
    for (int c = 0; c < headings.size(); ++c) {
        QCOMPARE(g.text(0, c), headings[c]);
        QCOMPARE(g.colAlignment(c), alignments[c]);
        QCOMPARE(g.colWidth(c), charWidth(headings[c]) + fee::GridModel::kFormatPadding);
    }
    // Every column's width follows its heading: more characters (trailing blanks
    // included) never give a narrower column.
    for (int a = 0; a < headings.size(); ++a) {
        for (int b = 0; b < headings.size(); ++b) {
            if (charWidth(headings[a]) > charWidth(headings[b]))
                QVERIFY2(g.colWidth(a) > g.colWidth(b), qPrintable(headings[a] + " vs " + headings[b]));
        }
    }
}

void TestGridModel::formatStringKeepsWiderGrid()
{
    // The receipts summary sets 27 columns, then a 26-part format string.
    fee::GridModel g;
    g.setRows(2);
    g.setCols(27);
    g.setColWidth(26, 0);
    g.setText(0, 26, QStringLiteral("key"));
    g.setFormatString(QStringLiteral("^|< |< |< |>|>|> |>|>|> |>|>|> |>|>|> |>|>|> |>|>|> |>|> |>|"));
    QCOMPARE(g.cols(), 27);
    QCOMPARE(g.colAlignment(0), int(fee::AlignCenter));
    for (int c = 1; c <= 3; ++c)
        QCOMPARE(g.colAlignment(c), int(fee::AlignLeft));
    for (int c = 4; c <= 24; ++c)
        QCOMPARE(g.colAlignment(c), int(fee::AlignRight));
    QCOMPARE(g.colAlignment(25), int(fee::AlignGeneral));
    QCOMPARE(g.text(0, 1), QStringLiteral(" "));
    QCOMPARE(g.text(0, 4), QString());
    QVERIFY(g.colWidth(6) > g.colWidth(5)); // "> " is wider than ">"
    // The column beyond the string is untouched.
    QCOMPARE(g.colWidth(26), 0);
    QCOMPARE(g.text(0, 26), QStringLiteral("key"));
}

void TestGridModel::monthlySummaryMerges_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<QRect>("span");

    QTest::newRow("serial down") << 1 << 0 << cells(0, 0, 2, 1);
    QTest::newRow("name down") << 0 << 1 << cells(0, 1, 2, 1);
    QTest::newRow("past across") << 0 << 4 << cells(0, 2, 1, 6);
    QTest::newRow("past sub-heading alone") << 1 << 4 << cells(1, 4);
    QTest::newRow("year across") << 0 << 20 << cells(0, 8, 1, 19);
    QTest::newRow("collected total down") << 1 << 31 << cells(0, 31, 2, 1);
    QTest::newRow("grand arrears down") << 0 << 37 << cells(0, 37, 2, 1);
    QTest::newRow("empty key heading down") << 0 << 38 << cells(0, 38, 2, 1);
    QTest::newRow("body name run held back by the serial column") << 2 << 1 << cells(2, 1);
    QTest::newRow("heading above an equal body run") << 1 << 1 << cells(0, 1, 2, 1);
    QTest::newRow("body empty figures alone") << 3 << 31 << cells(3, 31);
}

void TestGridModel::monthlySummaryMerges()
{
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(QRect, span);
    fee::GridModel g;
    layoutMonthlySummary(g);
    g.setRows(4);
    // Equal to the heading, but heading rows and body rows never merge.
    g.setText(2, 1, QStringLiteral("项目名称"));
    g.setText(3, 1, QStringLiteral("项目名称"));
    QCOMPARE(g.mergedSpan(row, col), span);
}

void TestGridModel::mergeRules_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("fixedRows");
    QTest::addColumn<int>("fixedCols");
    QTest::addColumn<QString>("texts");
    QTest::addColumn<QList<int>>("mergeRows");
    QTest::addColumn<QList<int>>("mergeCols");
    QTest::addColumn<QPoint>("cell"); // x = column, y = row
    QTest::addColumn<QRect>("span");

    const QList<int> none;
    // Daily receipts: serial column fixed, book and invoice number merge.
    const QString daily = QStringLiteral("序,簿,号|1,B1,N1|2,B1,N1|3,B2,N1|4,,X|5,,X");
    QTest::newRow("restrict: book merges though serials differ")
        << 3 << 1 << 1 << daily << none << QList<int> { 0, 1, 2 } << QPoint(1, 1) << cells(1, 1, 2, 1);
    QTest::newRow("restrict: number follows the book")
        << 3 << 1 << 1 << daily << none << QList<int> { 0, 1, 2 } << QPoint(2, 2) << cells(1, 2, 2, 1);
    QTest::newRow("restrict: number right of a non-merging book stays alone")
        << 3 << 1 << 1 << daily << none << QList<int> { 0, 1, 2 } << QPoint(2, 3) << cells(3, 2);
    QTest::newRow("restrict: empty books never merge, so neither do their numbers")
        << 3 << 1 << 1 << daily << none << QList<int> { 0, 1, 2 } << QPoint(2, 4) << cells(4, 2);
    QTest::newRow("restrict: unflagged column to the left is no restriction")
        << 3 << 1 << 1 << daily << none << QList<int> { 2 } << QPoint(2, 3) << cells(1, 2, 3, 1);
    QTest::newRow("free: number merges on its own")
        << 1 << 1 << 1 << daily << none << QList<int> { 0, 1, 2 } << QPoint(2, 3) << cells(1, 2, 3, 1);
    QTest::newRow("never") << 0 << 1 << 1 << daily << none << QList<int> { 1, 2 } << QPoint(1, 1) << cells(1, 1);
    QTest::newRow("unflagged column never merges down")
        << 1 << 1 << 1 << daily << none << QList<int> { 2 } << QPoint(1, 1) << cells(1, 1);
    QTest::newRow("heading never merges with body")
        << 1 << 1 << 0 << QStringLiteral("A,B|A,B|A,B") << none << QList<int> { 0 } << QPoint(0, 0) << cells(0, 0);
    QTest::newRow("body run below the heading") << 1 << 1 << 0 << QStringLiteral("A,B|A,B|A,B") << none
                                                << QList<int> { 0 } << QPoint(0, 2) << cells(1, 0, 2, 1);
    QTest::newRow("fixed column never merges across into the body")
        << 1 << 0 << 1 << QStringLiteral("A,A,A") << QList<int> { 0 } << none << QPoint(1, 0) << cells(0, 1, 1, 2);
    QTest::newRow("empty heading cells merge across")
        << 1 << 1 << 0 << QStringLiteral(",,x|1,2,3") << QList<int> { 0 } << none << QPoint(0, 0) << cells(0, 0, 1, 2);
    QTest::newRow("empty body cells never merge across")
        << 1 << 0 << 0 << QStringLiteral(",,x") << QList<int> { 0 } << none << QPoint(0, 0) << cells(0, 0);
    QTest::newRow("block of equal headings")
        << 1 << 2 << 0 << QStringLiteral("A,A,B|A,A,C|1,2,3") << QList<int> { 0, 1 } << QList<int> { 0, 1 }
        << QPoint(1, 1) << cells(0, 0, 2, 2);
    QTest::newRow("rows of different runs stay apart")
        << 1 << 2 << 0 << QStringLiteral("A,A,B|A,C,C|1,2,3") << QList<int> { 0, 1 } << QList<int> { 0, 1 }
        << QPoint(0, 0) << cells(0, 0, 1, 2);
    QTest::newRow("restrict rows: lower row follows the upper")
        << 2 << 2 << 0 << QStringLiteral("A,B|X,X|1,2") << QList<int> { 0, 1 } << none << QPoint(1, 1) << cells(1, 1);
    QTest::newRow("restrict rows: free where the upper merges")
        << 2 << 2 << 0 << QStringLiteral("A,A|X,X|1,2") << QList<int> { 0, 1 } << none << QPoint(1, 1)
        << cells(1, 0, 1, 2);
}

void TestGridModel::mergeRules()
{
    QFETCH(int, mode);
    QFETCH(int, fixedRows);
    QFETCH(int, fixedCols);
    QFETCH(QString, texts);
    QFETCH(QList<int>, mergeRows);
    QFETCH(QList<int>, mergeCols);
    QFETCH(QPoint, cell);
    QFETCH(QRect, span);

    fee::GridModel g;
    fill(g, texts);
    g.setFixedRows(fixedRows);
    g.setFixedCols(fixedCols);
    g.setMergeCells(mode);
    for (int r : mergeRows)
        g.setMergeRow(r, true);
    for (int c : mergeCols)
        g.setMergeCol(c, true);
    QCOMPARE(g.mergedSpan(cell.y(), cell.x()), span);
}

void TestGridModel::blocksPartitionTheGrid()
{
    fee::GridModel g;
    layoutMonthlySummary(g);
    g.setRows(6);
    for (int r = 2; r < 6; ++r)
        g.setText(r, 31, QStringLiteral("5.00"));
    const QVector<QRect> blocks = g.mergedBlocks();
    // Headings 0, 1, 2-7, 8-26, 27-30, 31, 32-36, 37, 38 and the body run of column 31.
    QCOMPARE(blocks.size(), 10);
    QVERIFY(blocks.contains(cells(2, 31, 4, 1)));
    for (int r = 0; r < g.rows(); ++r) {
        for (int c = 0; c < g.cols(); ++c) {
            const QRect span = g.mergedSpan(r, c);
            QVERIFY(span.contains(c, r));
            // Every cell of a block reports the same block.
            QCOMPARE(g.mergedSpan(span.bottom(), span.right()), span);
            int owners = 0;
            for (const QRect& b : blocks)
                owners += b.contains(c, r) ? 1 : 0;
            QCOMPARE(owners, span.width() * span.height() > 1 ? 1 : 0);
        }
    }
}

namespace {

// A grid of 60 rows with heading rows, a fixed column, restricted and free
// column merges and a merge-flagged body row.
void layoutBandGrid(fee::GridModel& g, int mode)
{
    g.setCols(6);
    g.setRows(60);
    g.setFixedRows(2);
    g.setFixedCols(1);
    for (int c = 0; c < 6; ++c) {
        g.setText(0, c, QStringLiteral("head"));
        g.setText(1, c, c < 3 ? QStringLiteral("sub") : QStringLiteral("sub%1").arg(c));
    }
    for (int r = 2; r < 60; ++r) {
        g.setText(r, 0, QString::number(r / 10));
        g.setText(r, 1, QStringLiteral("B%1").arg(r / 7));
        g.setText(r, 2, QStringLiteral("N%1").arg(r / 3));
        g.setText(r, 3, QStringLiteral("all"));
        g.setText(r, 4, r == 30 ? QStringLiteral("all") : QString::number(r));
        g.setText(r, 5, r % 4 ? QStringLiteral("x") : QString());
    }
    g.setMergeCells(mode);
    g.setMergeRow(0, true);
    g.setMergeRow(1, true);
    g.setMergeRow(30, true);
    for (int c : { 0, 1, 2, 3, 5 })
        g.setMergeCol(c, true);
}

} // namespace

void TestGridModel::blocksThroughBand_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    for (int mode : { 1, 3, 4 }) {
        const QByteArray m = "mode " + QByteArray::number(mode) + ": ";
        QTest::newRow(m + "whole grid") << mode << 0 << 59;
        QTest::newRow(m + "headings only") << mode << 0 << 1;
        QTest::newRow(m + "headings and the first rows") << mode << 0 << 12;
        QTest::newRow(m + "cutting blocks at both ends") << mode << 17 << 33;
        QTest::newRow(m + "one row") << mode << 30 << 30;
        QTest::newRow(m + "past the end") << mode << 50 << 90;
        QTest::newRow(m + "before the start") << mode << -5 << 3;
        QTest::newRow(m + "empty") << mode << 20 << 19;
    }
}

// What a view shows of a band of rows is the grid's whole blocks cut to it.
void TestGridModel::blocksThroughBand()
{
    QFETCH(int, mode);
    QFETCH(int, first);
    QFETCH(int, last);
    fee::GridModel g;
    layoutBandGrid(g, mode);
    const QRect band(0, first, g.cols(), last - first + 1);
    QList<QRect> expectedBlocks;
    for (const QRect& whole : g.mergedBlocks()) {
        const QRect cut = whole & band;
        if (cut.width() * cut.height() > 1)
            expectedBlocks.append(cut);
    }
    QList<QRect> blocks = g.mergedBlocks(first, last).toList();
    auto order = [](const QRect& a, const QRect& b) {
        return std::make_pair(a.top(), a.left()) < std::make_pair(b.top(), b.left());
    };
    std::sort(blocks.begin(), blocks.end(), order);
    std::sort(expectedBlocks.begin(), expectedBlocks.end(), order);
    QCOMPARE(blocks, expectedBlocks);
}

void TestGridModel::rowsAndCells()
{
    fee::GridModel g;
    g.setCols(3);
    g.setRows(3);
    g.setText(2, 1, QStringLiteral("old"));
    g.setCellBackColor(2, 1, Qt::red);
    g.setRows(2);
    g.setRows(3);
    // A cut row comes back empty and uncoloured.
    QCOMPARE(g.text(2, 1), QString());
    QVERIFY(!g.cellBackColor(2, 1).isValid());
    // A row's colour from one column on, the columns before it untouched.
    g.setRowBackColor(1, 1, 2, Qt::green);
    QVERIFY(!g.cellBackColor(1, 0).isValid());
    QCOMPARE(g.cellBackColor(1, 1), QColor(Qt::green));
    QCOMPARE(g.cellBackColor(1, 2), QColor(Qt::green));
    QVERIFY(!g.cellBackColor(0, 1).isValid());
    QCOMPARE(g.appendRow(), 3);
    QCOMPARE(g.rows(), 4);
    QCOMPARE(g.rowHeight(3), fee::GridModel::kDefaultRowHeight);
    g.setCellForeColor(3, 2, Qt::blue);
    QCOMPARE(g.cellForeColor(3, 2), QColor(Qt::blue));
    QVERIFY(!g.cellBackColor(3, 2).isValid());
    // Fewer rows than fixed rows cuts the fixed rows too.
    g.setFixedRows(2);
    g.setRows(1);
    QCOMPARE(g.fixedRows(), 1);
    g.setCols(1);
    QCOMPARE(g.fixedCols(), 1);
    QCOMPARE(g.colAlignment(0), int(fee::AlignGeneral));
    QCOMPARE(g.fixedAlignment(0), int(fee::AlignLeft));
}

// A whole row in one call: its texts, one notice, and no partial row when
// it does not fit.
void TestGridModel::appendWholeRows()
{
    fee::GridModel g;
    g.setCols(3);
    Recorder rec;
    g.addObserver(&rec);
    QCOMPARE(g.appendRow({ QStringLiteral("a"), QStringLiteral("b") }), 2);
    QCOMPARE(g.rowTexts(2), (QVector<QString> { QStringLiteral("a"), QStringLiteral("b"), QString() }));
    QCOMPARE(rec.inserted, (QList<QPair<int, int>> { { 2, 2 } }));
    QVERIFY(rec.changed.isEmpty());
    try {
        g.appendRow({ QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4") });
        QFAIL("no failure");
    } catch (const fee::Failure& f) {
        QCOMPARE(f.number(), 381);
    }
    QCOMPARE(g.rows(), 3);
    QCOMPARE(rec.inserted.size(), 1);
    // Drawing off: collected into the one reset like any other change.
    g.setRedraw(false);
    g.appendRow({ QStringLiteral("c") });
    QCOMPARE(rec.inserted.size(), 1);
    g.setRedraw(true);
    QCOMPARE(rec.resets, 1);
    QCOMPARE(g.text(3, 0), QStringLiteral("c"));
}

void TestGridModel::notices()
{
    fee::GridModel g;
    Recorder rec;
    g.addObserver(&rec);
    g.appendRow();
    g.setRows(5);
    QCOMPARE(rec.inserted, (QList<QPair<int, int>> { { 2, 2 }, { 3, 4 } }));
    g.setText(4, 1, QStringLiteral("x"));
    QCOMPARE(rec.changed, QList<QRect> { cells(4, 1) });
    g.setColWidth(1, 2000);
    g.setMergeCol(1, true);
    QCOMPARE(rec.layouts, 2);
    QCOMPARE(rec.resets, 0);
    g.setRows(3);
    QCOMPARE(rec.resets, 1);
    g.removeObserver(&rec);
    g.setRows(1);
    QCOMPARE(rec.resets, 1);
}

void TestGridModel::redrawCollectsOneReset()
{
    fee::GridModel g;
    Recorder rec;
    g.addObserver(&rec);
    g.setRedraw(false);
    g.setRedraw(true);
    QCOMPARE(rec.resets, 0);
    g.setRedraw(false);
    for (int i = 0; i < 50; ++i) {
        const int r = g.appendRow();
        g.setText(r, 1, QString::number(i));
        g.setColWidth(1, 100 + i);
    }
    g.setRows(10);
    QCOMPARE(rec.resets, 0);
    QVERIFY(rec.inserted.isEmpty() && rec.changed.isEmpty() && rec.layouts == 0);
    g.setRedraw(true);
    QCOMPARE(rec.resets, 1);
    QCOMPARE(g.rows(), 10);
}

void TestGridModel::copiesAndDestruction()
{
    Recorder rec;
    auto* g = new fee::GridModel;
    g->addObserver(&rec);
    g->setText(1, 1, QStringLiteral("a"));
    {
        fee::GridModel copy = *g;
        copy.setText(1, 1, QStringLiteral("b"));
        QCOMPARE(copy.text(1, 1), QStringLiteral("b"));
    }
    // The copy neither reported to nor detached the original's observer.
    QCOMPARE(rec.changed.size(), 1);
    QCOMPARE(rec.destroyed, 0);
    QCOMPARE(g->text(1, 1), QStringLiteral("a"));
    // Assigning keeps the observers and tells them once.
    fee::GridModel other;
    other.setRows(7);
    *g = other;
    QCOMPARE(g->rows(), 7);
    QCOMPARE(rec.resets, 1);
    other.setRows(8);
    QCOMPARE(rec.resets, 1);
    delete g;
    QCOMPARE(rec.destroyed, 1);
}

void TestGridModel::outOfRangeFails()
{
    fee::GridModel g;
    const QList<std::function<void()>> calls {
        [&] { g.text(2, 0); },
        [&] { g.text(0, -1); },
        [&] { g.setText(-1, 0, QString()); },
        [&] { g.colWidth(2); },
        [&] { g.mergedSpan(5, 5); },
        [&] { g.setRows(-1); },
    };
    for (const auto& call : calls) {
        try {
            call();
            QFAIL("no failure");
        } catch (const fee::Failure& f) {
            QCOMPARE(f.number(), 381);
        }
    }
}

namespace {

// Counts notices from any thread, and any that come after its removal.
struct ThreadObserver : fee::GridObserver {
    std::atomic_bool removed { false };
    std::atomic_int notices { 0 };
    std::atomic_int late { 0 };
    void count()
    {
        ++notices;
        if (removed)
            ++late;
    }
    void gridReset() override { count(); }
    void gridRowsInserted(int, int) override { count(); }
    void gridCellsChanged(int, int, int, int) override { count(); }
    void gridLayoutChanged() override { count(); }
};

} // namespace

// One thread fills (and now and then cuts) the grid while this one reads,
// copies, assigns and comes and goes as an observer. Every row written holds
// its own number in column 0, so a torn row shows.
void TestGridModel::writerAndReaderThreads()
{
    constexpr int kRows = 20000;
    fee::GridModel g;
    g.setCols(4);
    g.setRows(0);
    g.setMergeCells(fee::MergeRestrictColumns);
    g.setMergeCol(0, true);
    g.setMergeCol(1, true);
    std::atomic_bool done { false };
    std::thread writer([&] {
        for (int i = 0; i < kRows; ++i) {
            const int r = g.rows();
            g.appendRow({ QString::number(r), QStringLiteral("K%1").arg(r / 5), QStringLiteral("x") });
            if (i % 7 == 0)
                g.setCellBackColor(r, 2, Qt::yellow);
            if (i % 1000 == 999)
                g.setRows(g.rows() - 100); // a cut
            if (i % 500 == 0)
                g.setColWidth(1, 1000 + i % 3);
        }
        done = true;
    });

    int torn = 0;
    int failures = 0;
    int checks = 0;
    while (!done || checks < 10) {
        ++checks;
        ThreadObserver observer;
        g.addObserver(&observer);
        try {
            const int rows = g.rows();
            for (int r = std::max(0, rows - 50); r < rows + 5; ++r) {
                const std::optional<fee::GridCell> cell = g.cell(r, 0);
                if (cell && cell->text != QString::number(r))
                    ++torn;
            }
            g.mergedBlocks(std::max(0, rows - 80), rows + 10);
            const fee::GridModel copy(g);
            for (int r = std::max(0, copy.rows() - 20); r < copy.rows(); ++r) {
                if (copy.text(r, 0) != QString::number(r))
                    ++torn;
            }
            fee::GridModel assigned;
            assigned = g;
            if (assigned.rows() > 0 && assigned.text(assigned.rows() - 1, 0) != QString::number(assigned.rows() - 1))
                ++torn;
        } catch (const fee::Failure&) {
            ++failures;
        }
        g.removeObserver(&observer);
        observer.removed = true;
        QCOMPARE(observer.late.load(), 0);
    }
    writer.join();
    QCOMPARE(torn, 0);
    QCOMPARE(failures, 0);
    QCOMPARE(g.rows(), kRows - (kRows / 1000) * 100);
    for (int r = 0; r < g.rows(); r += 997)
        QCOMPARE(g.text(r, 0), QString::number(r));
}

// A measure installed while another thread measures: each measurement uses
// one whole measure, the old or the new.
void TestGridModel::measureSwappedWhileMeasuring()
{
    fee::GridModel g;
    std::atomic_bool done { false };
    std::atomic_int odd { 0 };
    std::thread measurer([&] {
        for (int i = 0; i < 20000; ++i) {
            const int w = g.measureText(QStringLiteral("abc"));
            if (w != 270 && w != 1 && w != 2)
                ++odd;
        }
        done = true;
    });
    for (int i = 0; !done; ++i) {
        if (i % 3 == 2)
            fee::GridModel::setTextMeasure({});
        else
            fee::GridModel::setTextMeasure([i](const QString&, const QString&, double) { return 1 + i % 3; });
    }
    measurer.join();
    fee::GridModel::setTextMeasure({});
    QCOMPARE(odd.load(), 0);
    QCOMPARE(g.measureText(QStringLiteral("abc")), 270);
}

QTEST_APPLESS_MAIN(TestGridModel)
#include "tst_gridmodel.moc"
