#include "db/dbconnection.h"
#include "db/sqlitefunctions.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runCli(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(FEE_CLI_PATH), arguments);
    process.waitForFinished(120000);
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError()) };
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Direct read of the built file, with the collation the text columns declare.
class RawDb {
public:
    explicit RawDb(const QString& path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        fee::registerSqliteFunctions(m_db);
    }
    ~RawDb() { sqlite3_close(m_db); }

    // First column of the first row as text; "ERROR: ..." when the statement fails.
    QString scalar(const QString& sql) const
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
            return QStringLiteral("ERROR: ") + QString::fromUtf8(sqlite3_errmsg(m_db));
        QString value;
        if (sqlite3_step(statement) == SQLITE_ROW)
            value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        return value;
    }
    long long count(const QString& sql) const { return scalar(sql).toLongLong(); }

private:
    sqlite3* m_db = nullptr;
};

const QString kLoginPositions = QStringLiteral(
    "Select 员工档案.姓名,职能部门类别.部门类别代号,职能部门类别.部门类别名称,岗位类别.岗位类别编号,岗位类别名称,"
    " 职能部门new.职能部门编号 , 职能部门new.职能部门名称, 岗位信息new.岗位代号, 岗位信息new.岗位名称,"
    " 岗位员工new.主要岗位 From 岗位员工new"
    " Inner joIn 岗位信息new on 岗位员工new.岗位代号 = 岗位信息new.岗位代号"
    " Inner joIn 职能部门new on 岗位信息new.职能部门代号 = 职能部门new.职能部门编号"
    " Inner joIn 岗位类别 on 岗位信息new.岗位类别代号 = 岗位类别.岗位类别编号"
    " Inner joIn 职能部门类别 on 职能部门new.职能部门类别代号 = 职能部门类别.部门类别代号"
    " Inner joIn 员工档案 on 岗位员工new.员工代号 = 员工档案.工号"
    " Where 岗位员工new.员工代号='%1' and 员工档案.离职日期 is null AND (岗位员工new.离岗日期 IS NULL)");

} // namespace

class TestDemoDb : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void sameSeedSameFile();
    void tablesHaveTheirColumns_data();
    void tablesHaveTheirColumns();
    void codesStayText_data();
    void codesStayText();
    void collationFollowsTheSwitch();
    void loginRoads_data();
    void loginRoads();
    void populations_data();
    void populations();
    void badArguments_data();
    void badArguments();
    void helpListsTheCommands();
    void replacesAnExistingFileWhole();
    void missingFolderFails();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
    CliRun m_first;
};

void TestDemoDb::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_first = runCli({ QStringLiteral("demo-db"), path("a.db") });
    QCOMPARE(m_first.exitCode, 0);
    QCOMPARE(m_first.err, QString());
    QVERIFY2(m_first.out.contains(QStringLiteral("ledger rows")), qPrintable(m_first.out));
    QCOMPARE(m_first.out.count(QLatin1Char('\n')), 1);
}

void TestDemoDb::sameSeedSameFile()
{
    QCOMPARE(
        runCli({ QStringLiteral("demo-db"), path("b.db"), QStringLiteral("--seed"), QStringLiteral("1") }).exitCode, 0);
    QCOMPARE(
        runCli({ QStringLiteral("demo-db"), path("c.db"), QStringLiteral("--seed"), QStringLiteral("2") }).exitCode, 0);
    QVERIFY(!fileHash(path("a.db")).isEmpty());
    QCOMPARE(fileHash(path("b.db")), fileHash(path("a.db")));
    QVERIFY(fileHash(path("c.db")) != fileHash(path("a.db")));
    QVERIFY(!QFile::exists(path("a.db.building")));
}

void TestDemoDb::tablesHaveTheirColumns_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("columns");
    const QList<QPair<const char*, const char*>> tables = {
        { "员工档案", "工号, 帐号密码, 姓名, 离职日期, ID" },
        { "岗位员工new", "员工代号, 岗位代号, 主要岗位, 离岗日期" },
        { "岗位信息new", "岗位代号, 岗位名称, 职能部门代号, 岗位类别代号, 工号" },
        { "职能部门new", "职能部门编号, 职能部门名称, 职能部门类别代号, 终止日期" },
        { "职能部门类别", "部门类别代号, 部门类别名称" },
        { "岗位类别", "岗位类别编号, 岗位类别名称" },
        { "设置管理处", "GYD_DH, GYD_Name, 对应部门代号, 终止日期, 商用物业" },
        { "SETUPSFXM", "DH, XM, 收费类别, 终止日期" },
        { "收款方式列表", "收款方式" },
        { "楼表", "L_ID, 管理处, 地址1, 字1, 地址2, 字2, 地址3, 字3, 地址4, 字4" },
        { "室表", "L_ID, S_ID, 室, 字" },
        { "业主表", "S_ID, ZH_ID, 姓名, 说明" },
        { "车位申请登记表", "登记ID, 管理处, 车库编号, 地址, 车主姓名, 牌照号, 用户类型" },
        { "车库名", "管理处, 车库编号" },
        { "车位说明表", "ID, 管理处, 产权人" },
        { "WYZJ",
            "ZH_ID, DJ_ID, CW_ID, ZJ_LX, ZJ_CNY, ZJ_JE, 收入, ZJ_SKRQ, zj_tkrq, zj_bdrq, zj_jzrq, zj_tzrq, ZJ_BZ, "
            "收款人, "
            "收款方式, 票据入库单编号, 发票号码" },
        { "票据",
            "ID, 入库单编号, 票据编号, 付款人, 地址, 开票日期, 开票人, 收款日期, 收款人, 收款方式, 备注, 开票部门编号, "
            "管理处, 退票日期, 作废日期, 内换日期, 内换票据编号, 对应调换票据入库单, 被换票票据编号" },
        { "票据开票数据", "票据id, 收费项目代号, 项目, 摘要, 金额, 税额, 非日常" },
    };
    for (const auto& [table, columns] : tables)
        QTest::newRow(table) << QString::fromUtf8(table) << QString::fromUtf8(columns);
}

// Read through the program's own connection, as the reports do.
void TestDemoDb::tablesHaveTheirColumns()
{
    QFETCH(QString, table);
    QFETCH(QString, columns);
    fee::DbConnection connection;
    connection.open(QStringLiteral("Provider=SQLite;Data Source=") + path("a.db"));
    fee::DbResult result = connection.query(QStringLiteral("Select %1 From %2").arg(columns, table));
    QVERIFY2(result.next(), "the table is empty");
    QCOMPARE(result.fieldCount(), int(columns.count(QLatin1Char(',')) + 1));
}

void TestDemoDb::codesStayText_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("column");
    const QList<QPair<const char*, const char*>> codes = { { "设置管理处", "GYD_DH" }, { "设置管理处", "对应部门代号" },
        { "职能部门new", "职能部门编号" }, { "SETUPSFXM", "DH" }, { "WYZJ", "ZJ_LX" }, { "WYZJ", "ZJ_CNY" },
        { "员工档案", "工号" }, { "岗位员工new", "岗位代号" }, { "楼表", "管理处" }, { "票据", "票据编号" },
        { "票据开票数据", "收费项目代号" }, { "车库名", "车库编号" }, { "WYZJ", "ZJ_SKRQ" } };
    for (const auto& [table, column] : codes)
        QTest::newRow(QByteArray(table) + "." + column) << QString::fromUtf8(table) << QString::fromUtf8(column);
}

void TestDemoDb::codesStayText()
{
    QFETCH(QString, table);
    QFETCH(QString, column);
    RawDb db(path("a.db"));
    QCOMPARE(
        db.scalar(
            QStringLiteral("SELECT group_concat(DISTINCT typeof(%1)) FROM %2 WHERE %1 IS NOT NULL").arg(column, table)),
        QStringLiteral("text"));
    QCOMPARE(db.count(QStringLiteral("SELECT count(*) FROM 职能部门new WHERE 职能部门编号 = '0101'")), 1LL);
    QCOMPARE(db.count(QStringLiteral("SELECT count(*) FROM WYZJ WHERE length(ZJ_CNY) <> 6")), 0LL);
}

void TestDemoDb::collationFollowsTheSwitch()
{
    QCOMPARE(runCli({ QStringLiteral("demo-db"), path("plain.db"), QStringLiteral("--offices"), QStringLiteral("1"),
                        QStringLiteral("--rooms"), QStringLiteral("5"), QStringLiteral("--plain-collation") })
                 .exitCode,
        0);
    const QString tablesWith
        = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND sql LIKE '%COLLATE%'");
    const QString allTables
        = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'");
    RawDb collated(path("a.db"));
    RawDb plain(path("plain.db"));
    QCOMPARE(collated.count(tablesWith), collated.count(allTables));
    QCOMPARE(plain.count(tablesWith), 0LL);
    // Compared like the server does: trailing blanks (and letter case) do not count.
    const QString padded = QStringLiteral("SELECT count(*) FROM SETUPSFXM WHERE DH = '01 '");
    QCOMPARE(collated.count(padded), 1LL);
    QCOMPARE(plain.count(padded), 0LL);
}

void TestDemoDb::loginRoads_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("positions");
    QTest::newRow("one position") << "1001"
                                  << "1234"
                                  << "张伟" << QStringList { "财务部 会计(主要)" };
    QTest::newRow("main and part-time") << "1002"
                                        << "5678"
                                        << "李娜" << QStringList { "客服部 客服主管(主要)", "工程部 电工(兼职)" };
    QTest::newRow("only ended positions") << "1003"
                                          << "1003"
                                          << "王强" << QStringList {};
    QTest::newRow("left the company") << "1004"
                                      << "1004"
                                      << "赵敏" << QStringList {};
    QTest::newRow("office manager") << "1005"
                                    << "8888"
                                    << "刘洋" << QStringList { "阳光花园管理处 管理处主任(主要)" };
}

void TestDemoDb::loginRoads()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, name);
    QFETCH(QStringList, positions);
    fee::DbConnection connection;
    connection.open(QStringLiteral("Provider=SQLite;Data Source=") + path("a.db"));

    fee::DbResult employee = connection.query(
        QStringLiteral("Select * From 员工档案 Where 工号 ='%1' and 帐号密码='%2'").arg(user, password));
    QVERIFY(employee.next());
    QCOMPARE(employee.text(QStringLiteral("姓名")), name);
    QVERIFY(!employee.next());
    QVERIFY(
        !connection
             .query(QStringLiteral("Select * From 员工档案 Where 工号 ='%1' and 帐号密码='x%2'").arg(user, password))
             .next());

    QStringList listed;
    fee::DbResult rows = connection.query(kLoginPositions.arg(user));
    while (rows.next())
        listed << rows.text(QStringLiteral("职能部门名称")) + QLatin1Char(' ') + rows.text(QStringLiteral("岗位名称"))
                + (rows.boolean(QStringLiteral("主要岗位")) ? QStringLiteral("(主要)") : QStringLiteral("(兼职)"));
    QCOMPARE(listed, positions);
}

void TestDemoDb::populations_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("present");
    const auto row = [](const char* name, const char* sql, bool present = true) {
        QTest::newRow(name) << QString::fromUtf8(sql) << present;
    };
    row("waivers of the year",
        "SELECT count(*) FROM WYZJ WHERE ZJ_BZ='减免' AND ZJ_CNY >= '202601' AND zj_bdrq >= '2026-01-01'");
    row("waivers dated in earlier years", "SELECT count(*) FROM WYZJ WHERE ZJ_BZ='减免' AND zj_bdrq < '2026-01-01'");
    row("earlier period waived this year",
        "SELECT count(*) FROM WYZJ WHERE ZJ_BZ='减免' AND ZJ_CNY < '202601' AND zj_bdrq >= '2026-01-01'");
    row("waiver rows are not collected", "SELECT count(*) FROM WYZJ WHERE ZJ_BZ='减免' AND ZJ_SKRQ IS NOT NULL", false);
    row("refunds before a date", "SELECT count(*) FROM WYZJ WHERE zj_tkrq < '2026-06-30' AND ZJ_SKRQ < '2026-06-01'");
    row("refunds after a date", "SELECT count(*) FROM WYZJ WHERE zj_tkrq > '2026-06-30' AND ZJ_SKRQ < '2026-06-30'");
    row("refund before collection", "SELECT count(*) FROM WYZJ WHERE zj_tkrq < substr(ZJ_SKRQ, 1, 10)", false);
    row("uncollected arrears",
        "SELECT count(*) FROM WYZJ WHERE ZJ_SKRQ IS NULL AND ZJ_CNY < '202501' AND ZJ_BZ IS NULL");
    row("arrears older than three years", "SELECT count(*) FROM WYZJ WHERE ZJ_SKRQ IS NULL AND ZJ_CNY < '202301'");
    row("vacant units",
        "SELECT count(*) FROM WYZJ w JOIN 业主表 o ON o.ZH_ID = w.ZH_ID WHERE o.姓名 = '开发商' AND o.说明 = '新进户' "
        "AND w.ZJ_SKRQ IS NULL");
    row("vacant parking",
        "SELECT count(*) FROM WYZJ w JOIN 车位申请登记表 r ON r.登记ID = w.DJ_ID WHERE r.车主姓名 = '开发商' AND "
        "w.ZJ_SKRQ IS NULL");
    row("owners left out by the report",
        "SELECT count(*) FROM WYZJ w JOIN 业主表 o ON o.ZH_ID = w.ZH_ID WHERE o.说明 <> '新进户'");
    row("prepaid next year", "SELECT count(*) FROM WYZJ WHERE ZJ_CNY >= '202701' AND ZJ_SKRQ < '2026-12-01'");
    row("prepaid for the year ahead of 2025",
        "SELECT count(*) FROM WYZJ WHERE ZJ_CNY LIKE '2026%' AND ZJ_SKRQ < '2026-01-01'");
    row("collections after the data end", "SELECT count(*) FROM WYZJ WHERE ZJ_SKRQ >= '2026-12-11'", false);
    // Only owners of a parking space prepay beyond 2027.
    row("charges after 2027", "SELECT count(*) FROM WYZJ WHERE ZJ_CNY > '202712' AND CW_ID IS NULL", false);
    row("space prepaid through 2028", "SELECT count(*) FROM WYZJ WHERE ZJ_CNY = '202812' AND ZJ_SKRQ IS NOT NULL");
    row("charges on a space alone",
        "SELECT count(*) FROM WYZJ WHERE ZH_ID IS NULL AND DJ_ID IS NULL AND CW_ID IS NOT NULL");
    row("entry dates on ordinary rows", "SELECT count(*) FROM WYZJ WHERE zj_bdrq IS NOT NULL AND ZJ_BZ IS NULL");
    row("set-aside pairs", "SELECT count(*) FROM WYZJ WHERE zj_jzrq IS NOT NULL AND zj_tzrq > zj_jzrq");
    row("half a pair", "SELECT count(*) FROM WYZJ WHERE (zj_jzrq IS NULL) <> (zj_tzrq IS NULL)", false);
    row("household and parking keys exclusive",
        "SELECT count(*) FROM WYZJ WHERE (ZH_ID IS NULL) = (DJ_ID IS NULL) AND NOT (ZH_ID IS NULL AND CW_ID IS NOT "
        "NULL)",
        false);
    row("parking rows with their space", "SELECT count(*) FROM WYZJ WHERE DJ_ID IS NOT NULL AND CW_ID IS NOT NULL");
    row("income is amount net of tax", "SELECT count(*) FROM WYZJ WHERE abs(收入 - round(ZJ_JE / 1.06, 2)) > 0.0051",
        false);
    row("amounts with cents", "SELECT count(*) FROM WYZJ WHERE ZJ_JE <> round(ZJ_JE)");
    row("parking-only office",
        "SELECT count(*) FROM 设置管理处 g WHERE g.终止日期 IS NULL AND NOT EXISTS (SELECT 1 FROM 楼表 l WHERE "
        "l.管理处 = g.GYD_DH) "
        "AND EXISTS (SELECT 1 FROM WYZJ w JOIN 车位申请登记表 r ON r.登记ID = w.DJ_ID WHERE r.管理处 = g.GYD_DH)");
    row("office without ledger rows",
        "SELECT count(*) FROM 设置管理处 g WHERE g.终止日期 IS NULL AND g.商用物业 = 0 "
        "AND EXISTS (SELECT 1 FROM 楼表 l WHERE l.管理处 = g.GYD_DH) "
        "AND NOT EXISTS (SELECT 1 FROM 楼表 l JOIN 室表 s ON s.L_ID = l.L_ID JOIN 业主表 o ON o.S_ID = s.S_ID "
        "JOIN WYZJ w ON w.ZH_ID = o.ZH_ID WHERE l.管理处 = g.GYD_DH) "
        "AND NOT EXISTS (SELECT 1 FROM 车位申请登记表 r WHERE r.管理处 = g.GYD_DH)");
    row("ended office", "SELECT count(*) FROM 设置管理处 WHERE 终止日期 IS NOT NULL");
    row("office kinds",
        "SELECT count(DISTINCT 商用物业) FROM 设置管理处 WHERE 商用物业 IN (0, 1, 2) HAVING count(DISTINCT 商用物业) = "
        "3");
    row("office name with a line break",
        "SELECT count(*) FROM 设置管理处 WHERE GYD_Name LIKE '%' || char(13, 10) || '%'");
    row("office without department",
        "SELECT count(*) FROM 设置管理处 g LEFT JOIN 职能部门new d ON d.职能部门编号 = g.对应部门代号 "
        "WHERE d.职能部门编号 IS NULL",
        false);
    row("ended department", "SELECT count(*) FROM 职能部门new WHERE 终止日期 IS NOT NULL");
    row("ended fee item", "SELECT count(*) FROM SETUPSFXM WHERE DH = '22' AND 终止日期 IS NOT NULL");
    row("payment methods",
        "SELECT count(*) FROM 收款方式列表 WHERE 收款方式 IN ('现金','刷卡','转账','微信','支付宝') HAVING count(*) = "
        "5");
    row("registration without address", "SELECT count(*) FROM 车位申请登记表 WHERE 地址 IS NULL");
    row("registration without owner", "SELECT count(*) FROM 车位申请登记表 WHERE 车主姓名 IS NULL");
    // Ledger collections summed per receipt and item, against the routine lines.
    const char* const lineVsLedger = "FROM 票据 p JOIN 票据开票数据 d ON d.票据id = p.ID LEFT JOIN (SELECT "
                                     "票据入库单编号 AS b, 发票号码 AS n, ZJ_LX AS i, "
                                     "sum(ZJ_JE) AS s FROM WYZJ WHERE 发票号码 <> '' GROUP BY 1, 2, 3) w ON w.b = "
                                     "p.入库单编号 AND w.n = p.票据编号 "
                                     "AND w.i = d.收费项目代号 WHERE d.非日常 = 0 AND p.被换票票据编号 IS NULL";
    QTest::newRow("routine lines with their ledger rows")
        << QStringLiteral("SELECT count(*) %1 AND abs(d.金额 - w.s) < 0.001").arg(QString::fromUtf8(lineVsLedger))
        << true;
    QTest::newRow("routine lines without matching ledger rows")
        << QStringLiteral("SELECT count(*) %1 AND (w.s IS NULL OR abs(d.金额 - w.s) >= 0.001)")
               .arg(QString::fromUtf8(lineVsLedger))
        << false;
    row("period lists in summaries", "SELECT count(*) FROM 票据开票数据 WHERE 摘要 LIKE '2%,2%'");
    row("non-routine lines", "SELECT count(*) FROM 票据开票数据 WHERE 非日常 = 1");
    row("lines without tax", "SELECT count(*) FROM 票据开票数据 WHERE 税额 IS NULL");
    row("collections without receipt (NULL)",
        "SELECT count(*) FROM WYZJ WHERE ZJ_SKRQ IS NOT NULL AND 票据入库单编号 IS NULL AND 发票号码 IS NULL");
    row("collections without receipt ('')",
        "SELECT count(*) FROM WYZJ WHERE ZJ_SKRQ IS NOT NULL AND 票据入库单编号 = '' AND 发票号码 = ''");
    row("refunded receipts", "SELECT count(*) FROM 票据 WHERE 退票日期 IS NOT NULL");
    row("voided receipts", "SELECT count(*) FROM 票据 WHERE 作废日期 IS NOT NULL");
    row("receipts without office", "SELECT count(*) FROM 票据 WHERE 管理处 IS NULL AND 开票部门编号 = '0201'");
    row("pre-issued receipts", "SELECT count(*) FROM 票据 WHERE 开票日期 < substr(收款日期, 1, 10)");
    row("receipt times of day",
        "SELECT count(*) FROM 票据 WHERE length(收款日期) = 19 AND 收款日期 NOT LIKE '% 00:00:00'");
    row("dates in ISO form",
        "SELECT count(*) FROM 票据 WHERE 收款日期 NOT GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]' AND 收款日期 "
        "NOT GLOB "
        "'[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]'",
        false);
    row("exchange recorded on both receipts",
        "SELECT count(*) FROM 票据 a JOIN 票据 b ON b.入库单编号 = a.对应调换票据入库单 AND b.票据编号 = "
        "a.内换票据编号 "
        "WHERE a.内换日期 IS NOT NULL AND b.被换票票据编号 = a.票据编号");
    row("exchange recorded on the replacement only",
        "SELECT count(*) FROM 票据 a JOIN 票据 b ON b.被换票票据编号 = a.票据编号 WHERE a.内换日期 IS NOT NULL AND "
        "a.内换票据编号 IS NULL");
    row("exchanged non-routine receipts",
        "SELECT count(*) FROM 票据 p JOIN 票据开票数据 d ON d.票据id = p.ID WHERE d.非日常 = 1 AND p.被换票票据编号 IS "
        "NOT "
        "NULL");
    row("pre-issued non-routine receipts",
        "SELECT count(*) FROM 票据 p JOIN 票据开票数据 d ON d.票据id = p.ID WHERE d.非日常 = 1 AND p.开票日期 < "
        "substr(p.收款日期, 1, 10)");
    row("receipt numbers repeat",
        "SELECT count(*) FROM (SELECT 入库单编号 || 票据编号 FROM 票据 GROUP BY 1 HAVING count(*) > 1)", false);
}

void TestDemoDb::populations()
{
    QFETCH(QString, sql);
    QFETCH(bool, present);
    RawDb db(path("a.db"));
    const QString value = db.scalar(sql);
    QVERIFY2(!value.startsWith(QStringLiteral("ERROR")), qPrintable(value));
    QCOMPARE(value.toLongLong() > 0, present);
}

void TestDemoDb::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("no command") << QStringList {} << "command";
    QTest::newRow("unknown command") << QStringList { "demo" } << "unknown command";
    QTest::newRow("no path") << QStringList { "demo-db" } << "PATH";
    QTest::newRow("two paths") << QStringList { "demo-db", "x.db", "y.db" } << "PATH";
    QTest::newRow("seed not a number") << QStringList { "demo-db", "x.db", "--seed", "abc" } << "--seed";
    QTest::newRow("negative seed") << QStringList { "demo-db", "x.db", "--seed", "-1" } << "--seed";
    QTest::newRow("no offices") << QStringList { "demo-db", "x.db", "--offices", "0" } << "--offices";
    QTest::newRow("rooms not a number") << QStringList { "demo-db", "x.db", "--rooms", "12a" } << "--rooms";
    QTest::newRow("rooms missing value") << QStringList { "demo-db", "x.db", "--rooms" } << "rooms";
    QTest::newRow("unknown option") << QStringList { "demo-db", "x.db", "--bogus" } << "bogus";
}

void TestDemoDb::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QDir::setCurrent(m_dir.path());
    const CliRun run = runCli(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QVERIFY(!QFile::exists(path("x.db")));
}

void TestDemoDb::helpListsTheCommands()
{
    const CliRun run = runCli({ QStringLiteral("--help") });
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(QStringLiteral("demo-db PATH")), qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("monthly")), qPrintable(run.out));
}

void TestDemoDb::replacesAnExistingFileWhole()
{
    const QString target = path("old.db");
    QFile junk(target);
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(100000, 'x'));
    junk.close();
    QCOMPARE(runCli({ QStringLiteral("demo-db"), target, QStringLiteral("--offices"), QStringLiteral("1"),
                        QStringLiteral("--rooms"), QStringLiteral("3") })
                 .exitCode,
        0);
    QFile built(target);
    QVERIFY(built.open(QIODevice::ReadOnly));
    QCOMPARE(built.read(15), QByteArray("SQLite format 3"));
    QVERIFY(!QFile::exists(target + QStringLiteral(".building")));
}

void TestDemoDb::missingFolderFails()
{
    const CliRun run = runCli({ QStringLiteral("demo-db"), path("no/such/folder/x.db") });
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("does not exist")), qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestDemoDb)
#include "tst_demodb.moc"
