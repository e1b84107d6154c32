// The login road as a site runs it: the stored settings give the OLE DB
// string, which reaches a SQL Server stand-in through ODBC and FreeTDS.
#include "apptestsupport.h"
#include "tests/support/tdstestserver.h"

#include "app/dbsettings.h"
#include "app/loginwindow.h"
#include "app/mainwindow.h"
#include "app/shell.h"
#include "core/sessioninfo.h"
#include "app/sharedconnection.h"
#include "db/dbconnection.h"
#include "tests/support/roads.h"

#include <QDeadlineTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

using namespace fee;

namespace {
const QString kPassword = QStringLiteral("Fee-Reports-42");
}

class TestSqlServerLogin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void login_data();
    void login();
    void wrongDatabasePasswordEndsTheProgram();

private:
    void storeSettings(const QString& password);
    QTemporaryDir m_dir;
    testing::TdsTestServer m_server;
    int m_port = 0;
    RecordedBoxes m_rec;
};

void TestSqlServerLogin::initTestCase()
{
    FEE_REQUIRE_ROAD(testing::TdsTestServer::missingReason());
    initAppResources();
    m_rec.install();

    const QString db = m_dir.filePath(QStringLiteral("demo.db"));
    QProcess tool;
    tool.start(QStringLiteral(FEE_CLI_PATH), { QStringLiteral("demo-db"), db, QStringLiteral("--plain-collation") });
    QVERIFY(tool.waitForFinished(600000));
    QCOMPARE(tool.exitCode(), 0);

    m_port = m_server.start(db, m_dir.path(), kPassword);
    QVERIFY2(m_port > 0, "the test server did not start");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("settings")));
}

void TestSqlServerLogin::cleanupTestCase() { m_server.stop(); }

void TestSqlServerLogin::storeSettings(const QString& password)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QString::fromUtf8(kSettingsOrganization),
        QString::fromUtf8(kSettingsApplication));
    store.beginGroup(QStringLiteral("DBConfig"));
    store.setValue(QStringLiteral("Svr"), QStringLiteral("127.0.0.1,%1").arg(m_port));
    store.setValue(QStringLiteral("UID"), QStringLiteral("sa"));
    store.setValue(QStringLiteral("PWD"), password);
    store.setValue(QStringLiteral("DBname"), QStringLiteral("wy"));
}

void TestSqlServerLogin::init()
{
    m_rec.clear();
    sessionInfo() = SessionInfo();
    storeSettings(kPassword);
}

void TestSqlServerLogin::cleanup() { Shell::reset(); }

void TestSqlServerLogin::login_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("entered");
    QTest::addColumn<int>("listed");

    QTest::newRow("one position") << "1001"
                                  << " 1234 " << QStringList() << true << 0;
    QTest::newRow("two positions") << "1002"
                                   << "5678" << QStringList() << false << 2;
    QTest::newRow("wrong password") << "1001"
                                    << "12345" << QStringList { "用户名或密码不正确,请重新输入!" } << false << 0;
    QTest::newRow("no position") << "1004"
                                 << "1004" << QStringList { "对不起，您没有岗位，请选择系统管理员" } << false << 0;
    QTest::newRow("apostrophe") << "O'Brien"
                                << "x" << QStringList { "用户名或密码不正确,请重新输入!" } << false << 0;
}

void TestSqlServerLogin::login()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QStringList, messages);
    QFETCH(bool, entered);
    QFETCH(int, listed);

    Shell::showLoginWindow();
    LoginWindow* w = Shell::loginWindow();
    w->TxtUser()->setText(user);
    w->txtPassword()->setText(password);
    w->cmdOK_Click();

    QCOMPARE(m_rec.texts(), messages);
    QVERIFY(DbConnection::shared().connectionString().startsWith(QStringLiteral("Provider=SQLOLEDB.1;Password=")));
    QCOMPARE(Shell::mainWindow() != nullptr, entered);
    if (entered) {
        QCOMPARE(sessionInfo().UserName, QStringLiteral("张伟"));
        QCOMPARE(sessionInfo().PositionName, QStringLiteral("会计"));
        return;
    }
    QCOMPARE(w->List1()->count(), listed);
    QCOMPARE(w->List1()->isHidden(), listed == 0);
}

void TestSqlServerLogin::wrongDatabasePasswordEndsTheProgram()
{
    storeSettings(QStringLiteral("wrong"));
    Shell::showLoginWindow();
    LoginWindow* w = Shell::loginWindow();
    w->TxtUser()->setText(QStringLiteral("1001"));
    w->txtPassword()->setText(QStringLiteral("1234"));
    w->cmdOK_Click();
    QCOMPARE(m_rec.boxes.size(), 2);
    QVERIFY2(m_rec.boxes.at(0).text.startsWith(QStringLiteral("错误信息：")), qPrintable(m_rec.boxes.at(0).text));
    QVERIFY2(m_rec.boxes.at(0).text.contains(QStringLiteral("Login failed")), qPrintable(m_rec.boxes.at(0).text));
    QCOMPARE(m_rec.boxes.at(1).text, QStringLiteral("数据库连接失败!"));
    QCOMPARE(m_rec.ends, QList<int> { 0 });
    QCOMPARE(Shell::mainWindow(), nullptr);
}

QTEST_MAIN(TestSqlServerLogin)
#include "test_sqlserver_login.moc"
