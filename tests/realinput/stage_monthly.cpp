// The monthly collection-rate report under real input.
#include "stage.h"
#include "tst_realinput.h"

#include "app/mainwindow.h"
#include "widgets/detailpanel.h"
#include "widgets/gridview.h"
#include "widgets/savefilechooser.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/monthly/ui/monthlyreportwindow.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <X11/keysym.h>


void TestRealInput::monthly()
{
    Stage& s = stage();
    QMdiSubWindow* sub = s.openFromMenu(QStringLiteral("统计报表"), QStringLiteral("物业费收缴率汇总月报"));
    QVERIFY(sub);
    auto* window = qobject_cast<fee::MonthlyReportWindow*>(sub->widget());
    QVERIFY(window);
    // Opened inside the frame, whole: centred, or maximized when too large.
    const QRect room = s.main->mdiArea()->viewport()->rect();
    QVERIFY2(room.contains(sub->geometry()),
        qPrintable(QStringLiteral("%1,%2 %3x%4").arg(sub->x()).arg(sub->y()).arg(sub->width()).arg(sub->height())));
    QVERIFY(sub->isMaximized() || (sub->geometry().center() - room.center()).manhattanLength() <= 2);

    auto* summary = child<fee::GridView>(window, "MSFlexGrid1");
    QVERIFY(summary);
    // The headings of an empty grid under the wheel.
    STAGE_CHECK(sight::wheelOverEveryPart(summary));
    STAGE_CHECK(gridsight::frozenPartsProblem(summary));

    // Every office and every fee item, a statistics date typed in.
    QVERIFY(s.tick(child<QCheckBox>(window, "Check2")));
    QVERIFY(s.tick(child<QCheckBox>(window, "Check1")));
    auto* date = child<QDateEdit>(window, "DTPicker1");
    QVERIFY(s.typeDate(date, QStringLiteral("2025-12-10")));
    QCOMPARE(date->date(), QDate(2025, 12, 10));

    QSignalSpy ended(window, &fee::MonthlyReportWindow::statisticsEnded);
    QVERIFY(s.input.click(child<QPushButton>(window, "Command3")));
    QVERIFY2(window->isRunning(), qPrintable(s.boxes.texts().join(QLatin1Char('/'))));
    QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), 120000);
    const fee::GridModel& grid = window->summaryGrid();
    QVERIFY(grid.rows() > fee::monthly::kHeadingRows + 1);
    QCOMPARE(grid.text(grid.rows() - 1, fee::monthly::kName), QStringLiteral("合计"));
    QVERIFY(s.boxes.boxes.isEmpty());
    QVERIFY(s.shoot(sub, QStringLiteral("monthly-after-run.png")));
    STAGE_CHECK(gridsight::frozenPartsProblem(summary));
    STAGE_CHECK(gridsight::cutTextProblem(summary, false));

    STAGE_CHECK(sight::wheelOverEveryPart(summary));
    STAGE_CHECK(sight::navigateByKeyboard(summary));
    STAGE_CHECK(gridsight::cutTextProblem(summary, false));
    STAGE_CHECK(s.chartProblem(window, sub, grid, QStringLiteral("monthly-chart.png")));

    // A figure clicked: the drill button on it, then the ledger rows behind it.
    QVERIFY(s.input.key(XK_Home, true));
    const int row = fee::monthly::kHeadingRows;
    const QRect cell = summary->cellRect(row, fee::monthly::kDue);
    QVERIFY(cell.isValid());
    QVERIFY(s.input.click(summary, cell.center()));
    auto* drill = child<QToolButton>(window, "btnB");
    QTRY_VERIFY(drill->isVisible());
    QCOMPARE(window->pendingDetail().column, fee::monthly::kDue);
    auto* detailPanel = child<fee::DetailPanel>(window, "Picture7");
    QVERIFY(s.input.click(drill));
    QTRY_VERIFY_WITH_TIMEOUT(detailPanel->isVisible(), 60000);
    QTRY_VERIFY(!window->isRunning());
    const fee::GridModel& detail = window->detailGrid();
    QVERIFY(detail.rows() > 1);
    QVERIFY(s.shoot(sub, QStringLiteral("monthly-detail.png")));
    fee::GridView* detailView = detailPanel->view();
    STAGE_CHECK(gridsight::frozenPartsProblem(detailView));
    STAGE_CHECK(gridsight::cutTextProblem(detailView, true));
    STAGE_CHECK(sight::wheelOverEveryPart(detailView));
    STAGE_CHECK(sight::navigateByKeyboard(detailView));
    // The 序 column beside its rows, the headings on top, after paging down.
    QVERIFY(gridsight::firstBodyRowInSight(detailView) > 1 || detail.rows() < 30);

    // Its workbook, then the detail closed by its icon.
    const QString detailFile = s.dir.filePath(QStringLiteral("monthly-detail.xlsx"));
    fee::setSaveFileChooser([detailFile](QWidget*, const QString&, const QString&) { return detailFile; });
    QVERIFY(s.input.click(detailPanel->exportButton()));
    QTRY_VERIFY(QFileInfo::exists(detailFile));
    QCOMPARE(s.boxes.texts(), QStringList { QStringLiteral("明细表导出成功!") });
    s.boxes.clear();
    QVERIFY(s.input.click(detailPanel->closeButton()));
    QTRY_VERIFY(!detailPanel->isVisible());

    // The summary's workbook.
    const QString summaryFile = s.dir.filePath(QStringLiteral("monthly.xlsx"));
    fee::setSaveFileChooser([summaryFile](QWidget*, const QString&, const QString&) { return summaryFile; });
    QVERIFY(s.input.click(child<QPushButton>(window, "Command2")));
    QTRY_VERIFY(QFileInfo::exists(summaryFile));
    fee::setSaveFileChooser({});
    QCOMPARE(s.boxes.boxes.size(), 1);
    QVERIFY(s.boxes.boxes.first().text.endsWith(QStringLiteral("导出成功！")));
    s.boxes.clear();

    // A run cancelled from its wait panel: the window stays usable.
    auto* cancel = child<QPushButton>(window, "Picture5_Cancel");
    STAGE_CHECK(s.cancelRun(
        child<QPushButton>(window, "Command3"), cancel, ended, [window] { return window->isRunning(); },
        [&grid] { return grid.text(grid.rows() - 1, fee::monthly::kName) != QStringLiteral("合计"); },
        [window] {
            const QString subject = child<QLabel>(window, "Picture5_Subject")->text();
            if (child<QPushButton>(window, "Command2")->isEnabled() || !subject.contains(QStringLiteral("2025-12-10")))
                return QStringLiteral("导出Excel enabled during the run, or the wait panel says: ") + subject;
            return QString();
        }));
    QVERIFY(!cancel->isVisible());
    QVERIFY(s.boxes.boxes.isEmpty());
    STAGE_CHECK(sight::wheelOverEveryPart(summary));

    // Closed by its 退出.
    QPointer<QWidget> gone = window;
    QVERIFY(s.input.click(child<QPushButton>(window, "Command1")));
    QTRY_VERIFY(gone.isNull());
}
