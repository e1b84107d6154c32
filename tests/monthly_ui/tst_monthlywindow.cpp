#include "monthlyfixture.h"

#include "core/grid/gridmodel.h"
#include "core/messages.h"
#include "core/sessioninfo.h"
#include "widgets/gridview.h"
#include "widgets/savefilechooser.h"
#include "db/dbconnection.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/monthly/ui/monthlyreportwindow.h"
#include "tests/support/windowtest.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

using fee::MonthlyReportWindow;
using namespace fee::testing;

namespace {

const QDate kStatisticsDate(2020, 6, 15);
const QColor kMarked(208, 255, 253);

// Ticks the nodes whose text starts with one of the codes + " ".
void tick(QTreeWidget* tree, const QStringList& codes)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        for (const QString& code : codes) {
            if ((*it)->text(0).startsWith(code + QLatin1Char(' ')))
                (*it)->setCheckState(0, Qt::Checked);
        }
    }
}

QTreeWidgetItem* topNode(QTreeWidget* tree, const QString& text)
{
    const auto found = tree->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

} // namespace

class TestMonthlyWindow : public WindowTestHarness {
    Q_OBJECT

private:
    QMap<FixtureKind, QString> m_connections;

    void useDatabase(FixtureKind kind) { useConnection(m_connections.value(kind)); }

    std::unique_ptr<MonthlyReportWindow> openWindow(FixtureKind kind = FixtureKind::Normal)
    {
        useDatabase(kind);
        auto window = std::make_unique<MonthlyReportWindow>(fee::DbConnection::shared(), fee::sessionInfo());
        window->resize(1400, 900);
        window->show();
        window->findChild<QDateEdit*>(QStringLiteral("DTPicker1"))->setDate(kStatisticsDate);
        return window;
    }

    // Ticks offices and fee items, presses 开始统计 and waits for the run
    // (it goes on a worker thread while the window keeps handling events).
    void runReport(MonthlyReportWindow* window, const QStringList& offices, const QStringList& fees)
    {
        tick(child<QListWidget>(window, "List1"), offices);
        tick(child<QTreeWidget>(window, "TreeView1"), fees);
        child<QPushButton>(window, "Command3")->click();
        waitForRun(window);
    }

    // Presses the drill button and waits for the detail list.
    static void openDetail(MonthlyReportWindow* window)
    {
        child<QToolButton>(window, "btnB")->click();
        waitForRun(window);
    }

    void clickSummary(MonthlyReportWindow* window, int row, int col)
    {
        emit child<fee::GridView>(window, "MSFlexGrid1")->cellClicked(row, col);
    }

private slots:
    void initTestCase()
    {
        setUpHarness();
        recordSaveFiles();
        m_connections.insert(
            FixtureKind::Normal, writeMonthlyFixture(m_dir.filePath(QStringLiteral("normal.db")), FixtureKind::Normal));
        m_connections.insert(FixtureKind::NoOffices,
            writeMonthlyFixture(m_dir.filePath(QStringLiteral("nooffices.db")), FixtureKind::NoOffices));
        m_connections.insert(FixtureKind::NoTables,
            writeMonthlyFixture(m_dir.filePath(QStringLiteral("notables.db")), FixtureKind::NoTables));
        m_connections.insert(FixtureKind::NoLedger,
            writeMonthlyFixture(m_dir.filePath(QStringLiteral("noledger.db")), FixtureKind::NoLedger));
    }

    void init() { clearRecords(); }

    void initialState_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("company") << "Label1_0"
                                 << "澄岳物业";
        QTest::newRow("banner") << "Label1_1"
                                << "物业费收缴率汇总月报";
        QTest::newRow("title") << "Label19"
                               << "住宅物业费收缴率汇总表";
        QTest::newRow("wait") << "Label3"
                              << "正在进行报表统计，请稍等......";
        QTest::newRow("export wait") << "Label2"
                                     << "正在导出数据，请稍等......";
        QTest::newRow("detail caption") << "Label4"
                                        << "明细";
        QTest::newRow("exit") << "Command1"
                              << "退出";
        QTest::newRow("export") << "Command2"
                                << "导出Excel";
        QTest::newRow("start") << "Command3"
                               << "开始统计";
        QTest::newRow("detail export") << "Command4"
                                       << "导出Excel";
        QTest::newRow("office select-all") << "Check2"
                                           << "全选";
        addSessionPanelRows();
    }

    void initialState()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        useDatabase(FixtureKind::Normal);
        MonthlyReportWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        QWidget* control = window.findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(controlText(control), text);
        QVERIFY(m_boxes.isEmpty());
    }

    void initialSelection()
    {
        useDatabase(FixtureKind::Normal);
        MonthlyReportWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        QCOMPARE(window.objectName(), QStringLiteral("frm物业费收缴率汇总月报"));
        QVERIFY(child<QRadioButton>(&window, "Option1")->isChecked());
        const QDate today = QDate::currentDate();
        auto* picker = child<QDateEdit>(&window, "DTPicker1");
        QCOMPARE(picker->date(), today);
        QCOMPARE(picker->displayFormat(), QStringLiteral("yyyy-MM-dd"));
        auto* years = child<QComboBox>(&window, "Combo1");
        QCOMPARE(years->count(), 2079 - 1996 + 1);
        QCOMPARE(years->itemText(0), QStringLiteral("1996"));
        QCOMPARE(years->currentText(), QString::number(today.year()));
        auto* months = child<QComboBox>(&window, "Combo2");
        QCOMPARE(months->count(), 12);
        QCOMPARE(months->currentText(), today.toString(QStringLiteral("MM")));
        for (const char* hidden : { "Picture5", "Picture7", "btnB", "ProgressBar1", "Label2" })
            QVERIFY2(child<QWidget>(&window, hidden)->isHidden(), hidden);
        QCOMPARE(window.summaryGrid().rows(), 2);
        QCOMPARE(window.summaryGrid().cols(), 39);
        QCOMPARE(window.summaryGrid().text(0, 8), QStringLiteral("%1年物业费").arg(today.year()));
        QCOMPARE(window.detailGrid().rows(), 1);
    }

    void listsLoaded()
    {
        useDatabase(FixtureKind::Normal);
        MonthlyReportWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        auto* list = child<QListWidget>(&window, "List1");
        // Shorter codes first; ended offices and offices of ended departments
        // left out; line breaks removed from names.
        QCOMPARE(listTexts(list),
            (QStringList {
                QStringLiteral("9 九号管理处"), QStringLiteral("01 一号管理处"), QStringLiteral("02 二号管理处") }));
        QCOMPARE(list->currentRow(), -1);
        for (int i = 0; i < list->count(); ++i)
            QCOMPARE(list->item(i)->checkState(), Qt::Unchecked);

        auto* tree = child<QTreeWidget>(&window, "TreeView1");
        QCOMPARE(tree->topLevelItemCount(), 2);
        QTreeWidgetItem* other = tree->topLevelItem(0);
        QTreeWidgetItem* property = tree->topLevelItem(1);
        QCOMPARE(other->text(0), QStringLiteral("X其他"));
        QCOMPARE(other->childCount(), 1);
        QCOMPARE(other->child(0)->text(0), QStringLiteral("03 水费"));
        QCOMPARE(property->text(0), QStringLiteral("物业费"));
        QCOMPARE(property->childCount(), 2);
        QCOMPARE(property->child(0)->text(0), QStringLiteral("01 住宅物业费"));
        QCOMPARE(property->child(1)->text(0), QStringLiteral("02 车位费【2019-12-31】"));
        QVERIFY(checkedTexts(tree).isEmpty());
    }

    void listFailuresReported()
    {
        useDatabase(FixtureKind::NoTables);
        MonthlyReportWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        QCOMPARE(m_boxes.size(), 2);
        // The office list reports in the code style, the fee-item tree in the number style.
        QVERIFY2(m_boxes[0].text.startsWith(QStringLiteral("错误码: ")), qPrintable(m_boxes[0].text));
        QVERIFY(m_boxes[0].text.contains(QStringLiteral(" 错误描述: ")));
        QVERIFY2(m_boxes[1].text.startsWith(QStringLiteral("错误号: ")), qPrintable(m_boxes[1].text));
        QCOMPARE(m_boxes[1].title, QStringLiteral("系统提示"));
        QCOMPARE(child<QListWidget>(&window, "List1")->count(), 0);
        QCOMPARE(child<QTreeWidget>(&window, "TreeView1")->topLevelItemCount(), 0);
    }

    void officeSelectAll()
    {
        useDatabase(FixtureKind::Normal);
        MonthlyReportWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        auto* list = child<QListWidget>(&window, "List1");
        auto* all = child<QCheckBox>(&window, "Check2");
        all->click();
        QCOMPARE(all->text(), QStringLiteral("取消"));
        QCOMPARE(list->currentRow(), 0);
        for (int i = 0; i < list->count(); ++i)
            QCOMPARE(list->item(i)->checkState(), Qt::Checked);
        all->click();
        QCOMPARE(all->text(), QStringLiteral("全选"));
        for (int i = 0; i < list->count(); ++i)
            QCOMPARE(list->item(i)->checkState(), Qt::Unchecked);
    }

    void feeSelectAllNeedsYear()
    {
        useDatabase(FixtureKind::Normal);
        MonthlyReportWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        auto* tree = child<QTreeWidget>(&window, "TreeView1");
        auto* all = child<QCheckBox>(&window, "Check1");
        auto* years = child<QComboBox>(&window, "Combo1");

        years->setCurrentIndex(-1);
        all->click();
        QVERIFY(checkedTexts(tree).isEmpty());
        QCOMPARE(all->text(), QStringLiteral("全选"));

        QVERIFY(all->isChecked()); // the box itself did change

        years->setCurrentIndex(3);
        all->click();
        QVERIFY(checkedTexts(tree).isEmpty());
        all->click();
        QCOMPARE(checkedTexts(tree).size(), 5);
        all->click();
        QVERIFY(checkedTexts(tree).isEmpty());
    }

    void nodeCheckPropagatesDown()
    {
        useDatabase(FixtureKind::Normal);
        MonthlyReportWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        auto* tree = child<QTreeWidget>(&window, "TreeView1");
        QTreeWidgetItem* property = topNode(tree, QStringLiteral("物业费"));
        QVERIFY(property);

        property->setCheckState(0, Qt::Checked);
        QCOMPARE(checkedTexts(tree),
            (QStringList { QStringLiteral("物业费"), QStringLiteral("01 住宅物业费"),
                QStringLiteral("02 车位费【2019-12-31】") }));
        property->setCheckState(0, Qt::Unchecked);
        QVERIFY(checkedTexts(tree).isEmpty());

        // An item alone does not tick its category.
        tick(tree, { QStringLiteral("03") });
        QCOMPARE(checkedTexts(tree), QStringList { QStringLiteral("03 水费") });
    }

    void startValidation_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("offices");
        QTest::addColumn<QStringList>("fees");
        QTest::addColumn<QString>("category"); // ticked alone, its items cleared again
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus"); // the control the refusal is about
        QTest::newRow("empty office list") << int(FixtureKind::NoOffices) << QStringList() << QStringList { "01" } << ""
                                           << "管理处列表为空,请检查登录者身份!"
                                           << "List1";
        QTest::newRow("no office ticked") << int(FixtureKind::Normal) << QStringList() << QStringList { "01" } << ""
                                          << "请勾选需要统计的管理处!"
                                          << "List1";
        QTest::newRow("no fee item ticked") << int(FixtureKind::Normal) << QStringList { "01" } << QStringList() << ""
                                            << "请选择收费项目！"
                                            << "TreeView1";
        // A category is no fee item, even one whose name holds an "X".
        QTest::newRow("category only") << int(FixtureKind::Normal) << QStringList { "01" } << QStringList() << "X其他"
                                       << "请选择收费项目！"
                                       << "TreeView1";
    }

    void startValidation()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, offices);
        QFETCH(QStringList, fees);
        QFETCH(QString, category);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        auto window = openWindow(FixtureKind(kind));
        auto* list = child<QListWidget>(window.get(), "List1");
        auto* tree = child<QTreeWidget>(window.get(), "TreeView1");
        // A finished run before the start must be cleared by the start.
        if (kind == int(FixtureKind::Normal)) {
            runReport(window.get(), { QStringLiteral("01") }, { QStringLiteral("01") });
            QCOMPARE(window->summaryGrid().rows(), 4);
            for (int i = 0; i < list->count(); ++i)
                list->item(i)->setCheckState(Qt::Unchecked);
            for (QTreeWidgetItemIterator it(tree); *it; ++it)
                (*it)->setCheckState(0, Qt::Unchecked);
        }
        if (!category.isEmpty()) {
            QTreeWidgetItem* node = topNode(tree, category);
            QVERIFY(node);
            node->setCheckState(0, Qt::Checked);
            for (int i = 0; i < node->childCount(); ++i)
                node->child(i)->setCheckState(0, Qt::Unchecked);
        }
        runReport(window.get(), offices, fees);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, message);
        QCOMPARE(m_boxes.first().title, QStringLiteral("系统提示"));
        QCOMPARE(m_boxes.first().icon, fee::BoxIcon::Information);
        QCOMPARE(window->summaryGrid().rows(), 2);
        QVERIFY(child<QWidget>(window.get(), "btnB")->isHidden());
        QCOMPARE(window->focusWidget(), child<QWidget>(window.get(), qPrintable(focus)));
    }

    void runFillsRows_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("text");
        // Office 01: arrears 50, this year 200 (Jan) + 100 (Jun) collected.
        QTest::newRow("serial") << 2 << 0 << "1";
        QTest::newRow("name") << 2 << 1 << "一号管理处";
        QTest::newRow("arrears") << 2 << 2 << "50.00";
        QTest::newRow("unpaid arrears") << 2 << 5 << "50.00";
        QTest::newRow("receivable") << 2 << 8 << "300.00";
        QTest::newRow("january") << 2 << 9 << "200.00";
        QTest::newRow("june") << 2 << 14 << "100.00";
        QTest::newRow("february empty") << 2 << 10 << "";
        QTest::newRow("collected") << 2 << 21 << "300.00";
        QTest::newRow("rate") << 2 << 25 << "100.00%";
        QTest::newRow("months") << 2 << 32 << "6";
        QTest::newRow("office code") << 2 << 38 << "01";
        // Office 02 second in list order, serial 2.
        QTest::newRow("second serial") << 3 << 0 << "2";
        QTest::newRow("second receivable") << 3 << 8 << "80.00";
        QTest::newRow("second unpaid") << 3 << 24 << "80.00";
        QTest::newRow("totals") << 4 << 1 << "合计";
        QTest::newRow("totals receivable") << 4 << 8 << "380.00";
        QTest::newRow("totals serial empty") << 4 << 0 << "";
    }

    void runFillsRows()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, text);
        auto window = openWindow();
        runReport(window.get(), { QStringLiteral("01"), QStringLiteral("02") }, { QStringLiteral("01") });
        QVERIFY2(m_boxes.isEmpty(), m_boxes.isEmpty() ? "" : qPrintable(m_boxes.first().text));
        QCOMPARE(window->summaryGrid().rows(), 5);
        QCOMPARE(window->summaryGrid().text(row, col), text);
        QVERIFY(child<QWidget>(window.get(), "Picture5")->isHidden());
        QVERIFY(!window->isRunning());
        QVERIFY(!QApplication::overrideCursor());
    }

    void commercialSwitch()
    {
        auto window = openWindow();
        runReport(window.get(), { QStringLiteral("01") }, { QStringLiteral("01") });
        clickSummary(window.get(), 2, 8);
        QVERIFY(!child<QWidget>(window.get(), "btnB")->isHidden());
        child<QCheckBox>(window.get(), "Check2")->click();

        // Pressing the option already chosen changes nothing.
        child<QRadioButton>(window.get(), "Option1")->click();
        QCOMPARE(window->summaryGrid().rows(), 4);
        QCOMPARE(child<QListWidget>(window.get(), "List1")->item(0)->checkState(), Qt::Checked);

        child<QRadioButton>(window.get(), "Option2")->click();
        QCOMPARE(child<QLabel>(window.get(), "Label19")->text(), QStringLiteral("商用物业费收缴率汇总表"));
        QCOMPARE(window->summaryGrid().rows(), 2);
        QVERIFY(child<QWidget>(window.get(), "btnB")->isHidden());
        QVERIFY(child<QWidget>(window.get(), "Picture7")->isHidden());
        auto* list = child<QListWidget>(window.get(), "List1");
        QCOMPARE(listTexts(list), QStringList { QStringLiteral("10 商场管理处") });
        QCOMPARE(list->item(0)->checkState(), Qt::Unchecked);
        QCOMPARE(child<QCheckBox>(window.get(), "Check2")->text(), QStringLiteral("全选"));

        runReport(window.get(), { QStringLiteral("10") }, {});
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(window->summaryGrid().rows(), 4);
        QCOMPARE(window->summaryGrid().text(2, 1), QStringLiteral("商场管理处"));
        QCOMPARE(window->summaryGrid().text(2, 10), QStringLiteral("300.00"));

        child<QRadioButton>(window.get(), "Option1")->click();
        QCOMPARE(child<QLabel>(window.get(), "Label19")->text(), QStringLiteral("住宅物业费收缴率汇总表"));
        QCOMPARE(listTexts(list).size(), 3);
    }

    void summaryClicks_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<bool>("button");
        QTest::addColumn<int>("marked"); // row marked afterwards, -1 none
        QTest::newRow("heading row") << 1 << 8 << false << -1;
        QTest::newRow("office receivable") << 2 << 8 << true << 2;
        QTest::newRow("office month") << 3 << 20 << true << 3;
        QTest::newRow("office prepaid later") << 2 << 29 << true << 2;
        QTest::newRow("office 1-month collected") << 2 << 34 << true << 2;
        QTest::newRow("office rate") << 2 << 6 << false << 2;
        QTest::newRow("office difference") << 2 << 24 << false << 2;
        QTest::newRow("office months count") << 2 << 32 << false << 2;
        QTest::newRow("office name") << 3 << 1 << false << 3;
        QTest::newRow("totals row") << 4 << 8 << false << 4;
    }

    void summaryClicks()
    {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(bool, button);
        QFETCH(int, marked);
        auto window = openWindow();
        runReport(window.get(), { QStringLiteral("01"), QStringLiteral("02") }, { QStringLiteral("01") });
        // A mark left by an earlier click moves to the new row.
        clickSummary(window.get(), 3, 2);
        clickSummary(window.get(), row, col);

        auto* btnB = child<QToolButton>(window.get(), "btnB");
        QCOMPARE(!btnB->isHidden(), button);
        QVERIFY(child<QWidget>(window.get(), "Picture7")->isHidden());
        const fee::GridModel& grid = window->summaryGrid();
        for (int r = 2; r < grid.rows(); ++r) {
            const QColor expected = (marked == -1 ? 3 : marked) == r ? kMarked : QColor();
            QCOMPARE(grid.cellBackColor(r, 1), expected);
            QCOMPARE(grid.cellBackColor(r, 37), expected);
            QCOMPARE(grid.cellBackColor(r, 0), QColor());
        }
        if (button) {
            QCOMPARE(window->pendingDetail().column, col);
            QCOMPARE(window->pendingDetail().row.office, grid.text(row, fee::monthly::kOfficeCode));
            auto* view = child<fee::GridView>(window.get(), "MSFlexGrid1");
            const QRect cell = view->cellRect(row, col);
            QCOMPARE(btnB->height(), cell.height());
            QCOMPARE(btnB->pos(), view->mapTo(btnB->parentWidget(), cell.topLeft()));
        }
    }

    void drillDown_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("amounts"); // column 5 of the data rows, then the total
        QTest::newRow("receivable") << 8 << "【一号管理处 当年应收合计】明细"
                                    << QStringList { "200.00", "100.00", "300.00" };
        QTest::newRow("january") << 9 << "【一号管理处 01月已收】明细" << QStringList { "200.00", "200.00" };
        QTest::newRow("arrears") << 2 << "【一号管理处 往年欠费应收】明细" << QStringList { "50.00", "50.00" };
        QTest::newRow("prepaid later, line break removed")
            << 29 << "【一号管理处 预收2023年及以后】明细" << QStringList { "0.00" };
    }

    void drillDown()
    {
        QFETCH(int, col);
        QFETCH(QString, caption);
        QFETCH(QStringList, amounts);
        auto window = openWindow();
        runReport(window.get(), { QStringLiteral("01"), QStringLiteral("02") }, { QStringLiteral("01") });
        clickSummary(window.get(), 2, col);
        auto* btnB = child<QToolButton>(window.get(), "btnB");
        QVERIFY(!btnB->isHidden());
        openDetail(window.get());

        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(child<QLabel>(window.get(), "Label4")->text(), caption);
        auto* panel = child<QWidget>(window.get(), "Picture7");
        QVERIFY(!panel->isHidden());
        const fee::GridModel& detail = window->detailGrid();
        QCOMPARE(detail.rows(), amounts.size() + 1);
        QStringList shown;
        for (int r = 1; r < detail.rows(); ++r)
            shown << detail.text(r, 5);
        QCOMPARE(shown, amounts);
        QCOMPARE(detail.text(detail.rows() - 1, 1), QStringLiteral("合计"));

        // The panel closes by its icon and by any click on the summary grid.
        child<QToolButton>(window.get(), "Image1_0")->click();
        QVERIFY(panel->isHidden());
        openDetail(window.get());
        QVERIFY(!panel->isHidden());
        clickSummary(window.get(), 0, 0);
        QVERIFY(panel->isHidden());
        QVERIFY(btnB->isHidden());
    }

    void detailPanelMouse()
    {
        auto window = openWindow();
        runReport(window.get(), { QStringLiteral("01") }, { QStringLiteral("01") });
        clickSummary(window.get(), 2, 8);
        openDetail(window.get());
        auto* panel = child<QWidget>(window.get(), "Picture7");
        const QPoint start = panel->pos();
        QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(40, 10));
        QMouseEvent move(QEvent::MouseMove, QPointF(70, 30), panel->mapToGlobal(QPointF(70, 30)), Qt::NoButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &move);
        QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(70, 30));
        QCOMPARE(panel->pos(), start + QPoint(30, 20));

        // A click on the detail grid selects its whole row.
        auto* detailView = child<fee::GridView>(window.get(), "MSFlexGrid2");
        emit detailView->cellClicked(2, 3);
        const QModelIndexList selected = detailView->selectionModel()->selectedIndexes();
        QCOMPARE(selected.size(), window->detailGrid().cols());
        for (const QModelIndex& index : selected)
            QCOMPARE(index.row(), 2);
    }

    void databaseFailureDuringRun()
    {
        auto window = openWindow(FixtureKind::NoLedger);
        runReport(window.get(), { QStringLiteral("01"), QStringLiteral("02") }, { QStringLiteral("01") });
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().text.startsWith(QStringLiteral("错误号: ")), qPrintable(m_boxes.first().text));
        QVERIFY(m_boxes.first().text.contains(QStringLiteral("错误描述: ")));
        QCOMPARE(m_boxes.first().title, QStringLiteral("系统提示"));
        QVERIFY(child<QWidget>(window.get(), "Picture5")->isHidden());
        QVERIFY(!window->isRunning());
        QVERIFY(!QApplication::overrideCursor());
        // The row begun before the failure stays; no totals row.
        QCOMPARE(window->summaryGrid().rows(), 3);
        QCOMPARE(window->summaryGrid().text(2, 1), QStringLiteral("一号管理处"));
    }

    void secondStartAndCloseDuringRun_data() { addPlacementRows(); }

    void secondStartAndCloseDuringRun()
    {
        QFETCH(bool, inMdiArea);
        useDatabase(FixtureKind::Normal);
        QMdiArea area;
        auto* window = new MonthlyReportWindow(fee::DbConnection::shared(), fee::sessionInfo());
        QPointer<MonthlyReportWindow> alive(window);
        QPointer<QWidget> frame = showSelfDeleting(window, area, inMdiArea);
        child<QDateEdit>(window, "DTPicker1")->setDate(kStatisticsDate);

        auto* start = child<QPushButton>(window, "Command3");
        int presses = 0;
        QTimer::singleShot(0, window, [&] {
            QVERIFY(window->isRunning());
            ++presses;
            start->click(); // ignored while the run goes on
            frame->close(); // stops the run; the window closes once it has ended
        });
        QString lastRowName;
        connect(window, &MonthlyReportWindow::statisticsEnded, window, [&] {
            const fee::GridModel& grid = window->summaryGrid();
            lastRowName = grid.text(grid.rows() - 1, 1);
        });
        tick(child<QListWidget>(window, "List1"), { QStringLiteral("01"), QStringLiteral("02") });
        tick(child<QTreeWidget>(window, "TreeView1"), { QStringLiteral("01") });
        start->click();
        QTRY_VERIFY_WITH_TIMEOUT(!alive, 20000);
        QTRY_VERIFY(!frame);
        QCOMPARE(presses, 1);
        QVERIFY(m_boxes.isEmpty());
        QVERIFY(!lastRowName.isEmpty());
        QVERIFY(lastRowName != QStringLiteral("合计"));
    }

    void summaryExport()
    {
        auto window = openWindow();
        auto* exportButton = child<QPushButton>(window.get(), "Command2");
        // Headings only: nothing happens.
        exportButton->click();
        QVERIFY(m_offeredNames.isEmpty());
        QVERIFY(m_boxes.isEmpty());

        runReport(window.get(), { QStringLiteral("01") }, { QStringLiteral("01") });
        exportButton->click(); // cancelled
        QCOMPARE(m_offeredNames, QStringList { QStringLiteral("住宅物业费收缴率汇总表_20200615") });
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, QStringLiteral("您取消了导出操作！"));
        QCOMPARE(m_boxes.first().title, QStringLiteral("系统提示"));
        QVERIFY(!exportButton->isHidden());
        QVERIFY(!child<QWidget>(window.get(), "Command1")->isHidden());

        m_boxes.clear();
        m_chosenName = m_dir.filePath(QStringLiteral("summary.xls"));
        exportButton->click();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, QStringLiteral("住宅物业费收缴率汇总表导出成功！"));
        QVERIFY(QFileInfo::exists(m_dir.filePath(QStringLiteral("summary.xlsx"))));
        QVERIFY(!exportButton->isHidden());
        QVERIFY(child<QWidget>(window.get(), "ProgressBar1")->isHidden());
        QVERIFY(child<QWidget>(window.get(), "Label2")->isHidden());
        QCOMPARE(child<QProgressBar>(window.get(), "ProgressBar1")->maximum(), window->summaryGrid().rows() - 1);

        m_boxes.clear();
        m_chosenName = m_dir.filePath(QStringLiteral("missing-folder/summary.xlsx"));
        exportButton->click();
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().text.startsWith(QStringLiteral("错误号: ")), qPrintable(m_boxes.first().text));
        QVERIFY(!exportButton->isHidden());
        QVERIFY(child<QWidget>(window.get(), "ProgressBar1")->isHidden());
    }

    void detailExport()
    {
        auto window = openWindow();
        auto* exportButton = child<QPushButton>(window.get(), "Command4");
        exportButton->click(); // heading row only
        QVERIFY(m_offeredNames.isEmpty());

        runReport(window.get(), { QStringLiteral("01") }, { QStringLiteral("01") });
        clickSummary(window.get(), 2, 9);
        openDetail(window.get());
        exportButton->click(); // cancelled
        QCOMPARE(m_offeredNames, QStringList { QStringLiteral("【一号管理处 01月已收】明细_20200615") });
        QCOMPARE(m_boxes.last().text, QStringLiteral("您取消了导出操作！"));
        QVERIFY(exportButton->isEnabled());

        m_chosenName = m_dir.filePath(QStringLiteral("detail.xlsx"));
        exportButton->click();
        QCOMPARE(m_boxes.last().text, QStringLiteral("明细表导出成功!"));
        QVERIFY(QFileInfo::exists(m_dir.filePath(QStringLiteral("detail.xlsx"))));
        QVERIFY(exportButton->isEnabled());

        m_chosenName = m_dir.filePath(QStringLiteral("missing-folder/detail.xlsx"));
        exportButton->click();
        QVERIFY2(m_boxes.last().text.startsWith(QStringLiteral("错误码: ")), qPrintable(m_boxes.last().text));
        QVERIFY(exportButton->isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestMonthlyWindow)
#include "tst_monthlywindow.moc"
