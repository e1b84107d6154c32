// A first start on a machine whose settings name no database server: the login
// window says where the settings belong and which keys they need, OK shows the
// same line instead of trying the driver, and nothing is ever written there.
#include "apptestsupport.h"

#include "app/dbsettings.h"
#include "app/loginwindow.h"
#include "app/shell.h"
#include "db/dbconnection.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

using namespace fee;

class TestFirstStart : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void noticeNamesTheFileAndTheKeys_data();
    void noticeNamesTheFileAndTheKeys();
    void okReadsTheSettingsAgain();
    void aServerHidesTheNotice();
    void guidePicture(); // login-no-settings.png of the user guide

private:
    QString settingsFile() const;
    void writeSettings(const QByteArray& text);
    LoginWindow* pressOk();
    QTemporaryDir m_dir;
    RecordedBoxes m_rec;
};

void TestFirstStart::initTestCase()
{
    initAppResources();
    m_rec.install();
    setSettingsConnectionSource(nullptr);
}

void TestFirstStart::init()
{
    m_rec.clear();
    QDir(m_dir.path()).removeRecursively();
    QDir().mkpath(m_dir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    DbConnection::setShared(nullptr);
}

void TestFirstStart::cleanup() { Shell::reset(); }

QString TestFirstStart::settingsFile() const
{
    return m_dir.filePath(QStringLiteral("VB and VBA Program Settings/物业管理QLX2011.conf"));
}

void TestFirstStart::writeSettings(const QByteArray& text)
{
    QDir().mkpath(QFileInfo(settingsFile()).path());
    QFile file(settingsFile());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

LoginWindow* TestFirstStart::pressOk()
{
    LoginWindow* w = Shell::loginWindow();
    w->TxtUser()->setText(QStringLiteral("1001"));
    w->txtPassword()->setText(QStringLiteral("1234"));
    w->cmdOK_Click();
    return w;
}

void TestFirstStart::noticeNamesTheFileAndTheKeys_data()
{
    QTest::addColumn<QByteArray>("settings"); // empty: no file at all

    QTest::newRow("no file") << QByteArray();
    QTest::newRow("other keys but no server") << QByteArray("[DBConfig]\nUID=sa\nPWD=x\nDBname=wy\n");
    QTest::newRow("blank server") << QByteArray("[DBConfig]\nSvr=\"  \"\nUID=sa\n");
    QTest::newRow("server in another section") << QByteArray("[Other]\nSvr=db1\n");
}

void TestFirstStart::noticeNamesTheFileAndTheKeys()
{
    QFETCH(QByteArray, settings);
    if (!settings.isEmpty())
        writeSettings(settings);
    const QStringList before = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    Shell::start(QString());
    LoginWindow* w = Shell::loginWindow();
    QVERIFY(w);
    QLabel* notice = w->lblNoSettings();
    QVERIFY(notice->isVisibleTo(w));
    const QString expected = QStringLiteral("未设置数据库：请在 ") + QDir::toNativeSeparators(settingsFile())
        + QStringLiteral(" 的 [DBConfig] 中写入 Svr、UID、PWD、DBname");
    QCOMPARE(notice->text(), expected);
    // All of it is on the window, below the buttons.
    QVERIFY(w->rect().contains(notice->geometry()));
    QVERIFY(notice->geometry().top() > w->cmdOK()->geometry().bottom());
    QVERIFY(notice->heightForWidth(notice->width()) <= notice->height());

    // OK says the same once, instead of the driver's error and the program's end.
    pressOk();
    QCOMPARE(m_rec.texts(), QStringList { expected });
    QCOMPARE(m_rec.boxes.first().title, QStringLiteral("连接提示"));
    QVERIFY(m_rec.ends.isEmpty());
    QVERIFY(DbConnection::shared().connectionString().isEmpty());
    QCOMPARE(Shell::loginWindow(), w);
    QCOMPARE(Shell::mainWindow(), nullptr);

    // The settings are only read.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    if (!settings.isEmpty()) {
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), settings);
    }
}

void TestFirstStart::guidePicture()
{
    // A user's usual folder, which need not exist: nothing is created there.
    const QString config = QStringLiteral("/home/office/.config");
    QVERIFY(!QFileInfo::exists(config));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    Shell::start(QString());
    LoginWindow* w = Shell::loginWindow();
    QVERIFY(w->lblNoSettings()->text().contains(config + QStringLiteral("/VB and VBA Program Settings/物业管理QLX2011.conf")));
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QString shots = QStringLiteral(FEE_BINARY_DIR) + QStringLiteral("/screenshots");
    QVERIFY(QDir().mkpath(shots));
    QVERIFY(w->grab().save(shots + QStringLiteral("/login-no-settings.png")));
    QVERIFY(!QFileInfo::exists(config));
}

void TestFirstStart::okReadsTheSettingsAgain()
{
    Shell::start(QString());
    LoginWindow* w = Shell::loginWindow();
    QVERIFY(w->lblNoSettings()->isVisibleTo(w));

    // The administrator writes the file while the window is open; port 1 of
    // this machine refuses at once, so the next OK meets the driver's error.
    writeSettings("[DBConfig]\nSvr=127.0.0.1,1\nUID=sa\nPWD=x\nDBname=wy\n");
    pressOk();
    QVERIFY(!w->lblNoSettings()->isVisibleTo(w));
    QVERIFY(DbConnection::shared().connectionString().contains(QStringLiteral("Data Source='127.0.0.1,1'")));
    QCOMPARE(m_rec.texts().size(), 2);
    QVERIFY(m_rec.texts().first().startsWith(QStringLiteral("错误信息：")));
    QCOMPARE(m_rec.texts().last(), QStringLiteral("数据库连接失败!"));
    QCOMPARE(m_rec.ends, QList<int> { 0 });
}

void TestFirstStart::aServerHidesTheNotice()
{
    writeSettings("[DBConfig]\nSvr=db1\n");
    Shell::start(QString());
    LoginWindow* w = Shell::loginWindow();
    QVERIFY(!w->lblNoSettings()->isVisibleTo(w));
    QVERIFY(w->lblNoSettings()->text().isEmpty());
    QVERIFY(missingSettingsNotice().isEmpty());
}

QTEST_MAIN(TestFirstStart)
#include "test_firststart.moc"
