// The two roads into the program against a demo database: the login window
// (job number, password, positions) and the start-up command line.
#include "apptestsupport.h"

#include "app/dbsettings.h"
#include "app/loginwindow.h"
#include "app/mainwindow.h"
#include "app/sharedconnection.h"
#include "app/shell.h"
#include "core/sessioninfo.h"
#include "db/dbconnection.h"
#include "db/sqlitefunctions.h"

#include <QRegularExpression>
#include <sqlite3.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

using namespace fee;

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void rejected_data();
    void rejected();
    void straightIn_data();
    void straightIn();
    void severalPositionsAreListed();
    void doubleClickWithoutSelectionDoesNothing();
    void userFieldFocusHidesTheList();
    void superUserKeepsOnlyTheName();
    void failedConnectionEndsTheProgram();
    void enterMovesOn();
    void failuresShowOneBox_data();
    void failuresShowOneBox();

    void commandLineOpensTheMainWindow();
    void commandLineWithBadConnectionShowsLogin();

private:
    LoginWindow* login(const QString& user, const QString& password);
    QTemporaryDir m_dir;
    QString m_db;
    QString m_source;
    RecordedBoxes m_rec;
};

void TestLogin::initTestCase()
{
    initAppResources();
    m_rec.install();
    m_db = makeDemoDatabase(m_dir.path());
    QVERIFY(!m_db.isEmpty());
    m_source = QStringLiteral("Provider=SQLite;Data Source=") + m_db;
    setSettingsConnectionSource([this] { return m_source; });
}

void TestLogin::init()
{
    m_rec.clear();
    sessionInfo() = SessionInfo();
    m_source = QStringLiteral("Provider=SQLite;Data Source=") + m_db;
}

void TestLogin::cleanup() { Shell::reset(); }

LoginWindow* TestLogin::login(const QString& user, const QString& password)
{
    Shell::showLoginWindow();
    LoginWindow* w = Shell::loginWindow();
    w->TxtUser()->setText(user);
    w->txtPassword()->setText(password);
    w->cmdOK_Click();
    return w;
}

void TestLogin::rejected_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("icon");
    QTest::addColumn<bool>("connects");

    const int info = int(BoxIcon::Information);
    QTest::newRow("empty user") << ""
                                << "1234"
                                << "用户名不能为空!" << info << false;
    QTest::newRow("blank user is text, empty password") << " "
                                                        << ""
                                                        << "密码不能为空!" << info << false;
    QTest::newRow("wrong password") << "1001"
                                    << "9999"
                                    << "用户名或密码不正确,请重新输入!" << info << true;
    QTest::newRow("password of another") << "1001"
                                         << "5678"
                                         << "用户名或密码不正确,请重新输入!" << info << true;
    QTest::newRow("apostrophe matches no one") << "1001' or '1'='1"
                                               << "x' or '1'='1"
                                               << "用户名或密码不正确,请重新输入!" << info << true;
    QTest::newRow("only ended positions") << "1003"
                                          << "1003"
                                          << "对不起，您没有岗位，请选择系统管理员" << int(BoxIcon::None) << true;
    QTest::newRow("left the company") << "1004"
                                      << "1004"
                                      << "对不起，您没有岗位，请选择系统管理员" << int(BoxIcon::None) << true;
}

void TestLogin::rejected()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, message);
    QFETCH(int, icon);
    QFETCH(bool, connects);

    DbConnection::setShared(nullptr);
    sessionInfo().UserName = QStringLiteral("kept");
    sessionInfo().DepartmentName = QStringLiteral("reset on connecting");
    LoginWindow* w = login(user, password);

    QCOMPARE(m_rec.texts(), QStringList { message });
    QCOMPARE(int(m_rec.boxes.first().icon), icon);
    QCOMPARE(m_rec.boxes.first().title, programTitle());
    QCOMPARE(DbConnection::shared().connectionString() == m_source, connects);
    QCOMPARE(sessionInfo().UserName, QStringLiteral("kept"));
    QCOMPARE(sessionInfo().DepartmentName.isEmpty(), connects);
    QCOMPARE(Shell::mainWindow(), nullptr);
    QCOMPARE(Shell::loginWindow(), w);
    QVERIFY(w->List1()->isHidden());
    QVERIFY(m_rec.ends.isEmpty());
}

void TestLogin::straightIn_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");

    QTest::newRow("one position") << "1001"
                                  << "1234";
    QTest::newRow("password trimmed") << "1001"
                                      << " 1234  ";
    QTest::newRow("job number with a trailing blank") << "1001 "
                                                      << "1234";
}

void TestLogin::straightIn()
{
    QFETCH(QString, user);
    QFETCH(QString, password);

    login(user, password);
    QCOMPARE(m_rec.texts(), QStringList());
    QVERIFY(Shell::mainWindow());
    QVERIFY(Shell::mainWindow()->isVisible());
    QCOMPARE(Shell::loginWindow(), nullptr);

    const SessionInfo& s = sessionInfo();
    QCOMPARE(s.UserCode, QStringLiteral("1001"));
    QCOMPARE(s.UserName, QStringLiteral("张伟"));
    QCOMPARE(s.DepartmentName, QStringLiteral("财务部"));
    QCOMPARE(s.PositionName, QStringLiteral("会计"));
    QCOMPARE(s.DepartmentCategoryCode, QStringLiteral("01"));
    QCOMPARE(s.DepartmentCategoryName, QStringLiteral("职能部门"));
    for (int i = 0; i < SessionInfo::kFieldCount; ++i) {
        QVERIFY2(!s.field(i).isEmpty(), qPrintable(QString::number(i)));
        QCOMPARE(s.field(i), s.field(i).trimmed());
    }
}

void TestLogin::severalPositionsAreListed()
{
    LoginWindow* w = login("1002", "5678");
    QCOMPARE(m_rec.texts(), QStringList());
    QCOMPARE(Shell::mainWindow(), nullptr);
    QVERIFY(!w->List1()->isHidden());
    QVERIFY(!w->Label2()->isHidden());
    QStringList entries;
    for (int i = 0; i < w->List1()->count(); ++i)
        entries << w->List1()->item(i)->text();
    // In the order the database returns the rows, choices parallel to the entries.
    QStringList expected;
    DbResult rows = DbConnection::shared().query(positionStatement("1002"));
    while (rows.next())
        expected << positionEntryText(rows.text("职能部门名称"), rows.text("岗位名称"), rows.boolean("主要岗位"));
    QCOMPARE(entries, expected);
    QCOMPARE(
        QSet<QString>(entries.begin(), entries.end()), QSet<QString>({ "客服部 客服主管(主要)", "工程部 电工(兼职)" }));
    QCOMPARE(w->positionChoices().size(), 2);
    const int electrician = int(entries.indexOf(QStringLiteral("工程部 电工(兼职)")));
    QCOMPARE(w->positionChoices().at(electrician).PositionName, QStringLiteral("电工"));
    QCOMPARE(w->positionChoices().at(1 - electrician).PositionName, QStringLiteral("客服主管"));
    QCOMPARE(sessionInfo().UserCode, QString());

    // OK again rebuilds the list rather than choosing.
    w->cmdOK_Click();
    QCOMPARE(w->List1()->count(), 2);
    QCOMPARE(Shell::mainWindow(), nullptr);

    w->List1()->setCurrentRow(electrician);
    w->List1_DblClick();
    QVERIFY(Shell::mainWindow());
    QCOMPARE(Shell::loginWindow(), nullptr);
    QCOMPARE(sessionInfo().UserCode, QStringLiteral("1002"));
    QCOMPARE(sessionInfo().UserName, QStringLiteral("李娜"));
    QCOMPARE(sessionInfo().DepartmentName, QStringLiteral("工程部"));
    QCOMPARE(sessionInfo().PositionName, QStringLiteral("电工"));
}

void TestLogin::doubleClickWithoutSelectionDoesNothing()
{
    LoginWindow* w = login("1002", "5678");
    w->List1()->setCurrentRow(-1);
    w->List1()->clearSelection();
    w->List1_DblClick();
    QCOMPARE(Shell::mainWindow(), nullptr);
    QCOMPARE(sessionInfo().UserCode, QString());
}

void TestLogin::userFieldFocusHidesTheList()
{
    LoginWindow* w = login("1002", "5678");
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    w->txtPassword()->setFocus();
    QVERIFY(!w->List1()->isHidden());
    w->TxtUser()->setFocus();
    QVERIFY(w->List1()->isHidden());
    QVERIFY(w->Label2()->isHidden());
    QCOMPARE(w->TxtUser()->selectedText(), QStringLiteral("1002"));
}

void TestLogin::superUserKeepsOnlyTheName()
{
    sessionInfo().UserName = QStringLiteral("from the command line");
    sessionInfo().PositionName = QStringLiteral("gone");
    login("qv", "morvekalintu4096");
    QCOMPARE(m_rec.texts(), QStringList());
    QVERIFY(Shell::mainWindow());
    SessionInfo expected;
    expected.UserCode = QStringLiteral("超级用户");
    expected.UserName = QStringLiteral("from the command line");
    for (int i = 0; i < SessionInfo::kFieldCount; ++i)
        QCOMPARE(sessionInfo().field(i), expected.field(i));

    // Case and blanks matter: these are ordinary (unknown) job numbers.
    Shell::reset();
    login("QV", "morvekalintu4096");
    QCOMPARE(m_rec.texts(), QStringList { "用户名或密码不正确,请重新输入!" });
}

void TestLogin::failedConnectionEndsTheProgram()
{
    m_source = QStringLiteral("Provider=SQLite;Data Source=") + m_dir.path() + QStringLiteral("/missing.db");
    login("1001", "1234");
    QCOMPARE(m_rec.boxes.size(), 2);
    QVERIFY(m_rec.boxes.at(0).text.startsWith(QStringLiteral("错误信息：")));
    QCOMPARE(m_rec.boxes.at(0).title, QStringLiteral("信息文本"));
    QCOMPARE(m_rec.boxes.at(1).text, QStringLiteral("数据库连接失败!"));
    QCOMPARE(m_rec.boxes.at(1).title, QStringLiteral("连接提示"));
    QCOMPARE(m_rec.ends, QList<int> { 0 });
    QCOMPARE(Shell::mainWindow(), nullptr);
}

void TestLogin::enterMovesOn()
{
    Shell::showLoginWindow();
    LoginWindow* w = Shell::loginWindow();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QCOMPARE(w->Label1()->text(), QStringLiteral("V1.0版"));
    w->TxtUser()->setFocus();
    QTest::keyClicks(w->TxtUser(), "1001");
    QTest::keyClick(w->TxtUser(), Qt::Key_Return);
    QVERIFY(w->txtPassword()->hasFocus());
    QTest::keyClicks(w->txtPassword(), "1234");
    QTest::keyClick(w->txtPassword(), Qt::Key_Return);
    QVERIFY(w->cmdOK()->hasFocus());
    QCOMPARE(Shell::mainWindow(), nullptr); // Enter in the password only moves on
    QTest::keyClick(w->cmdOK(), Qt::Key_Return);
    QVERIFY(Shell::mainWindow());

    Shell::reset();
    Shell::showLoginWindow();
    QTest::keyClick(Shell::loginWindow(), Qt::Key_Escape);
    QCOMPARE(m_rec.ends, QList<int> { 0 });
}

// A statement the database rejects, or a NULL where a position's text is
// read, ends the check with the login window's error box and nothing else.
void TestLogin::failuresShowOneBox_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("expected"); // the start of the box text
    QTest::newRow("missing table") << "DROP TABLE 岗位类别"
                                   << "";
    QTest::newRow("NULL position name") << "UPDATE 岗位信息new SET 岗位名称 = NULL"
                                        << "94 Invalid use of Null";
}

void TestLogin::failuresShowOneBox()
{
    QFETCH(QString, change);
    QFETCH(QString, expected);
    const QString path = m_dir.filePath(QStringLiteral("changed.db"));
    QFile::remove(path);
    QVERIFY(QFile::copy(m_db, path));
    sqlite3* raw = nullptr;
    QCOMPARE(sqlite3_open(path.toUtf8().constData(), &raw), SQLITE_OK);
    registerSqliteFunctions(raw);
    QCOMPARE(sqlite3_exec(raw, change.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);
    m_source = QStringLiteral("Provider=SQLite;Data Source=") + path;

    Shell::showLoginWindow();
    LoginWindow* w = Shell::loginWindow();
    const bool listShown = !w->List1()->isHidden();
    w->TxtUser()->setText(QStringLiteral("1002"));
    w->txtPassword()->setText(QStringLiteral("5678"));
    w->cmdOK_Click();

    QCOMPARE(m_rec.boxes.size(), 1);
    const BoxRequest& box = m_rec.boxes.first();
    QCOMPARE(box.title, programTitle());
    // ErrPlainBox with one blank between the number and the description.
    const QRegularExpression plain(QStringLiteral("^-?\\d+ \\S"));
    QVERIFY2(plain.match(box.text).hasMatch(), qPrintable(box.text));
    QVERIFY2(box.text.startsWith(expected), qPrintable(box.text));
    QCOMPARE(!w->List1()->isHidden(), listShown);
    QCOMPARE(Shell::mainWindow(), nullptr);
    QVERIFY(m_rec.ends.isEmpty());
}

void TestLogin::commandLineOpensTheMainWindow()
{
    const QStringList fields = { "1001", " 张伟 ", "D", "财务部", "P", "会计", "01", "职能部门", "01", "管理岗" };
    Shell::start(fields.join("{}") + "【】" + m_source + "【】demo");
    QCOMPARE(m_rec.texts(), QStringList());
    QVERIFY(Shell::mainWindow());
    QCOMPARE(Shell::loginWindow(), nullptr);
    QCOMPARE(DbConnection::shared().connectionString(), m_source);
    for (int i = 0; i < SessionInfo::kFieldCount; ++i)
        QCOMPARE(sessionInfo().field(i), fields.at(i));
}

void TestLogin::commandLineWithBadConnectionShowsLogin()
{
    const QStringList fields = { "U", "N", "D", "DN", "P", "PN", "C", "CN", "PC", "PCN" };
    Shell::start(fields.join("{}") + "【】Provider=SQLite;Data Source=" + m_dir.path() + "/none.db【】x");
    QCOMPARE(m_rec.boxes.size(), 2);
    QVERIFY(m_rec.boxes.at(0).text.startsWith(QStringLiteral("错误信息：")));
    QCOMPARE(m_rec.boxes.at(1).text, QStringLiteral("数据库连接失败!"));
    QVERIFY(m_rec.ends.isEmpty());
    QCOMPARE(Shell::mainWindow(), nullptr);
    QVERIFY(Shell::loginWindow());
    QVERIFY(Shell::loginWindow()->isVisible());
    QCOMPARE(Shell::loginWindow()->Label1()->text(), QStringLiteral("V1.0版"));
    QCOMPARE(sessionInfo().PositionCategoryName, QStringLiteral("PCN"));

    // A malformed line is ignored without any box.
    Shell::reset();
    m_rec.clear();
    Shell::start(QStringLiteral("just some words"));
    QCOMPARE(m_rec.texts(), QStringList());
    QVERIFY(Shell::loginWindow());
}

QTEST_MAIN(TestLogin)
#include "test_login.moc"
