// The receipts summary window driven through its controls on a small fee
// database: the panel as it loads, the checks of a start, the run on the
// worker, the clicks on the grids, the detail frame, the workbooks and the
// printout.
#include "readback.h"
#include "receiptsfixture.h"

#include "app/appresources.h"
#include "app/mainwindow.h"
#include "common/grid/gridmodel.h"
#include "common/grid/twips.h"
#include "common/messages.h"
#include "common/sessioninfo.h"
#include "common/widgets/gridprinter.h"
#include "common/widgets/gridview.h"
#include "common/widgets/savefilechooser.h"
#include "db/dbconnection.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/ui/receiptssummarywindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <sqlite3.h>

using fee::ReceiptsSummaryWindow;
namespace col = fee::ReceiptsColumn;

namespace {

const QDate kStart(2026, 3, 1);
const QDate kEnd(2026, 3, 31);
const QColor kHighlight(224, 224, 224);
const QColor kSubtotal(192, 255, 255);
const QColor kTotal(192, 192, 255);

// Grid rows of offices 01 and 02 over all fee items in March 2026.
constexpr int kHouseholdRow = 2; // 甲区 物业管理费, 汇总类别 2
constexpr int kRegistrationRow = 4; // 甲区 车位管理费, 3
constexpr int kSpaceRow = 5; // 甲区 车位管理费, 4
constexpr int kInvoiceRow = 6; // 甲区 押金 21, 1
constexpr int kSubtotalRow = 8; // 甲区 小计
constexpr int kTotalRow = 11; // 合计

QString sql(const QString& path, const char* statement)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return QStringLiteral("cannot open ") + path;
    }
    char* message = nullptr;
    QString error;
    if (sqlite3_exec(db, statement, nullptr, nullptr, &message) != SQLITE_OK)
        error = QString::fromUtf8(message);
    sqlite3_free(message);
    sqlite3_close(db);
    return error;
}

void tick(QListWidget* list, const QStringList& codes)
{
    for (int i = 0; i < list->count(); ++i) {
        for (const QString& code : codes) {
            if (list->item(i)->text().startsWith(code + QLatin1Char(' ')))
                list->item(i)->setCheckState(Qt::Checked);
        }
    }
}

QStringList listTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QStringList checkedTexts(QTreeWidget* tree)
{
    QStringList texts;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->checkState(0) == Qt::Checked)
            texts << (*it)->text(0);
    }
    return texts;
}

QString controlText(const QWidget* control)
{
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* box = qobject_cast<const QGroupBox*>(control))
        return box->title();
    return QStringLiteral("?");
}

} // namespace

class TestReceiptsWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_database;
    QList<fee::BoxRequest> m_boxes;
    QStringList m_offeredNames;
    QStringList m_offeredFilters;
    QString m_chosenName; // what the chooser answers; empty = cancel
    QList<fee::PrintGridOptions> m_printed;
    bool m_printerFails = false;

    void useDatabase(const QString& path)
    {
        auto connection = std::make_unique<fee::DbConnection>();
        connection->open(receiptsFixtureConnection(path));
        fee::DbConnection::setShared(std::move(connection));
    }

    // A copy of the fixture the test may spoil.
    QString copyOfDatabase(const QString& name)
    {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        if (!QFile::copy(m_database, path))
            return QString();
        return path;
    }

    template <class T> static T* child(const QWidget* window, const char* name)
    {
        return window->findChild<T*>(QString::fromUtf8(name));
    }

    static QString panel7(const QWidget* window) { return child<QLabel>(window, "StatusBar1_Panel7")->text(); }

    std::unique_ptr<ReceiptsSummaryWindow> openWindow(const QString& database = {})
    {
        useDatabase(database.isEmpty() ? m_database : database);
        auto window = std::make_unique<ReceiptsSummaryWindow>();
        window->resize(1400, 900);
        window->show();
        child<QDateEdit>(window.get(), "DTPicker1")->setDate(kStart);
        child<QDateEdit>(window.get(), "DTPicker2")->setDate(kEnd);
        return window;
    }

    static void waitForRun(ReceiptsSummaryWindow* window) { QTRY_VERIFY_WITH_TIMEOUT(!window->isRunning(), 20000); }

    // Ticks offices and every fee item, presses 统计 and waits for the run.
    void runReport(ReceiptsSummaryWindow* window, const QStringList& offices = { "01", "02" })
    {
        tick(child<QListWidget>(window, "List1"), offices);
        if (!child<QCheckBox>(window, "Check2")->isChecked())
            child<QCheckBox>(window, "Check2")->click();
        child<QPushButton>(window, "Command1_0")->click();
        waitForRun(window);
    }

    static void clickSummary(ReceiptsSummaryWindow* window, int row, int col)
    {
        emit child<fee::GridView>(window, "MSFlexGrid1")->cellClicked(row, col);
    }

    static void openDetail(ReceiptsSummaryWindow* window, int row)
    {
        emit child<fee::GridView>(window, "MSFlexGrid1")->cellDoubleClicked(row, 1);
        waitForRun(window);
    }

    static QStringList column(const fee::GridModel& grid, int col)
    {
        QStringList texts;
        for (int r = grid.fixedRows(); r < grid.rows(); ++r)
            texts << grid.text(r, col);
        return texts;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_database = m_dir.filePath(QStringLiteral("receipts.db"));
        const QString error = createReceiptsFixture(m_database);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        fee::SessionInfo& session = fee::sessionInfo();
        session.UserName = QStringLiteral("陈操作");
        session.DepartmentCode = QStringLiteral("D1");
        session.DepartmentName = QStringLiteral("财务部");
        session.PositionName = QStringLiteral("出纳");

        fee::setBoxHandler([this](const fee::BoxRequest& request) {
            m_boxes << request;
            return fee::BoxAnswer::Ok;
        });
        fee::setSaveFileChooser([this](QWidget*, const QString& preset, const QString& filter) {
            m_offeredNames << preset;
            m_offeredFilters << filter;
            return m_chosenName;
        });
        fee::setGridPrinter([this](const fee::GridModel&, const fee::PrintGridOptions& options, QWidget*) {
            if (m_printerFails)
                throw fee::Failure(fee::kErrPrinter, QStringLiteral("打印机没有响应"));
            m_printed << options;
            return fee::GridPrintOutcome::Printed;
        });
    }

    void init()
    {
        m_boxes.clear();
        m_offeredNames.clear();
        m_offeredFilters.clear();
        m_chosenName.clear();
        m_printed.clear();
        m_printerFails = false;
    }

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
        QTest::newRow("operator") << "StatusBar1_Panel1"
                                  << "操作员";
        QTest::newRow("user") << "StatusBar1_Panel2"
                              << "陈操作";
        QTest::newRow("department") << "StatusBar1_Panel4"
                                    << "财务部";
        QTest::newRow("position") << "StatusBar1_Panel6"
                                  << "出纳";
        QTest::newRow("message") << "StatusBar1_Panel7"
                                 << "";
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        useDatabase(m_database);
        ReceiptsSummaryWindow window;
        const QWidget* control = window.findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(controlText(control), text);
        QVERIFY(m_boxes.isEmpty());
    }

    void formLoad()
    {
        useDatabase(m_database);
        ReceiptsSummaryWindow window;
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
        QVERIFY(sql(path, "DROP TABLE 设置管理处; DROP TABLE SETUPSFXM; DROP TABLE 收款方式列表;").isEmpty());
        useDatabase(path);
        ReceiptsSummaryWindow window;
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
        ReceiptsSummaryWindow window;
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
        ReceiptsSummaryWindow window;
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
        QVERIFY(sql(path, "DROP TABLE WYZJ;").isEmpty());

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

    void secondStartAndCloseDuringRun_data()
    {
        QTest::addColumn<bool>("inMdiArea");
        QTest::newRow("top-level window") << false;
        QTest::newRow("child of a multiple-document area") << true;
    }

    void secondStartAndCloseDuringRun()
    {
        QFETCH(bool, inMdiArea);
        useDatabase(m_database);
        QMdiArea area;
        auto* window = new ReceiptsSummaryWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<ReceiptsSummaryWindow> alive(window);
        QPointer<QWidget> frame(window);
        if (inMdiArea) {
            frame = area.addSubWindow(window);
            frame->setAttribute(Qt::WA_DeleteOnClose);
            area.resize(1400, 900);
            area.show();
        }
        frame->show();
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
        QVERIFY(sql(path, "DROP TABLE WYZJ;").isEmpty());
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
