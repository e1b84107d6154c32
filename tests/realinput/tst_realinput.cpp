// The real-input stage: its own X server, the program as a calling program
// starts it, and the main window.
#include "tst_realinput.h"

#include "stage.h"
#include "xvfbdisplay.h"

#include "app/appfonts.h"
#include "app/appresources.h"
#include "app/mainwindow.h"
#include "app/programexit.h"
#include "app/shell.h"
#include "core/fontfamilies.h"
#include "core/grid/fonttextmeasure.h"
#include "widgets/gridprinter.h"
#include "widgets/printpreview.h"

#include <QApplication>
#include <QMdiArea>
#include <QProcess>
#include <QtTest>

namespace {
constexpr int kScreenWidth = 1600;
constexpr int kScreenHeight = 1000;

QString makeDemoDatabase(const QString& path)
{
    // Enough rooms for eight-digit sums over four years of receipts; two
    // offices of poor payers, as the demo has, for charts that differ.
    QProcess tool;
    tool.start(QStringLiteral(FEE_CLI_PATH), { QStringLiteral("demo-db"), path, QStringLiteral("--rooms"), QStringLiteral("300"),
        QStringLiteral("--poor-offices"), QStringLiteral("2") });
    if (!tool.waitForFinished(300000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        qWarning() << "demo-db failed:" << tool.readAllStandardError();
        return QString();
    }
    return path;
}
}

void TestRealInput::initTestCase()
{
    Stage& s = stage();
    QVERIFY(s.input.open(QString::fromLocal8Bit(qgetenv("DISPLAY"))));
    QVERIFY(s.dir.isValid());
    s.database = makeDemoDatabase(s.dir.filePath(QStringLiteral("demo.db")));
    QVERIFY(!s.database.isEmpty());

    fee::initAppResources();
    fee::installFontSubstitutions();
    fee::useApplicationFont();
    fee::installFontTextMeasure();
    fee::setBoxHandler([](const fee::BoxRequest& box) {
        stage().boxes.boxes.append(box);
        return box.buttons == fee::BoxButtons::YesNo ? stage().boxes.answer : fee::BoxAnswer::Ok;
    });
    fee::setProgramEndHandler([](int code) { QFAIL(qPrintable(QStringLiteral("the program ended (%1)").arg(code))); });
    // The print preview on every machine, whatever printers it has.
    fee::setGridPrinter([](const fee::GridModel& grid, const fee::PrintGridOptions& options, QWidget* parent) {
        fee::showGridPrintPreview(grid, options, parent);
        return fee::GridPrintOutcome::Previewed;
    });
    fee::MainWindow::setBackgroundFile(QStringLiteral(FEE_SOURCE_DIR "/app/resources/MDI.BMP"));

    // Started as a calling program starts it: the session and the connection on the command line.
    const QString session = QStringList({ "1001", "张伟", "0101", "财务部", "01", "会计", "", "", "", "" })
                                .join(QStringLiteral("{}"));
    fee::Shell::start(session + QStringLiteral("【】Provider=SQLite;Data Source=") + s.database + QStringLiteral("【】x"));
    s.main = fee::Shell::mainWindow();
    QVERIFY(s.main);
    s.main->setGeometry(0, 0, kScreenWidth - 100, kScreenHeight - 60);
    QVERIFY(QTest::qWaitForWindowExposed(s.main));
    s.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.main));
}

void TestRealInput::init() { stage().boxes.clear(); }

void TestRealInput::cleanupTestCase()
{
    // Windows a failed step left open close as a person closes them, each
    // after the run it may still have going.
    if (stage().main) {
        stage().main->mdiArea()->closeAllSubWindows();
        QTRY_VERIFY_WITH_TIMEOUT(stage().main->mdiArea()->subWindowList().isEmpty(), 60000);
    }
    fee::Shell::reset();
    fee::setGridPrinter({});
    fee::setBoxHandler({});
    // Before the server goes.
    stage().input.close();
}

void TestRealInput::mainWindow()
{
    Stage& s = stage();
    QVERIFY(s.main->isVisible());
    QTRY_VERIFY(!s.main->renderedBackground().isNull());
    QVERIFY(s.shoot(s.main, QStringLiteral("main-window.png")));
    QVERIFY(s.boxes.boxes.isEmpty());
}

int main(int argc, char* argv[])
{
    XvfbDisplay server;
    const QString display = server.start(kScreenWidth, kScreenHeight);
    if (display.isEmpty()) {
        fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    qputenv("DISPLAY", display.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    // No session bus: the X display would otherwise be asked to start one
    // (and the bus library keeps what it read for the process's life).
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    // One fixed scale, whatever the machine's settings say.
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qunsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
    int status = 0;
    {
        QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
        QApplication app(argc, argv);
        TestRealInput test;
        status = QTest::qExec(&test, argc, argv);
    }
    return status;
}
