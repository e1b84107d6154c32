// The start-up command line, the stored database settings and the banner
// tiling: the pure decisions of the shell.
#include "app/bannertiling.h"
#include "app/dbsettings.h"
#include "app/positionchoice.h"
#include "app/startupcommand.h"
#include "db/connectionstring.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace fee;

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void commandLine_data();
    void commandLine();
    void commandLineTextJoinsArguments();
    void settings_data();
    void settings();
    void handWrittenSettingsFile();
    void loginStatementTexts();
    void settingsAreNeverWritten();
    void bannerTiling_data();
    void bannerTiling();
    void bannerSlicesAreTheSameSource();
};

static const QString kConn = QStringLiteral("Provider=SQLite;Data Source=/tmp/x.db");

void TestStartup::commandLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("connection");

    const QStringList ten = { "U", "N", "D", "DN", "P", "PN", "C", "CN", "PC", "PCN" };
    QTest::newRow("ten fields") << ten.join("{}") + "【】" + kConn + "【】any" << true << ten << kConn;
    const QStringList spaced = { " U", "N ", " D ", "DN", "P", "PN", "C", "CN", "PC", " PCN " };
    QTest::newRow("blanks kept") << spaced.join("{}") + "【】 " + kConn + " 【】x" << true << spaced
                                 << " " + kConn + " ";
    QStringList empties(10);
    QTest::newRow("empty fields and parts") << empties.join("{}") + "【】【】" << true << empties << QString();
    QStringList eleven = ten;
    eleven << "extra";
    QTest::newRow("extra fields ignored") << eleven.join("{}") + "【】" + kConn + "【】x【】y" << true << ten << kConn;
    QTest::newRow("single brace kept in a field")
        << QStringLiteral("U{N}{}x{}D{}DN{}P{}PN{}C{}CN{}PC{}PCN【】c【】") << true
        << QStringList { "U{N}", "x", "D", "DN", "P", "PN", "C", "CN", "PC", "PCN" } << "c";
    QTest::newRow("empty line") << QString() << false << QStringList() << QString();
    QTest::newRow("two parts") << ten.join("{}") + "【】" + kConn << false << QStringList() << QString();
    QTest::newRow("nine fields") << ten.mid(0, 9).join("{}") + "【】" + kConn + "【】x" << false << QStringList()
                                 << QString();
    QTest::newRow("half a delimiter") << ten.join("{}") + "【" + kConn + "】x" << false << QStringList() << QString();
    QTest::newRow("plain argument") << QStringLiteral("--help") << false << QStringList() << QString();
}

void TestStartup::commandLine()
{
    QFETCH(QString, line);
    QFETCH(bool, accepted);
    QFETCH(QStringList, fields);
    QFETCH(QString, connection);

    const auto command = parseStartupCommand(line);
    QCOMPARE(command.has_value(), accepted);
    if (!accepted)
        return;
    QStringList got;
    for (int i = 0; i < SessionInfo::kFieldCount; ++i)
        got << command->session.field(i);
    QCOMPARE(got, fields);
    QCOMPARE(command->session.UserCode, fields.at(0));
    QCOMPARE(command->session.PositionCategoryName, fields.at(9));
    QCOMPARE(command->connectionString, connection);
}

void TestStartup::commandLineTextJoinsArguments()
{
    QCOMPARE(commandLineText({}), QString());
    QCOMPARE(commandLineText({ "a{}b【】Data Source=x", "y" }), QStringLiteral("a{}b【】Data Source=x y"));
    QCOMPARE(commandLineText({ "one argument with blanks" }), QStringLiteral("one argument with blanks"));
}

void TestStartup::settings_data()
{
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<QString>("expected");

    QTest::newRow("server db1, sa, wy, empty password")
        << QVariantMap { { "Svr", "db1" }, { "UID", "sa" }, { "PWD", "" }, { "DBname", "wy" } }
        << QStringLiteral("Provider=SQLOLEDB.1;Password=;Persist Security Info=False;User ID=sa;"
                          "Initial Catalog='wy';Data Source='db1'");
    QTest::newRow("missing keys read as empty")
        << QVariantMap { { "Svr", "db1" } }
        << QStringLiteral("Provider=SQLOLEDB.1;Password=;Persist Security Info=False;User ID=;"
                          "Initial Catalog='';Data Source='db1'");
    // A password with a semicolon is quoted, its apostrophe doubled, so it
    // stays one value; the other values go in as read.
    QTest::newRow("values as read")
        << QVariantMap { { "Svr", " db1\\SQL " }, { "UID", "a b" }, { "PWD", "p;w'd" }, { "DBname", "物业" } }
        << QStringLiteral("Provider=SQLOLEDB.1;Password='p;w''d';Persist Security Info=False;User ID=a b;"
                          "Initial Catalog='物业';Data Source=' db1\\SQL '");
}

void TestStartup::settings()
{
    QFETCH(QVariantMap, stored);
    QFETCH(QString, expected);

    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QString::fromUtf8(kSettingsOrganization),
            QString::fromUtf8(kSettingsApplication));
        store.beginGroup("DBConfig");
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            store.setValue(it.key(), it.value());
        store.endGroup();
        store.beginGroup("Other");
        store.setValue("Svr", "not this one");
    }
    QCOMPARE(settingsConnectionString(), expected);
}

void TestStartup::loginStatementTexts()
{
    QCOMPARE(employeeCheckStatement(QStringLiteral("1001 "), QStringLiteral("12'34")),
        QStringLiteral("Select * From 员工档案 Where 工号 ='1001 ' and 帐号密码='12''34'"));
    QCOMPARE(positionStatement(QStringLiteral("O'Neil")),
        QStringLiteral(
            "Select 员工档案.姓名,职能部门类别.部门类别代号,职能部门类别.部门类别名称,岗位类别.岗位类别编号,"
            "岗位类别名称, 职能部门new.职能部门编号 , 职能部门new.职能部门名称, 岗位信息new.岗位代号, "
            "岗位信息new.岗位名称, 岗位员工new.主要岗位 From 岗位员工new Inner joIn 岗位信息new on "
            "岗位员工new.岗位代号 = 岗位信息new.岗位代号 Inner joIn 职能部门new on 岗位信息new.职能部门代号 = "
            "职能部门new.职能部门编号 Inner joIn 岗位类别 on 岗位信息new.岗位类别代号 = 岗位类别.岗位类别编号 "
            "Inner joIn 职能部门类别 on 职能部门new.职能部门类别代号 = 职能部门类别.部门类别代号 Inner joIn "
            "员工档案 on 岗位员工new.员工代号 = 员工档案.工号 Where 岗位员工new.员工代号='O''Neil' and "
            "员工档案.离职日期 is null AND (岗位员工new.离岗日期 IS NULL)"));
}

void TestStartup::handWrittenSettingsFile()
{
    // An administrator's file: "db1,1444" unquoted is an INI list to QSettings.
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QDir(dir.path()).mkpath(QString::fromUtf8(kSettingsOrganization));
    QFile file(dir.filePath(
        QString::fromUtf8(kSettingsOrganization) + "/" + QString::fromUtf8(kSettingsApplication) + ".conf"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[DBConfig]\nSvr=db1,1444\nUID=sa\nPWD=a,b\nDBname=wy\n");
    file.close();
    const DbSettings s = readStoredDbSettings();
    QCOMPARE(s.svr, QStringLiteral("db1,1444"));
    QCOMPARE(s.pwd, QStringLiteral("a,b"));
}

void TestStartup::settingsAreNeverWritten()
{
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    const DbSettings s = readStoredDbSettings();
    QCOMPARE(s.svr + s.uid + s.pwd + s.dbName, QString());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

using Copies = QList<BannerCopy>;
Q_DECLARE_METATYPE(Copies)

void TestStartup::bannerTiling_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("slices");
    QTest::addColumn<int>("lastSliceLeft");

    // The picture is 1028 x 54 pixels: 15420 x 810 twips.
    QTest::newRow("narrower than the picture") << 6000 << 0 << -1;
    QTest::newRow("no room for a slice") << 8850 + 300 + 4000 << 0 << -1;
    QTest::newRow("one twip more: one slice") << 8850 + 300 + 4001 << 1 << 9150;
    QTest::newRow("1400 pixels") << 21000 << 27 << 8850 + 300 * 27;
    QTest::newRow("exactly 10000 fit") << 8850 + 300 * 10000 + 4001 << 10000 << 8850 + 300 * 10000;
    QTest::newRow("capped at 10000") << 8850 + 300 * 20000 << 10000 << 8850 + 300 * 10000;
}

void TestStartup::bannerTiling()
{
    QFETCH(int, width);
    QFETCH(int, slices);
    QFETCH(int, lastSliceLeft);

    const int height = 810;
    const Copies copies = BannerTiling(width, height, QSize(15420, 810));
    QCOMPARE(copies.size(), slices + 1);
    if (slices > 0) {
        QCOMPARE(copies.first().target, QRect(9150, 0, 300, height));
        QCOMPARE(copies.at(slices - 1).target, QRect(lastSliceLeft, 0, 300, height));
    }
    // The right end: the picture from 8850 to its right edge into the last 4000 twips.
    QCOMPARE(copies.last().source, QRect(8850, 0, 15420 - 8850, 810));
    QCOMPARE(copies.last().target, QRect(width - 4000, 0, 4000, height));
}

void TestStartup::bannerSlicesAreTheSameSource()
{
    const Copies copies = BannerTiling(30000, 600, QSize(15420, 810));
    QVERIFY(copies.size() > 2);
    for (int i = 0; i + 1 < copies.size(); ++i) {
        QCOMPARE(copies.at(i).source, QRect(8850, 0, 300, 810));
        QCOMPARE(copies.at(i).target.height(), 600);
        QCOMPARE(copies.at(i).target.left(), 8850 + 300 * (i + 1));
    }
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
