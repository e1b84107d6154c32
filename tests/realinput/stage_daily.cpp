// The daily receipts list under real input, with the export dialog.
#include "stage.h"
#include "tst_realinput.h"

#include "app/mainwindow.h"
#include "widgets/frmtoexcel.h"
#include "widgets/gridview.h"
#include "widgets/sessionstatusbar.h"
#include "reports/daily/ui/dailyreportwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolBar>
#include <QtTest>

#include <X11/keysym.h>

namespace {

QWidget* toolButton(const fee::FrmToExcel* dialog, const char* key)
{
    auto* toolbar = child<QToolBar>(dialog, "Toolbar1");
    QAction* action = dialog->findChild<QAction*>(QString::fromUtf8(key));
    return toolbar && action ? toolbar->widgetForAction(action) : nullptr;
}

// Does a label or box show its whole text?
bool showsWhole(const QLabel* label) { return label->width() >= label->sizeHint().width(); }
bool showsWhole(const QLineEdit* box)
{
    const int room = box->width() - 2 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) - 6;
    return box->fontMetrics().horizontalAdvance(box->text()) <= room;
}
}

void TestRealInput::daily()
{
    Stage& s = stage();
    QMdiSubWindow* sub = s.openFromMenu(QStringLiteral("统计报表"), QStringLiteral("收款日报表"));
    QVERIFY(sub);
    auto* window = qobject_cast<fee::DailyReportWindow*>(sub->widget());
    QVERIFY(window);
    QVERIFY(sub->isMaximized());
    auto* status = child<fee::SessionStatusBar>(window, "StatusBar1");
    auto command = [window](fee::DailyReportWindow::Command c) {
        return window->findChild<QPushButton*>(QStringLiteral("Command1_%1").arg(int(c)));
    };
    QPushButton* start = command(fee::DailyReportWindow::Run);
    QPushButton* exportButton = command(fee::DailyReportWindow::ExportToExcel);
    QPushButton* print = command(fee::DailyReportWindow::Print);

    auto* gridView = child<fee::GridView>(window, "MSFlexGrid1");
    STAGE_CHECK(sight::wheelOverEveryPart(gridView));
    STAGE_CHECK(gridsight::frozenPartsProblem(gridView));

    // Office 01, every fee item, the first quarter of 2025.
    auto* offices = child<QComboBox>(window, "Combo1");
    QVERIFY(offices->count() > 0);
    QVERIFY(s.choose(offices, 0));
    QVERIFY(offices->currentText().startsWith(QStringLiteral("01 ")));
    QVERIFY(s.tick(child<QCheckBox>(window, "Check2")));
    QVERIFY(s.typeDate(child<QDateEdit>(window, "DTPicker1"), QStringLiteral("2025-01-01")));
    QVERIFY(s.typeDate(child<QDateEdit>(window, "DTPicker2"), QStringLiteral("2025/3/31")));
    QCOMPARE(window->currentSelection().start, QDate(2025, 1, 1));
    QCOMPARE(window->currentSelection().end, QDate(2025, 3, 31));

    QSignalSpy ended(window, &fee::DailyReportWindow::statisticsEnded);
    QVERIFY(s.input.click(start));
    if (window->isRunning()) {
        QVERIFY(!print->isEnabled());
        QVERIFY(!exportButton->isEnabled());
    }
    QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 120000);
    const fee::GridModel& grid = window->resultGrid();
    QVERIFY(grid.rows() > 100);
    QCOMPARE(grid.text(grid.rows() - 1, 1), QStringLiteral("合计"));
    QVERIFY(status->message().startsWith(QStringLiteral("统计结束！")));
    QVERIFY(print->isEnabled() && exportButton->isEnabled());
    QVERIFY(s.boxes.boxes.isEmpty());
    QVERIFY(s.shoot(sub, QStringLiteral("daily-after-run.png")));
    STAGE_CHECK(gridsight::frozenPartsProblem(gridView));
    STAGE_CHECK(gridsight::cutTextProblem(gridView, false));
    STAGE_CHECK(sight::wheelOverEveryPart(gridView));
    STAGE_CHECK(sight::navigateByKeyboard(gridView));
    STAGE_CHECK(gridsight::cutTextProblem(gridView, false));

    // A click on a figure marks its row.
    QVERIFY(s.input.key(XK_Home, true));
    const QRect cell = gridView->cellRect(3, 8);
    QVERIFY(cell.isValid());
    QVERIFY(s.input.click(gridView, cell.center()));
    QCOMPARE(window->highlightedRow(), 3);

    QVERIFY(s.previewAndClose(print));
    QVERIFY(s.boxes.boxes.isEmpty());

    // The export dialog: whole texts, a layout that stretches, a column
    // chooser whose headings stay headings.
    QVERIFY(s.input.click(exportButton));
    QTRY_VERIFY(window->exportDialog() && window->exportDialog()->isVisible());
    fee::FrmToExcel* dialog = window->exportDialog();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    auto* title = child<QLineEdit>(dialog, "Text1_1");
    QVERIFY2(showsWhole(title), qPrintable(title->text()));
    for (const char* name : { "Label1_0", "Label1_1", "Label1_2" }) {
        QLabel* label = child<QLabel>(dialog, name);
        QVERIFY2(showsWhole(label), name);
        QVERIFY2(label->geometry().left() >= 4, name);
    }
    auto* chooser = child<fee::GridView>(dialog, "Grid1");
    STAGE_CHECK(gridsight::cutTextProblem(chooser, true));
    // A double click unticks a column; the heading row stays the headings.
    const int column = 3;
    const QRect tick = chooser->cellRect(1, column);
    QVERIFY(tick.isValid());
    QVERIFY(s.input.doubleClick(chooser->mapToGlobal(tick.center())));
    QCOMPARE(dialog->chooser().text(1, column), QString());
    STAGE_CHECK(gridsight::frozenPartsProblem(chooser));
    STAGE_CHECK(sight::wheelOverEveryPart(chooser));
    QVERIFY(s.input.key(XK_Right));
    QVERIFY(s.input.key(XK_End, true));
    STAGE_CHECK(gridsight::frozenPartsProblem(chooser));
    for (int c = 0; c < dialog->chooser().cols(); ++c)
        QVERIFY(dialog->chooser().text(0, c) != QStringLiteral("√"));
    QVERIFY(s.shoot(dialog, QStringLiteral("export-dialog.png")));
    // Larger, the boxes and the chooser take the room.
    const int fileWidth = child<QLineEdit>(dialog, "Text1_0")->width();
    const int chooserHeight = chooser->height();
    dialog->resize(dialog->width() + 240, dialog->height() + 120);
    QTRY_VERIFY(child<QLineEdit>(dialog, "Text1_0")->width() > fileWidth + 100);
    QVERIFY(chooser->height() > chooserHeight + 60);

    // Written under a name typed in; the window says where to.
    const QString typed = s.dir.filePath(QStringLiteral("daily.xls"));
    const QString written = s.dir.filePath(QStringLiteral("daily.xlsx"));
    auto* fileBox = child<QLineEdit>(dialog, "Text1_0");
    QVERIFY(s.input.click(fileBox));
    QVERIFY(s.keysReach(fileBox));
    QVERIFY(s.input.type(typed));
    QCOMPARE(fileBox->text(), typed);
    QVERIFY(s.input.click(toolButton(dialog, "输出")));
    QTRY_VERIFY(!window->exportDialog());
    QVERIFY(QFileInfo::exists(written));
    QVERIFY(s.boxes.boxes.isEmpty());
    QVERIFY2(status->message().contains(QDir::toNativeSeparators(written)), qPrintable(status->message()));

    // The same name again: daily.xlsx was never named, so the dialog asks
    // before touching it; No leaves it as it was.
    const QDateTime before = QFileInfo(written).lastModified();
    QVERIFY(s.input.click(exportButton));
    QTRY_VERIFY(window->exportDialog() && window->exportDialog()->isVisible());
    dialog = window->exportDialog();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    fileBox = child<QLineEdit>(dialog, "Text1_0");
    QVERIFY(s.input.click(fileBox));
    QVERIFY(s.keysReach(fileBox));
    QVERIFY(s.input.type(typed));
    s.boxes.answer = fee::BoxAnswer::No;
    QVERIFY(s.input.click(toolButton(dialog, "输出")));
    QCOMPARE(s.boxes.boxes.size(), 1);
    QVERIFY(s.boxes.boxes.first().text.contains(QDir::toNativeSeparators(written)));
    QCOMPARE(s.boxes.boxes.first().buttons, fee::BoxButtons::YesNo);
    s.boxes.clear();
    QVERIFY(dialog->isVisible());
    QCOMPARE(QFileInfo(written).lastModified(), before);

    // A run started with the dialog open: its 输出 waits for the run, as
    // 打印 and 输出EXCEL do, and the wait panel says what for. Cancelled,
    // the list says it is incomplete and asks before it goes out.
    QVERIFY(s.typeDate(child<QDateEdit>(window, "DTPicker1"), QStringLiteral("2023-01-01")));
    QVERIFY(s.typeDate(child<QDateEdit>(window, "DTPicker2"), QStringLiteral("2026-12-31")));
    QCOMPARE(window->currentSelection().start, QDate(2023, 1, 1));
    QCOMPARE(window->currentSelection().end, QDate(2026, 12, 31));
    // Out of the way of the wait panel, as a person would drag it.
    dialog->move(s.main->geometry().right() - dialog->width(), s.main->geometry().top());
    auto* cancel = child<QPushButton>(window, "PictureWait_Cancel");
    QAction* output = dialog->findChild<QAction*>(QStringLiteral("输出"));
    STAGE_CHECK(s.cancelRun(
        start, cancel, ended, [window] { return window->isRunning(); },
        [status] { return status->message().startsWith(QStringLiteral("统计已取消")); },
        [&] {
            if (output->isEnabled() || print->isEnabled() || exportButton->isEnabled())
                return QStringLiteral("an output enabled during the run");
            if (!child<QLabel>(dialog, "StatusBar1_Panel1")->text().contains(QStringLiteral("统计")))
                return QStringLiteral("the dialog does not say why 输出 waits");
            const QString subject = child<QLabel>(window, "PictureWait_Subject")->text();
            if (!subject.contains(QStringLiteral("2023-01-01")) || !subject.contains(QStringLiteral("打印")))
                return QStringLiteral("the wait panel says: ") + subject;
            return QString();
        }));
    QCOMPARE(status->message(), QStringLiteral("统计已取消，列表不完整（没有合计行）"));
    QVERIFY(grid.text(grid.rows() - 1, 1) != QStringLiteral("合计"));
    QVERIFY(output->isEnabled() && print->isEnabled() && exportButton->isEnabled());
    QVERIFY(s.boxes.boxes.isEmpty());

    // Each way out asks first; No keeps the incomplete list in.
    QVERIFY(s.input.click(toolButton(dialog, "输出")));
    QCOMPARE(s.boxes.boxes.size(), 1);
    QVERIFY(s.boxes.boxes.first().text.contains(QStringLiteral("不完整")));
    QCOMPARE(QFileInfo(written).lastModified(), before);
    QVERIFY(s.input.click(toolButton(dialog, "退出")));
    QTRY_VERIFY(!window->exportDialog());
    s.boxes.clear();
    QVERIFY(s.input.click(print));
    QVERIFY(s.input.click(exportButton));
    QCOMPARE(s.boxes.boxes.size(), 2);
    for (const fee::BoxRequest& box : s.boxes.boxes) {
        QVERIFY(box.text.contains(QStringLiteral("不完整")));
        QCOMPARE(box.buttons, fee::BoxButtons::YesNo);
    }
    QVERIFY(!window->exportDialog());
    s.boxes.answer = fee::BoxAnswer::Yes;
    s.boxes.clear();
    STAGE_CHECK(sight::wheelOverEveryPart(gridView));

    QPointer<QWidget> gone = window;
    QVERIFY(s.input.click(command(fee::DailyReportWindow::Exit)));
    QTRY_VERIFY(gone.isNull());
}
