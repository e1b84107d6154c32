#include "db/dbconnection.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"

#include "../db/fixture.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace fee;

// The selection lists every report loads, and their statements text for text.
class TestLists : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    DbConnection m_db;

    QStringList tree(FeeTreeQuery query)
    {
        QStringList nodes;
        loadFeeItemTree(m_db, query, [&](const QString& category, const FeeItem& item, bool starts) {
            if (starts)
                nodes << QStringLiteral("[") + category + QStringLiteral("]");
            nodes << item.code + (item.endDate.isValid() ? QStringLiteral("!") : QString());
        });
        return nodes;
    }

private slots:
    void initTestCase()
    {
        const QString path = m_dir.filePath(QStringLiteral("lists.db"));
        QCOMPARE(fixture::create(path,
                     QStringLiteral(
                         "CREATE TABLE 设置管理处 (GYD_DH TEXT, GYD_Name TEXT, 对应部门代号 TEXT, 终止日期 DATETIME, "
                         "商用物业 INTEGER);"
                         "CREATE TABLE 职能部门new (职能部门编号 TEXT, 职能部门名称 TEXT, 终止日期 DATETIME);"
                         "CREATE TABLE SETUPSFXM (DH TEXT, XM TEXT, 收费类别 TEXT, 终止日期 DATETIME);"
                         "CREATE TABLE 收款方式列表 (收款方式 TEXT);"
                         "INSERT INTO 职能部门new VALUES ('D1','一部',NULL), ('D2','二部','2020-01-01');"
                         "INSERT INTO 设置管理处 VALUES ('02','乙\r\n处','D1',NULL,0), ('010','甲处','D1',NULL,2), "
                         "('03','丙处','D2',NULL,0), ('04','丁处','D1',NULL,1), ('05','戊处','D1',NULL,0);"
                         "INSERT INTO SETUPSFXM VALUES ('10','车位费','车''位',NULL), ('2','水费','物业',NULL), "
                         "('01','物业费','物业','2021-06-30'), ('11','旧车位','车''位','2020-01-01');"
                         "INSERT INTO 收款方式列表 VALUES ('现金'), ('支票'), ('转账');"),
                     false),
            QString());
        m_db.open(QStringLiteral("Provider=SQLite;Data Source=") + path);
    }

    void statements()
    {
        QCOMPARE(receiptsOfficeListStatement(),
            QStringLiteral(
                "Select GYD_DH,GYD_Name From 设置管理处 Where  (商用物业=0 or 商用物业=2)  Order By GYD_dh"));
        QCOMPARE(dailyOfficeListStatement(),
            QStringLiteral(
                "Select GYD_DH,GYD_Name  From 设置管理处 Where  (商用物业=0 or 商用物业=2)  Order By GYD_dh"));
        QCOMPARE(inUseFeeCategoryStatement(),
            QStringLiteral(
                "Select 收费类别 From SETUPSFXM Where 终止日期 Is Null Group By 收费类别 Order By 收费类别"));
        QCOMPARE(inUseFeeItemsStatement(QStringLiteral("车'位")),
            QStringLiteral("Select * From SetupSFXM Where 收费类别='车''位' AND 终止日期 Is Null Order by Len(DH),DH"));
        QCOMPARE(feeCategoryStatement(),
            QStringLiteral("Select 收费类别 From SETUPSFXM Group By 收费类别 Order By 收费类别"));
        QCOMPARE(feeItemsStatement(QStringLiteral("物业")),
            QStringLiteral("Select * From SetupSFXM Where 收费类别='物业' Order by Len(DH),DH"));
        QCOMPARE(paymentMethodStatement(), QStringLiteral("select * from 收款方式列表"));
    }

    void officeLists_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("names");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("monthly residential")
            << monthlyOfficeListStatement(false) << int(OfficeNames::OnOneLine) << QStringList { "02 乙处", "05 戊处" };
        QTest::newRow("monthly commercial")
            << monthlyOfficeListStatement(true) << int(OfficeNames::OnOneLine) << QStringList { "04 丁处" };
        QTest::newRow("receipts: kinds 0 and 2, by code")
            << receiptsOfficeListStatement() << int(OfficeNames::AsStored)
            << QStringList { "010 甲处", "02 乙\r\n处", "03 丙处", "05 戊处" };
    }
    void officeLists()
    {
        QFETCH(QString, statement);
        QFETCH(int, names);
        QFETCH(QStringList, entries);
        QStringList got;
        for (const Office& office : loadOffices(m_db, statement, OfficeNames(names)))
            got << officeEntryText(office);
        QCOMPARE(got, entries);
    }

    void feeTrees_data()
    {
        QTest::addColumn<int>("query");
        QTest::addColumn<QStringList>("nodes");
        // Categories sort as the server's collation does: by pinyin, 车 (che) before 物 (wu).
        QTest::newRow("all items by category and code")
            << int(FeeTreeQuery::AllItems) << QStringList { "[车'位]", "10", "11!", "[物业]", "01!", "2" };
        // Categories come first, then each category's items, shorter codes first.
        QTest::newRow("every category") << int(FeeTreeQuery::AllByCategory)
                                        << QStringList { "[车'位]", "10", "11!", "[物业]", "2", "01!" };
        QTest::newRow("items in use") << int(FeeTreeQuery::InUseByCategory)
                                      << QStringList { "[车'位]", "10", "[物业]", "2" };
    }
    void feeTrees()
    {
        QFETCH(int, query);
        QFETCH(QStringList, nodes);
        QCOMPARE(tree(FeeTreeQuery(query)), nodes);
        QCOMPARE(allFeeCodes(loadFeeItemTree(m_db, FeeTreeQuery(query))).size(),
            nodes.size() - nodes.filter(QStringLiteral("[")).size());
    }

    void paymentMethods() { QCOMPARE(loadPaymentMethods(m_db), (QStringList { "现金", "支票", "转账" })); }
};

QTEST_GUILESS_MAIN(TestLists)
#include "tst_lists.moc"
