#include "readback.h"

#include "core/grid/gridmodel.h"
#include "core/messages.h"
#include "widgets/frmtoexcel.h"
#include "widgets/gridview.h"
#include "tests/support/filebytes.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using namespace fee;

namespace {

// A grid with two heading rows: 金额 over 本月, 合计 over 合计, a column
// without heading, and codes in columns 2 and 5.
std::unique_ptr<GridModel> sourceGrid()
{
    auto grid = std::make_unique<GridModel>();
    grid->setRows(4);
    grid->setCols(6);
    grid->setFixedRows(2);
    grid->setFixedCols(1);
    const QStringList top { "序号", "金额", "编号", "", "合计", "票号" };
    const QStringList sub { "序号", "本月", "编号", "", "合计", "票号" };
    const QStringList data1 { "1", "100.00", "0101", "x", "100.00", "000123" };
    const QStringList data2 { "2", "50.00", "0102", "y", "50.00", "000124" };
    for (int c = 0; c < 6; ++c) {
        grid->setText(0, c, top.at(c));
        grid->setText(1, c, sub.at(c));
        grid->setText(2, c, data1.at(c));
        grid->setText(3, c, data2.at(c));
        grid->setColWidth(c, 1000 + 100 * c);
        grid->setFixedAlignment(c, AlignCenter);
    }
    return grid;
}

// Receives the files the dialog asks the desktop to open.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

} // namespace

class TestFrmToExcel : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controls();
    void configFillsTheChooser();
    void clickTicksAndDoubleClickUnticks();
    void messages_data();
    void messages();
    void exportWritesTickedColumnsAndCloses();
    void browseFillsTheFileName();
    void closedSourceGridFailsCleanly();
    void quitClosesWithoutWriting();
    void workbookOfAnotherNameAsksFirst_data();
    void workbookOfAnotherNameAsksFirst();
    void busySourceKeepsOutputBack();
    void outputQuestionAskedFirst();
    void layoutShowsWholeTextsAndStretches();
    void headingsStayHeadingsUnderKeys();

private:
    template <typename T> T* child(const char* name)
    {
        T* w = m_dialog->findChild<T*>(QString::fromUtf8(name));
        if (!w)
            qWarning("no control %s", name);
        return w;
    }
    void clickCell(int row, int col, bool twice);
    void press(const char* key);

    QPointer<FrmToExcel> m_dialog;
    std::unique_ptr<GridModel> m_grid;
    QList<BoxRequest> m_boxes;
    QTemporaryDir m_dir;
};

void TestFrmToExcel::init()
{
    m_boxes.clear();
    setBoxHandler([this](const BoxRequest& r) {
        m_boxes << r;
        return BoxAnswer::Ok;
    });
    m_grid = sourceGrid();
    m_dialog = new FrmToExcel;
    m_dialog->setTag(QStringLiteral("日期范围:2024年01月05日至2024年01月31日"));
    m_dialog->Config(*m_grid, QStringLiteral("收款日报表"), QStringLiteral("(南区) 收款日报表"));
    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dialog));
}

void TestFrmToExcel::cleanup()
{
    delete m_dialog;
    m_grid.reset();
    setBoxHandler({});
}

void TestFrmToExcel::clickCell(int row, int col, bool twice)
{
    auto* grid1 = child<GridView>("Grid1");
    grid1->refreshLayout();
    const QRect rect = grid1->cellRect(row, col);
    QVERIFY(rect.isValid());
    QWidget* target = grid1->childAt(rect.center());
    QVERIFY(target);
    const QPoint at = target->mapFrom(grid1, rect.center());
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(target, Qt::LeftButton, {}, at);
}

void TestFrmToExcel::press(const char* key)
{
    auto* toolbar = child<QToolBar>("Toolbar1");
    QAction* action = m_dialog->findChild<QAction*>(QString::fromUtf8(key));
    QVERIFY(toolbar && action);
    QWidget* button = toolbar->widgetForAction(action);
    QTest::mouseClick(button, Qt::LeftButton);
}

void TestFrmToExcel::controls()
{
    QCOMPARE(m_dialog->objectName(), QStringLiteral("frmToExcel"));
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("输出到Excel表"));
    QVERIFY(m_dialog->isWindow());
    QVERIFY(child<QToolBar>("Toolbar1"));
    QCOMPARE(m_dialog->findChild<QAction*>(QStringLiteral("输出"))->text(), QStringLiteral(" 输  出 "));
    QCOMPARE(m_dialog->findChild<QAction*>(QStringLiteral("退出"))->text(), QStringLiteral(" 退  出 "));
    QCOMPARE(child<QLabel>("Label1_0")->text(), QStringLiteral("Excel文件路径和名称"));
    QCOMPARE(child<QLabel>("Label1_1")->text(), QStringLiteral("文档标题"));
    QCOMPARE(child<QLabel>("Label1_2")->text(), QStringLiteral("工作表名称"));
    QCOMPARE(child<QLineEdit>("Text1_0")->text(), QString()); // each opening starts without a file
    QVERIFY(child<QToolButton>("Command1"));
    QCOMPARE(child<QCheckBox>("Check1")->text(), QStringLiteral("输出时启动Microsoft Excel程序"));
    QVERIFY(child<GridView>("Grid1"));
    QCOMPARE(child<QLabel>("StatusBar1_Panel1")->text(), QStringLiteral("提示: 打“√”表示要输出的列，双击可取消选择。"));
    QVERIFY(child<QStatusBar>("StatusBar1"));
}

void TestFrmToExcel::configFillsTheChooser()
{
    const GridModel& g1 = m_dialog->chooser();
    QCOMPARE(g1.rows(), 2);
    QCOMPARE(g1.fixedRows(), 1);
    QCOMPARE(g1.fixedCols(), 0);
    QCOMPARE(g1.cols(), 6);
    const QStringList headings { "序号", "金额(本月)", "编号", "", "合计", "票号" };
    const QStringList ticks { "√", "√", "√", "", "√", "√" };
    for (int c = 0; c < 6; ++c) {
        QCOMPARE(g1.text(0, c), headings.at(c));
        QCOMPARE(g1.text(1, c), ticks.at(c));
        QCOMPARE(g1.fixedAlignment(c), int(AlignCenter));
    }
    // Fitted to the headings; the column without heading is hidden.
    QCOMPARE(g1.colWidth(3), 0);
    QVERIFY(g1.colWidth(1) > g1.colWidth(0));
    QCOMPARE(child<QLineEdit>("Text1_1")->text(), QStringLiteral("(南区) 收款日报表"));
    QCOMPARE(child<QLineEdit>("Text1_2")->text(), QStringLiteral("收款日报表"));
    QCOMPARE(m_dialog->sourceGrid(), m_grid.get());
}

void TestFrmToExcel::clickTicksAndDoubleClickUnticks()
{
    GridModel& g1 = m_dialog->chooser();
    clickCell(1, 2, true);
    QCOMPARE(g1.text(1, 2), QString());
    clickCell(0, 2, false); // the heading ticks too
    QCOMPARE(g1.text(1, 2), QStringLiteral("√"));
    QCOMPARE(g1.colAlignment(2), int(AlignCenter));
    clickCell(0, 4, true);
    QCOMPARE(g1.text(1, 4), QString());
    QCOMPARE(g1.text(1, 1), QStringLiteral("√"));
}

void TestFrmToExcel::messages_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("icons");

    const int none = int(BoxIcon::None), info = int(BoxIcon::Information);
    QTest::newRow("empty title") << "x.xlsx"
                                 << ""
                                 << "表" << QStringList { "请输入标题内容" } << QList<int> { none };
    QTest::newRow("empty sheet name") << "x.xlsx"
                                      << "标题"
                                      << "" << QStringList { "请输入标题内容" } << QList<int> { none };
    QTest::newRow("empty file name") << ""
                                     << "标题"
                                     << "表" << QStringList { "请确定输出的文件名", "输出到Execl失败: " }
                                     << QList<int> { none, info };
    QTest::newRow("legacy workbook") << "legacy.xls"
                                     << "标题"
                                     << "表" << QStringList { "输出到Execl失败: 不能写入工作簿" }
                                     << QList<int> { info };
}

void TestFrmToExcel::messages()
{
    QFETCH(QString, file);
    QFETCH(QString, title);
    QFETCH(QString, sheet);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, icons);

    QFile legacy(m_dir.filePath(QStringLiteral("legacy.xls")));
    QVERIFY(legacy.open(QIODevice::WriteOnly));
    legacy.write(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    legacy.close();
    child<QLineEdit>("Text1_0")->setText(file.isEmpty() ? QString() : m_dir.filePath(file));
    child<QLineEdit>("Text1_1")->setText(title);
    child<QLineEdit>("Text1_2")->setText(sheet);
    press("输出");

    QCOMPARE(m_boxes.size(), texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        QVERIFY2(m_boxes.at(i).text.startsWith(texts.at(i)), qPrintable(m_boxes.at(i).text));
        QCOMPARE(int(m_boxes.at(i).icon), icons.at(i));
        QCOMPARE(m_boxes.at(i).title, programTitle());
    }
    if (texts.last() == u"输出到Execl失败: ")
        QCOMPARE(m_boxes.last().text, texts.last()); // no description after a missing file name
    QVERIFY(m_dialog && m_dialog->isVisible()); // the dialog stays for another try
}

void TestFrmToExcel::exportWritesTickedColumnsAndCloses()
{
    OpenedUrls opened;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
    const QString file = m_dir.filePath(QStringLiteral("日报.xlsx"));
    child<QLineEdit>("Text1_0")->setText(file);
    child<QCheckBox>("Check1")->setChecked(true);
    clickCell(1, 0, true); // untick 序号
    press("输出");
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

    QCOMPARE(m_boxes.size(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_dialog); // unloaded after the export
    QCOMPARE(opened.urls, QList<QUrl> { QUrl::fromLocalFile(file) });

    const WorkbookReadback book = WorkbookReadback::read(file);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    QCOMPARE(book.sheets(), QStringList { "收款日报表" });
    QCOMPARE(book.cell("A1").value("value").toString(), QStringLiteral("(南区) 收款日报表"));
    QCOMPARE(book.cell("A2").value("value").toString(), QStringLiteral("日期范围:2024年01月05日至2024年01月31日"));
    QCOMPARE(book.cell("A4").value("value").toString(), QStringLiteral("金额"));
    QCOMPARE(book.cell("A5").value("value").toString(), QStringLiteral("本月"));
    QCOMPARE(book.cell("B4").value("value").toString(), QStringLiteral("编号")); // merged over rows 4 and 5
    QCOMPARE(book.cell("B6").value("value").toString(), QStringLiteral("0101")); // source column 2 stays text
    QCOMPARE(book.cell("C4").value("value").toString(), QStringLiteral("合计"));
    QCOMPARE(book.cell("D6").value("value").toString(), QStringLiteral("000123")); // source column 5
    QCOMPARE(book.cell("E6").value("type").toString(), QString()); // the column without heading stays out
    QCOMPARE(book.merges(), QStringList({ "A1:D1", "A2:D2", "A3:D3", "B4:B5", "C4:C5", "D4:D5" }));
}

void TestFrmToExcel::browseFillsTheFileName()
{
    const QString chosen = m_dir.filePath(QStringLiteral("新的.xlsx"));
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = m_dialog->findChild<QFileDialog*>(QStringLiteral("CD1"));
        QVERIFY(dialog);
        seen = true;
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
        // The program's folder, writable here (an installed program's is not: the home folder).
        QCOMPARE(dialog->directory().absolutePath(), QCoreApplication::applicationDirPath());
        QVERIFY(dialog->nameFilters().contains(QStringLiteral("Excel Flie *.xls (*.xls)")));
        QVERIFY(dialog->nameFilters().contains(QStringLiteral("Excel Flie *.xlsx (*.xlsx)")));
        dialog->selectFile(chosen);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QTest::mouseClick(child<QToolButton>("Command1"), Qt::LeftButton);
    QVERIFY(seen);
    QCOMPARE(child<QLineEdit>("Text1_0")->text(), QDir::toNativeSeparators(chosen));

    // A cancelled dialog changes nothing.
    QTimer::singleShot(0, this, [&] { m_dialog->findChild<QFileDialog*>(QStringLiteral("CD1"))->reject(); });
    QTest::mouseClick(child<QToolButton>("Command1"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>("Text1_0")->text(), QDir::toNativeSeparators(chosen));
}

void TestFrmToExcel::closedSourceGridFailsCleanly()
{
    child<QLineEdit>("Text1_0")->setText(m_dir.filePath(QStringLiteral("x.xlsx")));
    m_grid.reset();
    QCOMPARE(m_dialog->sourceGrid(), nullptr);
    press("输出");
    QCOMPARE(m_boxes.size(), 1);
    QVERIFY(m_boxes.first().text.startsWith(QStringLiteral("输出到Execl失败: ")));
    QVERIFY(m_dialog);
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("x.xlsx"))));
}

void TestFrmToExcel::quitClosesWithoutWriting()
{
    child<QLineEdit>("Text1_0")->setText(m_dir.filePath(QStringLiteral("y.xlsx")));
    press("退出");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_dialog);
    QCOMPARE(m_boxes.size(), 0);
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("y.xlsx"))));
}

void TestFrmToExcel::workbookOfAnotherNameAsksFirst_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("written");
    QTest::newRow("x.xls over an existing x.xlsx, No") << "x.xls" << int(BoxAnswer::No) << true << false;
    QTest::newRow("x.xls over an existing x.xlsx, Yes") << "x.xls" << int(BoxAnswer::Yes) << true << true;
    QTest::newRow("x without an ending, No") << "x" << int(BoxAnswer::No) << true << false;
    QTest::newRow("x.xlsx named itself") << "x.xlsx" << int(BoxAnswer::No) << false << true;
}

// A name the workbook is written under another one ("x.xls" as "x.xlsx")
// never updates an existing workbook the user did not name without asking;
// the window hears which file was written.
void TestFrmToExcel::workbookOfAnotherNameAsksFirst()
{
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, written);

    const QString existing = m_dir.filePath(QStringLiteral("x.xlsx"));
    QFile::remove(existing);
    {
        FrmToExcel first;
        first.Config(*m_grid, QStringLiteral("其他"), QStringLiteral("其他表"));
        first.findChild<QLineEdit*>(QStringLiteral("Text1_0"))->setText(existing);
        QString failure;
        QVERIFY(first.To_Execl(m_grid.get(), QStringLiteral("其他表"), QStringLiteral("其他"), &failure));
    }
    const QByteArray before = fee::testing::fileBytes(existing);
    QVERIFY(!before.isEmpty());

    setBoxHandler([this, answer](const BoxRequest& r) {
        m_boxes << r;
        return r.buttons == BoxButtons::YesNo ? BoxAnswer(answer) : BoxAnswer::Ok;
    });
    QSignalSpy writtenSpy(m_dialog.data(), &FrmToExcel::workbookWritten);
    child<QLineEdit>("Text1_0")->setText(m_dir.filePath(typed));
    press("输出");

    QCOMPARE(m_boxes.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(m_boxes.first().buttons, BoxButtons::YesNo);
        QVERIFY(m_boxes.first().text.contains(QDir::toNativeSeparators(existing)));
        QVERIFY(m_boxes.first().text.contains(QStringLiteral("收款日报表")));
    }
    QCOMPARE(fee::testing::fileBytes(existing) != before, written);
    QCOMPARE(writtenSpy.size(), written ? 1 : 0);
    if (written) {
        QCOMPARE(writtenSpy.first().at(0).toString(), existing);
        const WorkbookReadback book = WorkbookReadback::read(existing);
        QCOMPARE(book.sheets(), QStringList({ "其他", "收款日报表" }));
    } else {
        QVERIFY(m_dialog && m_dialog->isVisible()); // declined: the dialog stays, no failure box
    }
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("x.xls"))));
}

// While a run fills the source grid, 输出 is disabled and the status bar
// says why; afterwards it is back.
void TestFrmToExcel::busySourceKeepsOutputBack()
{
    QAction* output = m_dialog->findChild<QAction*>(QStringLiteral("输出"));
    QLabel* hint = child<QLabel>("StatusBar1_Panel1");
    const QString usual = hint->text();
    child<QLineEdit>("Text1_0")->setText(m_dir.filePath(QStringLiteral("busy.xlsx")));
    m_dialog->setSourceBusy(true);
    QVERIFY(!output->isEnabled());
    QVERIFY(hint->text().contains(QStringLiteral("统计")));
    press("输出");
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("busy.xlsx"))));
    m_dialog->setSourceBusy(false);
    QVERIFY(output->isEnabled());
    QCOMPARE(hint->text(), usual);
    press("输出");
    QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("busy.xlsx"))));
}

void TestFrmToExcel::outputQuestionAskedFirst()
{
    m_dialog->setOutputQuestion(QStringLiteral("列表不完整。仍要输出吗？"));
    child<QLineEdit>("Text1_0")->setText(m_dir.filePath(QStringLiteral("half.xlsx")));
    press("输出"); // answered Ok: no Yes
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.first().text, QStringLiteral("列表不完整。仍要输出吗？"));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("half.xlsx"))));
    QVERIFY(m_dialog);
}

void TestFrmToExcel::layoutShowsWholeTextsAndStretches()
{
    const QString title = QStringLiteral("(阳光花园管理处第二分区北苑) 收款日报表 2025年01月01日至2025年12月31日");
    m_dialog->Config(*m_grid, QStringLiteral("收款日报表"), title);
    QCoreApplication::processEvents();
    auto* box = child<QLineEdit>("Text1_1");
    QVERIFY2(box->fontMetrics().horizontalAdvance(title) < box->width() - 6,
        qPrintable(QStringLiteral("%1 in %2").arg(box->fontMetrics().horizontalAdvance(title)).arg(box->width())));
    for (const char* name : { "Label1_0", "Label1_1", "Label1_2" }) {
        QLabel* label = child<QLabel>(name);
        QVERIFY2(label->width() >= label->sizeHint().width(), name);
        QVERIFY2(label->x() > 0, name);
    }
    auto* file = child<QLineEdit>("Text1_0");
    auto* grid1 = child<GridView>("Grid1");
    const QSize fileSize = file->size();
    const QSize gridSize = grid1->size();
    m_dialog->resize(m_dialog->width() + 300, m_dialog->height() + 150);
    QCoreApplication::processEvents();
    QVERIFY(file->width() > fileSize.width() + 150);
    QVERIFY(grid1->width() > gridSize.width() + 250);
    QVERIFY(grid1->height() > gridSize.height() + 100);
}

// Keys moving through the chooser carry no ticks into its heading row.
void TestFrmToExcel::headingsStayHeadingsUnderKeys()
{
    auto* grid1 = child<GridView>("Grid1");
    clickCell(1, 1, true);
    for (const Qt::Key key : { Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Right })
        QTest::keyClick(grid1, key, key == Qt::Key_End ? Qt::ControlModifier : Qt::NoModifier);
    QCoreApplication::processEvents();
    QTableView* headings = grid1->fixedRowsView();
    QVERIFY(headings->isVisible());
    QCOMPARE(headings->rowAt(1), 0);
    QCOMPARE(headings->verticalScrollBar()->value(), 0);
}

QTEST_MAIN(TestFrmToExcel)
#include "test_frmtoexcel.moc"
