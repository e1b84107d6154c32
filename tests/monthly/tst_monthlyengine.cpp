#include "core/failure.h"
#include "core/textformat.h"
#include "db/dbconnection.h"
#include "ledgerfixture.h"
#include "reports/monthly/monthlycolumns.h"
#include "monthlyrun.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace fee;

namespace {

// Expected cells as "column=text" pairs; every column not named must be empty.
using Cells = QMap<int, QString>;

Cells parseCells(const QString& cellList)
{
    Cells cells;
    for (const QString& item : cellList.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int eq = item.indexOf(QLatin1Char('='));
        cells.insert(item.left(eq).toInt(), item.mid(eq + 1));
    }
    return cells;
}

} // namespace

class TestMonthlyEngine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    DbConnection m_db;
    GridModel m_grid;

    MonthlySelection selection(const QDate& date) const
    {
        MonthlySelection s;
        s.offices
            = { { QStringLiteral("01"), QStringLiteral("A区花园") }, { QStringLiteral("02"), QStringLiteral("B区") },
                  { QStringLiteral("03"), QStringLiteral("C区") }, { QStringLiteral("06"), QStringLiteral("F区") } };
        s.feeCodes = { QStringLiteral("01"), QStringLiteral("02") };
        s.statisticsDate = date;
        s.reportYear = QString::number(date.year());
        return s;
    }

    static void compareRow(const GridModel& grid, int row, const QString& expectedCells)
    {
        const Cells expected = parseCells(expectedCells);
        for (int c = 0; c < 39; ++c) {
            const QString actual = grid.text(row, c);
            const QString wanted = expected.value(c);
            if (actual != wanted)
                QFAIL(qPrintable(QStringLiteral("row %1 column %2: got \"%3\", expected \"%4\"")
                                     .arg(row)
                                     .arg(c)
                                     .arg(actual, wanted)));
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("ledger.db"));
        const QString error = createLedgerFixture(path);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        m_db.open(fixtureConnectionString(path));
        runMonthly(m_db, selection(QDate(2020, 3, 15)), m_grid);
    }

    void layout()
    {
        GridModel g;
        monthly::layoutSummaryGrid(g, QStringLiteral("2020"));
        QCOMPARE(g.rows(), 2);
        QCOMPARE(g.cols(), 39);
        QCOMPARE(g.fixedRows(), 2);
        QCOMPARE(g.fixedCols(), 2);
        QCOMPARE(g.rowHeight(1), 600);
        QCOMPARE(g.mergeCells(), int(MergeRestrictColumns));
        QVERIFY(g.mergeRow(0));
        QVERIFY(!g.mergeRow(1));
        QCOMPARE(g.gridLineColor(), QColor(192, 192, 192));
        const QString crlf = QStringLiteral("\r\n");
        const QVector<std::tuple<int, QString, QString, int, bool>> cols {
            { 0, "序", "序", 500, true },
            { 1, "项目名称", "项目名称", 2400, true },
            { 2, "往年欠费", "往年欠费应收", 1200, false },
            { 7, "往年欠费", "清欠率" + crlf + "(不含减免)", 1200, false },
            { 8, "2020年物业费", "当年应收合计", 1200, false },
            { 9, "2020年物业费", "01月已收", 1200, false },
            { 20, "2020年物业费", "12月已收", 1200, false },
            { 25, "2020年物业费", "当年收缴率" + crlf + "(含减免及空置)", 1400, false },
            { 26, "2020年物业费", "当年收缴率" + crlf + "(不含减免及空置)", 1600, false },
            { 27, "预收后续年度", "预收2021年", 1200, false },
            { 29, "预收后续年度", "预收2023年" + crlf + "及以后", 1200, false },
            { 31, "收款金额合计", "收款金额合计", 1200, true },
            { 32, "本年累计欠费", "累计" + crlf + "月数", 500, false },
            { 36, "本年累计欠费", "累计收缴率", 1200, false },
            { 37, "往年欠费" + crlf + "+本年累计欠费", "往年欠费" + crlf + "+本年累计欠费", 1300, true },
            { 38, "", "", 0, true },
        };
        for (const auto& [c, top, second, width, mergeDown] : cols) {
            QCOMPARE(g.text(0, c), top);
            QCOMPARE(g.text(1, c), second);
            QCOMPARE(g.colWidth(c), width);
            QCOMPARE(g.mergeCol(c), mergeDown);
        }
        for (int c = 0; c < 39; ++c)
            QCOMPARE(g.fixedAlignment(c), int(AlignCenter));
        // Row 0 merges the six arrears headings into one cell.
        QCOMPARE(g.mergedSpan(0, 3), QRect(2, 0, 6, 1));
    }

    void officeRows_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("cells");
        QTest::newRow("households and parking")
            << 2
            << "0=1 1=A区花园 2=2765.25 3=355.25 4=50.00 5=2360.00 6=14.66% 7=13.08% "
               "8=921.25 9=165.50 10=70.00 11=160.00 12=110.00 21=505.50 22=30.00 "
               "23=145.75 24=240.00 25=73.95% 26=67.81% 27=1200.00 28=1300.00 "
               "29=1400.00 30=3900.00 31=4760.75 32=3 33=571.25 34=395.50 "
               "35=175.75 36=69.23% 37=2535.75 38=01";
        QTest::newRow("parking only") << 3
                                      << "0=2 1=B区 2=879.31 3=879.31 5=0.00 6=100.00% 7=100.00% 8=88.88 11=88.88 "
                                         "21=88.88 24=0.00 25=100.00% 26=100.00% 30=0.00 31=968.19 32=3 33=88.88 "
                                         "34=88.88 35=0.00 36=100.00% 37=0.00 38=02";
        QTest::newRow("no ledger rows")
            << 4 << "0=3 1=C区 5=0.00 21=0.00 24=0.00 30=0.00 31=0.00 32=3 35=0.00 37=0.00 38=03";
        QTest::newRow("arrears all waived")
            << 5
            << "0=4 1=F区 2=25.00 4=25.00 5=0.00 6=100.00% 21=0.00 24=0.00 30=0.00 31=0.00 32=3 35=0.00 37=0.00 38=06";
        QTest::newRow("totals") << 6
                                << "1=合计 2=3669.56 3=1234.56 4=75.00 5=2360.00 6=35.69% 7=34.35% 8=1010.13 9=165.50 "
                                   "10=70.00 11=248.88 12=110.00 13=0.00 14=0.00 15=0.00 16=0.00 17=0.00 18=0.00 "
                                   "19=0.00 20=0.00 21=594.38 22=30.00 23=145.75 24=240.00 25=76.24% 26=71.24% "
                                   "27=1200.00 28=1300.00 29=1400.00 30=3900.00 31=5728.94 33=660.13 34=484.38 "
                                   "35=175.75 36=73.38% 37=2535.75";
    }
    void officeRows()
    {
        QFETCH(int, row);
        QFETCH(QString, cells);
        QCOMPARE(m_grid.rows(), 7);
        compareRow(m_grid, row, cells);
    }

    // What the rows are rather than what they show: the offices are Data rows
    // keyed by their code, 合计 the Total row without a key; money is in
    // cents, rates are rates, the serial and the month count are counts; and
    // every total is the sum of its column's cells to the cent.
    void rowsAreTyped()
    {
        using Kind = CellValue::Kind;
        QCOMPARE(m_grid.rowsOfKind(RowKind::Data), (QVector<int> { 2, 3, 4, 5 }));
        QCOMPARE(m_grid.rowsOfKind(RowKind::Total), QVector<int> { 6 });
        const QStringList codes { QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03"),
            QStringLiteral("06") };
        for (int row = 2; row <= 5; ++row)
            QCOMPARE(m_grid.rowKey(row), RowKey { codes.at(row - 2) });
        QVERIFY(m_grid.rowKey(6).isEmpty());
        for (int row = 2; row <= 6; ++row) {
            for (int c = 0; c < monthly::kColumnCount; ++c) {
                const CellValue value = m_grid.value(row, c);
                if (value.isEmpty())
                    continue;
                const Kind expected = c == monthly::kSerial || c == monthly::kMonthCount ? Kind::Count
                    : c == monthly::kName || c == monthly::kOfficeCode                   ? Kind::Text
                    : monthly::isRateOrCount(c)                                          ? Kind::Rate
                                                                                         : Kind::Money;
                QVERIFY2(value.kind() == expected, qPrintable(QStringLiteral("row %1 column %2").arg(row).arg(c)));
            }
        }
        for (int c = 0; c < monthly::kColumnCount; ++c) {
            if (!monthly::isTotalled(c))
                continue;
            qint64 cents = 0;
            for (int row = 2; row <= 5; ++row)
                cents += m_grid.value(row, c).cents();
            QVERIFY2(m_grid.value(6, c) == CellValue::fromMoney(cents), qPrintable(QString::number(c)));
        }
    }

    // Once the figures are in, every figure and name fits its column as the
    // grid's font measures it; the hidden office-code column stays hidden.
    void columnsFitTheirTexts()
    {
        GridModel::setTextMeasure([](const QString& text, const QString&, double) { return int(text.size()) * 200; });
        auto restore = qScopeGuard([] { GridModel::setTextMeasure({}); });
        GridModel grid;
        runMonthly(m_db, selection(QDate(2020, 3, 15)), grid);
        QVERIFY(grid.colWidth(monthly::kReceived) > 1200); // "5728.94" and more widened it
        for (int r = monthly::kHeadingRows; r < grid.rows(); ++r) {
            for (int c = 0; c < grid.cols(); ++c) {
                if (c == monthly::kOfficeCode)
                    QCOMPARE(grid.colWidth(c), 0);
                else if (!grid.text(r, c).isEmpty())
                    QVERIFY2(grid.measureText(grid.text(r, c)) + 90 <= grid.colWidth(c),
                        qPrintable(QStringLiteral("%1 in column %2").arg(grid.text(r, c)).arg(c)));
            }
        }
    }

    // On the first day of a month only that day's collections count as this
    // month's arrears collections.
    void firstDayOfMonth()
    {
        GridModel g;
        runMonthly(m_db, selection(QDate(2020, 3, 1)), g);
        QCOMPARE(g.text(2, 3), QString());
        QCOMPARE(g.text(3, 3), QStringLiteral("879.31"));
        QCOMPARE(g.text(2, 32), QStringLiteral("3"));
    }

    // 0.30 due, 0.10 waived and 0.20 vacant leave nothing to collect: no
    // rate over a difference that is only binary noise.
    void dueFullyWaivedOrVacant()
    {
        GridModel g;
        MonthlySelection s = selection(QDate(2020, 3, 15));
        s.offices = { { QStringLiteral("07"), QStringLiteral("G区") } };
        runMonthly(m_db, s, g);
        QCOMPARE(g.rows(), 4);
        compareRow(g, 2,
            "0=1 1=G区 5=0.00 8=0.30 21=0.00 22=0.10 23=0.20 24=0.00 25=100.00% 30=0.00 31=0.00 32=3 33=0.30 "
            "35=0.30 36=0.00% 37=0.30 38=07");
        compareRow(g, 3,
            "1=合计 2=0.00 3=0.00 4=0.00 5=0.00 8=0.30 9=0.00 10=0.00 11=0.00 12=0.00 13=0.00 14=0.00 15=0.00 16=0.00 "
            "17=0.00 18=0.00 19=0.00 20=0.00 21=0.00 22=0.10 23=0.20 24=0.00 25=100.00% 27=0.00 28=0.00 29=0.00 "
            "30=0.00 31=0.00 33=0.30 34=0.00 35=0.30 36=0.00% 37=0.30");
    }

    // A run cancelled after its first office keeps that office's row and
    // ends without a totals row; the connection serves the next run.
    void cancelling()
    {
        GridModel g;
        RunContext run(m_db);
        QVector<int> seen;
        run.setProgressSink([&](const RunProgress& p) {
            seen << p.officesDone;
            if (p.officesDone == 1)
                run.cancel();
        });
        try {
            MonthlyEngine(run, selection(QDate(2020, 3, 15))).fill(g);
            QFAIL("the run went on after it was cancelled");
        } catch (const Failure& failure) {
            QVERIFY(isCancellation(failure));
        }
        QCOMPARE(seen, (QVector<int> { 0, 1 }));
        QCOMPARE(g.rows(), 3); // the finished office stays, no totals row
        QCOMPARE(g.text(2, monthly::kOfficeCode), QStringLiteral("01"));
    }

    void cancellationEndsWithTheRun()
    {
        GridModel g;
        {
            RunContext run(m_db);
            run.cancel();
            QVERIFY_THROWS_EXCEPTION(Failure, MonthlyEngine(run, selection(QDate(2020, 3, 15))).fill(g));
        }
        runMonthly(m_db, selection(QDate(2020, 3, 15)), g);
        QCOMPARE(g.text(g.rows() - 1, monthly::kName), QStringLiteral("合计"));
    }

    void nothingSelected()
    {
        GridModel g;
        MonthlySelection s = selection(QDate(2020, 3, 15));
        s.offices.clear();
        runMonthly(m_db, s, g);
        QCOMPARE(g.rows(), 2);
    }

    void databaseFailure()
    {
        DbConnection closed;
        GridModel g;
        QVERIFY_THROWS_EXCEPTION(Failure, runMonthly(closed, selection(QDate(2020, 3, 15)), g));
        QCOMPARE(g.rows(), 3); // the office row begun before the failure stays
        // A Data row of its serial number and name, without a key: no detail opens from it.
        QCOMPARE(g.rowKind(2), RowKind::Data);
        QVERIFY(g.rowKey(2).isEmpty());
        QCOMPARE(g.value(2, monthly::kSerial), CellValue::fromCount(1));
        RunContext run(m_db);
        QVERIFY(!MonthlyEngine(run, selection(QDate(2020, 3, 15))).hasDetail(g, 2, monthly::kDue));
    }

    void detail_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("office");
        QTest::addColumn<QString>("amountHeading");
        QTest::addColumn<QStringList>("rows"); // columns 0..6 joined by "|"
        QTest::newRow("cumulative due: order, addresses, names")
            << 33 << "01"
            << "应收金额"
            << QStringList { "1|1号楼东101室|张三|物业费|202001|120.00|2020-01-15",
                   "2|1号楼东101室|张三|物业费|202002|30.00|", "3|1号楼东101室|张三|物业费|202003|160.00|2020-03-15",
                   "4|1号楼东|开发商|物业费|202001|80.00|", "5|1号楼东|开发商|物业费|202002|70.00|2020-02-05",
                   "6|2号车库|开发商 粤A2|车位费|202002|65.75|", "7|3业主|王五 粤A1|车位费|202001|45.50|2020-03-02",
                   "|合计||||571.25|" };
        QTest::newRow("vacancy") << 23 << "01"
                                 << "空置金额"
                                 << QStringList { "1|1号楼东|开发商|物业费|202001|80.00|",
                                        "2|2号车库|开发商 粤A2|车位费|202002|65.75|", "|合计||||145.75|" };
        QTest::newRow("old waivers") << 4 << "01"
                                     << "减免金额"
                                     << QStringList { "1|1号楼东101室|张三|物业费|201905|50.00|", "|合计||||50.00|" };
        QTest::newRow("arrears collected this month")
            << 3 << "01"
            << "应收金额"
            << QStringList { "1|1号楼东101室|张三|物业费|201911|300.00|2020-03-05",
                   "2|3业主|王五 粤A1|车位费|201912|55.25|2020-03-03", "|合计||||355.25|" };
        QTest::newRow("month 03, owner without name")
            << 11 << "02"
            << "应收金额" << QStringList { "1|车场|粤B3|车位费|202003|88.88|2020-03-15", "|合计||||88.88|" };
        QTest::newRow("arrears of all three ranges")
            << 2 << "06"
            << "应收金额" << QStringList { "1|6号楼601室|赵六|物业费|201801|25.00|", "|合计||||25.00|" };
        QTest::newRow("empty") << 8 << "03"
                               << "应收金额" << QStringList { "|合计||||0.00|" };
    }
    void detail()
    {
        QFETCH(int, column);
        QFETCH(QString, office);
        QFETCH(QString, amountHeading);
        QFETCH(QStringList, rows);
        GridModel d;
        monthlyDetail(m_db, selection(QDate(2020, 3, 15)), column, office, d);
        QCOMPARE(d.cols(), 7);
        QCOMPARE(d.fixedRows(), 1);
        QCOMPARE(d.fixedCols(), 1);
        QCOMPARE(d.text(0, 5), amountHeading + QStringLiteral("  "));
        QCOMPARE(d.text(0, 1), QStringLiteral("地址  "));
        QStringList actual;
        for (int r = 1; r < d.rows(); ++r) {
            QStringList cells;
            for (int c = 0; c < 7; ++c)
                cells << d.text(r, c);
            actual << cells.join(QLatin1Char('|'));
        }
        QCOMPARE(actual, rows);
        for (int r = 0; r < d.rows(); ++r) {
            for (int c = 0; c < 7; ++c)
                QVERIFY(d.colWidth(c) >= d.measureText(d.text(r, c)) + 90);
        }
    }

    // The ledger rows are Data rows of the office, 合计 the Total row; the
    // amounts are money and add up to the total to the cent, the charge
    // period stays a text and the collection date is a date.
    void detailRowsAreTyped()
    {
        namespace col = MonthlyDetailColumn;
        GridModel d;
        monthlyDetail(m_db, selection(QDate(2020, 3, 15)), monthly::kDueToDate, QStringLiteral("01"), d);
        const int last = d.rows() - 1;
        QCOMPARE(d.rowsOfKind(RowKind::Total), QVector<int> { last });
        qint64 cents = 0;
        int dates = 0;
        for (int r = 1; r < last; ++r) {
            QCOMPARE(d.rowKind(r), RowKind::Data);
            QCOMPARE(d.rowKey(r).office, QStringLiteral("01"));
            QCOMPARE(d.value(r, col::kSerial), CellValue::fromCount(r));
            QVERIFY(d.value(r, col::kPeriod).isText());
            const CellValue collected = d.value(r, col::kCollected);
            QVERIFY(collected.isEmpty() || collected.kind() == CellValue::Kind::Date);
            dates += collected.isEmpty() ? 0 : 1;
            QVERIFY(d.value(r, col::kAmount).isMoney());
            cents += d.value(r, col::kAmount).cents();
        }
        QCOMPARE(dates, 4);
        QCOMPARE(cents, qint64(57125));
        QVERIFY(d.value(last, col::kAmount) == CellValue::fromMoney(cents));
        QCOMPARE(d.value(last, col::kAddress), CellValue::fromText(QStringLiteral("合计")));
    }

    // The whole count of arrears of column 2 equals its detail total.
    void detailMatchesFigures_data()
    {
        QTest::addColumn<int>("column");
        for (int c : { 2, 3, 4, 8, 9, 10, 11, 12, 22, 23, 27, 28, 29, 33, 34 })
            QTest::newRow(qPrintable(QString::number(c))) << c;
    }
    void detailMatchesFigures()
    {
        QFETCH(int, column);
        for (int row = 2; row <= 5; ++row) {
            GridModel d;
            monthlyDetail(m_db, selection(QDate(2020, 3, 15)), column, m_grid.rowKey(row).office, d);
            const QString figure = m_grid.text(row, column);
            QCOMPARE(d.text(d.rows() - 1, 5), figure.isEmpty() ? QStringLiteral("0.00") : figure);
        }
    }

    void drillColumns()
    {
        RunContext run(m_db);
        const MonthlyEngine engine(run, selection(QDate(2020, 3, 15)));
        QList<int> drill;
        for (int c = 0; c < 39; ++c) {
            if (engine.hasDetail(m_grid, 2, c))
                drill << c;
        }
        QCOMPARE(drill,
            (QList<int> { 2, 3, 4, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 22, 23, 27, 28, 29, 33, 34 }));
        // Neither the headings nor the totals row open a detail.
        for (int row : { 0, 1, 6 })
            QVERIFY(!engine.hasDetail(m_grid, row, monthly::kDue));
    }

    void lists()
    {
        QStringList entries;
        for (const Office& o : loadOffices(m_db, monthlyOfficeListStatement(false), OfficeNames::OnOneLine))
            entries << officeEntryText(o);
        QCOMPARE(entries, (QStringList { "01 A区花园", "02 B区", "03 C区", "06 F区", "07 G区" }));
        QCOMPARE(loadOffices(m_db, monthlyOfficeListStatement(true), OfficeNames::OnOneLine).size(), 1);
        QCOMPARE(loadOffices(m_db, monthlyOfficeListStatement(true), OfficeNames::OnOneLine).first().code,
            QStringLiteral("04"));

        QStringList tree;
        for (const FeeCategory& cat : loadFeeItemTree(m_db, FeeTreeQuery::AllItems)) {
            tree << cat.category + QLatin1Char(':');
            for (const FeeItem& item : cat.items)
                tree << item.code + QLatin1Char(' ') + item.name + QLatin1Char('/')
                        + formatDate(item.endDate, QStringLiteral("yyyy-mm-dd"));
        }
        QCOMPARE(tree, (QStringList { "停车类:", "02 车位费/", "物业类:", "01 物业费/", "03 水费/2019-12-31" }));
        QCOMPARE(allFeeCodes(loadFeeItemTree(m_db, FeeTreeQuery::AllItems)), (QStringList { "02", "01", "03" }));
    }
};

QTEST_GUILESS_MAIN(TestMonthlyEngine)
#include "tst_monthlyengine.moc"
