// The daily receipts list window over a hand-made database: its controls and
// lists, the checks before a run, the run on the worker, the highlighted row,
// the layout rules, printing and the export dialog.
#include "../daily/dailyfixture.h"
#include "dailywindowtest.h"

#include "core/failure.h"
#include "core/fontfamilies.h"
#include "core/grid/twips.h"
#include "core/messages.h"
#include "print/recordingsurface.h"
#include "core/sessioninfo.h"
#include "widgets/gridprinter.h"
#include "widgets/gridview.h"
#include "db/dbconnection.h"
#include "reports/daily/dailyengine.h"
#include "reports/daily/dailygrid.h"
#include "reports/shared/runcontext.h"
#include "reports/shared/selectionlists.h"
#include "tests/support/sqlitescript.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

using fee::DailyReportWindow;
using namespace dailywindow;

namespace {

enum class Fixture { Normal, NoMethodTable, EmptyMethods, NoInvoiceTable };

const QDate kMarch1(2024, 3, 1);
const QDate kMarch31(2024, 3, 31);

QStringList comboTexts(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QStringList treeTexts(QTreeWidget* tree)
{
    QStringList texts;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        texts << QString((*it)->parent() ? 2 : 0, QLatin1Char(' ')) + (*it)->text(0);
    return texts;
}

} // namespace

class TestDailyWindow : public fee::testing::WindowTestHarness {
    Q_OBJECT

    QMap<Fixture, QString> m_connections;

    void useDatabase(Fixture fixture) { useConnection(m_connections.value(fixture)); }

    std::unique_ptr<DailyReportWindow> openWindow(Fixture fixture = Fixture::Normal)
    {
        useDatabase(fixture);
        auto window = std::make_unique<DailyReportWindow>(fee::DbConnection::shared(), fee::sessionInfo());
        window->show();
        return window;
    }

    // Chooses office 01, the range and every fee item, presses 统计 and waits
    // for the run on the worker thread.
    void runReport(DailyReportWindow* window, const QDate& start = kMarch1, const QDate& end = kMarch31)
    {
        chooseOffice(window, QStringLiteral("01"));
        setDates(window, start, end);
        tickAllFeeItems(window);
        press(window, DailyReportWindow::Run);
        QTRY_VERIFY_WITH_TIMEOUT(!window->isRunning(), 30000);
    }

    // The same selection run by the engine on this thread.
    QVector<QStringList> engineRows(const fee::DailySelection& selection, Fixture fixture = Fixture::Normal)
    {
        return dailywindow::engineRows(m_connections.value(fixture), selection);
    }

private slots:
    void initTestCase()
    {
        setUpHarness();
        fee::installFontSubstitutions();
        const struct {
            Fixture fixture;
            const char* file;
            const char* change;
        } fixtures[] = {
            { Fixture::Normal, "daily.db", nullptr },
            { Fixture::NoMethodTable, "nomethods.db", "DROP TABLE 收款方式列表;" },
            { Fixture::EmptyMethods, "emptymethods.db", "DELETE FROM 收款方式列表;" },
            { Fixture::NoInvoiceTable, "noinvoices.db", "DROP TABLE 票据;" },
        };
        for (const auto& f : fixtures) {
            const QString path = m_dir.filePath(QString::fromUtf8(f.file));
            QString error = createDailyFixture(path);
            if (error.isEmpty() && f.change)
                error = fee::testing::runSqliteScript(path, f.change);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            m_connections.insert(f.fixture, dailyFixtureConnectionString(path));
        }
    }

    void init() { clearRecords(); }
    void cleanup() { fee::setGridPrinter({}); }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent"); // the strip that holds it
        QTest::addColumn<QString>("text");
        QTest::newRow("office label") << "Label1_6"
                                      << "Picture1_0"
                                      << "管理处";
        QTest::newRow("date label") << "Label1_0"
                                    << "Picture1_0"
                                    << "收款日期";
        QTest::newRow("to") << "Label1_1"
                            << "Picture1_0"
                            << "至";
        QTest::newRow("method label") << "Label1_3"
                                      << "Picture1_0"
                                      << "收款方式";
        QTest::newRow("payee label") << "Label1_4"
                                     << "Picture1_0"
                                     << "收款人";
        QTest::newRow("scope label") << "Label1_5"
                                     << "Picture1_0"
                                     << "统计范围";
        QTest::newRow("fee label") << "Label1_2"
                                   << "Picture1_2"
                                   << "收费项目";
        QTest::newRow("select all") << "Check2"
                                    << "Picture1_2"
                                    << "全选";
        QTest::newRow("run") << "Command1_0"
                             << "Picture1_1"
                             << "统计";
        QTest::newRow("export") << "Command1_1"
                                << "Picture1_1"
                                << "输出EXCEL";
        QTest::newRow("print") << "Command1_3"
                               << "Picture1_1"
                               << "打印";
        QTest::newRow("exit") << "Command1_2"
                              << "Picture1_1"
                              << "退出";
        QTest::newRow("user") << "StatusBar1_Panel2"
                              << "StatusBar1"
                              << " 陈操作";
        QTest::newRow("department") << "StatusBar1_Panel4"
                                    << "StatusBar1"
                                    << " 财务部";
        QTest::newRow("position") << "StatusBar1_Panel5"
                                  << "StatusBar1"
                                  << " 出纳";
    }
    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QString, text);
        useDatabase(Fixture::Normal);
        DailyReportWindow window(fee::DbConnection::shared(), fee::sessionInfo());
        QCOMPARE(window.objectName(), QStringLiteral("frm收款日报表"));
        QCOMPARE(window.windowTitle(), QStringLiteral("收款日报表（只统计应收）"));
        QWidget* control = window.findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        QCOMPARE(fee::testing::controlText(control), text);
        QVERIFY(window.findChild<QWidget*>(parent)->isAncestorOf(control));
        QVERIFY(m_boxes.isEmpty());
    }

    void fontsAndPlaces()
    {
        auto window = openWindow();
        QCOMPARE(window->font().family(), QStringLiteral("微软雅黑"));
        QCOMPARE(window->font().pointSizeF(), 9.0);
        const QFont buttons = child<QWidget>(window.get(), "Picture1_1")->font();
        QCOMPARE(buttons.family(), QStringLiteral("宋体"));
        QCOMPARE(buttons.pointSizeF(), 9.0);
        QCOMPARE(window->resultGrid().fontName(), QStringLiteral("微软雅黑"));
        QCOMPARE(window->resultGrid().fontSize(), 9.0);
        for (const char* name : { "Combo1", "DTPicker1", "DTPicker2", "Combo2", "Combo3", "Combo4" })
            QVERIFY2(
                child<QWidget>(window.get(), "Picture1_0")->isAncestorOf(child<QWidget>(window.get(), name)), name);
        QVERIFY(child<QWidget>(window.get(), "Picture1_2")->isAncestorOf(child<QWidget>(window.get(), "TreeView1")));
        QCOMPARE(child<QWidget>(window.get(), "Combo1")->geometry(), fee::twipsRect(675, 75, 2730, 375));
        QCOMPARE(child<QWidget>(window.get(), "Command1_0")->geometry(), fee::twipsRect(4590, 120, 1335, 345));
        // The status bar shows the date and the time.
        const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        bool dateShown = false;
        for (QLabel* panel : child<QStatusBar>(window.get(), "StatusBar1")->findChildren<QLabel*>())
            dateShown = dateShown || panel->text().contains(today);
        QVERIFY(dateShown);
    }

    void listsLoaded()
    {
        auto window = openWindow();
        QVERIFY(m_boxes.isEmpty());
        auto* offices = child<QComboBox>(window.get(), "Combo1");
        // Offices of kind 0 and 2; none chosen.
        QCOMPARE(comboTexts(offices), QStringList({ "01 南区", "02 北区" }));
        QCOMPARE(offices->currentIndex(), -1);
        QCOMPARE(offices->currentText(), QString());
        // By category; an ended item shows its end date.
        QCOMPARE(treeTexts(child<QTreeWidget>(window.get(), "TreeView1")),
            QStringList({ "停车类", "  车位费", "物业类", "  物业费", "  水费【2019-12-31】" }));
        for (QTreeWidgetItemIterator it(child<QTreeWidget>(window.get(), "TreeView1")); *it; ++it)
            QCOMPARE((*it)->checkState(0), Qt::Unchecked);
        auto* methods = child<QComboBox>(window.get(), "Combo2");
        QCOMPARE(comboTexts(methods), QStringList({ "选择全部", "现金", "转账" }));
        QCOMPARE(methods->currentIndex(), 0);
        // The session department's staff by position, duplicates kept.
        auto* payees = child<QComboBox>(window.get(), "Combo3");
        QCOMPARE(comboTexts(payees), QStringList({ "选择全部", "收款员甲", "欧'阳", "收款员乙", "收款员甲" }));
        QCOMPARE(payees->currentIndex(), 0);
        auto* scope = child<QComboBox>(window.get(), "Combo4");
        QCOMPARE(comboTexts(scope), QStringList({ "不分部门统计", "按部门统计", "按管理项目统计" }));
        QCOMPARE(scope->currentIndex(), 0);
        for (const char* name : { "DTPicker1", "DTPicker2" }) {
            QCOMPARE(child<QDateEdit>(window.get(), name)->date(), QDate::currentDate());
            QCOMPARE(child<QDateEdit>(window.get(), name)->displayFormat(), QStringLiteral("yyyy-MM-dd"));
        }
        // The grid: its heading row alone, headings centred.
        const fee::GridModel& grid = window->resultGrid();
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.cols(), int(fee::DailyGrid::ColumnCount));
        QCOMPARE(grid.text(0, fee::DailyGrid::Number), QStringLiteral("票据号码     "));
        for (int c = 0; c < grid.cols(); ++c)
            QCOMPARE(grid.fixedAlignment(c), int(fee::AlignCenter));
        QCOMPARE(window->highlightedRow(), 0);
        QVERIFY(child<QWidget>(window.get(), "PictureWait")->isHidden());
    }

    // A list that cannot be read is reported in one box; the window opens
    // with what the lists got.
    void loadFailure()
    {
        auto window = openWindow(Fixture::NoMethodTable);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().title, fee::programTitle());
        QVERIFY2(QRegularExpression(QStringLiteral("^-?\\d+\\S")).match(m_boxes.first().text).hasMatch(),
            qPrintable(m_boxes.first().text));
        QVERIFY(window->isVisible());
        QCOMPARE(child<QComboBox>(window.get(), "Combo1")->count(), 2);
        QCOMPARE(child<QTreeWidget>(window.get(), "TreeView1")->topLevelItemCount(), 2);
        QCOMPARE(comboTexts(child<QComboBox>(window.get(), "Combo2")), QStringList { "选择全部" });
        QCOMPARE(comboTexts(child<QComboBox>(window.get(), "Combo3")), QStringList {});
        QCOMPARE(child<QComboBox>(window.get(), "Combo4")->count(), 3);
    }

    void selectAllAndNodeChecks()
    {
        auto window = openWindow();
        auto* tree = child<QTreeWidget>(window.get(), "TreeView1");
        QTreeWidgetItem* property = tree->topLevelItem(1);
        property->setCheckState(0, Qt::Checked);
        QCOMPARE(property->child(0)->checkState(0), Qt::Checked);
        QCOMPARE(property->child(1)->checkState(0), Qt::Checked);
        property->setCheckState(0, Qt::Unchecked);
        QCOMPARE(property->child(1)->checkState(0), Qt::Unchecked);
        property->child(0)->setCheckState(0, Qt::Checked);
        QCOMPARE(property->checkState(0), Qt::Unchecked);
        child<QCheckBox>(window.get(), "Check2")->click();
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            QCOMPARE((*it)->checkState(0), Qt::Checked);
        child<QCheckBox>(window.get(), "Check2")->click();
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            QCOMPARE((*it)->checkState(0), Qt::Unchecked);
    }

    // The checks before a run: a refused run shows its box (or nothing) and
    // leaves the grid as the last run left it.
    void checks_data()
    {
        QTest::addColumn<int>("fixture");
        QTest::addColumn<bool>("office");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<bool>("feeItems");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        const int normal = int(Fixture::Normal);
        QTest::newRow("no office: nothing") << normal << false << kMarch1 << true << QString() << QString();
        QTest::newRow("start after end") << normal << true << kMarch31.addDays(1) << true
                                         << "收款日期起始日期不能大于终止日期，请重新选择！" << fee::programTitle();
        QTest::newRow("start equals end") << normal << true << kMarch31 << true << QString() << QString();
        QTest::newRow("no fee item") << normal << true << kMarch1 << false << "请选择收费项目！"
                                     << "提示";
        QString emptyList;
        try {
            fee::paymentMethodList({}, QString::fromUtf8(fee::kChooseAll));
        } catch (const fee::Failure& f) {
            emptyList = fee::errPlainText(f.number(), f.description(), QString());
        }
        QTest::newRow("选择全部 without methods")
            << int(Fixture::EmptyMethods) << true << kMarch1 << true << emptyList << fee::programTitle();
    }
    void checks()
    {
        QFETCH(int, fixture);
        QFETCH(bool, office);
        QFETCH(QDate, start);
        QFETCH(bool, feeItems);
        QFETCH(QString, text);
        QFETCH(QString, title);
        auto window = openWindow(Fixture(fixture));
        runReport(window.get(), QDate(2024, 3, 12), QDate(2024, 3, 12));
        const QVector<QStringList> before = gridTexts(window->resultGrid());
        m_boxes.clear();

        child<QComboBox>(window.get(), "Combo1")->setCurrentIndex(office ? 0 : -1);
        setDates(window.get(), start, kMarch31);
        if (!feeItems) {
            for (QTreeWidgetItemIterator it(child<QTreeWidget>(window.get(), "TreeView1")); *it; ++it)
                (*it)->setCheckState(0, Qt::Unchecked);
        }
        press(window.get(), DailyReportWindow::Run);
        QTRY_VERIFY_WITH_TIMEOUT(!window->isRunning(), 30000);
        if (text.isEmpty()) {
            QVERIFY(m_boxes.isEmpty());
            if (!office)
                QCOMPARE(gridTexts(window->resultGrid()), before);
            return;
        }
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, text);
        QCOMPARE(m_boxes.first().title, title);
        QCOMPARE(m_boxes.first().icon, fee::BoxIcon::Information);
        QCOMPARE(gridTexts(window->resultGrid()), before);
        QVERIFY(child<QWidget>(window.get(), "PictureWait")->isHidden());
    }

    // The worker's rows are the engine's rows; merge settings applied.
    void runFillsGrid_data()
    {
        QTest::addColumn<QString>("combo");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("rows");
        QTest::newRow("everything") << "Combo2" << 0 << 13;
        QTest::newRow("method 转账") << "Combo2" << 2 << 3;
        QTest::newRow("payee 欧'阳") << "Combo3" << 2 << 3;
        QTest::newRow("by department") << "Combo4" << 1 << 3;
        QTest::newRow("by office") << "Combo4" << 2 << 12;
    }
    void runFillsGrid()
    {
        QFETCH(QString, combo);
        QFETCH(int, index);
        QFETCH(int, rows);
        auto window = openWindow();
        window->findChild<QComboBox*>(combo)->setCurrentIndex(index);
        runReport(window.get());
        QVERIFY(m_boxes.isEmpty());
        const fee::GridModel& grid = window->resultGrid();
        QCOMPARE(grid.rows(), rows);
        QCOMPARE(gridTexts(grid), engineRows(window->currentSelection()));
        QCOMPARE(grid.mergeCells(), int(fee::MergeRestrictColumns));
        for (int c = 0; c < grid.cols(); ++c)
            QCOMPARE(grid.mergeCol(c), c <= fee::DailyGrid::Number);
        QVERIFY(child<QWidget>(window.get(), "PictureWait")->isHidden());
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
        // The view shows every row.
        QTRY_COMPARE(child<fee::GridView>(window.get(), "MSFlexGrid1")->model()->rowCount(), rows);
    }

    void runFailure()
    {
        auto window = openWindow(Fixture::NoInvoiceTable);
        QVERIFY(m_boxes.isEmpty());
        runReport(window.get());
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().title, fee::programTitle());
        // The number, then at once the description.
        QVERIFY2(QRegularExpression(QStringLiteral("^-?\\d+\\S")).match(m_boxes.first().text).hasMatch(),
            qPrintable(m_boxes.first().text));
        QCOMPARE(window->resultGrid().rows(), 1);
        QVERIFY(child<QWidget>(window.get(), "PictureWait")->isHidden());
        QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
    }

    void highlight()
    {
        auto window = openWindow();
        auto* view = child<fee::GridView>(window.get(), "MSFlexGrid1");
        const fee::GridModel& grid = window->resultGrid();
        const QColor mark = fee::DailyGrid::highlightColor();
        QCOMPARE(mark, QColor(208, 255, 253));
        // The heading row alone: a click changes nothing.
        emit view->cellClicked(0, 3);
        QCOMPARE(window->highlightedRow(), 0);

        runReport(window.get());
        QCOMPARE(grid.rows(), 13);
        emit view->cellClicked(3, 4);
        emit view->cellClicked(5, 2);
        QCOMPARE(window->highlightedRow(), 5);
        for (int c = 0; c < grid.cols(); ++c) {
            QCOMPARE(grid.cellBackColor(3, c), QColor());
            QCOMPARE(grid.cellBackColor(5, c), c == 0 ? QColor() : mark);
        }

        // A later, shorter run: the highlighted row now lies past the grid's
        // end; the next click highlights its row and nothing fails.
        emit view->cellClicked(10, 1);
        runReport(window.get(), QDate(2024, 3, 7), QDate(2024, 3, 13));
        QCOMPARE(grid.rows(), 7);
        QCOMPARE(window->highlightedRow(), 10);
        emit view->cellClicked(6, 1); // the totals row
        QCOMPARE(window->highlightedRow(), 6);
        QCOMPARE(grid.cellBackColor(6, 1), mark);

        // Back to the longer list: row 6 is an ordinary row again, uncoloured
        // by the cut, and a click elsewhere leaves it so.
        runReport(window.get());
        emit view->cellClicked(2, 1);
        QCOMPARE(window->highlightedRow(), 2);
        QCOMPARE(grid.cellBackColor(6, 1), QColor());
        QCOMPARE(grid.cellBackColor(2, 1), mark);
        QVERIFY(m_boxes.isEmpty());
    }

    // Picture1_Resize: the grid keeps its place and follows the window; the
    // tree follows its panel.
    void layout_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("design") << QSize(1139, 640);
        QTest::newRow("wide and tall") << QSize(1500, 950);
        QTest::newRow("narrow") << QSize(700, 500);
    }
    void layout()
    {
        QFETCH(QSize, size);
        auto window = openWindow();
        window->resize(size);
        QTRY_COMPARE(window->size(), size);
        auto* grid = child<QWidget>(window.get(), "MSFlexGrid1");
        const QWidget* buttons = child<QWidget>(window.get(), "Picture1_1");
        const int left = fee::twipsToPixels(3420);
        const int top = fee::twipsToPixels(570);
        QTRY_COMPARE(grid->geometry(),
            QRect(
                left, top, size.width() - left - fee::twipsToPixels(60), buttons->y() - top - fee::twipsToPixels(30)));
        const QWidget* panel = child<QWidget>(window.get(), "Picture1_2");
        const QWidget* tree = child<QWidget>(window.get(), "TreeView1");
        const QRect treeInPanel(tree->mapTo(panel, QPoint(0, 0)), tree->size());
        QVERIFY(panel->rect().contains(treeInPanel));
        QVERIFY(panel->height() - treeInPanel.bottom() < fee::twipsToPixels(300));
        QCOMPARE(child<QWidget>(window.get(), "Picture1_0")->width(), size.width());
    }

    void print_data()
    {
        QTest::addColumn<bool>("run");
        QTest::addColumn<int>("office");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("pages");
        QTest::newRow("before any run, no office") << false << -1 << "()收款日报表" << 1;
        QTest::newRow("after a run") << true << 0 << "(南区)收款日报表" << 1;
    }
    void print()
    {
        QFETCH(bool, run);
        QFETCH(int, office);
        QFETCH(QString, title);
        QFETCH(int, pages);
        auto window = openWindow();
        if (run)
            runReport(window.get());
        child<QComboBox>(window.get(), "Combo1")->setCurrentIndex(office);
        setDates(window.get(), QDate(2024, 1, 5), QDate(2024, 1, 31));
        fee::PrintGridOptions handed;
        int printedRows = -1;
        fee::PrintGridResult printed;
        fee::setGridPrinter([&](const fee::GridModel& grid, const fee::PrintGridOptions& options, QWidget*) {
            handed = options;
            printedRows = grid.rows();
            fee::RecordingSurface surface(16838, 11906); // A4 landscape, twips
            fee::PrintGridOptions recorded = options;
            recorded.paperWidth = fee::PaperWidthAnswer::No;
            printed = fee::PrintGrid(surface, grid, recorded);
            return fee::GridPrintOutcome::Printed;
        });
        press(window.get(), DailyReportWindow::Print);
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(handed.title, title);
        QCOMPARE(handed.dateLine, QStringLiteral("日期范围:2024年01月05日-2024年01月31日"));
        QCOMPARE(handed.signature, false);
        QCOMPARE(handed.skip, 0);
        QCOMPARE(handed.unit, int(fee::UnitTwips));
        QCOMPARE(printedRows, window->resultGrid().rows());
        QCOMPARE(printed.pages, pages);
    }

    void printFailure()
    {
        auto window = openWindow();
        fee::setGridPrinter([](const fee::GridModel&, const fee::PrintGridOptions&, QWidget*) -> fee::GridPrintOutcome {
            throw fee::Failure(fee::kErrPrinter, QStringLiteral("没有安装打印机"));
        });
        press(window.get(), DailyReportWindow::Print);
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().text, QString::number(fee::kErrPrinter) + QStringLiteral("没有安装打印机"));
        QCOMPARE(m_boxes.first().title, fee::programTitle());
        QVERIFY(window->isVisible());
    }

    void exportDialog()
    {
        auto window = openWindow();
        // No office chosen: nothing happens.
        press(window.get(), DailyReportWindow::ExportToExcel);
        QVERIFY(!window->exportDialog());
        QVERIFY(m_boxes.isEmpty());

        runReport(window.get());
        setDates(window.get(), QDate(2024, 1, 5), QDate(2024, 1, 31));
        press(window.get(), DailyReportWindow::ExportToExcel);
        QPointer<fee::FrmToExcel> dialog = window->exportDialog();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->isWindow());
        QVERIFY(!dialog->isModal());
        QCOMPARE(dialog->tag(), QStringLiteral("日期范围:2024年01月05日至2024年01月31日"));
        QCOMPARE(dialog->findChild<QLineEdit*>(QStringLiteral("Text1_1"))->text(), QStringLiteral("(南区) 收款日报表"));
        QCOMPARE(dialog->findChild<QLineEdit*>(QStringLiteral("Text1_2"))->text(), QStringLiteral("收款日报表"));
        QCOMPARE(dialog->sourceGrid(), &window->resultGrid());
        const fee::GridModel& chooser = dialog->chooser();
        QCOMPARE(chooser.cols(), int(fee::DailyGrid::ColumnCount));
        for (int c = 0; c < chooser.cols(); ++c)
            QCOMPARE(chooser.text(1, c), QStringLiteral("√"));

        // The one dialog again, with the new texts.
        setDates(window.get(), QDate(2024, 2, 1), QDate(2024, 2, 29));
        press(window.get(), DailyReportWindow::ExportToExcel);
        QCOMPARE(window->exportDialog(), dialog.data());
        QCOMPARE(dialog->tag(), QStringLiteral("日期范围:2024年02月01日至2024年02月29日"));

        // Closed, it is gone; the next press makes a new one.
        dialog->close();
        QTRY_VERIFY(!dialog);
        QVERIFY(!window->exportDialog());
        press(window.get(), DailyReportWindow::ExportToExcel);
        QVERIFY(window->exportDialog());
        QVERIFY(window->exportDialog()->findChild<QLineEdit*>(QStringLiteral("Text1_0"))->text().isEmpty());
        QVERIFY(m_boxes.isEmpty());
    }

    void exitCloses()
    {
        useDatabase(Fixture::Normal);
        auto* window = new DailyReportWindow(fee::DbConnection::shared(), fee::sessionInfo());
        window->setAttribute(Qt::WA_DeleteOnClose);
        QPointer<DailyReportWindow> alive(window);
        window->show();
        press(window, DailyReportWindow::Exit);
        QTRY_VERIFY(!alive);
    }
};

QTEST_MAIN(TestDailyWindow)
#include "tst_dailywindow.moc"
