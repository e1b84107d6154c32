// The two workbooks of the receipts summary, read back by openpyxl: the
// summary of a run over the fixture and a detail list written by hand.
#include "readback.h"
#include "receiptsfixture.h"

#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "db/dbconnection.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsengine.h"
#include "reports/receipts_summary/receiptsexport.h"
#include "reports/receipts_summary/receiptsprint.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionlists.h"

#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace fee;

namespace {

const DateRange kMarch { QDate(2026, 3, 1), QDate(2026, 3, 31) };

QString columnLetters(int column) // 1-based
{
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters;
}

// A detail list as the window shows it: book and receipt numbers with
// leading zeros, a ledger row without book, number, amount or issue date.
GridModel detailGrid()
{
    namespace dcol = ReceiptsDetailColumn;
    GridModel grid;
    layoutReceiptsDetailGrid(grid);
    const auto text = [](const char* t) { return CellValue::fromText(QString::fromUtf8(t)); };
    const auto date = [](int month, int day) { return CellValue::fromDate(QDate(2026, month, day)); };
    const QList<QVector<CellValue>> rows {
        { CellValue::fromCount(1), text("007"), text("0012"), text("钱一"), text("押金"), text("[202601-202603]"),
            CellValue::fromMoney(50000), CellValue::fromMoney(0), CellValue::fromMoney(50000), date(3, 10), text("甲"),
            text("开甲"), date(3, 9) },
        { CellValue::fromCount(2), {}, {}, text("甲区1栋101室 张三"), text("物业管理费"), text("[202701-203001]"), {},
            CellValue::fromMoney(0), {}, date(3, 20), text("乙"), {}, {} },
    };
    for (const QVector<CellValue>& values : rows)
        grid.appendRow(values);
    QVector<CellValue> totals(dcol::kCount);
    totals[dcol::kBook] = text("合计");
    totals[dcol::kAmount] = CellValue::fromMoney(50000);
    totals[dcol::kTax] = CellValue::fromMoney(0);
    totals[dcol::kIncome] = CellValue::fromMoney(50000);
    const int total = grid.appendRow(totals, RowKind::Total);
    for (int c = 1; c < grid.cols(); ++c)
        grid.setCellBackColor(total, c, receiptsTotalColor());
    grid.setColWidth(3, 2345);
    return grid;
}

void compareCell(const QJsonObject& c, const QString& type, const QVariant& value, const QString& numberFormat,
    const QString& horizontal)
{
    QCOMPARE(c.value("type").toString(), type);
    if (value.typeId() == QMetaType::Double)
        QCOMPARE(c.value("value").toDouble(), value.toDouble());
    else
        QCOMPARE(c.value("value").isNull() ? QVariant() : c.value("value").toVariant(), value);
    QCOMPARE(c.value("numberFormat").toString(), numberFormat);
    QCOMPARE(c.value("horizontal").toString(), horizontal);
}

} // namespace

class TestReceiptsExport : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    GridModel m_summaryGrid;
    WorkbookReadback m_summary;
    WorkbookReadback m_detail;
    QList<int> m_summaryProgress;
    QList<int> m_detailProgress;

    void cellsData()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("numberFormat");
        QTest::addColumn<QString>("horizontal");
        QTest::addColumn<QString>("fill");
        QTest::addColumn<bool>("border");
    }

    static void compareSheetCell(const WorkbookReadback& book, int lastRow)
    {
        QFETCH(QString, cell);
        QFETCH(QString, type);
        QFETCH(QVariant, value);
        QFETCH(QString, numberFormat);
        QFETCH(QString, horizontal);
        QFETCH(QString, fill);
        QFETCH(bool, border);
        const QJsonObject c = book.cell(cell);
        compareCell(c, type, value, numberFormat, horizontal);
        QCOMPARE(c.value("fill").toString(), fill);
        QCOMPARE(c.value("border").toString() == QStringLiteral("thin") && c.value("borderAll").toBool(), border);
        QCOMPARE(c.value("font").toString(), QStringLiteral("微软雅黑"));
        const int row = QStringView(cell).mid(cell.indexOf(QRegularExpression(QStringLiteral("[0-9]")))).toInt();
        QCOMPARE(c.value("size").toDouble(), row == 1 ? 11.0 : 9.0);
        QCOMPARE(c.value("bold").toBool(), row == 1);
        QVERIFY(row <= lastRow + 1);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString db = m_dir.filePath(QStringLiteral("receipts.db"));
        const QString error = createReceiptsFixture(db);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        DbConnection connection;
        connection.open(receiptsFixtureConnection(db));
        ReceiptsSelection selection;
        selection.offices = loadOffices(connection, receiptsOfficeListStatement(), OfficeNames::AsStored).mid(0, 2);
        selection.feeCodes = allFeeCodes(loadFeeItemTree(connection, FeeTreeQuery::InUseByCategory));
        selection.paymentMethods = loadPaymentMethods(connection);
        selection.chosenMethod = QString::fromUtf8(kChooseAll);
        selection.receipts = kMarch;
        selection.monthToDate = kMarch;
        selection.yearToDate = DateRange { QDate(2026, 1, 1), QDate(2026, 3, 31) };
        layoutReceiptsSummaryGrid(m_summaryGrid);
        RunContext run(connection);
        ReceiptsEngine(run, selection).fill(m_summaryGrid);
        QCOMPARE(m_summaryGrid.rows(), 12);

        const QString summaryFile = m_dir.filePath(QStringLiteral("收款汇总表_20260331.xlsx"));
        WriteReceiptsSummaryWorkbook(
            m_summaryGrid, kMarch, summaryFile, [this](int done) { m_summaryProgress << done; });
        m_summary = WorkbookReadback::read(summaryFile);
        QVERIFY2(m_summary.ok(), qPrintable(m_summary.error()));

        const QString detailFile = m_dir.filePath(QStringLiteral("detail.xlsx"));
        WriteReceiptsDetailWorkbook(detailGrid(), { QStringLiteral("甲区"), QStringLiteral("押金") }, kMarch,
            detailFile, [this](int row) { m_detailProgress << row; });
        m_detail = WorkbookReadback::read(detailFile);
        QVERIFY2(m_detail.ok(), qPrintable(m_detail.error()));
    }

    void summaryCells_data()
    {
        cellsData();
        const QString none;
        const QString heading = QStringLiteral("C0C0FF");
        const QString subtotal = QStringLiteral("C0FFFF");
        QTest::newRow("title") << "A1"
                               << "text" << QVariant("收 款 汇 总 表") << "General"
                               << "center" << none << false;
        QTest::newRow("date line") << "A3"
                                   << "text" << QVariant(" 收款日期: 2026-03-01 至 2026-03-31") << "General" << none
                                   << none << false;
        QTest::newRow("heading 序") << "A4"
                                    << "text" << QVariant("序") << "General"
                                    << "center" << heading << true;
        QTest::newRow("heading group") << "E4"
                                       << "text" << QVariant("收历年") << "General"
                                       << "center" << heading << true;
        QTest::newRow("heading part") << "F5"
                                      << "text" << QVariant("税额") << "General"
                                      << "center" << heading << true;
        QTest::newRow("heading 操作") << "W5"
                                      << "text" << QVariant("操作") << "General"
                                      << "center" << heading << true;
        QTest::newRow("heading 年实收累计") << "Y5"
                                            << "text" << QVariant("年实收累计") << "General"
                                            << "center" << heading << true;
        QTest::newRow("sequence") << "A6"
                                  << "number" << QVariant(1.0) << "General" << none << none << true;
        QTest::newRow("office") << "B6"
                                << "text" << QVariant("甲区") << "General" << none << none << true;
        QTest::newRow("item") << "D6"
                              << "text" << QVariant("物业管理费") << "General" << none << none << true;
        QTest::newRow("amount") << "E6"
                                << "number" << QVariant(100.0) << "#0.00"
                                << "right" << none << true;
        QTest::newRow("tax") << "O6"
                             << "number" << QVariant(24.6) << "#0.00"
                             << "right" << none << true;
        QTest::newRow("明细 as an amount column") << "W6"
                                                  << "text" << QVariant("明细") << "#0.00"
                                                  << "right" << none << true;
        QTest::newRow("month to date") << "X6"
                                       << "number" << QVariant(915.0) << "#0.00"
                                       << "right" << none << true;
        QTest::newRow("empty amount stays empty") << "Q6"
                                                  << "empty" << QVariant() << "General" << none << none << true;
        QTest::newRow("zero sum") << "T7"
                                  << "number" << QVariant(0.0) << "#0.00"
                                  << "right" << none << true;
        QTest::newRow("subtotal label") << "B12"
                                        << "text" << QVariant("小计") << "General" << none << subtotal << true;
        QTest::newRow("subtotal first column") << "A12"
                                               << "number" << QVariant(7.0) << "General" << none << subtotal << true;
        QTest::newRow("subtotal last column") << "Y12"
                                              << "number" << QVariant(2765.0) << "#0.00"
                                              << "right" << subtotal << true;
        QTest::newRow("total") << "B15"
                               << "text" << QVariant("合计") << "General" << none << heading << true;
        QTest::newRow("total tax") << "U15"
                                   << "number" << QVariant(89.58) << "#0.00"
                                   << "right" << heading << true;
        QTest::newRow("below the table") << "A16"
                                         << "empty" << QVariant() << "General" << none << none << false;
    }

    void summaryCells() { compareSheetCell(m_summary, 15); }

    void summaryLayout()
    {
        QCOMPARE(m_summary.merges(),
            QStringList({ "A1:Y1", "A3:D3", "A4:A5", "B4:B5", "C4:C5", "D4:D5", "E4:G4", "H4:J4", "K4:M4", "N4:P4",
                "Q4:S4", "T4:V4" }));
        for (int c = 1; c <= 25; ++c)
            QCOMPARE(m_summary.width(columnLetters(c)),
                WorkbookReadback::storedWidth(m_summaryGrid.colWidth(c - 1) / 110.0));
        // The hidden columns stay out.
        QCOMPARE(m_summary.width(QStringLiteral("Z")), -1.0);
        QVERIFY(m_summary.cell(QStringLiteral("Z6")).isEmpty());
        QVERIFY(m_summary.cell(QStringLiteral("A17")).isEmpty());
        const QJsonObject page = m_summary.page();
        QCOMPARE(page.value("titleRows").toString(), QStringLiteral("$4:$5"));
        QCOMPARE(page.value("fitToWidth").toInt(), 1);
        QCOMPARE(m_summaryProgress, QList<int>({ 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 }));
    }

    // Before any statistics the grid holds its headings only.
    void summaryBeforeAnyRun()
    {
        GridModel grid;
        layoutReceiptsSummaryGrid(grid);
        const QString file = m_dir.filePath(QStringLiteral("headings.xlsx"));
        WriteReceiptsSummaryWorkbook(grid, kMarch, file);
        const WorkbookReadback book = WorkbookReadback::read(file);
        QVERIFY2(book.ok(), qPrintable(book.error()));
        QCOMPARE(book.cell(QStringLiteral("A1")).value("value").toString(), QStringLiteral("收 款 汇 总 表"));
        QCOMPARE(book.cell(QStringLiteral("T4")).value("value").toString(), QStringLiteral("合计"));
        QCOMPARE(book.cell(QStringLiteral("Y5")).value("border").toString(), QStringLiteral("thin"));
        QCOMPARE(book.cell(QStringLiteral("A6")).value("size").toDouble(), 9.0);
        QVERIFY(book.cell(QStringLiteral("A6")).value("border").isNull());
        QVERIFY(book.cell(QStringLiteral("A6")).value("value").isNull());
        QVERIFY(book.cell(QStringLiteral("A7")).isEmpty());
    }

    // The 小计 colour follows the row kind, not the label: an office named
    // "小计" keeps none; figures are written from their values.
    void summaryRowsByKind()
    {
        namespace col = ReceiptsColumn;
        GridModel grid;
        layoutReceiptsSummaryGrid(grid);
        const auto row = [&grid](int sequence, const char* label, qint64 cents, RowKind kind) {
            QVector<CellValue> cells(col::kCount);
            cells[col::kSequence] = CellValue::fromCount(sequence);
            cells[col::kOffice] = CellValue::fromText(QString::fromUtf8(label));
            cells[col::kTotalAmount] = CellValue::fromMoney(cents);
            grid.appendRow(cells, kind, RowKey { "01" });
        };
        row(1, "小计", 123456, RowKind::Data);
        row(2, "甲区", -5, RowKind::Subtotal);
        row(3, "合计", 123451, RowKind::Total);
        const QString file = m_dir.filePath(QStringLiteral("kinds.xlsx"));
        WriteReceiptsSummaryWorkbook(grid, kMarch, file);
        const WorkbookReadback book = WorkbookReadback::read(file);
        QVERIFY2(book.ok(), qPrintable(book.error()));
        QCOMPARE(book.cell(QStringLiteral("B6")).value("fill").toString(), QString());
        QCOMPARE(book.cell(QStringLiteral("B7")).value("fill").toString(), QStringLiteral("C0FFFF"));
        compareCell(book.cell(QStringLiteral("T6")), "number", 1234.56, "#0.00", "right");
        compareCell(book.cell(QStringLiteral("T7")), "number", -0.05, "#0.00", "right");
        compareCell(book.cell(QStringLiteral("A7")), "number", 2.0, "General", QString());
    }

    void detailCells_data()
    {
        cellsData();
        const QString none;
        const QString heading = QStringLiteral("C0C0FF");
        QTest::newRow("title") << "A1"
                               << "text" << QVariant("收款汇总明细表") << "General"
                               << "center" << none << false;
        QTest::newRow("office and item") << "A2"
                                         << "text" << QVariant(" 管 理 处: 甲区_押金") << "General"
                                         << "left" << none << false;
        QTest::newRow("date line") << "A3"
                                   << "text" << QVariant(" 收款日期: 2026-03-01 至 2026-03-31") << "General" << none
                                   << none << false;
        QTest::newRow("heading, blanks kept") << "C4"
                                              << "text" << QVariant("票据号码  ") << "General"
                                              << "center" << heading << true;
        QTest::newRow("heading 开票日期") << "M4"
                                          << "text" << QVariant("开票日期        ") << "General"
                                          << "center" << heading << true;
        QTest::newRow("sequence") << "A5"
                                  << "number" << QVariant(1.0) << "General" << none << none << true;
        QTest::newRow("book keeps its zeros") << "B5"
                                              << "text" << QVariant("007") << "General" << none << none << true;
        QTest::newRow("number keeps its zeros") << "C5"
                                                << "text" << QVariant("0012") << "General" << none << none << true;
        QTest::newRow("remark") << "F5"
                                << "text" << QVariant("[202601-202603]") << "General" << none << none << true;
        QTest::newRow("amount") << "G5"
                                << "number" << QVariant(500.0) << "#0.00"
                                << "right" << none << true;
        QTest::newRow("income") << "I5"
                                << "number" << QVariant(500.0) << "#0.00"
                                << "right" << none << true;
        QTest::newRow("received") << "J5"
                                  << "date" << QVariant("2026-03-10") << "yyyy-mm-dd"
                                  << "center" << none << true;
        QTest::newRow("issued") << "M5"
                                << "date" << QVariant("2026-03-09") << "yyyy-mm-dd"
                                << "center" << none << true;
        QTest::newRow("no book") << "B6"
                                 << "empty" << QVariant() << "General" << none << none << true;
        QTest::newRow("no amount") << "G6"
                                   << "empty" << QVariant() << "General" << none << none << true;
        QTest::newRow("no issue date") << "M6"
                                       << "empty" << QVariant() << "yyyy-mm-dd"
                                       << "center" << none << true;
        QTest::newRow("total") << "B7"
                               << "text" << QVariant("合计") << "General" << none << heading << true;
        QTest::newRow("total tax") << "H7"
                                   << "number" << QVariant(0.0) << "#0.00"
                                   << "right" << heading << true;
        QTest::newRow("total first column") << "A7"
                                            << "empty" << QVariant() << "General" << none << heading << true;
    }

    void detailCells() { compareSheetCell(m_detail, 7); }

    void detailLayout()
    {
        QCOMPARE(m_detail.merges(), QStringList({ "A1:M1", "A2:D2", "A3:D3" }));
        const GridModel grid = detailGrid();
        for (int c = 1; c <= 13; ++c)
            QCOMPARE(m_detail.width(columnLetters(c)), WorkbookReadback::storedWidth(grid.colWidth(c - 1) / 110.0));
        QCOMPARE(m_detail.width(QStringLiteral("D")), WorkbookReadback::storedWidth(2345 / 110.0));
        QCOMPARE(m_detail.width(QStringLiteral("N")), -1.0);
        QVERIFY(m_detail.cell(QStringLiteral("N4")).isEmpty());
        QCOMPARE(m_detail.page().value("titleRows").toString(), QStringLiteral("$4:$4"));
        QCOMPARE(m_detailProgress, QList<int>({ 1, 2, 3 }));
    }

    void failedWriteKeepsTheFile()
    {
        const QString file = m_dir.filePath(QStringLiteral("kept.xlsx"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        // A cell text the workbook refuses (longer than a cell holds).
        GridModel grid;
        layoutReceiptsSummaryGrid(grid);
        const int r = grid.appendRow();
        grid.setText(r, 1, QString(40000, u'长'));
        try {
            WriteReceiptsSummaryWorkbook(grid, kMarch, file);
            QFAIL("no failure");
        } catch (const Failure& f) {
            QCOMPARE(f.number(), kErrWorkbook);
        }
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old"));

        try {
            WriteReceiptsDetailWorkbook(detailGrid(), {}, kMarch, m_dir.filePath(QStringLiteral("none/detail.xlsx")));
            QFAIL("no failure");
        } catch (const Failure& f) {
            QCOMPARE(f.number(), kErrFile);
        }
    }

    void printOptions_data()
    {
        QTest::addColumn<QString>("office");
        QTest::addColumn<QString>("title");
        QTest::newRow("one line") << "甲区"
                                  << "(甲区)收款汇总统计表";
        QTest::newRow("stored over two lines") << "碧水湾\r\n管理处"
                                               << "(碧水湾管理处)收款汇总统计表";
        QTest::newRow("no office") << ""
                                   << "()收款汇总统计表";
    }
    void printOptions()
    {
        QFETCH(QString, office);
        QFETCH(QString, title);
        const PrintGridOptions options = receiptsPrintOptions(office, { QDate(2026, 3, 1), QDate(2026, 12, 10) });
        QCOMPARE(options.title, title);
        QCOMPARE(options.dateLine, QStringLiteral("日期范围:2026年03月01日-2026年12月10日"));
        QVERIFY(!options.signature);
        QCOMPARE(options.skip, 0);
    }

    void presetNames()
    {
        QCOMPARE(receiptsSummaryPresetName(QDate(2026, 3, 5)), QStringLiteral("收款汇总表_20260305"));
        QCOMPARE(receiptsDetailPresetName(QStringLiteral("甲区"), QStringLiteral("押金"), QDate(2026, 3, 5)),
            QStringLiteral("收款明细_甲区_押金_20260305"));
    }
};

QTEST_MAIN(TestReceiptsExport)
#include "tst_receiptsexport.moc"
