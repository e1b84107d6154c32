#include "core/failure.h"
#include "core/grid/columnfitter.h"
#include "core/grid/gridmodel.h"
#include "dailyfixture.h"
#include "db/dbconnection.h"
#include "reports/daily/dailyengine.h"
#include "reports/daily/dailygrid.h"
#include "reports/daily/dailypayees.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"
#include "workbook/gridsheetexport.h"
#include "workbook/workbook.h"
#include "workbook/workbookformat.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace fee;

namespace {

QStringList rowsOf(const GridModel& g, int column)
{
    QStringList out;
    for (int r = 1; r < g.rows(); ++r)
        out << g.text(r, column);
    return out;
}

// The same rows as texts, as the list's grid held them before it held
// values.
GridModel asTexts(const GridModel& g)
{
    GridModel texts(g);
    for (int r = 0; r < g.rows(); ++r)
        for (int c = 0; c < g.cols(); ++c)
            texts.setText(r, c, g.text(r, c));
    return texts;
}

QString rowText(const GridModel& g, int r)
{
    QStringList cells;
    for (int c = 0; c < g.cols(); ++c)
        cells << g.text(r, c);
    return cells.join(QLatin1Char('|'));
}

} // namespace

// The daily run over a small hand-made database: every kind of row, the
// exchange marking, scopes, filters, checks, totals, merges and cancellation.
class TestDailyEngine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    DbConnection m_db;

    DailySelection selection(const QDate& start = QDate(2024, 3, 1), const QDate& end = QDate(2024, 3, 31))
    {
        DailySelection s;
        const QVector<Office> offices = loadOffices(m_db, dailyOfficeListStatement(), OfficeNames::AsStored);
        s.office = offices.value(0);
        s.start = start;
        s.end = end;
        s.feeCodes = allFeeCodes(loadFeeItemTree(m_db, FeeTreeQuery::AllByCategory));
        s.paymentMethods = loadPaymentMethods(m_db);
        s.paymentMethod = QStringLiteral("选择全部");
        s.payee = QStringLiteral("选择全部");
        s.departmentCode = QStringLiteral("D1");
        return s;
    }

    FillOutcome run(const DailySelection& s, GridModel& grid)
    {
        RunContext context(m_db);
        return DailyEngine(context, s).fill(grid);
    }

    GridModel laidOut()
    {
        GridModel grid;
        DailyGrid::layout(grid);
        return grid;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("daily.db"));
        const QString error = createDailyFixture(path);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        m_db.open(dailyFixtureConnectionString(path));
    }

    void officeListAndPayees()
    {
        const QVector<Office> offices = loadOffices(m_db, dailyOfficeListStatement(), OfficeNames::AsStored);
        QCOMPARE(offices.size(), 2);
        QCOMPARE(offices.at(0).code, QStringLiteral("01"));
        QCOMPARE(offices.at(1).code, QStringLiteral("02"));
        // By position code, duplicates kept, the apostrophe quoted.
        QCOMPARE(loadDailyPayees(m_db, QStringLiteral("D1")),
            QStringList({ QStringLiteral("收款员甲"), QStringLiteral("欧'阳"), QStringLiteral("收款员乙"),
                QStringLiteral("收款员甲") }));
        QCOMPARE(loadDailyPayees(m_db, QStringLiteral("D'1")), QStringList());
    }

    // Scope 0 over March: every kind of row and the totals row, cell by cell.
    void wholeGrid()
    {
        GridModel grid = laidOut();
        const FillOutcome outcome = run(selection(), grid);
        QCOMPARE(outcome.dataRows, 11);
        const QStringList expected {
            "1|B1|N001|张三|A栋101|物业费|202401-202403|300.00|16.98|283.02|2024-03-05|开票员|2024-03-05|收款员甲|现金|"
            "||",
            "2|B1|N001|张三|A栋101|车位费|202403|100.00||100.00|2024-03-05|开票员|2024-03-05|收款员甲|现金|||",
            "3|B1|N002|李四|A栋102|物业费|202403|120.00|6.79|113.21|2024-03-06|开票员|2024-03-06|收款员甲|现金||2024-"
            "03-20|"
            "N003",
            "4|B1|N004|钱八|A栋104|物业费|202311-202401,202403|200.00|11.32|188.68|2024-03-07|开票员|2024-03-07|"
            "收款员甲|"
            "现金||2024-03-21 14:30:00|N005 N006 ",
            "5|B1|N007(预开收款)|周九|A栋107|物业费|202404-202405|240.00|13.58|226.42|2024-02-20|开票员|2024-03-08|"
            "收款员甲|"
            "现金||2024-03-22|N008 ",
            "6|B3|N013|褚四||物业费|202403|80.50|4.56|75.94|2024-03-10|开票员|2024-03-10|欧'阳|转账|||",
            "7||不记录票据信息|王五|1号楼101室|物业费|202401-202403|300.00|16.98|283.02|||2024-03-12|收款员乙|现金|||",
            "8||不记录票据信息|王五|1号楼101室|物业费|202404-202404|100.00|5.66|94.34|||2024-03-13|收款员乙|现金|||",
            "9||不记录票据信息|孙七||车位费|202402-202403|160.00|0.00|160.00|||2024-03-15|收款员甲|现金|||",
            "10||不记录票据信息|赵六|地下车库|车位费|202403-202403|150.00|8.49|141.51|||2024-03-15|收款员甲|现金|||",
            "11|B1|N014|卫五|A栋114|车位费|202403|2.68|0.01|2.67|2024-03-31|开票员|2024-03-31|收款员甲|现金|补开||",
            "|合计||||||1753.18|84.37|1668.81||||||||",
        };
        QCOMPARE(grid.rows(), 1 + int(expected.size()));
        for (int r = 1; r < grid.rows(); ++r)
            QCOMPARE(rowText(grid, r), QString(expected.at(r - 1)));
        QCOMPARE(grid.text(0, 1), QStringLiteral("票据簿编号  "));
    }

    // The rows as values: Data rows keyed by the office and the invoice (a
    // pre-issued invoice by its own number, a ledger receipt by none), the
    // Total row last; money in cents, 收入 the difference of the two cells
    // before it, and the totals the sums of the rows above to the cent.
    void typedRows()
    {
        GridModel grid = laidOut();
        run(selection(), grid);
        const int last = grid.rows() - 1;
        QCOMPARE(grid.rowsOfKind(RowKind::Total), QVector<int> { last });
        QCOMPARE(grid.rowsOfKind(RowKind::Data).size(), 11);
        QCOMPARE(grid.rowKey(1).office, QStringLiteral("01"));
        QCOMPARE(grid.rowKey(1).invoice, QStringLiteral("N001"));
        QCOMPARE(grid.rowKey(5).invoice, QStringLiteral("N007"));
        QCOMPARE(grid.rowKey(7).office, QStringLiteral("01"));
        QCOMPARE(grid.rowKey(7).invoice, QString());
        QCOMPARE(grid.rowKey(last).office, QStringLiteral("01"));
        QCOMPARE(grid.rowKey(last).invoice, QString());

        qint64 amount = 0, tax = 0, income = 0;
        for (int r = 1; r < last; ++r) {
            QCOMPARE(grid.value(r, DailyGrid::Serial), CellValue::fromCount(r));
            const CellValue a = grid.value(r, DailyGrid::Amount);
            const CellValue t = grid.value(r, DailyGrid::Tax);
            const CellValue i = grid.value(r, DailyGrid::Income);
            QVERIFY(a.isMoney() && i.isMoney());
            QVERIFY(t.isMoney() || t.isEmpty());
            QCOMPARE(i.cents(), a.cents() - t.cents());
            amount += a.cents();
            tax += t.cents();
            income += i.cents();
        }
        QCOMPARE(grid.value(last, DailyGrid::Amount), CellValue::fromMoney(amount));
        QCOMPARE(grid.value(last, DailyGrid::Tax), CellValue::fromMoney(tax));
        QCOMPARE(grid.value(last, DailyGrid::Income), CellValue::fromMoney(income));
        QCOMPARE(amount, qint64(175318));
        QCOMPARE(grid.value(last, DailyGrid::Book), CellValue::fromText(QStringLiteral("合计")));
        QVERIFY(grid.value(last, DailyGrid::Serial).isEmpty());

        QVERIFY(grid.value(2, DailyGrid::Tax).isEmpty()); // NULL
        QCOMPARE(grid.value(9, DailyGrid::Tax), CellValue::fromMoney(0));
        QCOMPARE(grid.value(1, DailyGrid::InvoiceDate), CellValue::fromDate(QDate(2024, 3, 5)));
        QCOMPARE(grid.value(1, DailyGrid::ReceiptDate), CellValue::fromDate(QDate(2024, 3, 5)));
        QVERIFY(grid.value(7, DailyGrid::InvoiceDate).isEmpty());
        QCOMPARE(grid.value(4, DailyGrid::ExchangeDate),
            CellValue::fromDateTime(QDate(2024, 3, 21), QTime(14, 30)));
        QCOMPARE(grid.value(3, DailyGrid::ExchangeDate), CellValue::fromDateTime(QDate(2024, 3, 20), QTime(0, 0)));
        QVERIFY(grid.value(1, DailyGrid::ExchangeDate).isEmpty());
        QCOMPARE(grid.value(4, DailyGrid::ExchangeNumbers), CellValue::fromText(QStringLiteral("N005 N006 ")));
    }

    // A bare grid (the command line's) is laid out by the run; a list run
    // again keeps the widths its columns widened to, as the window's always has.
    void laysOutItsGrid()
    {
        GridModel bare;
        run(selection(), bare);
        GridModel shown = laidOut();
        run(selection(), shown);
        QVERIFY(DailyGrid::isLaidOut(bare));
        QCOMPARE(bare.rows(), shown.rows());
        QCOMPARE(bare.colWidths(), shown.colWidths());
        for (int r = 0; r < bare.rows(); ++r)
            QCOMPARE(bare.rowTexts(r), shown.rowTexts(r));
        QCOMPARE(bare.fixedAlignment(3), int(AlignCenter));

        const QVector<int> widened = shown.colWidths();
        QVERIFY(widened != laidOut().colWidths());
        run(selection(QDate(2024, 3, 31), QDate(2024, 3, 31)), shown);
        QCOMPARE(shown.rows(), 3);
        QCOMPARE(shown.colWidths(), widened);
    }

    // The columns widen to the rows' texts whether a figure is measured by its
    // text or by its value: with digits of different widths, the widths are
    // those the texts of the same rows give.
    void widensAsTheTexts()
    {
        GridModel::setTextMeasure([](const QString& text, const QString&, double) {
            int width = 0;
            for (const QChar c : text)
                width += c.unicode() < 128 ? 40 + (c.unicode() % 10) * 9 : 180;
            return width;
        });
        GridModel grid = laidOut();
        run(selection(), grid);
        GridModel byTexts = laidOut();
        ColumnFitter fitter(DailyGrid::kWidenPadding);
        for (int r = 1; r < grid.rows(); ++r)
            fitter.fitRow(byTexts, byTexts.appendRow(grid.rowTexts(r)));
        GridModel::setTextMeasure({});
        QCOMPARE(grid.colWidths(), byTexts.colWidths());
    }

    // The export sheet of the list holds exactly the cells the same list of
    // texts gave it: figures as numbers, dates and codes as texts.
    void sheetAsTheTexts()
    {
        GridModel typed = laidOut();
        run(selection(), typed);
        const GridModel texts = asTexts(typed);
        QVERIFY(texts.value(1, DailyGrid::Amount).isText());
        GridSheetOptions options;
        options.title = QStringLiteral("(南区) 收款日报表");
        options.tagText = QStringLiteral("日期范围:2024年03月01日至2024年03月31日");
        options.sheetName = QStringLiteral("收款日报表");
        options.columns = GridSheetExport::exportableColumns(typed);
        options.printDate = QDate(2024, 4, 1);
        Workbook fromValues;
        Workbook fromTexts;
        GridSheetExport::fill(fromValues.worksheet(1), typed, options);
        GridSheetExport::fill(fromTexts.worksheet(1), texts, options);
        const WorkbookSheet& a = fromValues.worksheet(1);
        const WorkbookSheet& b = fromTexts.worksheet(1);
        for (int r = 1; r <= typed.rows() + 4; ++r) {
            for (int c = 1; c <= typed.cols() + 1; ++c) {
                const WorkbookCell* x = a.cellAt(r, c);
                const WorkbookCell* y = b.cellAt(r, c);
                const QByteArray where = QByteArray::number(r) + "," + QByteArray::number(c);
                QVERIFY2(bool(x) == bool(y), where.constData());
                if (!x)
                    continue;
                QVERIFY2(x->kind == y->kind, where.constData());
                QVERIFY2(x->number == y->number, where.constData());
                QVERIFY2(x->text == y->text, where.constData());
                QVERIFY2(a.formatAt(r, c).numberFormat == b.formatAt(r, c).numberFormat, where.constData());
            }
        }
        // Row 5 is the first list row: 金额 a number, 开票日期 its text.
        QCOMPARE(int(a.cellAt(5, DailyGrid::Amount + 1)->kind), int(WorkbookCell::Number));
        QCOMPARE(a.cellAt(5, DailyGrid::Amount + 1)->number, 300.0);
        QCOMPARE(int(a.cellAt(5, DailyGrid::InvoiceDate + 1)->kind), int(WorkbookCell::Text));
        QCOMPARE(int(a.cellAt(5, DailyGrid::Serial + 1)->kind), int(WorkbookCell::Number));
    }

    void mergesAfterRun()
    {
        GridModel grid = laidOut();
        run(selection(), grid);
        QCOMPARE(grid.mergeCells(), int(MergeRestrictColumns));
        for (int c = 0; c < grid.cols(); ++c)
            QCOMPARE(grid.mergeCol(c), c <= 2);
        // Book B1 of rows 1 to 5 reads as one cell; the two lines of N001
        // read as one number, and the next invoice's number stands alone.
        QCOMPARE(grid.mergedSpan(1, 1), QRect(1, 1, 1, 5));
        QCOMPARE(grid.mergedSpan(2, 2), QRect(2, 1, 1, 2));
        QCOMPARE(grid.mergedSpan(3, 2), QRect(2, 3, 1, 1));
        QCOMPARE(grid.mergedSpan(1, 3), QRect(3, 1, 1, 1));
    }

    void scopesAndFilters_data()
    {
        QTest::addColumn<int>("scope");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("payee");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QStringList>("numbers");
        const QDate first(2024, 3, 1);
        const QDate last(2024, 3, 31);
        const QString all = QStringLiteral("选择全部");
        const QString ledger = QStringLiteral("不记录票据信息");
        QTest::newRow("scope 1: the department's invoices without an office, no ledger")
            << 1 << all << all << first << last << QStringList { "N013", "" };
        QTest::newRow("scope 2: the office's own invoices")
            << 2 << all << all << first << last
            << QStringList { "N001", "N001", "N002", "N004", "N007(预开收款)", ledger, ledger, ledger, ledger, "N014",
                   "" };
        QTest::newRow("payee with an apostrophe")
            << 0 << all << QStringLiteral("欧'阳") << first << last << QStringList { "N013", "" };
        QTest::newRow("ledger payee") << 0 << all << QStringLiteral("收款员乙") << first << last
                                      << QStringList { ledger, ledger, "" };
        QTest::newRow("one method") << 0 << QStringLiteral("转账") << all << first << last
                                    << QStringList { "N013", "" };
        QTest::newRow("start equals end")
            << 0 << all << all << QDate(2024, 3, 5) << QDate(2024, 3, 5) << QStringList { "N001", "N001", "" };
        QTest::newRow("the last second of the end date")
            << 0 << all << all << last << last << QStringList { "N014", "" };
        QTest::newRow("pre-issued alone")
            << 0 << all << all << QDate(2024, 3, 8) << QDate(2024, 3, 8) << QStringList { "N007(预开收款)", "" };
        QTest::newRow("a payee of nothing") << 0 << all << QStringLiteral("无此人") << first << last << QStringList {};
    }
    void scopesAndFilters()
    {
        QFETCH(int, scope);
        QFETCH(QString, method);
        QFETCH(QString, payee);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(QStringList, numbers);
        DailySelection s = selection(start, end);
        s.scope = static_cast<DailyScope>(scope);
        s.paymentMethod = method;
        s.payee = payee;
        GridModel grid = laidOut();
        run(s, grid);
        QCOMPARE(rowsOf(grid, DailyGrid::Number), numbers);
    }

    // An empty result leaves the heading row alone: no totals row, merge
    // settings applied all the same, earlier rows gone.
    void emptyResult()
    {
        GridModel grid = laidOut();
        run(selection(), grid);
        QVERIFY(grid.rows() > 1);
        grid.setMergeCells(MergeNever);
        const FillOutcome outcome = run(selection(QDate(2025, 1, 1), QDate(2025, 1, 31)), grid);
        QCOMPARE(outcome.dataRows, 0);
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.mergeCells(), int(MergeRestrictColumns));
        QVERIFY(grid.mergeCol(2));
    }

    // The one check of 统计, for the window and the command line: its
    // refusals in order; a selection it stops leaves the grid as it was.
    void checks_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        const int ok = int(SelectionCheck::Status::Ok);
        const int silent = int(SelectionCheck::Status::Silent);
        const int refused = int(SelectionCheck::Status::Refused);
        QTest::newRow("whole selection") << -1 << ok << QString() << QString();
        QTest::newRow("no office") << 0 << silent << QString() << QString();
        QTest::newRow("no method entry") << 1 << silent << QString() << QString();
        QTest::newRow("start after end") << 2 << refused
                                         << QStringLiteral("收款日期起始日期不能大于终止日期，请重新选择！")
                                         << programTitle();
        QTest::newRow("no fee item") << 3 << refused << QStringLiteral("请选择收费项目！") << QStringLiteral("提示");
        QTest::newRow("start after end comes first")
            << 4 << refused << QStringLiteral("收款日期起始日期不能大于终止日期，请重新选择！") << programTitle();
        QTest::newRow("no office comes before the dates") << 5 << silent << QString() << QString();
    }
    void checks()
    {
        QFETCH(int, change);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(QString, title);
        DailySelection s = selection();
        if (change == 0 || change == 5)
            s.office.reset();
        if (change == 1)
            s.paymentMethod.reset();
        if (change == 2 || change == 4 || change == 5)
            s.start = s.end.addDays(1);
        if (change == 3 || change == 4)
            s.feeCodes.clear();
        const SelectionCheck check = checkDailySelection(s);
        QCOMPARE(int(check.status), status);
        QCOMPARE(check.message.text, message);
        QCOMPARE(check.message.title, title);
        if (status == int(SelectionCheck::Status::Refused))
            QCOMPARE(int(check.message.icon), int(BoxIcon::Information));
        // The daily list moves the focus nowhere after its boxes.
        QCOMPARE(int(check.field), int(SelectionCheck::Field::None));
        if (check.isOk())
            return;
        GridModel grid = laidOut();
        run(selection(), grid);
        const QString before = rowText(grid, 3);
        const int rows = grid.rows();
        QCOMPARE(run(s, grid).dataRows, 0);
        QCOMPARE(grid.rows(), rows);
        QCOMPARE(rowText(grid, 3), before);
    }

    // "选择全部" over an empty method list: the invalid-argument failure,
    // before the grid is touched.
    void emptyMethodList()
    {
        DailySelection s = selection();
        s.paymentMethods.clear();
        GridModel grid = laidOut();
        try {
            run(s, grid);
            QFAIL("no failure");
        } catch (const Failure& f) {
            QCOMPARE(f.number(), kErrInvalidArgument);
        }
        QCOMPARE(grid.rows(), 1);
    }

    // A run cancelled while it fills keeps the rows written so far (no totals
    // row) and the merge settings.
    void cancelledRunKeepsRows()
    {
        GridModel grid = laidOut();
        RunContext context(m_db);
        int measured = 0;
        GridModel::setTextMeasure([&](const QString& text, const QString&, double) {
            // The widening of the third row cancels the run.
            if (grid.rows() == 4 && ++measured == 1)
                context.cancel();
            return int(text.size()) * 90;
        });
        try {
            DailyEngine(context, selection()).fill(grid);
            QFAIL("the run was not cancelled");
        } catch (const Failure& f) {
            QVERIFY(isCancellation(f));
        }
        GridModel::setTextMeasure({});
        m_db.resetCancel();
        QCOMPARE(grid.rows(), 4);
        QCOMPARE(rowsOf(grid, DailyGrid::Number), QStringList({ "N001", "N001", "N002" }));
        QCOMPARE(grid.mergeCells(), int(MergeRestrictColumns));
    }

    void progressCountsRows()
    {
        GridModel grid = laidOut();
        RunContext context(m_db);
        qint64 reported = 0;
        context.setProgressSink([&](const RunProgress& p) { reported = p.rowsRead; });
        DailyEngine(context, selection()).fill(grid);
        QCOMPARE(reported, qint64(11));
    }

    // Widening measures each new row's texts: a long payer in the last row
    // widens its column.
    void widensToEachRow()
    {
        GridModel grid = laidOut();
        const int before = grid.colWidth(DailyGrid::Number);
        run(selection(), grid);
        QCOMPARE(grid.colWidth(DailyGrid::Number),
            qMax(before, grid.measureText(QStringLiteral("N007(预开收款)")) + DailyGrid::kWidenPadding));
        QVERIFY(grid.colWidth(DailyGrid::Amount) >= grid.measureText(QStringLiteral("1753.18")) + 90);
    }
};

QTEST_GUILESS_MAIN(TestDailyEngine)
#include "tst_dailyengine.moc"
