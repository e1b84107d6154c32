#include "core/grid/gridmodel.h"
#include "core/sessioninfo.h"
#include "widgets/detailpanel.h"
#include "widgets/feeitemtreepanel.h"
#include "widgets/officelistpanel.h"
#include "widgets/sessionstatusbar.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using namespace fee;

// The shared window pieces in the variants the report windows assemble.
class TestPanels : public QObject {
    Q_OBJECT

    static QStringList tickedEntries(const OfficeListPanel& panel)
    {
        QStringList ticked;
        for (int i = 0; i < panel.list()->count(); ++i) {
            if (panel.list()->item(i)->checkState() == Qt::Checked)
                ticked << panel.list()->item(i)->text();
        }
        return ticked;
    }

private slots:
    void officeSelectAll_data()
    {
        QTest::addColumn<bool>("captionFollowsTick");
        QTest::addColumn<QString>("tickedCaption");
        QTest::addColumn<int>("currentAfter");
        QTest::newRow("caption follows, current moves") << true << "取消" << 0;
        QTest::newRow("fixed caption") << false << "全选" << -1;
    }
    void officeSelectAll()
    {
        QFETCH(bool, captionFollowsTick);
        QFETCH(QString, tickedCaption);
        QFETCH(int, currentAfter);
        OfficeListPanel::Options options;
        options.selectAllName = QStringLiteral("Check1");
        options.selectAllAbove = true;
        options.captionFollowsTick = captionFollowsTick;
        OfficeListPanel panel(options);
        panel.setOffices({ { "01", "一处" }, { "02", "二 处" } });
        QCOMPARE(panel.list()->objectName(), QStringLiteral("List1"));
        QCOMPARE(panel.selectAllBox()->objectName(), QStringLiteral("Check1"));
        QCOMPARE(panel.list()->currentRow(), -1);

        panel.selectAllBox()->click();
        QCOMPARE(panel.selectAllBox()->text(), tickedCaption);
        QCOMPARE(tickedEntries(panel), (QStringList { "01 一处", "02 二 处" }));
        QCOMPARE(panel.list()->currentRow(), currentAfter);
        QCOMPARE(panel.tickedFlags(), (QVector<bool> { true, true }));
        panel.selectAllBox()->click();
        QCOMPARE(panel.selectAllBox()->text(), QStringLiteral("全选"));
        QCOMPARE(tickedEntries(panel), QStringList());

        // New entries start unticked and clear a ticked select-all box.
        panel.selectAllBox()->click();
        panel.setOffices({ { "03", "三处" } });
        QVERIFY(!panel.selectAllBox()->isChecked());
        QCOMPARE(panel.selectAllBox()->text(), QStringLiteral("全选"));
        QCOMPARE(tickedEntries(panel), QStringList());
    }

    void feeTreeTicks()
    {
        bool allowed = true;
        FeeItemTreePanel::Options options;
        options.selectAllName = QStringLiteral("Check2");
        options.selectAllAllowed = [&allowed] { return allowed; };
        FeeItemTreePanel panel(options);
        panel.addItem(QStringLiteral("物业"), QStringLiteral("01"), QStringLiteral("物业费"));
        panel.addItem(QStringLiteral("物业"), QStringLiteral("02"), QStringLiteral("水费"));
        // A category whose name starts with "X" is still no item.
        panel.addItem(QStringLiteral("X车位"), QStringLiteral("10"), QStringLiteral("车位费"));
        panel.finishLoading();
        QTreeWidget* tree = panel.tree();
        QCOMPARE(tree->topLevelItemCount(), 2);

        // Down from a category; never up from an item.
        tree->topLevelItem(0)->setCheckState(0, Qt::Checked);
        QCOMPARE(panel.tickedCodes(), (QStringList { "01", "02" }));
        tree->topLevelItem(0)->child(1)->setCheckState(0, Qt::Unchecked);
        QCOMPARE(tree->topLevelItem(0)->checkState(0), Qt::Checked);
        QCOMPARE(panel.tickedCodes(), QStringList { "01" });
        tree->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
        tree->topLevelItem(1)->setCheckState(0, Qt::Checked);
        tree->topLevelItem(1)->child(0)->setCheckState(0, Qt::Unchecked);
        QCOMPARE(panel.tickedCodes(), QStringList());

        panel.selectAllBox()->click();
        QCOMPARE(panel.tickedCodes(), (QStringList { "01", "02", "10" }));
        QCOMPARE(tree->topLevelItem(0)->checkState(0), Qt::Checked);
        allowed = false;
        panel.selectAllBox()->click();
        QCOMPARE(panel.tickedCodes(), (QStringList { "01", "02", "10" }));
    }

    void statusBarShowsTheSession_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::newRow("names as they are") << "";
        QTest::newRow("a blank before each name") << " ";
    }
    void statusBarShowsTheSession()
    {
        QFETCH(QString, prefix);
        SessionInfo session;
        session.UserName = QStringLiteral("陈操作");
        session.DepartmentName = QStringLiteral("财务部");
        session.PositionName = QStringLiteral("出纳");
        SessionStatusBar bar(SessionStatusBar::standardPanels());
        bar.showSession(session, prefix);
        QCOMPARE(bar.objectName(), QStringLiteral("StatusBar1"));
        const QStringList expected { "操作员", prefix + "陈操作", "部门", prefix + "财务部", "岗位", prefix + "出纳" };
        for (int n = 1; n <= expected.size(); ++n)
            QCOMPARE(bar.findChild<QLabel*>(QStringLiteral("StatusBar1_Panel%1").arg(n))->text(), expected[n - 1]);
        bar.setMessage(QStringLiteral("统计结束！"));
        QCOMPARE(bar.panelText(7), QStringLiteral("统计结束！"));
        QCOMPARE(bar.panelText(8), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
        QVERIFY(!bar.panelText(9).isEmpty());
    }

    void detailPanelVariants_data()
    {
        QTest::addColumn<bool>("draggable");
        QTest::addColumn<QString>("closeText");
        QTest::newRow("floating, close icon") << true << "";
        QTest::newRow("fixed frame, close button") << false << "关闭";
    }
    void detailPanelVariants()
    {
        QFETCH(bool, draggable);
        QFETCH(QString, closeText);
        GridModel grid;
        QWidget parent;
        parent.resize(800, 600);
        DetailPanel::Options options;
        options.objectName = QStringLiteral("Frame3");
        options.exportText = QStringLiteral("输出EXCEL");
        options.closeName = QStringLiteral("Command3");
        options.closeText = closeText;
        options.progressName = QStringLiteral("ProgressBar2");
        options.draggable = draggable;
        auto* panel = new DetailPanel(options, &grid, &parent);
        panel->setGeometry(10, 10, 400, 300);
        parent.show();
        panel->show();
        QCOMPARE(panel->closeButton()->objectName(), QStringLiteral("Command3"));
        QCOMPARE(panel->closeButton()->text(), closeText);
        QVERIFY(panel->progressBar() && panel->progressBar()->isHidden());

        QSignalSpy closes(panel, &DetailPanel::closeRequested);
        QSignalSpy exports(panel, &DetailPanel::exportRequested);
        panel->closeButton()->click();
        panel->exportButton()->click();
        QCOMPARE(closes.size(), 1);
        QCOMPARE(exports.size(), 1);

        const QPoint start = panel->pos();
        QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(200, 290));
        QMouseEvent move(QEvent::MouseMove, QPointF(230, 295), panel->mapToGlobal(QPointF(230, 295)), Qt::NoButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &move);
        QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(230, 295));
        QCOMPARE(panel->pos(), draggable ? start + QPoint(30, 5) : start);
    }
};

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
