#include "db/sqlquote.h"
#include "db/statementadapter.h"

#include <QtTest>

class TestStatementAdapter : public QObject {
    Q_OBJECT
private slots:
    void rewrites_data();
    void rewrites();
    void quoting_data();
    void quoting();
};

void TestStatementAdapter::rewrites_data()
{
    QTest::addColumn<QString>("tsql");
    QTest::addColumn<QString>("sqlite");
    auto row = [](const char* name, const char* in, const char* out) {
        QTest::newRow(name) << QString::fromUtf8(in) << QString::fromUtf8(out);
    };
    row("left any case", "Left(zj_cny,4) = left(ZJ_CNY,4) Or LEFT( x , 2 )",
        "substr(zj_cny,1,4) = substr(ZJ_CNY,1,4) Or substr(x,1,2)");
    row("left join stays", "From a Left Join b On a.x=b.x LEFT JOIN (Select 1) c",
        "From a Left Join b On a.x=b.x LEFT JOIN (Select 1) c");
    row("right", "Right(dh,2)", "substr(dh,-(2),2)");
    row("len ignores trailing blanks", "len(gyd_dh) = 2", "length(rtrim(gyd_dh,' ')) = 2");
    row("order by terms compare as the server does", "Order by len(gyd_dh),gyd_dh",
        "Order by length(rtrim(gyd_dh,' ')) COLLATE Chinese_PRC_CI_AS,gyd_dh COLLATE Chinese_PRC_CI_AS");
    row("order by keeps direction and positions", "order by DZ desc, 2, a.b ASC ",
        "order by DZ COLLATE Chinese_PRC_CI_AS desc, 2, a.b COLLATE Chinese_PRC_CI_AS ASC ");
    row("group by inside a subquery ends at its parenthesis",
        "(Select sum(x) as s, 管理处 From t Group by 管理处 Union All Select 1, 车库名.管理处 From u Group by "
        "车库名.管理处) Z Group by 管理处",
        "(Select sum(x) as s, 管理处 From t Group by 管理处 COLLATE Chinese_PRC_CI_AS Union All Select 1, "
        "车库名.管理处 "
        "From u Group by 车库名.管理处 COLLATE Chinese_PRC_CI_AS) Z Group by 管理处 COLLATE Chinese_PRC_CI_AS");
    row("group by several terms and having", "group by a, substr(b,1,2) having count(*) > 1",
        "group by a COLLATE Chinese_PRC_CI_AS, substr(b,1,2) COLLATE Chinese_PRC_CI_AS having count(*) > 1");
    row("convert char 8", "convert(char(8),ZJ_SKRQ,112) <= '20240105'",
        "replace(substr(ZJ_SKRQ,1,10),'-','') <= '20240105'");
    row("convert char 6 blanks and case", "Convert( Char (6) , zj_bdrq , 112 )", "replace(substr(zj_bdrq,1,7),'-','')");
    row("convert char 4", "convert(char(4),zj_skrq,112) >= '2024'", "substr(zj_skrq,1,4) >= '2024'");
    row("convert nested parentheses and commas", "convert(char(8), isnull(a.d, coalesce(b.d, c.d)), 112)",
        "replace(substr(ifnull(a.d, coalesce(b.d, c.d)),1,10),'-','')");
    row("convert other style untouched", "convert(varchar(10), d, 120)", "convert(varchar(10), d, 120)");
    row("left inside convert", "convert(char(6), Left(x,7), 112)", "replace(substr(substr(x,1,7),1,7),'-','')");
    row("N literal", "业主表.姓名 = N'开发商' And IN'x'", "业主表.姓名 = '开发商' And IN'x'");
    row("plus joins texts", "a.x + b.y + '室'", "a.x || b.y || '室'");
    row("plus after case end", "Case When x Is Not Null Then x Else '' End +  Case When y Is Null Then '' Else y End",
        "Case When x Is Not Null Then x Else '' End ||  Case When y Is Null Then '' Else y End");
    row("plus after parenthesis", "(a) + (b)", "(a) || (b)");
    row("plus next to numbers stays", "x + 1, 2+y, 3 + 4", "x + 1, 2+y, 3 + 4");
    row("unary plus stays", "Select +x, (+y) Where a = +1 And b In (+z)", "Select +x, (+y) Where a = +1 And b In (+z)");
    row("isnull", "ISNULL(a,'') + isnull (b,'')", "ifnull(a,'') || ifnull (b,'')");
    row("getdate", "getdate()", "datetime('now','localtime')");
    row("literal untouched", "'Left(a,1) + len(b) N''x'' convert(char(8),d,112)'",
        "'Left(a,1) + len(b) N''x'' convert(char(8),d,112)'");
    row("bracketed names untouched", "[地址1] + [left(a,1)] + \"len(x)\"", "[地址1] || [left(a,1)] || \"len(x)\"");
    row("minus and comparison untouched", "Sum(WYZJ.ZJ_JE-WYZJ.收入) As 税额", "Sum(WYZJ.ZJ_JE-WYZJ.收入) As 税额");
    row("unbalanced call left alone", "Left(a,1", "Left(a,1");
    // Calls left as written, nested deep: each level is read once (reading
    // the inner calls again at every level took time doubling per level).
    const QByteArray deep = QByteArray("convert(").repeated(40) + "x" + QByteArray(")").repeated(40);
    row("nested calls left as written", deep.constData(), deep.constData());
    const QByteArray around = QByteArray("Right(").repeated(30) + "left(x,1)" + QByteArray(")").repeated(30);
    const QByteArray aroundOut = QByteArray("Right(").repeated(30) + "substr(x,1,1)" + QByteArray(")").repeated(30);
    row("a rewritten call inside calls left as written", around.constData(), aroundOut.constData());
    row("real receipts fragment",
        "min(wyzj.zj_cny)+'-'+max(wyzj.zj_cny) as 摘要, 票据.入库单编号 + 票据.票据编号 Not In (Select 入库单编号 + "
        "票据编号 From 票据)",
        "min(wyzj.zj_cny)||'-'||max(wyzj.zj_cny) as 摘要, 票据.入库单编号 || 票据.票据编号 Not In (Select 入库单编号 "
        "|| 票据编号 From 票据)");
}

void TestStatementAdapter::rewrites()
{
    QFETCH(QString, tsql);
    QFETCH(QString, sqlite);
    QCOMPARE(fee::adaptStatementForSqlite(tsql), sqlite);
}

void TestStatementAdapter::quoting_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("list");
    QTest::newRow("plain") << QStringList { QStringLiteral("01"), QStringLiteral("03") } << QStringLiteral("'01','03'");
    QTest::newRow("apostrophes doubled") << QStringList { QStringLiteral("O'Brien"), QStringLiteral("'") }
                                         << QStringLiteral("'O''Brien',''''");
    QTest::newRow("empty") << QStringList { QString() } << QStringLiteral("''");
    QTest::newRow("none") << QStringList {} << QString();
}

void TestStatementAdapter::quoting()
{
    QFETCH(QStringList, values);
    QFETCH(QString, list);
    QCOMPARE(fee::sqlQuoteList(values), list);
}

QTEST_APPLESS_MAIN(TestStatementAdapter)
#include "tst_statementadapter.moc"
