// The main window: its menus, the child windows opened at most once, the
// closing question, the stretched background and the About dialog.
#include "apptestsupport.h"

#include "app/aboutdialog.h"
#include "app/appfonts.h"
#include "app/bannerstrip.h"
#include "app/mainwindow.h"
#include "core/fontfamilies.h"

#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>

using namespace fee;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void menus();
    void childOpensOnce_data();
    void childOpensOnce();
    void reportOpensWholeInside_data();
    void reportOpensWholeInside();
    void closingAsks_data();
    void closingAsks();
    void quitAndContactUs();
    void backgroundFollowsTheSize();
    void missingBackgroundIsBlank();
    void about();
    void aboutClosesWithEscape();
    void systemInformation_data();
    void systemInformation();
    void chineseFontsAreSubstituted_data();
    void chineseFontsAreSubstituted();

private:
    QTemporaryDir m_dir;
    RecordedBoxes m_rec;
};

void TestMainWindow::initTestCase()
{
    initAppResources();
    m_rec.install();
    QImage picture(4, 2, QImage::Format_RGB32);
    picture.fill(QColor(200, 10, 10));
    QVERIFY(picture.save(m_dir.filePath("MDI.BMP"), "BMP"));
    MainWindow::setBackgroundFile(m_dir.filePath("MDI.BMP"));
}

void TestMainWindow::init() { m_rec.clear(); }

void TestMainWindow::menus()
{
    MainWindow w;
    QCOMPARE(w.objectName(), QStringLiteral("MDIForm1"));
    QCOMPARE(w.windowTitle(), QStringLiteral("物业管理费报表"));
    QStringList layout;
    for (QAction* top : w.menuBar()->actions()) {
        layout << top->text();
        for (QAction* item : top->menu()->actions())
            layout << (item->isSeparator() ? QStringLiteral("-") : QStringLiteral("  ") + item->text());
    }
    QCOMPARE(layout,
        QStringList({ "统计报表", "  物业费收缴率汇总月报", "-", "  收款日报表", "  收款汇总表", "退出系统", "  退出",
            "关于", "  关于软件", "  联系我们" }));
    QCOMPARE(w.banner()->objectName(), QStringLiteral("Picture1"));
    QCOMPARE(w.banner()->height(), 54);
}

void TestMainWindow::childOpensOnce_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");

    QTest::newRow("monthly") << "物业费收缴率汇总月报"
                             << "frm物业费收缴率汇总月报"
                             << "物业费收缴率汇总月报";
    QTest::newRow("daily") << "收款日报表"
                           << "frm收款日报表"
                           << "收款日报表（只统计应收）";
    QTest::newRow("receipts") << "收款汇总表"
                              << "frm收款汇总表"
                              << "收款汇总表";
    QTest::newRow("about") << "关于软件"
                           << "frmAbout"
                           << "关于物业管理QLX系统2011版";
}

void TestMainWindow::childOpensOnce()
{
    QFETCH(QString, item);
    QFETCH(QString, name);
    QFETCH(QString, caption);

    MainWindow w;
    w.show();
    QAction* action = w.menuAction(item);
    QVERIFY(action);
    action->trigger();
    w.openDailyReport(); // another window in front
    action->trigger();

    QList<QMdiSubWindow*> matching;
    for (QMdiSubWindow* sub : w.mdiArea()->subWindowList()) {
        if (sub->widget()->objectName() == name)
            matching << sub;
    }
    QCOMPARE(matching.size(), 1);
    QCOMPARE(matching.first()->widget()->windowTitle(), caption);
    QCOMPARE(w.mdiArea()->activeSubWindow(), matching.first());
    QVERIFY(matching.first()->isVisible());

    // Closing unloads it; the item loads it afresh.
    QPointer<QWidget> old = matching.first()->widget();
    matching.first()->close();
    QTRY_VERIFY(old.isNull());
    action->trigger();
    QCOMPARE(w.mdiArea()->activeSubWindow()->widget()->objectName(), name);
}

void TestMainWindow::reportOpensWholeInside_data()
{
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<bool>("maximized");
    QTest::newRow("room to spare: centred") << QSize(1600, 1000) << false;
    QTest::newRow("too small: maximized") << QSize(900, 600) << true;
}

// A report window opened from the menu lies whole inside the client area:
// centred when it fits, filling the area when it does not.
void TestMainWindow::reportOpensWholeInside()
{
    QFETCH(QSize, frame);
    QFETCH(bool, maximized);
    MainWindow w;
    w.resize(frame);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.menuAction(QStringLiteral("物业费收缴率汇总月报"))->trigger();
    QMdiSubWindow* sub = w.mdiArea()->activeSubWindow();
    QVERIFY(sub);
    const QRect room = w.mdiArea()->viewport()->rect();
    QCOMPARE(sub->isMaximized(), maximized);
    QVERIFY2(room.contains(sub->geometry()),
        qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                       .arg(sub->x())
                       .arg(sub->y())
                       .arg(sub->width())
                       .arg(sub->height())
                       .arg(room.width())
                       .arg(room.height())));
    if (!maximized)
        QVERIFY((sub->geometry().center() - room.center()).manhattanLength() <= 2);
}

void TestMainWindow::closingAsks_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("ends");

    QTest::newRow("No keeps it") << int(BoxAnswer::No) << false;
    QTest::newRow("Yes ends") << int(BoxAnswer::Yes) << true;
}

void TestMainWindow::closingAsks()
{
    QFETCH(int, answer);
    QFETCH(bool, ends);

    MainWindow w;
    w.show();
    m_rec.answer = BoxAnswer(answer);
    const bool closed = w.close();
    QCOMPARE(m_rec.boxes.size(), 1);
    const BoxRequest& box = m_rec.boxes.first();
    QCOMPARE(box.text, QStringLiteral("确认要退出系统吗？"));
    QCOMPARE(box.title, QStringLiteral("系统提示"));
    QCOMPARE(box.buttons, BoxButtons::YesNo);
    QCOMPARE(box.icon, BoxIcon::Information);
    QCOMPARE(closed, ends);
    QCOMPARE(w.isVisible(), !ends);
    QCOMPARE(m_rec.ends, ends ? QList<int> { 0 } : QList<int>());
}

void TestMainWindow::quitAndContactUs()
{
    MainWindow w;
    w.show();
    w.menuAction("联系我们")->trigger();
    QVERIFY(w.menuAction("联系我们")->isEnabled());
    QCOMPARE(w.mdiArea()->subWindowList().size(), 0);
    QVERIFY(m_rec.ends.isEmpty());

    w.menuAction("退出")->trigger();
    QCOMPARE(m_rec.ends, QList<int> { 0 });
    QVERIFY(m_rec.boxes.isEmpty()); // no question
}

void TestMainWindow::backgroundFollowsTheSize()
{
    MainWindow w;
    for (const QSize size : { QSize(800, 600), QSize(1200, 500), QSize(500, 700) }) {
        w.resize(size);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE(w.renderedBackground().size(), w.mdiArea()->viewport()->size());
        const QImage image = w.renderedBackground();
        for (const QPoint p : { QPoint(0, 0), QPoint(image.width() - 1, image.height() - 1) })
            QCOMPARE(image.pixelColor(p), QColor(200, 10, 10));
        QCOMPARE(w.mdiArea()->background().textureImage().size(), image.size());
    }
    // No window of its own stays behind.
    QCOMPARE(w.mdiArea()->subWindowList().size(), 0);
}

void TestMainWindow::missingBackgroundIsBlank()
{
    MainWindow::setBackgroundFile(m_dir.filePath("none.bmp"));
    MainWindow w;
    MainWindow::setBackgroundFile(m_dir.filePath("MDI.BMP"));
    w.resize(700, 500);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QImage image = w.renderedBackground();
    QCOMPARE(image.size(), w.mdiArea()->viewport()->size());
    QCOMPARE(image.pixelColor(10, 10), w.palette().color(QPalette::Window));
    QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1), w.palette().color(QPalette::Window));
    QVERIFY(m_rec.boxes.isEmpty());
}

void TestMainWindow::about()
{
    MainWindow w;
    w.resize(1000, 700);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QMdiSubWindow* sub = w.openAbout();
    auto* about = qobject_cast<AboutDialog*>(sub->widget());
    QVERIFY(about);
    QCOMPARE(about->lblTitle()->text(), QStringLiteral("物业管理QLX系统2011版的一部分"));
    QCOMPARE(about->Label7()->text(), QStringLiteral("系统信息设置系统1.0.0"));
    QCOMPARE(about->lblVersion()->text(), QStringLiteral("版本"));
    QCOMPARE(about->cmdOK()->text(), QStringLiteral("确定"));
    QCOMPARE(about->cmdSysInfo()->text(), QStringLiteral("系统信息"));

    // Centred in the client area.
    const QSize client = w.mdiArea()->viewport()->size();
    QCOMPARE(sub->x(), (client.width() - sub->width()) / 2);
    QCOMPARE(sub->y(), (client.height() - sub->height()) / 2);

    QPointer<AboutDialog> alive(about);
    about->cmdOK()->click();
    QTRY_VERIFY(alive.isNull());
    QCOMPARE(w.mdiArea()->subWindowList().size(), 0);
}

void TestMainWindow::aboutClosesWithEscape()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (const Qt::Key key : { Qt::Key_Escape, Qt::Key_Return }) {
        QPointer<QWidget> about = w.openAbout()->widget();
        QTest::keyClick(about, key);
        QTRY_VERIFY(about.isNull());
    }
}

void TestMainWindow::systemInformation_data()
{
    QTest::addColumn<QStringList>("tools");
    QTest::addColumn<bool>("started");

    QTest::newRow("none installed") << QStringList { "no-such-tool-1", "no-such-tool-2" } << false;
    QTest::newRow("second one installed") << QStringList { "no-such-tool-1", "true" } << true;
}

void TestMainWindow::systemInformation()
{
    QFETCH(QStringList, tools);
    QFETCH(bool, started);

    AboutDialog::setSystemInformationTools(tools);
    QCOMPARE(AboutDialog::StartSysInfo(), started);
    AboutDialog::setSystemInformationTools({});
    QCOMPARE(m_rec.texts(), started ? QStringList() : QStringList { "此时系统信息不可用" });
    if (!started) {
        QCOMPARE(m_rec.boxes.first().icon, BoxIcon::None);
        QCOMPARE(m_rec.boxes.first().buttons, BoxButtons::Ok);
    }
}

void TestMainWindow::chineseFontsAreSubstituted_data()
{
    QTest::addColumn<QString>("requested");
    for (const char* name : { "宋体", "SimSun", "微软雅黑", "Microsoft YaHei", "楷体_GB2312", "KaiTi_GB2312" })
        QTest::newRow(name) << QString::fromUtf8(name);
}

void TestMainWindow::chineseFontsAreSubstituted()
{
    QFETCH(QString, requested);
    installFontSubstitutions();
    const QString family = substituteFamily(requested);
    if (family.isEmpty())
        QSKIP("no CJK font installed");
    QVERIFY2(QFont::substitutes(requested).contains(family, Qt::CaseInsensitive),
        qPrintable(QFont::substitutes(requested).join(",")));
    // The font the windows get draws Chinese with the substitute's glyphs.
    const QFont font(requested, 9);
    QVERIFY(QFontMetrics(font).inFont(QChar(0x7269))); // 物
    QCOMPARE(QFontInfo(font).family(), family);
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
