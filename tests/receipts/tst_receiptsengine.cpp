#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "core/money.h"
#include "db/dbconnection.h"
#include "receiptsfixture.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsdetails.h"
#include "reports/receipts_summary/receiptsengine.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionlists.h"

#include <QTemporaryDir>
#include <QtTest>
#include <array>
#include <sqlite3.h>

using namespace fee;

namespace {

QString rowText(const GridModel& g, int r)
{
    QStringList cells;
    for (int c = 0; c < g.cols(); ++c)
        cells << g.text(r, c);
    return cells.join(QLatin1Char('|'));
}

// A summary row: the fifteen group cells, then the three sums.
QString summaryRow(const QString& head, const QStringList& groups, const QString& tail)
{
    Q_ASSERT(groups.size() == 18);
    return head + QLatin1Char('|') + groups.join(QLatin1Char('|')) + QLatin1Char('|') + tail;
}

QStringList cells(std::initializer_list<std::pair<int, const char*>> set)
{
    QStringList groups(18);
    for (const auto& [offset, text] : set)
        groups[offset] = QString::fromUtf8(text);
    return groups;
}

// A summary row's key from its hidden columns' texts (office code + " " + DH, 汇总类别).
RowKey rowKey(const QString& key, const QString& kind)
{
    const qsizetype blank = key.indexOf(QLatin1Char(' '));
    return RowKey { key.left(blank), QString(), blank < 0 ? QString() : key.mid(blank + 1), QString(), kind.toInt() };
}

QStringList zeros(std::initializer_list<std::pair<int, const char*>> set)
{
    QStringList groups(18, QStringLiteral("0.00"));
    for (const auto& [offset, text] : set)
        groups[offset] = QString::fromUtf8(text);
    return groups;
}

} // namespace

class TestReceiptsEngine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    DbConnection m_db;

    ReceiptsSelection selection(const QStringList& officeCodes)
    {
        ReceiptsSelection s;
        const QVector<Office> list = loadOffices(m_db, receiptsOfficeListStatement(), OfficeNames::AsStored);
        for (const QString& code : officeCodes) {
            for (const Office& o : list)
                if (o.code == code)
                    s.offices << o;
        }
        s.feeCodes = { "01", "02", "11", "21", "22" };
        s.paymentMethods = { "现金", "微信" };
        s.chosenMethod = QString::fromUtf8(kChooseAll);
        s.receipts = { QDate(2026, 3, 1), QDate(2026, 3, 31) };
        return s;
    }

    QStringList run(const ReceiptsSelection& s)
    {
        GridModel grid;
        layoutReceiptsSummaryGrid(grid);
        RunContext context(m_db);
        ReceiptsEngine(context, s).fill(grid);
        QStringList rows;
        for (int r = 2; r < grid.rows(); ++r)
            rows << rowText(grid, r);
        return rows;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("receipts.db"));
        const QString error = createReceiptsFixture(m_path);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        m_db.open(receiptsFixtureConnection(m_path));
    }

    // Every office kind of the fixture in one run with both cumulative
    // columns: the end bounds, the year split, the exchanges, the Union of the
    // cumulative statement, the subtotal over items of one name, an office
    // with receipts only, offices without money and the grand total.
    void wholeRun()
    {
        ReceiptsSelection s = selection({ "01", "02", "03", "04", "06" });
        s.monthToDate = DateRange { QDate(2026, 3, 1), QDate(2026, 3, 31) };
        s.yearToDate = DateRange { QDate(2026, 1, 1), QDate(2026, 3, 31) };
        const QStringList expected {
            // 202512 received at 18:00 on the last day counts (收历年); 202701
            // is 收明年, 202801 and 203001 收明年后; the row without a period
            // counts nowhere. The cumulative leaves out ledger rows that carry
            // a receipt number and adds the receipt lines of the item.
            summaryRow("1|甲区|A类物业|物业管理费",
                cells({ { 0, "100.00" }, { 1, "6.00" }, { 2, "94.00" }, { 3, "200.00" }, { 4, "12.00" },
                    { 5, "188.00" }, { 6, "300.00" }, { 7, "18.00" }, { 8, "282.00" }, { 9, "410.00" }, { 10, "24.60" },
                    { 11, "385.40" }, { 15, "1010.00" }, { 16, "60.60" }, { 17, "949.40" } }),
                "明细|915.00|965.00|2|01 01"),
            // 0.1 + 0.2 - 0.3 received: an amount of 0 shows nothing.
            summaryRow("2|甲区|A类物业|公共能耗", cells({ { 15, "0.00" }, { 16, "0.00" }, { 17, "0.00" } }),
                "明细|0.00|0.00|2|01 02"),
            // The registration and the space ledger each give 150; the
            // cumulative's Union counts the equal rows once.
            summaryRow("3|甲区|B类车位|车位管理费",
                cells({ { 3, "150.00" }, { 4, "8.49" }, { 5, "141.51" }, { 15, "150.00" }, { 16, "8.49" },
                    { 17, "141.51" } }),
                "明细|150.00|150.00|3|01 11"),
            summaryRow("4|甲区|B类车位|车位管理费",
                cells({ { 3, "150.00" }, { 4, "8.49" }, { 5, "141.51" }, { 15, "150.00" }, { 16, "8.49" },
                    { 17, "141.51" } }),
                "明细|150.00|150.00|4|01 11"),
            // 500 + 1000 (no office) + 50 (the exchanged original) + 70; the
            // line at 10:00 on 2026-03-31, the refunded, the voided and the
            // replacement receipt do not count.
            summaryRow("5|甲区|C类其他|押金",
                cells({ { 12, "1620.00" }, { 13, "0.00" }, { 14, "1620.00" }, { 15, "1620.00" }, { 16, "0.00" },
                    { 17, "1620.00" } }),
                "明细|1620.00|1650.00|1|01 21"),
            summaryRow("6|甲区|C类其他|押金",
                cells({ { 12, "200.00" }, { 13, "12.00" }, { 14, "188.00" }, { 15, "200.00" }, { 16, "12.00" },
                    { 17, "188.00" } }),
                "明细|200.00|200.00|1|01 22"),
            // Items of one name on consecutive rows enter the cumulative
            // subtotals once: 915 + 0 + 150 + 1620.
            summaryRow("7|小计||",
                zeros({ { 0, "100.00" }, { 1, "6.00" }, { 2, "94.00" }, { 3, "500.00" }, { 4, "28.98" },
                    { 5, "471.02" }, { 6, "300.00" }, { 7, "18.00" }, { 8, "282.00" }, { 9, "410.00" }, { 10, "24.60" },
                    { 11, "385.40" }, { 12, "1820.00" }, { 13, "12.00" }, { 14, "1808.00" }, { 15, "3130.00" },
                    { 16, "89.58" }, { 17, "3040.42" } }),
                "|2685.00|2765.00||"),
            summaryRow("8|乙区|C类其他|押金",
                cells({ { 12, "800.00" }, { 13, "0.00" }, { 14, "800.00" }, { 15, "800.00" }, { 16, "0.00" },
                    { 17, "800.00" } }),
                "明细|800.00|800.00|1|02 21"),
            summaryRow("9|小计||", zeros({ { 12, "800.00" }, { 14, "800.00" }, { 15, "800.00" }, { 17, "800.00" } }),
                "|800.00|800.00||"),
            "10|丙区" + QString(25, QLatin1Char('|')),
            summaryRow("11|小计||", zeros({}), "|0.00|0.00||"),
            summaryRow("12|丁区|A类物业|物业管理费",
                cells({ { 3, "80.00" }, { 4, "4.53" }, { 5, "75.47" }, { 15, "80.00" }, { 16, "4.53" },
                    { 17, "75.47" } }),
                "明细|80.00|80.00|2|04 01"),
            // An exchange recorded without the replacement's book excludes
            // nothing: K1 counts, and so does K2 (the replaced invoice) in the
            // year column.
            summaryRow("13|丁区|C类其他|押金",
                cells({ { 12, "600.00" }, { 13, "0.00" }, { 14, "600.00" }, { 15, "600.00" }, { 16, "0.00" },
                    { 17, "600.00" } }),
                "明细|600.00|610.00|1|04 21"),
            summaryRow("14|小计||",
                zeros({ { 3, "80.00" }, { 4, "4.53" }, { 5, "75.47" }, { 12, "600.00" }, { 14, "600.00" },
                    { 15, "680.00" }, { 16, "4.53" }, { 17, "675.47" } }),
                "|680.00|690.00||"),
            // A replacement without book excludes nothing either, and itself
            // (key NULL) matches no exchange: L1 counts, L2 in the year column.
            summaryRow("15|己区|C类其他|押金",
                cells({ { 12, "400.00" }, { 13, "0.00" }, { 14, "400.00" }, { 15, "400.00" }, { 16, "0.00" },
                    { 17, "400.00" } }),
                "明细|400.00|410.00|1|06 21"),
            summaryRow("16|小计||", zeros({ { 12, "400.00" }, { 14, "400.00" }, { 15, "400.00" }, { 17, "400.00" } }),
                "|400.00|410.00||"),
            summaryRow("17|合计||",
                zeros({ { 0, "100.00" }, { 1, "6.00" }, { 2, "94.00" }, { 3, "580.00" }, { 4, "33.51" },
                    { 5, "546.49" }, { 6, "300.00" }, { 7, "18.00" }, { 8, "282.00" }, { 9, "410.00" }, { 10, "24.60" },
                    { 11, "385.40" }, { 12, "3620.00" }, { 13, "12.00" }, { 14, "3608.00" }, { 15, "5010.00" },
                    { 16, "94.11" }, { 17, "4915.89" } }),
                "|4565.00|4665.00||"),
        };
        QCOMPARE(run(s), expected);
    }

    // The rows carry their kind and their key, and hold typed values whose
    // sums hold to the cent: each 小计 adds up its office's data rows (the
    // cumulative columns add an item once, see wholeRun), the 合计 the 小计
    // rows. Only the 明细 cell of a row with a source opens a detail list.
    void typedRows()
    {
        namespace col = ReceiptsColumn;
        ReceiptsSelection s = selection({ "01", "02", "03", "04", "06" });
        s.monthToDate = DateRange { QDate(2026, 3, 1), QDate(2026, 3, 31) };
        s.yearToDate = DateRange { QDate(2026, 1, 1), QDate(2026, 3, 31) };
        GridModel grid;
        RunContext context(m_db);
        ReceiptsEngine engine(context, s);
        const FillOutcome outcome = engine.fill(grid);

        QCOMPARE(grid.rowKey(2), (RowKey { "01", "A类物业", "01", QString(), 2 }));
        QCOMPARE(grid.rowKey(4), (RowKey { "01", "B类车位", "11", QString(), 3 }));
        QCOMPARE(grid.rowKey(11), RowKey { "03" }); // 丙区's name-only row
        QCOMPARE(grid.rowKind(11), RowKind::Data);
        QCOMPARE(grid.rowsOfKind(RowKind::Subtotal), QVector<int>({ 8, 10, 12, 15, 17 }));
        QCOMPARE(grid.rowsOfKind(RowKind::Total), QVector<int>({ 18 }));
        QCOMPARE(outcome.dataRows, int(grid.rowsOfKind(RowKind::Data).size()));
        QCOMPARE(outcome.dataRows, 11);

        std::array<qint64, col::kFigureCount> office {};
        std::array<qint64, col::kFigureCount> subtotals {};
        qint64 month = 0;
        qint64 year = 0;
        QString officeCode;
        for (int r = 2; r < grid.rows(); ++r) {
            const RowKey key = grid.rowKey(r);
            const QVector<CellValue> values = grid.rowValues(r);
            QCOMPARE(values.at(col::kSequence), CellValue::fromCount(r - 1));
            for (int c = col::kFirstFigure; c <= col::kYearCumulative; ++c) {
                if (c != col::kDetail)
                    QVERIFY2(values.at(c).isEmpty() || values.at(c).isMoney(), qPrintable(QString::number(c)));
            }
            for (int c = 0; c < grid.cols(); ++c)
                QVERIFY(engine.hasDetail(grid, r, c) == (c == col::kDetail && key.kind != 0));
            switch (grid.rowKind(r)) {
            case RowKind::Data:
                QVERIFY(!key.office.isEmpty());
                if (key.office != officeCode) {
                    QCOMPARE(office, (std::array<qint64, col::kFigureCount> {}));
                    officeCode = key.office;
                }
                if (key.kind == 0) {
                    QCOMPARE(key, RowKey { key.office });
                    QVERIFY(values.at(col::kCategory).isEmpty());
                    QVERIFY(values.at(col::kDetail).isEmpty());
                } else {
                    // The hidden columns show the key, for the CSV.
                    QCOMPARE(grid.text(r, col::kKey), key.office + " " + key.item);
                    QCOMPARE(values.at(col::kSummaryKind), CellValue::fromCount(key.kind));
                    QCOMPARE(values.at(col::kCategory), CellValue::fromText(key.category));
                }
                for (int c = col::kFirstFigure; c <= col::kLastFigure; ++c)
                    office[size_t(c - col::kFirstFigure)] += values.at(c).cents();
                break;
            case RowKind::Subtotal:
                QCOMPARE(values.at(col::kOffice), CellValue::fromText("小计"));
                QCOMPARE(key, RowKey { officeCode });
                for (int c = col::kFirstFigure; c <= col::kLastFigure; ++c) {
                    QCOMPARE(values.at(c), CellValue::fromMoney(office[size_t(c - col::kFirstFigure)]));
                    subtotals[size_t(c - col::kFirstFigure)] += values.at(c).cents();
                }
                month += values.at(col::kMonthCumulative).cents();
                year += values.at(col::kYearCumulative).cents();
                office = {};
                break;
            case RowKind::Total:
                QCOMPARE(values.at(col::kOffice), CellValue::fromText("合计"));
                QVERIFY(key.isEmpty());
                for (int c = col::kFirstFigure; c <= col::kLastFigure; ++c)
                    QCOMPARE(values.at(c), CellValue::fromMoney(subtotals[size_t(c - col::kFirstFigure)]));
                QCOMPARE(values.at(col::kMonthCumulative), CellValue::fromMoney(month));
                QCOMPARE(values.at(col::kYearCumulative), CellValue::fromMoney(year));
                break;
            default:
                QFAIL(qPrintable(QStringLiteral("row %1 of another kind").arg(r)));
            }
        }
        QCOMPARE(month, qint64(456500));
    }

    // The year groups follow the year of the range's start, even when the
    // range runs into the next year.
    void yearSplitByStart()
    {
        ReceiptsSelection s = selection({ "01" });
        s.feeCodes = { "01" };
        s.receipts = { QDate(2025, 12, 1), QDate(2026, 3, 31) };
        const QStringList rows = run(s);
        QCOMPARE(rows.at(0),
            summaryRow("1|甲区|A类物业|物业管理费",
                cells({ { 3, "100.00" }, { 4, "6.00" }, { 5, "94.00" }, { 6, "250.00" }, { 7, "15.00" },
                    { 8, "235.00" }, { 9, "710.00" }, { 10, "42.60" }, { 11, "667.40" }, { 15, "1060.00" },
                    { 16, "63.60" }, { 17, "996.40" } }),
                "明细|||2|01 01"));
    }

    void coloursAndProgress()
    {
        ReceiptsSelection s = selection({ "01", "03" });
        GridModel grid;
        layoutReceiptsSummaryGrid(grid);
        RunContext context(m_db);
        ReceiptsEngine(context, s).fill(grid);
        QVERIFY(grid.redraw());
        QCOMPARE(grid.text(8, 1), QStringLiteral("小计"));
        QCOMPARE(grid.text(11, 1), QStringLiteral("合计"));
        for (int c = 1; c <= 25; ++c) {
            QCOMPARE(grid.cellBackColor(8, c), QColor(192, 255, 255));
            QCOMPARE(grid.cellBackColor(11, c), QColor(192, 192, 255));
        }
        QCOMPARE(grid.cellBackColor(8, 0), QColor());
        QCOMPARE(grid.cellBackColor(8, 26), QColor());
        QCOMPARE(grid.cellForeColor(2, 22), QColor(0, 0, 255));
        QCOMPARE(grid.cellBackColor(2, 1), QColor());
        // Without cumulative ranges the data and subtotal rows leave 23 and
        // 24 empty; the grand total shows 0.00.
        QCOMPARE(grid.text(2, 23), QString());
        QCOMPARE(grid.text(8, 24), QString());
        QCOMPARE(grid.text(11, 23), QStringLiteral("0.00"));
        QCOMPARE(grid.text(11, 24), QStringLiteral("0.00"));
        const RunProgress p = context.progress();
        QCOMPARE(p.officeCount, 2);
        QCOMPARE(p.officesDone, 2);
        QCOMPARE(p.rowsRead, qint64(6));
    }

    // Mode 1: only receipts of the session's department without an office,
    // the same for every office; no ledger rows.
    void byDepartment()
    {
        ReceiptsSelection s = selection({ "01", "02", "03" });
        s.mode = ReceiptsMode::ByDepartment;
        s.departmentCode = "D1";
        const QStringList rows = run(s);
        QCOMPARE(rows.size(), 7);
        const QString figures = "||||||||||||1000.00|0.00|1000.00|1000.00|0.00|1000.00|明细|||1";
        QCOMPARE(rows.at(0), "1|甲区|C类其他|押金|" + figures + "|01 21");
        QCOMPARE(rows.at(2), "3|乙区|C类其他|押金|" + figures + "|02 21");
        QCOMPARE(rows.at(4), "5|丙区|C类其他|押金|" + figures + "|03 21");
        QCOMPARE(rows.at(6),
            summaryRow("7|合计||",
                zeros({ { 12, "3000.00" }, { 14, "3000.00" }, { 15, "3000.00" }, { 17, "3000.00" } }), "|0.00|0.00||"));
    }

    // Mode 2 leaves out the receipt without an office; one method chosen
    // leaves out the other's receipts.
    void byOfficeAndMethod_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("deposit");
        QTest::newRow("mode 2") << 2 << ""
                                << "620.00";
        QTest::newRow("cash only") << 0 << "现金"
                                   << "1550.00";
        QTest::newRow("wechat only") << 0 << "微信"
                                     << "70.00";
    }
    void byOfficeAndMethod()
    {
        QFETCH(int, mode);
        QFETCH(QString, method);
        QFETCH(QString, deposit);
        ReceiptsSelection s = selection({ "01" });
        s.mode = static_cast<ReceiptsMode>(mode);
        if (!method.isEmpty())
            s.chosenMethod = method;
        GridModel grid;
        RunContext context(m_db);
        ReceiptsEngine(context, s).fill(grid);
        int found = 0;
        for (int r = 2; r < grid.rows(); ++r) {
            if (grid.text(r, 26) == QStringLiteral("01 21")) {
                QCOMPARE(grid.text(r, 16), deposit);
                ++found;
            }
        }
        QCOMPARE(found, 1);
    }

    // A refused selection or an empty method list stops before the grid is touched.
    void refusals()
    {
        GridModel grid;
        layoutReceiptsSummaryGrid(grid);
        grid.setRows(3);
        grid.setText(2, 1, "kept");
        RunContext context(m_db);
        ReceiptsSelection s = selection({});
        try {
            ReceiptsEngine(context, s).fill(grid);
            QFAIL("no failure");
        } catch (const Failure& f) {
            QCOMPARE(f.number(), kErrInvalidArgument);
            QCOMPARE(f.description(), QStringLiteral("请勾选管理处！"));
        }
        s = selection({ "01" });
        s.paymentMethods.clear();
        QVERIFY_THROWS_EXCEPTION(Failure, ReceiptsEngine(context, s).fill(grid));
        QCOMPARE(grid.rows(), 3);
        QCOMPARE(grid.text(2, 1), QStringLiteral("kept"));
    }

    // A cumulative statement that fails ends the run like any other: no
    // figure shows as a plausible 0.00; the offices written stay.
    void failingCumulative()
    {
        const QString broken = m_dir.filePath(QStringLiteral("broken.db"));
        QVERIFY(createReceiptsFixture(broken).isEmpty());
        sqlite3* handle = nullptr;
        QCOMPARE(sqlite3_open(broken.toUtf8().constData(), &handle), SQLITE_OK);
        QCOMPARE(sqlite3_exec(handle, "ALTER TABLE WYZJ DROP COLUMN 发票号码", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(handle);

        DbConnection db;
        db.open(receiptsFixtureConnection(broken));
        ReceiptsSelection s = selection({ "03", "01" });
        s.monthToDate = DateRange { QDate(2026, 3, 1), QDate(2026, 3, 31) };
        GridModel grid;
        RunContext context(db);
        try {
            ReceiptsEngine(context, s).fill(grid);
            QFAIL("no failure");
        } catch (const Failure& f) {
            QVERIFY(!isCancellation(f));
            QVERIFY2(f.description().contains("发票号码"), qPrintable(f.description()));
        }
        QVERIFY(grid.redraw());
        QCOMPARE(grid.rows(), 4);
        QCOMPARE(grid.text(2, 1), QStringLiteral("丙区"));
        QCOMPARE(grid.text(3, 1), QStringLiteral("小计"));

        ReceiptsStatementInput input = receiptsStatementInput(s, *s.monthToDate);
        QVERIFY_THROWS_EXCEPTION(Failure, cumulativeReceived(db, input, "01", "01"));
        // Nothing to ask for: 0 without a statement.
        QCOMPARE(cumulativeReceived(db, input, "", "01"), Amount());
        QCOMPARE(cumulativeReceived(db, input, "01", ""), Amount());
        QCOMPARE(cumulativeReceived(m_db, input, "03", "01"), Amount());
    }

    // Cancelled once the first offices are written: their rows stay, as a
    // whole run shows them, and no grand total follows. (The offices go in
    // groups of two here, so the first report of offices done names two.)
    void cancelled()
    {
        ReceiptsSelection s = selection({ "02", "01", "03" });
        const QStringList whole = run(s);
        DbConnection db;
        db.open(receiptsFixtureConnection(m_path));
        GridModel grid;
        RunContext context(db);
        int doneWhenCancelled = 0;
        context.setProgressSink([&](const RunProgress& p) {
            if (p.officesDone > 0 && p.officesDone < p.officeCount && !doneWhenCancelled) {
                doneWhenCancelled = p.officesDone;
                context.cancel();
            }
        });
        try {
            ReceiptsEngine(context, s).fill(grid);
            QFAIL("not cancelled");
        } catch (const Failure& f) {
            QVERIFY(isCancellation(f));
        }
        QCOMPARE(doneWhenCancelled, 2);
        // The rows up to the second office's subtotal, the same as in the whole run.
        QStringList written;
        for (int r = 2; r < grid.rows(); ++r)
            written << rowText(grid, r);
        int subtotals = 0;
        int end = 0;
        while (end < whole.size() && subtotals < 2)
            subtotals += whole.at(end++).contains(QStringLiteral("小计")) ? 1 : 0;
        QCOMPARE(written, whole.mid(0, end));
    }

    // Every figure and name of the finished grid fits its column, as the
    // grid's font measures it; the hidden columns stay hidden. A cancelled
    // run's rows fit too.
    void columnsFitTheirTexts()
    {
        // Wide enough that the design widths no longer hold the texts.
        GridModel::setTextMeasure([](const QString& text, const QString&, double) { return int(text.size()) * 200; });
        auto restore = qScopeGuard([] { GridModel::setTextMeasure({}); });
        auto check = [](const GridModel& grid) {
            for (int r = 2; r < grid.rows(); ++r) {
                for (int c = 0; c < grid.cols(); ++c) {
                    const QString text = grid.text(r, c);
                    if (c == ReceiptsColumn::kSummaryKind || c == ReceiptsColumn::kKey)
                        QCOMPARE(grid.colWidth(c), 0);
                    else if (!text.isEmpty())
                        QVERIFY2(grid.measureText(text) + 90 <= grid.colWidth(c),
                            qPrintable(QStringLiteral("%1 in column %2").arg(text).arg(c)));
                }
            }
        };
        GridModel grid;
        layoutReceiptsSummaryGrid(grid);
        RunContext context(m_db);
        ReceiptsEngine(context, selection({ "01", "02", "03" })).fill(grid);
        QVERIFY(grid.colWidth(19) > 1000); // the sums widened their column
        check(grid);

        GridModel cut;
        DbConnection db;
        db.open(receiptsFixtureConnection(m_path));
        RunContext cancelling(db);
        // Offices go in groups of two: cancelled after the first group.
        cancelling.setProgressSink([&cancelling](const RunProgress& p) {
            if (p.officesDone > 0 && p.officesDone < p.officeCount)
                cancelling.cancel();
        });
        QVERIFY_THROWS_EXCEPTION(Failure, ReceiptsEngine(cancelling, selection({ "02", "01", "03" })).fill(cut));
        QVERIFY(cut.rows() > 2);
        check(cut);
    }

    void detailLists_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("rows");
        // The detail bound compares whole days: the line at 10:00 on the
        // last day is listed although the summary leaves it out.
        QTest::newRow("receipt lines")
            << "01 21"
            << "1"
            << QStringList {
                   "1|B1|N1|钱一|押金|[202601-202603]|500.00|0.00|500.00|2026-03-10|甲|开甲|2026-03-10|",
                   "2|B1|N10|钱十|押金|[微信]|70.00|0.00|70.00|2026-03-20|乙|开乙|2026-03-20|",
                   "3|B1|N2|钱二|押金|[补]|300.00|0.00|300.00|2026-03-31|甲|开甲|2026-03-31|",
                   "4|B1|N4|钱四|押金|[无管理处]|1000.00|0.00|1000.00|2026-03-05|甲|开甲|2026-03-05|",
                   "5|B1|N8|钱八|押金|[原票]|50.00|0.00|50.00|2026-03-11|甲|开甲|2026-03-11|",
                   "|合计|||||1920.00|0.00|1920.00|||||",
               };
        QTest::newRow("tax and null remark")
            << "01 22"
            << "1"
            << QStringList {
                   "1|B1|N3|钱三|押金||200.00|12.00|188.00|2026-03-31|甲|开甲|2026-02-20|",
                   "|合计|||||200.00|12.00|188.00|||||",
               };
        QTest::newRow("household")
            << "01 01"
            << "2"
            << QStringList {
                   "1|||甲区1栋101室 张三|物业管理费|[202701-203001]|710.00|42.60|667.40|2026-03-20|乙|||",
                   "2|||甲区1栋101室 张三|物业管理费|[202512-202512]|100.00|6.00|94.00|2026-03-31|甲|||",
                   "3|B1|N7|甲区1栋101室 张三|物业管理费|[202603-202603]|200.00|12.00|188.00|2026-03-15|甲|||",
                   "|合计|||||1010.00|60.60|949.40|||||",
               };
        QTest::newRow("parking registration")
            << "01 11"
            << "3"
            << QStringList { "1|||王五|车位管理费|[202603-202603]|150.00|8.49|141.51|2026-03-03|甲|||",
                   "|合计|||||150.00|8.49|141.51|||||" };
        QTest::newRow("parking space") << "01 11"
                                       << "4"
                                       << QStringList {
                                              "1|||李四|车位管理费|[202603-202603]|150.00|8.49|141.51|2026-03-03|甲|||",
                                              "|合计|||||150.00|8.49|141.51|||||",
                                          };
        QTest::newRow("nothing listed") << "03 21"
                                        << "1" << QStringList {};
    }
    void detailLists()
    {
        QFETCH(QString, key);
        QFETCH(QString, kind);
        QFETCH(QStringList, rows);
        GridModel detail;
        layoutReceiptsDetailGrid(detail);
        detail.setRows(4); // a previous list
        const int firstWidth = detail.colWidth(3);
        RunContext context(m_db);
        const RowKey row = rowKey(key, kind);
        QVERIFY(hasReceiptsDetail(row));
        const FillOutcome outcome = fillReceiptsDetail(context, selection({}), row, detail);
        QCOMPARE(outcome.dataRows, std::max(0, int(rows.size()) - 1));
        QStringList actual;
        for (int r = 1; r < detail.rows(); ++r)
            actual << rowText(detail, r);
        QCOMPARE(actual, rows);
        QCOMPARE(detail.text(0, 1), QStringLiteral("票据簿编号"));
        QCOMPARE(detail.mergeCells(), int(MergeRestrictColumns));
        for (int c = 0; c < 14; ++c)
            QCOMPARE(detail.mergeCol(c), c <= 2);
        QCOMPARE(detail.colWidth(13), 0);
        QVERIFY(detail.redraw());
        // Columns grow to their texts and never shrink.
        QVERIFY(detail.colWidth(3) >= firstWidth);
        for (int r = 1; r + 1 < detail.rows(); ++r)
            QVERIFY(detail.colWidth(3) >= detail.measureText(detail.text(r, 3)) + 95);
        if (!rows.isEmpty()) {
            const int last = detail.rows() - 1;
            for (int c = 1; c <= 13; ++c)
                QCOMPARE(detail.cellBackColor(last, c), QColor(192, 192, 255));
            // The 合计 row is known by its kind and adds up the rows' money to the cent.
            namespace dcol = ReceiptsDetailColumn;
            QCOMPARE(detail.rowKind(last), RowKind::Total);
            QCOMPARE(detail.rowsOfKind(RowKind::Total).size(), 1);
            qint64 sums[3] = {};
            for (int r = 1; r < last; ++r) {
                QCOMPARE(detail.rowKind(r), RowKind::Data);
                QCOMPARE(detail.value(r, dcol::kReceived).kind(), CellValue::Kind::Date);
                for (int k = 0; k < 3; ++k) {
                    const CellValue figure = detail.value(r, dcol::kAmount + k);
                    QVERIFY(figure.isEmpty() || figure.isMoney());
                    sums[k] += figure.cents();
                }
            }
            for (int k = 0; k < 3; ++k)
                QCOMPARE(detail.value(last, dcol::kAmount + k), CellValue::fromMoney(sums[k]));
        }
    }

    // Rows without key (name-only, 小计, 合计) and unknown categories open nothing.
    void detailWithoutKey()
    {
        GridModel detail;
        layoutReceiptsDetailGrid(detail);
        detail.setRows(3);
        RunContext context(m_db);
        for (const RowKey& row : { rowKey("", "1"), RowKey { "01" }, rowKey("01 21", ""), rowKey("01 21", "5") }) {
            QVERIFY(!hasReceiptsDetail(row));
            QCOMPARE(fillReceiptsDetail(context, selection({}), row, detail).dataRows, 0);
        }
        QCOMPARE(detail.rows(), 3);
    }
};

QTEST_GUILESS_MAIN(TestReceiptsEngine)
#include "tst_receiptsengine.moc"
