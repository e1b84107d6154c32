#include "db/dbconnection.h"
#include "db/sqlitefunctions.h"

#include "fixture.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

using fee::DbConnection;
using fee::Failure;

namespace {

const QString kNull = QStringLiteral("<NULL>");

// Every row's text of one field; NULL shows as <NULL>.
QStringList column(DbConnection& db, const QString& statement, const QString& field)
{
    QStringList texts;
    fee::DbResult r = db.query(statement);
    while (r.next())
        texts << (r.isNull(field) ? kNull : r.textOrEmpty(field));
    return texts;
}

QByteArray fileHash(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex();
}

// The ledger address of a household row, as the detail lists build it.
const char* const kAddress
    = "Case When 楼表.地址1 Is Not Null Then 楼表.地址1 Else '' End +  Case When 楼表.字1 Is Not Null Then 楼表.字1 "
      "Else "
      "'' End +  Case When 楼表.地址2 Is Not Null Then 楼表.地址2 Else '' End +  Case When 楼表.字2 Is Not Null Then "
      "楼表.字2 Else '' End +  Case When 楼表.地址3 Is Not Null Then 楼表.地址3 Else '' End +  Case When 楼表.字3 Is "
      "Not "
      "Null Then 楼表.字3 Else '' End +  Case When 楼表.地址4 Is Not Null Then 楼表.地址4 Else '' End +  Case When "
      "楼表.字4 Is Not Null Then 楼表.字4 Else '' End";

// The cumulative-collections measure of office 01 for 2024-03-31, household
// half union parking half inside the statement over the offices.
const char* const kMeasure
    = "Select sum(累计实收) as 累计实收 , 管理处 From 设置管理处 Left Join (Select sum(wyzj.zj_je) as 累计实收 ,管理处 "
      "From "
      "楼表 Inner join 室表 on 楼表.L_ID = 室表.L_ID Inner join 业主表 on 室表.S_ID = 业主表.S_ID Inner join WYZJ on "
      "业主表.ZH_ID = WYZJ.ZH_ID Where 业主表.说明='新进户' And 管理处 ='01' And wyzj.zj_lx In ('01','2') And (ZJ_CNY "
      ">= "
      "'202401' And ZJ_CNY <= '202403') And convert(char(8),zj_skrq,112) <= '20240331' And (zj_tkrq is null Or "
      "convert(char(8),zj_tkrq,112) > '20240331') And wyzj.dj_id is null Group by 管理处 Union All Select "
      "sum(wyzj.zj_je) as 累计实收 , 车库名.管理处 From WYZJ Inner join 车位申请登记表 ON 车位申请登记表.登记ID = "
      "WYZJ.DJ_ID  Inner join 车库名 ON 车库名.管理处 = 车位申请登记表.管理处 AND 车库名.车库编号 = "
      "车位申请登记表.车库编号 "
      "Where 车库名.管理处 ='01' And wyzj.zj_lx In ('01','2') And (ZJ_CNY >= '202401' And ZJ_CNY <= '202403') And "
      "convert(char(8),zj_skrq,112) <= '20240331' And (zj_tkrq is null Or convert(char(8),zj_tkrq,112) > '20240331') "
      "Group by 车库名.管理处) Z On gyd_dh=Z.管理处 Where  gyd_dh ='01' Group by 管理处";

} // namespace

class TestSqlite : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void statements_data();
    void statements();
    void exactSumKeepsTypes();
    void typedReads_data();
    void typedReads();
    void nullReadsFail_data();
    void nullReadsFail();
    void fieldsByNameIgnoringCase();
    void databaseErrorsCarryTheMessage();
    void writesAreRefused_data();
    void writesAreRefused();
    void missingFileFailsAndCreatesNothing();
    void closedConnectionRefusesStatements();
    void collationIsAStrictWeakOrder();
    void joinsMatchCodesDifferingInBlanksWithoutIndexes();

private:
    QTemporaryDir m_dir;
    QString m_path;
    DbConnection m_db;
};

void TestSqlite::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_path = m_dir.filePath(QStringLiteral("fee.db"));
    QCOMPARE(fixture::createFeeDatabase(m_path), QString());
    m_db.open(QStringLiteral("Provider=SQLite;Data Source='") + m_path + QStringLiteral("'"));
    QVERIFY(m_db.isOpen());
    QCOMPARE(int(m_db.backend()), int(fee::DbBackend::Sqlite));
}

void TestSqlite::statements_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("expected");
    auto row = [](const char* name, const char* statement, const char* field, QStringList expected) {
        QTest::newRow(name) << QString::fromUtf8(statement) << QString::fromUtf8(field) << expected;
    };
    const auto one = [](const char* text) { return QStringList { QString::fromUtf8(text) }; };

    row("Left by year", "Select Left(zj_cny,4) as y From WYZJ Where ZJ_CNY = '202312'", "y", one("2023"));
    row("convert char 8 of a date",
        "Select convert(char(8),ZJ_SKRQ,112) as d From WYZJ Where ZJ_CNY='202401' And zh_id=100", "d", one("20240105"));
    row("convert char 8 of a date and time",
        "Select Convert(Char(8), ZJ_SKRQ, 112) as d From WYZJ Where ZJ_CNY='202402'", "d", one("20240205"));
    row("convert char 6", "Select convert(char(6),ZJ_SKRQ,112) as d From WYZJ Where ZJ_CNY='202402'", "d",
        one("202402"));
    row("convert char 4", "Select convert(char(4),zj_skrq,112) as d From WYZJ Where ZJ_CNY='202402'", "d", one("2024"));
    row("convert keeps NULL", "Select convert(char(8),ZJ_SKRQ,112) as d From WYZJ Where ZJ_CNY='202403'", "d",
        { kNull });
    row("convert compared by day",
        "Select count(*) as n From WYZJ Where convert(char(8),zj_skrq,112) Between '20240105' And '20240120'", "n",
        one("2"));
    row("month of a date against a period",
        "Select zj_cny From WYZJ Where convert(char(6),zj_skrq,112) > zj_cny Order by zj_cny", "zj_cny", one("202312"));
    row("address joined from CASE parts", (QByteArray("Select ") + kAddress + " AS DZ From 楼表").constData(), "DZ",
        one("花园路3号A栋"));
    row("name and plate joined",
        "Select Case When 车主姓名  Is Not Null Then 车主姓名 + ' ' + 牌照号 Else 牌照号  End AS 姓名 From "
        "车位申请登记表",
        "姓名", one("李四 粤A123"));
    row("NULL joined gives NULL", "Select 字1 + 'x' as t From 楼表", "t", { kNull });
    row("len ignores trailing blanks", "Select len(GYD_DH) as n From 设置管理处 Where GYD_Name='Third'", "n", one("2"));
    row("codes stay text, ordered by length", "Select GYD_DH From 设置管理处 Order by len(gyd_dh),gyd_dh", "GYD_DH",
        { QStringLiteral("01"), QStringLiteral("03  "), QStringLiteral("0101") });
    row("N literal", "Select 姓名 From 业主表 Where 姓名 = N'开发商'", "姓名", one("开发商"));
    row("exact sum", "Select sum(zj_je) as s From WYZJ Where ZJ_LX='01' And ZJ_BZ is null", "s", one("0"));
    row("sum over no rows is NULL", "Select sum(zj_je) as s From WYZJ Where 1=0", "s", { kNull });
    row("sum of NULLs is NULL", "Select sum(zj_tkrq) as s From WYZJ", "s", { kNull });
    row("sum of number texts", "Select sum(GYD_DH) as s From 设置管理处", "s", one("105"));
    row("measure over both halves", kMeasure, "累计实收", one("50.3"));
    row("equality ignores case and trailing blanks",
        "Select count(*) as n From 设置管理处 Where GYD_DH = '03' And GYD_Name = 'THIRD  '", "n", one("1"));
    row("In list uses the collation", "Select count(*) as n From 员工档案 Where 姓名 In ('ABC')", "n", one("2"));
    row("order ignores case, Chinese by pinyin", "Select 姓名 From 员工档案 Order by 姓名, 工号", "姓名",
        { QStringLiteral("abc"), QStringLiteral("abc  "), QStringLiteral("ABD"), QStringLiteral("李四"),
            QStringLiteral("王五"), QStringLiteral("张三") });
    row("joined texts group as the server groups them",
        "Select count(*) as n From (Select 姓名 + '' as k From 员工档案 Group by 姓名 + '') x", "n", one("5"));
    row("joined texts sort as the server sorts them", "Select 姓名 + '' as k From 员工档案 Order by 姓名 + '', 工号", "k",
        { QStringLiteral("abc"), QStringLiteral("abc  "), QStringLiteral("ABD"), QStringLiteral("李四"),
            QStringLiteral("王五"), QStringLiteral("张三") });
    row("distinct merges equal texts", "Select count(*) as n From (Select Distinct 姓名 From 员工档案)", "n", one("5"));
}

void TestSqlite::statements()
{
    QFETCH(QString, statement);
    QFETCH(QString, field);
    QFETCH(QStringList, expected);
    QCOMPARE(column(m_db, statement, field), expected);
}

void TestSqlite::exactSumKeepsTypes()
{
    fee::DbResult r = m_db.query(QStringLiteral(
        "Select sum(商用物业) as i, sum(zj_je) as r From 设置管理处, WYZJ Where ZJ_LX='01' And ZJ_BZ is null"));
    QVERIFY(r.next());
    QCOMPARE(r.value(QStringLiteral("i")).metaType().id(), int(QMetaType::LongLong));
    QCOMPARE(r.number(QStringLiteral("i")), 3.0);
    QCOMPARE(r.value(QStringLiteral("r")).metaType().id(), int(QMetaType::Double));
    QCOMPARE(r.number(QStringLiteral("r")), 0.0);
    QVERIFY(!std::signbit(r.number(QStringLiteral("r"))));
}

void TestSqlite::typedReads_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("bit 1") << QStringLiteral("(Select 主要岗位 From 岗位员工new Where 岗位代号='P1')")
                           << QVariant(true);
    QTest::newRow("bit 0") << QStringLiteral("(Select 主要岗位 From 岗位员工new Where 岗位代号='P2')")
                           << QVariant(false);
    QTest::newRow("text true") << QStringLiteral("'True'") << QVariant(true);
    QTest::newRow("text false") << QStringLiteral("'false'") << QVariant(false);
    QTest::newRow("text 1") << QStringLiteral("'1'") << QVariant(true);
    QTest::newRow("text 0") << QStringLiteral("'0'") << QVariant(false);
    QTest::newRow("date only") << QStringLiteral("(Select 离岗日期 From 岗位员工new Where 岗位代号='P2')")
                               << QVariant(QDateTime(QDate(2023, 6, 30), QTime(0, 0)));
    QTest::newRow("date and time") << QStringLiteral("(Select ZJ_SKRQ From WYZJ Where ZJ_CNY='202402')")
                                   << QVariant(QDateTime(QDate(2024, 2, 5), QTime(10, 20, 30)));
    QTest::newRow("NULL date") << QStringLiteral("(Select 离岗日期 From 岗位员工new Where 岗位代号='P1')")
                               << QVariant(QDateTime());
    QTest::newRow("number text") << QStringLiteral("' 12.5'") << QVariant(12.5);
}

void TestSqlite::typedReads()
{
    QFETCH(QString, expression);
    QFETCH(QVariant, expected);
    fee::DbResult r = m_db.query(QStringLiteral("Select ") + expression + QStringLiteral(" as v"));
    QVERIFY(r.next());
    const QString v = QStringLiteral("V");
    switch (expected.metaType().id()) {
    case QMetaType::Bool:
        QCOMPARE(r.boolean(v), expected.toBool());
        break;
    case QMetaType::QDateTime:
        QCOMPARE(r.dateTime(v), expected.toDateTime());
        QCOMPARE(r.date(v), expected.toDateTime().date());
        break;
    default:
        QCOMPARE(r.number(v), expected.toDouble());
    }
}

void TestSqlite::nullReadsFail_data()
{
    QTest::addColumn<int>("read");
    QTest::newRow("text") << 0;
    QTest::newRow("number") << 1;
    QTest::newRow("boolean") << 2;
}

void TestSqlite::nullReadsFail()
{
    QFETCH(int, read);
    fee::DbResult r = m_db.query(QStringLiteral("Select 帐号密码 From 员工档案 Where 工号='2'"));
    QVERIFY(r.next());
    const QString f = QStringLiteral("帐号密码");
    QCOMPARE(r.textOrEmpty(f), QString());
    QVERIFY(!r.numberOrNull(f).has_value());
    try {
        if (read == 0)
            r.text(f);
        else if (read == 1)
            r.number(f);
        else
            r.boolean(f);
        QFAIL("NULL read without failure");
    } catch (const Failure& failure) {
        QCOMPARE(failure.number(), fee::kErrInvalidNull);
        QVERIFY2(failure.description().contains(f), qPrintable(failure.description()));
    }
}

void TestSqlite::fieldsByNameIgnoringCase()
{
    fee::DbResult r = m_db.query(QStringLiteral("Select GYD_DH, GYD_Name From 设置管理处 Where gyd_dh='01'"));
    QCOMPARE(r.fieldCount(), 2);
    QCOMPARE(r.fieldName(1), QStringLiteral("GYD_Name"));
    QVERIFY(r.next());
    QVERIFY(r.hasField(QStringLiteral("gyd_name")));
    QCOMPARE(r.text(QStringLiteral("Gyd_name")), QStringLiteral("一处"));
    QVERIFY_THROWS_EXCEPTION(Failure, r.text(QStringLiteral("nope")));
    QVERIFY(!r.next());
    QVERIFY(!r.next());
}

void TestSqlite::databaseErrorsCarryTheMessage()
{
    try {
        m_db.query(QStringLiteral("Select * From 不存在的表"));
        QFAIL("accepted");
    } catch (const Failure& failure) {
        QVERIFY2(failure.description().contains(QStringLiteral("不存在的表")), qPrintable(failure.description()));
    }
}

void TestSqlite::writesAreRefused_data()
{
    QTest::addColumn<QString>("statement");
    QTest::newRow("insert") << QStringLiteral("INSERT INTO 设置管理处 (GYD_DH) VALUES ('99')");
    QTest::newRow("update") << QStringLiteral("UPDATE WYZJ SET ZJ_JE = 0");
    QTest::newRow("delete") << QStringLiteral("DELETE FROM WYZJ");
    QTest::newRow("create") << QStringLiteral("CREATE TABLE x (a)");
    QTest::newRow("create temp") << QStringLiteral("CREATE TEMP TABLE t (a)");
    QTest::newRow("drop") << QStringLiteral("DROP TABLE WYZJ");
}

void TestSqlite::writesAreRefused()
{
    QFETCH(QString, statement);
    const QByteArray before = fileHash(m_path);
    QVERIFY_THROWS_EXCEPTION(Failure, m_db.query(statement));
    QCOMPARE(fileHash(m_path), before);
    QCOMPARE(column(m_db, QStringLiteral("Select count(*) as n From WYZJ"), QStringLiteral("n")),
        QStringList { QStringLiteral("5") });
}

void TestSqlite::missingFileFailsAndCreatesNothing()
{
    const QString missing = m_dir.filePath(QStringLiteral("missing.db"));
    DbConnection db;
    try {
        db.open(QStringLiteral("Provider=SQLite;Data Source=") + missing);
        QFAIL("opened");
    } catch (const Failure& failure) {
        QVERIFY2(failure.description().contains(QStringLiteral("does not exist")), qPrintable(failure.description()));
    }
    QVERIFY(!db.isOpen());
    QVERIFY(!QFile::exists(missing));
}

void TestSqlite::closedConnectionRefusesStatements()
{
    DbConnection db;
    QVERIFY(!db.isOpen());
    QVERIFY_THROWS_EXCEPTION(Failure, db.query(QStringLiteral("Select 1")));
    QCOMPARE(db.adapt(QStringLiteral("Left(a,1)")), QStringLiteral("Left(a,1)"));
    QCOMPARE(m_db.adapt(QStringLiteral("Left(a,1)")), QStringLiteral("substr(a,1,1)"));
}

void TestSqlite::collationIsAStrictWeakOrder()
{
    const QStringList texts = { QString(), QStringLiteral(" "), QStringLiteral("a"), QStringLiteral("A"),
        QStringLiteral("a "), QStringLiteral("ab"), QStringLiteral("aB"), QStringLiteral("b"), QStringLiteral("_"),
        QStringLiteral("0101"), QStringLiteral("0101 "), QStringLiteral("张"), QStringLiteral("李"),
        QStringLiteral("王五"), QStringLiteral("李四"), QStringLiteral("é"), QString::fromUtf8("\xF0\x9F\x98\x80"),
        QStringLiteral("a张"), QStringLiteral("A李"), QStringLiteral("李 ") };
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(":memory:", &db), SQLITE_OK);
    fee::registerSqliteFunctions(db);
    sqlite3_stmt* st = nullptr;
    QCOMPARE(sqlite3_prepare_v2(db, "SELECT ?1 < ?2 COLLATE Chinese_PRC_CI_AS", -1, &st, nullptr), SQLITE_OK);
    const int n = int(texts.size());
    std::vector<std::vector<int>> less(n, std::vector<int>(n));
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const QByteArray a = texts[i].toUtf8();
            const QByteArray b = texts[j].toUtf8();
            sqlite3_bind_text(st, 1, a.constData(), int(a.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            QCOMPARE(sqlite3_step(st), SQLITE_ROW);
            less[i][j] = sqlite3_column_int(st, 0);
            sqlite3_reset(st);
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    auto equal = [&](int i, int j) { return !less[i][j] && !less[j][i]; };
    for (int i = 0; i < n; ++i) {
        QVERIFY(!less[i][i]);
        for (int j = 0; j < n; ++j) {
            QVERIFY(!(less[i][j] && less[j][i]));
            for (int k = 0; k < n; ++k) {
                if (less[i][j] && less[j][k])
                    QVERIFY2(less[i][k], qPrintable(texts[i] + u'<' + texts[j] + u'<' + texts[k]));
                if (equal(i, j) && equal(j, k))
                    QVERIFY2(equal(i, k), qPrintable(texts[i] + u'=' + texts[j] + u'=' + texts[k]));
            }
        }
    }
    QVERIFY(equal(2, 3) && equal(2, 4) && equal(9, 10) && equal(0, 1) && equal(12, 19));
    QVERIFY(less[12][11] && less[5][7]); // 李 before 张 (pinyin); ab before b
}

// A garage stored as "01 " still belongs to the registrations of office "01",
// also on a file without indexes, where SQLite would otherwise build an
// automatic index that forgets the declared collation.
void TestSqlite::joinsMatchCodesDifferingInBlanksWithoutIndexes()
{
    const QString path = m_dir.filePath(QStringLiteral("blanks.db"));
    QCOMPARE(fixture::create(path,
                 fixture::schema(true) + fixture::rows() + QStringLiteral("UPDATE 车库名 SET 管理处='01 ';")),
        QString());
    DbConnection db;
    db.open(QStringLiteral("Provider=SQLite;Data Source=") + path);
    fee::DbResult r = db.query(QStringLiteral(
        "Select count(*) as n From WYZJ Inner join 车位申请登记表 ON 车位申请登记表.登记ID = WYZJ.DJ_ID  Inner join "
        "车库名 ON 车库名.管理处 = 车位申请登记表.管理处 AND 车库名.车库编号 = 车位申请登记表.车库编号 Where "
        "车库名.管理处 ='01'"));
    QVERIFY(r.next());
    QCOMPARE(r.number(QStringLiteral("n")), 1.0);
}

QTEST_MAIN(TestSqlite)
#include "tst_sqlite.moc"
