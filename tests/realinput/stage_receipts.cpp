// The receipts summary under real input.
#include "stage.h"
#include "tst_realinput.h"

#include "app/mainwindow.h"
#include "widgets/detailpanel.h"
#include "widgets/gridview.h"
#include "widgets/savefilechooser.h"
#include "widgets/sessionstatusbar.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/ui/receiptssummarywindow.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <X11/keysym.h>

namespace {

QPushButton* command(const QWidget* window, int index)
{
    return window->findChild<QPushButton*>(QStringLiteral("Command1_%1").arg(index));
}
}

void TestRealInput::receipts()
{
    Stage& s = stage();
    QMdiSubWindow* sub = s.openFromMenu(QStringLiteral("统计报表"), QStringLiteral("收款汇总表"));
    QVERIFY(sub);
    auto* window = qobject_cast<fee::ReceiptsSummaryWindow*>(sub->widget());
    QVERIFY(window);
    QVERIFY(sub->isMaximized());
    QCOMPARE(sub->geometry(), s.main->mdiArea()->viewport()->rect());
    auto* status = child<fee::SessionStatusBar>(window, "StatusBar1");
    QPushButton* start = command(window, 0);
    QPushButton* exportButton = command(window, 1);
    QPushButton* exit = command(window, 2);
    QPushButton* print = command(window, 3);

    auto* summary = child<fee::GridView>(window, "MSFlexGrid1");
    STAGE_CHECK(sight::wheelOverEveryPart(summary));
    STAGE_CHECK(gridsight::frozenPartsProblem(summary));

    // Four years of receipts of every office: sums of eight digits.
    QVERIFY(s.tick(child<QCheckBox>(window, "Check1")));
    QVERIFY(s.tick(child<QCheckBox>(window, "Check2")));
    QVERIFY(s.typeDate(child<QDateEdit>(window, "DTPicker1"), QStringLiteral("2023-01-01")));
    QVERIFY(s.typeDate(child<QDateEdit>(window, "DTPicker2"), QStringLiteral("20261231")));
    QCOMPARE(child<QDateEdit>(window, "DTPicker1")->date(), QDate(2023, 1, 1));
    QCOMPARE(child<QDateEdit>(window, "DTPicker2")->date(), QDate(2026, 12, 31));

    QSignalSpy ended(window, &fee::ReceiptsSummaryWindow::statisticsEnded);
    QVERIFY(s.input.click(start));
    QVERIFY2(window->isRunning() || !ended.isEmpty(), qPrintable(s.boxes.texts().join(QLatin1Char('/'))));
    QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 120000);
    const fee::GridModel& grid = window->summaryGrid();
    QCOMPARE(grid.text(grid.rows() - 1, fee::ReceiptsColumn::kOffice), QStringLiteral("合计"));
    QCOMPARE(status->message(), QStringLiteral("统计结束！"));
    QVERIFY(s.boxes.boxes.isEmpty());
    // The sums this database gives reach eight digits.
    QVERIFY(grid.text(grid.rows() - 1, 19).indexOf(QLatin1Char('.')) >= 8);
    QVERIFY(s.shoot(sub, QStringLiteral("receipts-after-run.png")));
    STAGE_CHECK(gridsight::frozenPartsProblem(summary));
    STAGE_CHECK(gridsight::cutTextProblem(summary, false));
    STAGE_CHECK(s.chartProblem(window, sub, grid, QStringLiteral("receipts-chart.png")));
    STAGE_CHECK(sight::wheelOverEveryPart(summary));
    STAGE_CHECK(sight::navigateByKeyboard(summary));
    STAGE_CHECK(gridsight::cutTextProblem(summary, false));

    // 明细 of the first office's first row: the detail frame over the summary.
    // Brought into sight by the keyboard: the first data row, its last columns.
    QVERIFY(s.input.key(XK_Home, true));
    QVERIFY(s.input.key(XK_End));
    QVERIFY(s.input.key(XK_Left));
    QVERIFY(s.input.key(XK_Left));
    QCOMPARE(summary->currentIndex().column(), fee::ReceiptsColumn::kDetail);
    QSignalSpy detailEnded(window, &fee::ReceiptsSummaryWindow::detailEnded);
    const QRect cell = summary->cellRect(2, fee::ReceiptsColumn::kDetail);
    QVERIFY(cell.isValid());
    QVERIFY(s.input.click(summary, cell.center()));
    auto* frame = child<fee::DetailPanel>(window, "Frame3");
    QTRY_VERIFY(frame->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!detailEnded.isEmpty(), 60000);
    QVERIFY(window->detailGrid().rows() > 2);
    QVERIFY(s.shoot(sub, QStringLiteral("receipts-detail.png")));
    fee::GridView* detailView = frame->view();
    STAGE_CHECK(gridsight::frozenPartsProblem(detailView));
    STAGE_CHECK(gridsight::cutTextProblem(detailView, true));
    STAGE_CHECK(sight::wheelOverEveryPart(detailView));
    STAGE_CHECK(sight::navigateByKeyboard(detailView));

    const QString detailFile = s.dir.filePath(QStringLiteral("receipts-detail.xlsx"));
    fee::setSaveFileChooser([detailFile](QWidget*, const QString&, const QString&) { return detailFile; });
    QVERIFY(s.input.click(frame->exportButton()));
    QTRY_VERIFY(QFileInfo::exists(detailFile));
    QCOMPARE(s.boxes.texts(), QStringList { QStringLiteral("收款汇总明细表导出成功!") });
    s.boxes.clear();
    QVERIFY(s.input.click(frame->closeButton()));
    QTRY_VERIFY(!frame->isVisible());

    // The workbook and the printout of the summary.
    const QString summaryFile = s.dir.filePath(QStringLiteral("receipts.xlsx"));
    fee::setSaveFileChooser([summaryFile](QWidget*, const QString&, const QString&) { return summaryFile; });
    QVERIFY(s.input.click(exportButton));
    QTRY_VERIFY(QFileInfo::exists(summaryFile));
    fee::setSaveFileChooser({});
    QCOMPARE(s.boxes.texts(), QStringList { QStringLiteral("收款汇总表导出成功!") });
    s.boxes.clear();
    QVERIFY(s.previewAndClose(print, QStringLiteral("print-preview.png")));
    QVERIFY(s.boxes.boxes.isEmpty());

    // A run starts from an empty grid, keeps 打印 and 输出EXCEL from a
    // half-filled one and says what it is waiting for; this one is cancelled.
    auto* cancel = child<QPushButton>(window, "WaitPanel1_Cancel");
    STAGE_CHECK(s.cancelRun(
        start, cancel, ended, [window] { return window->isRunning(); },
        [status] { return status->message() == QStringLiteral("统计已取消！"); },
        [&] {
            if (summary->model()->rowCount() != 2)
                return QStringLiteral("the last run's rows still show");
            if (print->isEnabled() || exportButton->isEnabled())
                return QStringLiteral("打印 or 输出EXCEL enabled during the run");
            const QString subject = child<QLabel>(window, "WaitPanel1_Subject")->text();
            if (!subject.contains(QStringLiteral("2023-01-01")))
                return QStringLiteral("the wait panel says: ") + subject;
            return QString();
        }));
    QVERIFY(print->isEnabled());
    QVERIFY(exportButton->isEnabled());
    QVERIFY(s.boxes.boxes.isEmpty());
    STAGE_CHECK(sight::wheelOverEveryPart(summary));

    QPointer<QWidget> gone = window;
    QVERIFY(s.input.click(exit));
    QTRY_VERIFY(gone.isNull());
}
