// The receipts summary window driven through its controls on a small fee
// database: the panel as it loads, the checks of a start, the run on the
// worker, the clicks on the summary grid, the entry in the main window.
#include "receiptswindowfixture.h"
#include "db/dbconnection.h"

#include "app/appresources.h"
#include "app/mainwindow.h"
#include "core/grid/gridmodel.h"
#include "core/grid/twips.h"
#include "core/sessioninfo.h"
#include "widgets/gridview.h"
#include "reports/receipts_summary/receiptscolumns.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

using fee::ReceiptsSummaryWindow;
using namespace receiptsui;
namespace col = fee::ReceiptsColumn;

class TestReceiptsWindow : public ReceiptsWindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpFixture(); }
    void init() { clearRecords(); }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("statistics") << "Command1_0"
                                    << "统计";
        QTest::newRow("export") << "Command1_1"
                                << "输出EXCEL";
        QTest::newRow("exit") << "Command1_2"
                              << "退出";
        QTest::newRow("print") << "Command1_3"
                               << "打印";
        QTest::newRow("management frame") << "Frame1"
                                          << "管理项目";
        QTest::newRow("office select-all") << "Check1"
                                           << "全选";
        QTest::newRow("tree select-all") << "Check2"
                                         << "全选";
        QTest::newRow("tree heading") << "Label1"
                                      << "收费项目";
        QTest::newRow("receipt dates") << "Label2"
                                       << "收款日期";
        QTest::newRow("to 1") << "Label3"
                              << "至";
        QTest::newRow("month to date") << "Check3"
                                       << "月实收累计日期";
        QTest::newRow("to 2") << "Label7"
                              << "至";
        QTest::newRow("year to date") << "Check4"
                                      << "年实收累计日期";
        QTest::newRow("to 3") << "Label9"
                              << "至";
        QTest::newRow("method") << "Label4"
                                << "收款方式";
        QTest::newRow("mode") << "Label6"
                              << "统计方式";
        QTest::newRow("summary frame") << "Frame2"
                                       << "收费汇总清单";
        QTest::newRow("empty detail") << "Command2"
                                      << "…";
        QTest::newRow("detail close") << "Command3"
                                      << "关闭";
        QTest::newRow("detail export") << "Command4"
                                       << "输出EXCEL";
        addSessionPanelRows();
        QTest::newRow("message") << "StatusBar1_Panel7"
                                 << "";
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        useDatabase(m_database);
        ReceiptsSummaryWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        const QWidget* control = window.findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(controlText(control), text);
        QVERIFY(m_boxes.isEmpty());
    }

    void formLoad()
    {
        useDatabase(m_database);
        ReceiptsSummaryWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        QCOMPARE(window.objectName(), QStringLiteral("frm收款汇总表"));
        QCOMPARE(window.windowTitle(), QStringLiteral("收款汇总表"));

        // The four buttons at their places in the strip.
        const QList<QPair<const char*, int>> buttons { { "Command1_0", 5820 }, { "Command1_1", 7350 },
            { "Command1_3", 8865 }, { "Command1_2", 10455 } };
        for (const auto& [name, left] : buttons)
            QCOMPARE(child<QPushButton>(&window, name)->geometry(), fee::twipsRect(left, 60, 1200, 345));

        const QDate today = QDate::currentDate();
        const QList<QPair<const char*, QDate>> dates { { "DTPicker1", today }, { "DTPicker2", today },
            { "DTPicker3", QDate(today.year(), today.month(), 1) }, { "DTPicker4", today },
            { "DTPicker5", QDate(today.year(), 1, 1) }, { "DTPicker6", today } };
        for (const auto& [name, date] : dates) {
            auto* picker = child<QDateEdit>(&window, name);
            QCOMPARE(picker->date(), date);
            QCOMPARE(picker->displayFormat(), QStringLiteral("yyyy-MM-dd"));
            // The cumulative ranges wait for their check box.
            QCOMPARE(picker->isEnabled(), QByteArray(name) <= QByteArray("DTPicker2"));
        }
        QVERIFY(!child<QCheckBox>(&window, "Check3")->isChecked());
        QVERIFY(!child<QCheckBox>(&window, "Check4")->isChecked());

        QCOMPARE(window.summaryGrid().rows(), 2);
        QCOMPARE(window.summaryGrid().cols(), 27);
        QCOMPARE(window.summaryGrid().colWidth(col::kKey), 0);
        QCOMPARE(window.detailGrid().rows(), 1);
        QCOMPARE(window.detailGrid().cols(), 14);
        QCOMPARE(window.detailGrid().colWidth(13), 0);
        QCOMPARE(window.detailGrid().text(0, 2), QStringLiteral("票据号码  "));

        // Offices of kind 0 and 2 in code order; the commercial one left out.
        QCOMPARE(listTexts(child<QListWidget>(&window, "List1")),
            QStringList({ "01 甲区", "02 乙区", "03 丙区", "04 丁区", "06 己区" }));

        // The fee items in use, by category; the ended one left out.
        auto* tree = child<QTreeWidget>(&window, "TreeView1");
        QStringList nodes;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            nodes << ((*it)->parent() ? QStringLiteral("  ") : QString()) + (*it)->text(0);
        QCOMPARE(nodes,
            QStringList(
                { "A类物业", "  物业管理费", "  公共能耗", "B类车位", "  车位管理费", "C类其他", "  押金", "  押金" }));
        QVERIFY(checkedTexts(tree).isEmpty());

        auto* methods = child<QComboBox>(&window, "Combo2");
        QCOMPARE(methods->count(), 3);
        QCOMPARE(methods->itemText(0), QStringLiteral("选择全部"));
        QCOMPARE(methods->itemText(2), QStringLiteral("微信"));
        QCOMPARE(methods->currentIndex(), 0);
        auto* modes = child<QComboBox>(&window, "Combo4");
        QCOMPARE(modes->count(), 3);
        QCOMPARE(modes->itemText(1), QStringLiteral("按部门统计"));
        QCOMPARE(modes->currentIndex(), 0);

        for (const char* hidden : { "Frame3", "ProgressBar1", "ProgressBar2" })
            QVERIFY2(child<QWidget>(&window, hidden)->isHidden(), hidden);
        QVERIFY(m_boxes.isEmpty());
    }

    void listFailuresReported()
    {
        const QString path = copyOfDatabase(QStringLiteral("nolists.db"));
        QVERIFY(runSqliteScript(path, "DROP TABLE 设置管理处; DROP TABLE SETUPSFXM; DROP TABLE 收款方式列表;").isEmpty());
        useDatabase(path);
        ReceiptsSummaryWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        QCOMPARE(m_boxes.size(), 3);
        for (const fee::BoxRequest& box : std::as_const(m_boxes)) {
            QVERIFY2(box.text.startsWith(QStringLiteral("错误码: ")), qPrintable(box.text));
            QCOMPARE(box.title, QStringLiteral("系统提示"));
        }
        QCOMPARE(child<QListWidget>(&window, "List1")->count(), 0);
        QCOMPARE(child<QComboBox>(&window, "Combo2")->count(), 1);
    }

    void rangeChecksKeepDates_data()
    {
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("month to date") << "Check3"
                                       << "DTPicker3"
                                       << "DTPicker4";
        QTest::newRow("year to date") << "Check4"
                                      << "DTPicker5"
                                      << "DTPicker6";
    }

    void rangeChecksKeepDates()
    {
        QFETCH(QString, check);
        QFETCH(QString, first);
        QFETCH(QString, second);
        useDatabase(m_database);
        ReceiptsSummaryWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        auto* box = window.findChild<QCheckBox*>(check);
        auto* from = window.findChild<QDateEdit*>(first);
        auto* to = window.findChild<QDateEdit*>(second);
        box->click();
        QVERIFY(from->isEnabled() && to->isEnabled());
        from->setDate(QDate(2025, 2, 3));
        box->click();
        QVERIFY(!from->isEnabled() && !to->isEnabled());
        QCOMPARE(from->date(), QDate(2025, 2, 3));
    }

    void selectAllAndTreeRule()
    {
        useDatabase(m_database);
        ReceiptsSummaryWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        auto* list = child<QListWidget>(&window, "List1");
        child<QCheckBox>(&window, "Check1")->click();
        QCOMPARE(list->count(), 5);
        for (int i = 0; i < list->count(); ++i)
            QCOMPARE(list->item(i)->checkState(), Qt::Checked);
        child<QCheckBox>(&window, "Check1")->click();
        for (int i = 0; i < list->count(); ++i)
            QCOMPARE(list->item(i)->checkState(), Qt::Unchecked);

        auto* tree = child<QTreeWidget>(&window, "TreeView1");
        child<QCheckBox>(&window, "Check2")->click();
        QCOMPARE(checkedTexts(tree).size(), 8); // categories too
        child<QCheckBox>(&window, "Check2")->click();
        QVERIFY(checkedTexts(tree).isEmpty());

        // A category ticks its items; an item alone leaves its category.
        tree->topLevelItem(2)->setCheckState(0, Qt::Checked);
        QCOMPARE(checkedTexts(tree), QStringList({ "C类其他", "押金", "押金" }));
        tree->topLevelItem(2)->setCheckState(0, Qt::Unchecked);
        tree->topLevelItem(0)->child(1)->setCheckState(0, Qt::Checked);
        QCOMPARE(checkedTexts(tree), QStringList { "公共能耗" });
    }

    void startRefusals_data()
    {
        QTest::addColumn<QStringList>("offices");
        QTest::addColumn<bool>("fees");
        QTest::addColumn<bool>("startAfterEnd");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("programTitle");
        QTest::addColumn<QString>("focus");
        QTest::newRow("nothing ticked: offices first")
            << QStringList() << false << true << "请勾选管理处！" << false << "List1";
        QTest::newRow("dates before fee items")
            << QStringList { "01" } << false << true << "收款日期起始日期不能大于终止日期，请重新选择！" << true << "";
        QTest::newRow("no fee item") << QStringList { "01" } << false << false << "请勾选收费项目！" << false
                                     << "TreeView1";
    }

    void startRefusals()
    {
        QFETCH(QStringList, offices);
        QFETCH(bool, fees);
        QFETCH(bool, startAfterEnd);
        QFETCH(QString, message);
        QFETCH(bool, programTitle);
        QFETCH(QString, focus);
        auto window = openWindow();
        // The grid of an earlier run stays as it is after a refusal.
        runReport(window.get(), { "02" });
        QCOMPARE(window->summaryGrid().rows(), 5);
        child<QCheckBox>(window.get(), "Check2")->click(); // every item unticked
        child<QListWidget>(window.get(), "List1")->item(1)->setCheckState(Qt::Unchecked);
        m_boxes.clear();

        tick(child<QListWidget>(window.get(), "List1"), offices);
        if (fees)
            child<QCheckBox>(window.get(), "Check2")->click();
        if (startAfterEnd)
            child<QDateEdit>(window.get(), "DTPicker1")->setDate(kEnd.addDays(1));
        QApplication::setActiveWindow(window.get());
        child<QPushButton>(window.get(), "Command1_0")->click();
        QVERIFY(!window->isRunning());
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, message);
        QCOMPARE(m_boxes.first().title, programTitle ? fee::programTitle() : QStringLiteral("系统提示"));
        QCOMPARE(m_boxes.first().icon, fee::BoxIcon::Information);
        if (!focus.isEmpty())
            QTRY_COMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(), focus);
        QCOMPARE(window->summaryGrid().rows(), 5);
        QCOMPARE(panel7(window.get()), QStringLiteral("统计结束！"));
    }

    void runFillsTheGrid()
    {
        auto window = openWindow();
        child<QCheckBox>(window.get(), "Check3")->click();
        child<QDateEdit>(window.get(), "DTPicker3")->setDate(kStart);
        child<QDateEdit>(window.get(), "DTPicker4")->setDate(kEnd);
        child<QCheckBox>(window.get(), "Check4")->click();
        child<QDateEdit>(window.get(), "DTPicker5")->setDate(QDate(2026, 1, 1));
        child<QDateEdit>(window.get(), "DTPicker6")->setDate(kEnd);

        tick(child<QListWidget>(window.get(), "List1"), { "01", "02" });
        child<QCheckBox>(window.get(), "Check2")->click();
        QString waiting;
        bool overlayShown = false;
        QTimer::singleShot(0, window.get(), [&] {
            waiting = panel7(window.get());
            overlayShown = !child<QWidget>(window.get(), "WaitPanel1")->isHidden();
        });
        child<QPushButton>(window.get(), "Command1_0")->click();
        waitForRun(window.get());

        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(waiting, QStringLiteral("请稍候，正在进行统计..."));
        QVERIFY(overlayShown);
        QVERIFY(child<QWidget>(window.get(), "WaitPanel1")->isHidden());
        QCOMPARE(panel7(window.get()), QStringLiteral("统计结束！"));
        const fee::GridModel& grid = window->summaryGrid();
        QCOMPARE(grid.rows(), 12);
        QCOMPARE(column(grid, col::kOffice),
            QStringList({ "甲区", "甲区", "甲区", "甲区", "甲区", "甲区", "小计", "乙区", "小计", "合计" }));
        QCOMPARE(grid.text(kInvoiceRow, col::kMonthCumulative), QStringLiteral("1620.00"));
        QCOMPARE(grid.text(kSubtotalRow, col::kMonthCumulative), QStringLiteral("2685.00"));
        QCOMPARE(grid.text(kTotalRow, col::kTotalAmount), QStringLiteral("3930.00"));
        QCOMPARE(grid.text(kTotalRow, col::kYearCumulative), QStringLiteral("3565.00"));
        QCOMPARE(grid.cellBackColor(kSubtotalRow, col::kOffice), kSubtotal);
    }

    void modesAndMethods_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("deposit"); // 其他费用 金额 of the total row
        QTest::newRow("by department") << 1 << "选择全部"
                                       << "1000.00";
        QTest::newRow("by office") << 2 << "选择全部"
                                   << "620.00";
        QTest::newRow("one method") << 0 << "微信"
                                    << "70.00";
    }

    void modesAndMethods()
    {
        QFETCH(int, mode);
        QFETCH(QString, method);
        QFETCH(QString, deposit);
        auto window = openWindow();
        child<QComboBox>(window.get(), "Combo4")->setCurrentIndex(mode);
        child<QComboBox>(window.get(), "Combo2")->setCurrentText(method);
        tick(child<QListWidget>(window.get(), "List1"), { "01" });
        child<QTreeWidget>(window.get(), "TreeView1")->topLevelItem(2)->child(0)->setCheckState(0, Qt::Checked);
        child<QPushButton>(window.get(), "Command1_0")->click();
        waitForRun(window.get());
        QVERIFY(m_boxes.isEmpty());
        const fee::GridModel& grid = window->summaryGrid();
        QCOMPARE(grid.text(grid.rows() - 1, col::kFirstGroup + 12), deposit);
    }

    void runFailureKeepsRows()
    {
        const QString path = copyOfDatabase(QStringLiteral("noledger.db"));
        auto window = openWindow(path);
        runReport(window.get(), { "01" });
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(window->summaryGrid().rows(), 10);
        QVERIFY(runSqliteScript(path, "DROP TABLE WYZJ;").isEmpty());

        child<QPushButton>(window.get(), "Command1_0")->click();
        waitForRun(window.get());
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().text.startsWith(QStringLiteral("错误码: ")), qPrintable(m_boxes.first().text));
        QVERIFY(m_boxes.first().text.contains(QStringLiteral(" 错误描述: ")));
        QCOMPARE(m_boxes.first().title, QStringLiteral("系统提示"));
        QCOMPARE(panel7(window.get()), QStringLiteral("请稍候，正在进行统计..."));
        QCOMPARE(window->summaryGrid().rows(), 2);
        QVERIFY(child<QWidget>(window.get(), "WaitPanel1")->isHidden());
        QVERIFY(window->cursor().shape() != Qt::BusyCursor);
    }

    void secondStartAndCloseDuringRun_data() { addPlacementRows(); }

    void secondStartAndCloseDuringRun()
    {
        QFETCH(bool, inMdiArea);
        useDatabase(m_database);
        QMdiArea area;
        auto* window = new ReceiptsSummaryWindow(fee::DbConnection::shared(), fee::sessionInfo());
        QPointer<ReceiptsSummaryWindow> alive(window);
        QPointer<QWidget> frame = showSelfDeleting(window, area, inMdiArea);
        child<QDateEdit>(window, "DTPicker1")->setDate(kStart);
        child<QDateEdit>(window, "DTPicker2")->setDate(kEnd);

        auto* start = child<QPushButton>(window, "Command1_0");
        int ended = 0;
        QString lastRowName;
        connect(window, &ReceiptsSummaryWindow::statisticsEnded, window, [&] {
            ++ended;
            const fee::GridModel& grid = window->summaryGrid();
            lastRowName = grid.text(grid.rows() - 1, col::kOffice);
        });
        tick(child<QListWidget>(window, "List1"), { "01", "02", "03", "04", "06" });
        child<QCheckBox>(window, "Check2")->click();
        start->click();
        QVERIFY(window->isRunning());
        start->click(); // ignored while the run goes on
        frame->close(); // stops the run; the window closes once it has ended
        QVERIFY(alive);
        QTRY_VERIFY_WITH_TIMEOUT(!alive, 20000);
        QTRY_VERIFY(!frame);
        QCOMPARE(ended, 1);
        QVERIFY(m_boxes.isEmpty());
        QVERIFY(lastRowName != QStringLiteral("合计"));
    }

    // A second run starts from the headings on screen, not from the last
    // report under its wait panel; 输出EXCEL and 打印 wait for it, and the
    // panel says what it is waiting for.
    void runStartsEmptyAndHoldsOutputs()
    {
        auto window = openWindow();
        tick(child<QListWidget>(window.get(), "List1"), { "01", "02" });
        child<QCheckBox>(window.get(), "Check2")->click();
        child<QPushButton>(window.get(), "Command1_0")->click();
        waitForRun(window.get());
        auto* view = child<fee::GridView>(window.get(), "MSFlexGrid1");
        QTRY_COMPARE(view->model()->rowCount(), 12);

        int shownRows = -1;
        bool outputsEnabled = true;
        QString subject;
        QTimer::singleShot(0, window.get(), [&] {
            shownRows = view->model()->rowCount();
            outputsEnabled = child<QPushButton>(window.get(), "Command1_1")->isEnabled()
                || child<QPushButton>(window.get(), "Command1_3")->isEnabled();
            subject = child<QLabel>(window.get(), "WaitPanel1_Subject")->text();
        });
        child<QPushButton>(window.get(), "Command1_0")->click();
        waitForRun(window.get());
        QCOMPARE(shownRows, 2);
        QVERIFY(!outputsEnabled);
        QVERIFY2(subject.contains(kStart.toString(Qt::ISODate)) && subject.contains(QStringLiteral("2 个管理处")),
            qPrintable(subject));
        QVERIFY(child<QPushButton>(window.get(), "Command1_1")->isEnabled());
        QVERIFY(child<QPushButton>(window.get(), "Command1_3")->isEnabled());
        QTRY_COMPARE(view->model()->rowCount(), 12);
    }

    void cancelledRunIsNoError()
    {
        auto window = openWindow();
        tick(child<QListWidget>(window.get(), "List1"), { "01", "02", "03", "04", "06" });
        child<QCheckBox>(window.get(), "Check2")->click();
        QTimer::singleShot(
            0, window.get(), [&] { child<QWidget>(window.get(), "WaitPanel1")->findChild<QPushButton*>()->click(); });
        child<QPushButton>(window.get(), "Command1_0")->click();
        waitForRun(window.get());
        QVERIFY(m_boxes.isEmpty());
        const fee::GridModel& grid = window->summaryGrid();
        QVERIFY(grid.text(grid.rows() - 1, col::kOffice) != QStringLiteral("合计"));
        QCOMPARE(panel7(window.get()), QStringLiteral("统计已取消！"));
    }

    void summaryClicks_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("highlighted"); // afterwards; the row highlighted first is 3
        QTest::newRow("heading row") << 1 << 5 << 3;
        QTest::newRow("data row") << kInvoiceRow << 5 << kInvoiceRow;
        QTest::newRow("hidden key column") << kHouseholdRow << col::kKey << kHouseholdRow;
        QTest::newRow("subtotal row") << kSubtotalRow << 5 << 3;
        QTest::newRow("total row") << kTotalRow << 2 << 3;
    }

    void summaryClicks()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(int, highlighted);
        auto window = openWindow();
        runReport(window.get());
        clickSummary(window.get(), 3, 4);
        clickSummary(window.get(), row, col);
        QCOMPARE(window->highlightedSummaryRow(), highlighted);
        QVERIFY(child<QWidget>(window.get(), "Frame3")->isHidden());
        const fee::GridModel& grid = window->summaryGrid();
        for (int r = 2; r < grid.rows(); ++r) {
            QColor rest;
            if (r == kSubtotalRow || r == 10)
                rest = kSubtotal;
            else if (r == kTotalRow)
                rest = kTotal;
            const QColor expected = r == highlighted ? kHighlight : rest;
            QCOMPARE(grid.cellBackColor(r, col::kCategory), expected);
            QCOMPARE(grid.cellBackColor(r, col::kKey), r == highlighted ? kHighlight : QColor());
            // Columns 0 and 1 keep their colours.
            QCOMPARE(grid.cellBackColor(r, col::kOffice), rest);
        }
    }

    // A row highlighted in a longer report is no longer there, or is a total
    // row now: the next run forgets it, and clicks paint nothing over totals.
    void highlightFromAnEarlierRun()
    {
        auto window = openWindow();
        runReport(window.get());
        clickSummary(window.get(), 9, 4); // 乙区's row, the subtotal row in the next report
        QCOMPARE(window->highlightedSummaryRow(), 9);
        child<QListWidget>(window.get(), "List1")->item(1)->setCheckState(Qt::Unchecked);
        child<QPushButton>(window.get(), "Command1_0")->click();
        waitForRun(window.get());
        QCOMPARE(window->summaryGrid().rows(), 10);
        QCOMPARE(window->highlightedSummaryRow(), 0);
        clickSummary(window.get(), kHouseholdRow, 4);
        QCOMPARE(window->highlightedSummaryRow(), kHouseholdRow);
        QCOMPARE(window->summaryGrid().cellBackColor(kSubtotalRow, col::kCategory), kSubtotal);
        QCOMPARE(window->summaryGrid().cellBackColor(9, col::kCategory), kTotal);
        QVERIFY(m_boxes.isEmpty());
    }

    void openedFromTheMenu()
    {
        fee::initAppResources();
        useDatabase(m_database);
        fee::MainWindow main;
        main.resize(1400, 900);
        main.show();
        QAction* entry = main.menuAction(QStringLiteral("收款汇总表"));
        QVERIFY(entry);
        entry->trigger();
        entry->trigger();
        QList<QMdiSubWindow*> receipts;
        for (QMdiSubWindow* sub : main.mdiArea()->subWindowList()) {
            if (qobject_cast<ReceiptsSummaryWindow*>(sub->widget()))
                receipts << sub;
        }
        QCOMPARE(receipts.size(), 1);
        QTRY_VERIFY(receipts.first()->isMaximized());
        QVERIFY(m_boxes.isEmpty());
    }
};

QTEST_MAIN(TestReceiptsWindow)
#include "tst_receiptswindow.moc"
