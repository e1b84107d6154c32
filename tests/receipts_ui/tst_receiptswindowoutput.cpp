// The receipts summary window's detail frame, its two workbooks and its
// printout, driven through the controls.
#include "readback.h"
#include "receiptswindowfixture.h"

#include "core/grid/gridmodel.h"
#include "print/printgrid.h"
#include "widgets/gridview.h"
#include "reports/receipts_summary/receiptscolumns.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

using fee::ReceiptsSummaryWindow;
using namespace receiptsui;
namespace col = fee::ReceiptsColumn;

class TestReceiptsWindowOutput : public ReceiptsWindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpFixture(); }
    void init() { clearRecords(); }

    void detailLists_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("byClick"); // the 明细 cell, else a double click
        QTest::addColumn<QStringList>("amounts"); // 金额 of the detail rows, the totals row last
        QTest::newRow("receipt lines, click")
            << kInvoiceRow << true << QStringList { "500.00", "70.00", "300.00", "1000.00", "50.00", "1920.00" };
        QTest::newRow("household ledger, double click")
            << kHouseholdRow << false << QStringList { "710.00", "100.00", "200.00", "1010.00" };
        QTest::newRow("parking registrations") << kRegistrationRow << false << QStringList { "150.00", "150.00" };
        QTest::newRow("parking spaces") << kSpaceRow << true << QStringList { "150.00", "150.00" };
    }

    void detailLists()
    {
        QFETCH(int, row);
        QFETCH(bool, byClick);
        QFETCH(QStringList, amounts);
        auto window = openWindow();
        runReport(window.get());
        QString waiting;
        QTimer::singleShot(0, window.get(), [&] { waiting = panel7(window.get()); });
        if (byClick)
            clickSummary(window.get(), row, col::kDetail);
        else
            emit child<fee::GridView>(window.get(), "MSFlexGrid1")->cellDoubleClicked(row, 3);
        QVERIFY(window->isRunning());
        waitForRun(window.get());

        QVERIFY2(m_boxes.isEmpty(), m_boxes.isEmpty() ? "" : qPrintable(m_boxes.first().text));
        QCOMPARE(waiting, QStringLiteral("请稍候，正在统计明细..."));
        QCOMPARE(panel7(window.get()), QStringLiteral("统计结束!"));
        auto* frame = child<QWidget>(window.get(), "Frame3");
        QVERIFY(frame->isVisible());
        QCOMPARE(frame->geometry(), child<QWidget>(window.get(), "Frame2")->geometry());
        QVERIFY(!child<QWidget>(window.get(), "Picture2")->isEnabled());
        const fee::GridModel& detail = window->detailGrid();
        QCOMPARE(column(detail, fee::ReceiptsDetailColumn::kAmount), amounts);
        QCOMPARE(detail.text(detail.rows() - 1, 1), QStringLiteral("合计"));
        // The columns widen in the window's font.
        QCOMPARE(detail.fontName(), window->font().family());
        QCOMPARE(detail.fontSize(), window->font().pointSizeF());

        child<QPushButton>(window.get(), "Command3")->click();
        QVERIFY(frame->isHidden());
        QVERIFY(child<QWidget>(window.get(), "Picture2")->isEnabled());
        QCOMPARE(window->detailGrid().rows(), 1);
    }

    void detailTakesTheRunsDates()
    {
        auto window = openWindow();
        runReport(window.get());
        // The panel moves on; the list still belongs to the rows shown.
        child<QDateEdit>(window.get(), "DTPicker1")->setDate(kEnd);
        child<QComboBox>(window.get(), "Combo2")->setCurrentText(QStringLiteral("微信"));
        openDetail(window.get(), kInvoiceRow);
        QCOMPARE(window->detailGrid().text(window->detailGrid().rows() - 1, 6), QStringLiteral("1920.00"));
    }

    void rowsWithoutDetailOpenNothing_data()
    {
        QTest::addColumn<int>("row");
        QTest::newRow("heading") << 1;
        QTest::newRow("subtotal") << kSubtotalRow;
        QTest::newRow("total") << kTotalRow;
    }

    void rowsWithoutDetailOpenNothing()
    {
        QFETCH(int, row);
        auto window = openWindow();
        runReport(window.get());
        clickSummary(window.get(), row, col::kDetail);
        emit child<fee::GridView>(window.get(), "MSFlexGrid1")->cellDoubleClicked(row, col::kDetail);
        QVERIFY(!window->isRunning());
        QVERIFY(child<QWidget>(window.get(), "Frame3")->isHidden());
        QVERIFY(child<QWidget>(window.get(), "Picture2")->isEnabled());
    }

    void detailFailureKeepsTheFrame()
    {
        const QString path = copyOfDatabase(QStringLiteral("nodetail.db"));
        auto window = openWindow(path);
        runReport(window.get());
        QVERIFY(runSqliteScript(path, "DROP TABLE WYZJ;").isEmpty());
        openDetail(window.get(), kHouseholdRow);
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().text.startsWith(QStringLiteral("错误码: ")), qPrintable(m_boxes.first().text));
        QVERIFY(child<QWidget>(window.get(), "Frame3")->isVisible());
        QVERIFY(!child<QWidget>(window.get(), "Picture2")->isEnabled());
        child<QPushButton>(window.get(), "Command3")->click();
        QVERIFY(child<QWidget>(window.get(), "Frame3")->isHidden());
        QVERIFY(child<QWidget>(window.get(), "Picture2")->isEnabled());
    }

    void closingTheFrameDuringAList()
    {
        auto window = openWindow();
        runReport(window.get());
        emit child<fee::GridView>(window.get(), "MSFlexGrid1")->cellDoubleClicked(kInvoiceRow, 1);
        QVERIFY(window->isRunning());
        child<QPushButton>(window.get(), "Command3")->click();
        waitForRun(window.get());
        QVERIFY(m_boxes.isEmpty());
        QVERIFY(child<QWidget>(window.get(), "Frame3")->isHidden());
        QVERIFY(child<QWidget>(window.get(), "Picture2")->isEnabled());
        QCOMPARE(window->detailGrid().rows(), 1);
    }

    void emptyDetailFrame()
    {
        auto window = openWindow();
        runReport(window.get());
        openDetail(window.get(), kInvoiceRow);
        child<QPushButton>(window.get(), "Command3")->click();
        child<QToolButton>(window.get(), "Command2")->click();
        QVERIFY(child<QWidget>(window.get(), "Frame3")->isVisible());
        QCOMPARE(window->detailGrid().rows(), 1);
        QVERIFY(child<QWidget>(window.get(), "Picture2")->isEnabled());
        QVERIFY(!window->isRunning());
    }

    void detailClicks()
    {
        auto window = openWindow();
        runReport(window.get());
        openDetail(window.get(), kInvoiceRow); // five rows and the totals row
        const fee::GridModel& detail = window->detailGrid();
        auto* view = child<fee::GridView>(window.get(), "MSFlexGrid2");
        emit view->cellClicked(2, 3);
        emit view->cellClicked(4, 0);
        QCOMPARE(window->highlightedDetailRow(), 4);
        QCOMPARE(detail.cellBackColor(2, 1), QColor());
        QCOMPARE(detail.cellBackColor(4, 0), QColor());
        QCOMPARE(detail.cellBackColor(4, 1), kHighlight);
        QCOMPARE(detail.cellBackColor(4, 13), kHighlight);
        emit view->cellClicked(6, 3); // the totals row
        QCOMPARE(window->highlightedDetailRow(), 4);
        QCOMPARE(detail.cellBackColor(6, 3), kTotal);

        // A shorter list: the highlighted row would be its totals row.
        child<QPushButton>(window.get(), "Command3")->click();
        openDetail(window.get(), kSpaceRow);
        QCOMPARE(window->highlightedDetailRow(), 0);
        emit view->cellClicked(1, 2);
        QCOMPARE(window->highlightedDetailRow(), 1);
        QCOMPARE(detail.cellBackColor(2, 2), kTotal);
        QVERIFY(m_boxes.isEmpty());
    }

    void summaryExport()
    {
        auto window = openWindow();
        auto* exportButton = child<QPushButton>(window.get(), "Command1_1");
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));

        // Before any statistics: the headings alone.
        m_chosenName = m_dir.filePath(QStringLiteral("headings.xls"));
        exportButton->click();
        QCOMPARE(m_offeredNames, QStringList { QStringLiteral("收款汇总表_") + today });
        QCOMPARE(m_offeredFilters, QStringList { QStringLiteral("电子表|*.xls;*.xlsx") });
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, QStringLiteral("收款汇总表导出成功!"));
        const WorkbookReadback headings = WorkbookReadback::read(m_dir.filePath(QStringLiteral("headings.xlsx")));
        QVERIFY2(headings.ok(), qPrintable(headings.error()));
        QCOMPARE(headings.cell(QStringLiteral("A4")).value("value").toString(), QStringLiteral("序"));
        QCOMPARE(headings.cell(QStringLiteral("E5")).value("value").toString(), QStringLiteral("金额"));
        QVERIFY(headings.cell(QStringLiteral("A6")).value("value").isNull());

        runReport(window.get());
        child<QDateEdit>(window.get(), "DTPicker1")->setDate(QDate(2020, 1, 1));
        m_boxes.clear();
        m_chosenName.clear();
        exportButton->click(); // cancelled
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, QStringLiteral("您取消了导出操作！"));
        QCOMPARE(m_boxes.first().title, QStringLiteral("系统提示"));
        for (const char* name : { "Command1_0", "Command1_1", "Command1_2", "Command1_3" })
            QVERIFY2(!child<QWidget>(window.get(), name)->isHidden(), name);

        m_boxes.clear();
        m_chosenName = m_dir.filePath(QStringLiteral("summary.v2.xls"));
        exportButton->click();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, QStringLiteral("收款汇总表导出成功!"));
        auto* progress = child<QProgressBar>(window.get(), "ProgressBar1");
        QVERIFY(progress->isHidden());
        QCOMPARE(progress->maximum(), window->summaryGrid().rows());
        QVERIFY(!exportButton->isHidden());
        const WorkbookReadback book = WorkbookReadback::read(m_dir.filePath(QStringLiteral("summary.v2.xlsx")));
        QVERIFY2(book.ok(), qPrintable(book.error()));
        // The dates of the run that filled the grid, not the panel's.
        QCOMPARE(book.cell(QStringLiteral("A3")).value("value").toString(),
            QStringLiteral(" 收款日期: 2026-03-01 至 2026-03-31"));
        QCOMPARE(book.cell(QStringLiteral("T15")).value("value").toDouble(), 3930.0);

        m_boxes.clear();
        m_chosenName = m_dir.filePath(QStringLiteral("missing-folder/summary.xlsx"));
        exportButton->click();
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().text.startsWith(QStringLiteral("错误码: ")), qPrintable(m_boxes.first().text));
        QVERIFY(progress->isHidden());
        QVERIFY(!exportButton->isHidden());
        QVERIFY(!QApplication::overrideCursor());
    }

    void detailExport()
    {
        auto window = openWindow();
        auto* exportButton = child<QPushButton>(window.get(), "Command4");
        runReport(window.get());
        child<QToolButton>(window.get(), "Command2")->click();
        exportButton->click(); // heading row only: nothing
        QVERIFY(m_offeredNames.isEmpty());
        child<QPushButton>(window.get(), "Command3")->click();

        openDetail(window.get(), kInvoiceRow);
        exportButton->click(); // cancelled
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
        QCOMPARE(m_offeredNames, QStringList { QStringLiteral("收款明细_甲区_押金_") + today });
        QCOMPARE(m_offeredFilters, QStringList { QStringLiteral("电子表|*.xls;*.xlsx") });
        QCOMPARE(m_boxes.last().text, QStringLiteral("您取消了导出操作！"));
        QVERIFY(!exportButton->isHidden());
        QVERIFY(!child<QWidget>(window.get(), "Command3")->isHidden());

        m_chosenName = m_dir.filePath(QStringLiteral("detail.xls"));
        exportButton->click();
        QCOMPARE(m_boxes.last().text, QStringLiteral("收款汇总明细表导出成功!"));
        QVERIFY(child<QWidget>(window.get(), "ProgressBar2")->isHidden());
        const WorkbookReadback book = WorkbookReadback::read(m_dir.filePath(QStringLiteral("detail.xlsx")));
        QVERIFY2(book.ok(), qPrintable(book.error()));
        QCOMPARE(book.cell(QStringLiteral("A2")).value("value").toString(), QStringLiteral(" 管 理 处: 甲区_押金"));
        QCOMPARE(book.cell(QStringLiteral("C5")).value("value").toString(), QStringLiteral("N1"));

        m_chosenName = m_dir.filePath(QStringLiteral("missing-folder/detail.xlsx"));
        exportButton->click();
        QVERIFY2(m_boxes.last().text.startsWith(QStringLiteral("错误码: ")), qPrintable(m_boxes.last().text));
        QVERIFY(!exportButton->isHidden());
        QVERIFY(child<QWidget>(window.get(), "ProgressBar2")->isHidden());
        QVERIFY(!QApplication::overrideCursor());
    }

    void printedTitle_data()
    {
        QTest::addColumn<int>("current"); // the list's current entry, -1 none
        QTest::addColumn<QStringList>("ticked");
        QTest::addColumn<QString>("title");
        QTest::newRow("current entry") << 2 << QStringList { "01", "02" } << "(丙区)收款汇总统计表";
        QTest::newRow("first ticked") << -1 << QStringList { "02", "04" } << "(乙区)收款汇总统计表";
        QTest::newRow("first entry") << -1 << QStringList() << "(甲区)收款汇总统计表";
    }

    void printedTitle()
    {
        QFETCH(int, current);
        QFETCH(QStringList, ticked);
        QFETCH(QString, title);
        auto window = openWindow();
        auto* list = child<QListWidget>(window.get(), "List1");
        tick(list, ticked);
        list->setCurrentRow(current);
        child<QPushButton>(window.get(), "Command1_3")->click();
        QCOMPARE(m_printed.size(), 1);
        QCOMPARE(m_printed.first().title, title);
        QCOMPARE(m_printed.first().dateLine, QStringLiteral("日期范围:2026年03月01日-2026年03月31日"));
        QVERIFY(!m_printed.first().signature);
        QCOMPARE(m_printed.first().skip, 0);
        QVERIFY(m_boxes.isEmpty());
    }

    void printFailure()
    {
        auto window = openWindow();
        m_printerFails = true;
        child<QPushButton>(window.get(), "Command1_3")->click();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, fee::errCodeText(fee::kErrPrinter, QStringLiteral("打印机没有响应")));
    }
};

QTEST_MAIN(TestReceiptsWindowOutput)
#include "tst_receiptswindowoutput.moc"
