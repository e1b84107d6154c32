// A distinctive password on every road that can fail, on the embedded
// database and through the SQL Server stand-in: it shows in no message box,
// status bar, window text or Qt message of the desktop program, and in no
// message or file of the command-line tool (CSV, workbook, PDF).
#include "../faults/serverlog.h"

#include "app/appresources.h"
#include "app/dbsettings.h"
#include "app/loginwindow.h"
#include "app/mainwindow.h"
#include "app/programexit.h"
#include "app/shell.h"
#include "cli/demodb/demodb.h"
#include "core/messages.h"
#include "core/secretmask.h"
#include "core/sessioninfo.h"
#include "db/dbconnection.h"
#include "reports/monthly/ui/monthlyreportwindow.h"
#include "tests/support/tdstestserver.h"
#include "tests/support/roads.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMutex>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace fee;

namespace {

const QString kPassword = QStringLiteral("Qz7-Sekrit-94Kx");
// Every password of these tests holds it; what must never be seen.
const QString kMark = QStringLiteral("Sekrit");

enum class Road {
    EmbeddedReport, // runs: its outputs are checked
    EmbeddedMissingFile,
    EmbeddedNotADatabase,
    ServerReport,
    ServerWrongPassword,
    ServerNotAnswering,
    PasswordInDataSource, // the driver's message quotes the text it rejects
    StrayArgument, // the string given without --connect, echoed in the usage error
    SettingsWrongPassword, // the login road: the stored settings hold the password
    ServerDropped, // the server goes away while a report runs
};

// Qt's messages so far; they may come from the runs' worker threads.
struct LoggedMessages {
    QMutex mutex;
    QStringList texts;
};

LoggedMessages& qtMessages()
{
    static LoggedMessages messages;
    return messages;
}

QtMessageHandler& testHandler()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

void recordQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    {
        QMutexLocker lock(&qtMessages().mutex);
        qtMessages().texts << message;
    }
    if (testHandler())
        testHandler()(type, context, message);
}

// A port on which nothing listens.
int closedPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

// Every text the program's widgets show now: captions, labels, buttons,
// fields, lists, status bars, menu items, tips.
QStringList screenTexts()
{
    QStringList texts;
    for (QWidget* w : QApplication::allWidgets()) {
        texts << w->windowTitle() << w->toolTip() << w->statusTip() << w->accessibleName();
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            texts << button->text();
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            texts << edit->text();
        if (auto* bar = qobject_cast<QStatusBar*>(w))
            texts << bar->currentMessage();
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        }
        if (auto* list = qobject_cast<QListWidget*>(w)) {
            for (int i = 0; i < list->count(); ++i)
                texts << list->item(i)->text();
        }
        for (QAction* action : w->actions())
            texts << action->text() << action->toolTip();
    }
    texts.removeAll(QString());
    return texts;
}

QStringList withMark(const QStringList& texts)
{
    QStringList found;
    for (const QString& text : texts) {
        if (text.contains(kMark))
            found << text;
    }
    return found;
}

QString sessionLine(const QString& connection)
{
    const QStringList fields { "1001", "张伟", "0301", "财务部", "P1", "会计", "C", "CN", "PC", "PCN" };
    return fields.join(QStringLiteral("{}")) + QStringLiteral("【】") + connection + QStringLiteral("【】x");
}

} // namespace

class TestPasswordRoads : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_db;
    testing::TdsTestServer m_server;
    int m_port = 0;
    QList<BoxRequest> m_boxes;
    QList<int> m_ends;

    QString connectionFor(Road road) const
    {
        const QString embedded = QStringLiteral("Provider=SQLite;Data Source=%1;Password=") + kPassword;
        switch (road) {
        case Road::EmbeddedReport:
            return embedded.arg(m_db);
        case Road::EmbeddedMissingFile:
            return embedded.arg(m_dir.filePath(QStringLiteral("none.db")));
        case Road::EmbeddedNotADatabase:
            return embedded.arg(m_dir.filePath(QStringLiteral("garbage.db")));
        case Road::ServerReport:
        case Road::ServerDropped:
        case Road::StrayArgument:
        case Road::SettingsWrongPassword:
            return m_server.oleDbString(kPassword);
        case Road::ServerWrongPassword:
            return m_server.oleDbString(kPassword + QStringLiteral("-old"));
        case Road::ServerNotAnswering:
            return QStringLiteral("Provider=SQLOLEDB.1;Password=%1;User ID=sa;Initial Catalog='wy';"
                                  "Data Source='127.0.0.1,%2'")
                .arg(kPassword)
                .arg(closedPort());
        case Road::PasswordInDataSource:
            return QStringLiteral("Provider=SQLOLEDB.1;Password=%1;User ID=sa;Data Source='127.0.0.1,%1'")
                .arg(kPassword);
        }
        return QString();
    }

    QString logPath() const { return m_dir.filePath(QStringLiteral("server.log")); }

    void restartServer()
    {
        m_server.kill();
        QCOMPARE(m_server.start(m_db, m_dir.path(), kPassword, m_port), m_port);
    }

    void storeSettings(const QString& password)
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QString::fromUtf8(kSettingsOrganization),
            QString::fromUtf8(kSettingsApplication));
        store.beginGroup(QStringLiteral("DBConfig"));
        store.setValue(QStringLiteral("Svr"), QStringLiteral("127.0.0.1,%1").arg(m_port));
        store.setValue(QStringLiteral("UID"), QStringLiteral("sa"));
        store.setValue(QStringLiteral("PWD"), password);
        store.setValue(QStringLiteral("DBname"), QStringLiteral("wy"));
    }

    // The files under dir that hold the mark anywhere (inside workbooks and
    // PDFs too), or the reader's complaint.
    static QString filesWithMark(const QString& dir)
    {
        QStringList files;
        QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        QProcess finder;
        finder.start(
            QStringLiteral("/usr/bin/python3"), QStringList { QStringLiteral(FIND_TEXT_SCRIPT), kMark } + files);
        if (!finder.waitForFinished(60000))
            return QStringLiteral("the file reader did not finish");
        if (finder.exitCode() == 0)
            return QString();
        return QString::fromUtf8(finder.readAllStandardOutput() + finder.readAllStandardError());
    }

    // Ticks every office and fee item of the monthly window and runs it.
    static void runMonthly(MonthlyReportWindow* window)
    {
        window->findChild<QDateEdit*>(QStringLiteral("DTPicker1"))->setDate(QDate(2026, 6, 15));
        auto* offices = window->findChild<QListWidget*>(QStringLiteral("List1"));
        for (int i = 0; i < offices->count(); ++i)
            offices->item(i)->setCheckState(Qt::Checked);
        auto* fees = window->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
        for (int i = 0; i < fees->topLevelItemCount(); ++i)
            fees->topLevelItem(i)->setCheckState(0, Qt::Checked);
        window->findChild<QPushButton*>(QStringLiteral("Command3"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!window->isRunning(), 120000);
    }

private slots:
    void initTestCase()
    {
        FEE_REQUIRE_ROAD(testing::TdsTestServer::missingReason());
        QVERIFY(m_dir.isValid());
        initAppResources();
        m_db = m_dir.filePath(QStringLiteral("fees.db"));
        demo::DemoDbOptions options;
        options.path = m_db;
        options.offices = 3;
        options.rooms = 20;
        options.plainCollation = true; // the stand-in does not know the embedded collation
        demo::buildDemoDb(options);
        QFile garbage(m_dir.filePath(QStringLiteral("garbage.db")));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(8192, 'G'));
        garbage.close();
        m_port = m_server.start(m_db, m_dir.path(), kPassword);
        QVERIFY(m_port > 0);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("settings")));

        setBoxHandler([this](const BoxRequest& request) {
            m_boxes << request;
            return BoxAnswer::Ok;
        });
        setProgramEndHandler([this](int code) { m_ends << code; });
        // What the program logs passes the masking it installs at start.
        testHandler() = qInstallMessageHandler(recordQtMessage);
        installSecretMaskingMessageHandler();
    }

    void cleanupTestCase() { m_server.stop(); }

    void init()
    {
        m_boxes.clear();
        m_ends.clear();
        QMutexLocker lock(&qtMessages().mutex);
        qtMessages().texts.clear();
        sessionInfo() = SessionInfo();
    }

    void cleanup() { Shell::reset(); }

    void commandLineTool_data()
    {
        QTest::addColumn<int>("road");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("embedded: report written") << int(Road::EmbeddedReport) << 0;
        QTest::newRow("embedded: missing file") << int(Road::EmbeddedMissingFile) << 1;
        QTest::newRow("embedded: not a database") << int(Road::EmbeddedNotADatabase) << 1;
        QTest::newRow("server: report written") << int(Road::ServerReport) << 0;
        QTest::newRow("server: failing login") << int(Road::ServerWrongPassword) << 1;
        QTest::newRow("server: not answering") << int(Road::ServerNotAnswering) << 1;
        QTest::newRow("server: password where the port goes") << int(Road::PasswordInDataSource) << 1;
        QTest::newRow("string without --connect") << int(Road::StrayArgument) << 2;
        QTest::newRow("server: connection dropped mid-run") << int(Road::ServerDropped) << 1;
    }

    void commandLineTool()
    {
        QFETCH(int, road);
        QFETCH(int, exitCode);
        const Road r = Road(road);
        QTemporaryDir out;
        QVERIFY(out.isValid());
        const QString csv = out.filePath(QStringLiteral("list.csv"));
        const QString xlsx = out.filePath(QStringLiteral("list.xlsx"));
        const QString pdf = out.filePath(QStringLiteral("list.pdf"));
        QStringList args = r == Road::ServerDropped
            ? QStringList { "monthly", "--date", "2026-06-15", "--csv", csv, "--xlsx", xlsx }
            : QStringList { "daily", "--office", "01", "--from", "2023-01-01", "--to", "2026-12-31", "--csv", csv,
                  "--xlsx", xlsx, "--pdf", pdf };
        if (r == Road::StrayArgument)
            args << connectionFor(r);
        else
            args << QStringLiteral("--connect") << connectionFor(r);

        QProcess cli;
        const ServerLog log(logPath());
        cli.start(QStringLiteral(FEE_CLI_PATH), args);
        QVERIFY(cli.waitForStarted());
        if (r == Road::ServerDropped) {
            QDeadlineTimer deadline(60000);
            while (log.count(QStringLiteral("sqlite: Select sum(")) < 20 && cli.state() == QProcess::Running
                && !deadline.hasExpired())
                QThread::msleep(2);
            m_server.kill();
        }
        const bool finished = cli.waitForFinished(120000);
        if (r == Road::ServerDropped)
            restartServer();
        QVERIFY(finished);
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        const QString stdOut = QString::fromUtf8(cli.readAllStandardOutput());
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QVERIFY2(cli.exitCode() == exitCode, qPrintable(err));

        QVERIFY2(!err.contains(kMark), qPrintable(err));
        QVERIFY2(!stdOut.contains(kMark), qPrintable(stdOut));
        if (exitCode == 0) {
            for (const QString& file : { csv, xlsx, pdf })
                QVERIFY2(QFileInfo(file).size() > 0, qPrintable(file));
        } else {
            QVERIFY2(!err.trimmed().isEmpty(), "the failure says nothing");
        }
        const QString marked = filesWithMark(out.path());
        QVERIFY2(marked.isEmpty(), qPrintable(marked));
    }

    void desktopProgram_data()
    {
        QTest::addColumn<int>("road");
        QTest::newRow("embedded: missing file") << int(Road::EmbeddedMissingFile);
        QTest::newRow("embedded: not a database") << int(Road::EmbeddedNotADatabase);
        QTest::newRow("server: failing login") << int(Road::ServerWrongPassword);
        QTest::newRow("server: not answering") << int(Road::ServerNotAnswering);
        QTest::newRow("server: password where the port goes") << int(Road::PasswordInDataSource);
        QTest::newRow("login road: settings refused") << int(Road::SettingsWrongPassword);
        QTest::newRow("server: connection dropped") << int(Road::ServerDropped);
    }

    void desktopProgram()
    {
        QFETCH(int, road);
        const Road r = Road(road);
        if (r == Road::SettingsWrongPassword) {
            storeSettings(kPassword + QStringLiteral("-old"));
            Shell::start(QString());
            LoginWindow* login = Shell::loginWindow();
            QVERIFY(login);
            login->TxtUser()->setText(QStringLiteral("1001"));
            login->txtPassword()->setText(QStringLiteral("1234"));
            login->cmdOK_Click();
            QCOMPARE(m_ends, QList<int> { 0 }); // a refused login connection ends the program
        } else {
            Shell::start(sessionLine(connectionFor(r)));
        }

        if (MainWindow* main = Shell::mainWindow()) {
            main->openAbout();
            auto* window = qobject_cast<MonthlyReportWindow*>(main->openMonthlyReport()->widget());
            QVERIFY(window);
            if (r == Road::ServerDropped) {
                QCOMPARE(m_boxes.size(), 0);
                m_server.kill();
                runMonthly(window);
                restartServer();
            }
        }
        QTest::qWait(50);

        QVERIFY2(!m_boxes.isEmpty(), "the road failed without a box");
        QStringList shown;
        for (const BoxRequest& box : m_boxes)
            shown << box.title << box.text;
        QVERIFY2(withMark(shown).isEmpty(), qPrintable(withMark(shown).join('\n')));
        const QStringList onScreen = screenTexts();
        QVERIFY2(withMark(onScreen).isEmpty(), qPrintable(withMark(onScreen).join('\n')));
        QStringList logged;
        {
            QMutexLocker lock(&qtMessages().mutex);
            logged = qtMessages().texts;
        }
        QVERIFY2(withMark(logged).isEmpty(), qPrintable(withMark(logged).join('\n')));
        if (Shell::mainWindow()) {
            // The About box and the report window's status bar were there to be read.
            QVERIFY(onScreen.contains(QStringLiteral("物业管理QLX系统2011版的一部分")));
            QVERIFY(onScreen.contains(QStringLiteral("张伟")));
        }
    }
};

QTEST_MAIN(TestPasswordRoads)
#include "tst_passwordroads.moc"
