#include "reports/monthly/monthlystatements.h"
#include "reports/shared/feeitemtree.h"
#include "reports/shared/officelist.h"
#include "statementtexts.h"

#include <QtTest>

using namespace fee;

class TestMonthlyStatements : public QObject {
    Q_OBJECT

    static MonthlyStatementInput input(const QString& office, const QStringList& fees)
    {
        return { office, fees, QDate(2020, 3, 15), QStringLiteral("2020") };
    }
    static MonthlyStatementInput forCase(const char* name)
    {
        // The apostrophe cases use an office and an item code that need doubling.
        if (QByteArray(name).contains("apostrophes"))
            return input(QStringLiteral("O'1"), { QStringLiteral("0'1"), QStringLiteral("02") });
        return input(QStringLiteral("01"), { QStringLiteral("01"), QStringLiteral("02") });
    }

private slots:
    void summingText_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("part");
        QTest::addColumn<QString>("expected");
        for (const SummingCase& c : summingCases())
            QTest::newRow(c.name) << c.column << c.part << c.text;
    }
    void summingText()
    {
        QFETCH(int, column);
        QFETCH(int, part);
        QFETCH(QString, expected);
        const auto statements = summingStatements(column, forCase(QTest::currentDataTag()));
        QVERIFY(part < statements.size());
        QCOMPARE(statements.at(part).statement, expected);
    }

    void detailText_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("expected");
        for (const DetailCase& c : detailCases())
            QTest::newRow(c.name) << c.column << c.text;
    }
    void detailText()
    {
        QFETCH(int, column);
        QFETCH(QString, expected);
        QCOMPARE(detailStatement(column, forCase(QTest::currentDataTag())), expected);
    }

    // The run reads each value from the field its statement names; three
    // statements add up in columns 2 and 3.
    void aliasesAndOrder()
    {
        QStringList seen;
        for (int column : measureColumns()) {
            QStringList aliases;
            for (const MeasureStatement& s : summingStatements(column, forCase("x")))
                aliases << s.alias;
            seen << QString::number(column) + QLatin1Char('=') + aliases.join(QLatin1Char('+'));
        }
        QCOMPARE(seen.join(QLatin1Char(' ')),
            QStringLiteral("2=前年前旧欠应收+前年旧欠应收+去年旧欠应收 3=收前年前旧欠+收前年旧欠+收去年旧欠 4=减免金额 "
                           "8=当年应收 9=收当月 10=收当月 11=收当月 12=收当月 13=收当月 14=收当月 15=收当月 16=收当月 "
                           "17=收当月 18=收当月 19=收当月 20=收当月 22=减免金额 23=空置金额 27=收明年 28=收后年 "
                           "29=收后年以后 33=累计应收 34=累计实收"));
        QVERIFY(summingStatements(5, forCase("x")).isEmpty());
        QVERIFY(detailStatement(21, forCase("x")).isEmpty());
    }

    // Prepaid years follow the stored report year, the rest the statistics date.
    void reportYearDrivesPrepaidYears()
    {
        MonthlyStatementInput in = forCase("x");
        in.statisticsDate = QDate(2021, 1, 1);
        in.reportYear = QStringLiteral("2019");
        const QString prepaid = summingStatements(27, in).first().statement;
        QVERIFY2(prepaid.contains(QStringLiteral("left(ZJ_CNY,4) = '2020' And")), qPrintable(prepaid));
        QVERIFY2(prepaid.contains(QStringLiteral("<= '20210101'")), qPrintable(prepaid));
        const QString month = summingStatements(20, in).first().statement;
        QVERIFY2(month.contains(QStringLiteral("ZJ_CNY = '202112'")), qPrintable(month));
    }

    void detailFormat_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("expected");
        const QString head = QStringLiteral("^序 |<地址  |<姓名  |<收费项目  |<应收年月 |>");
        const QString tail = QStringLiteral("  |<收款日期  ");
        QTest::newRow("arrears") << 2 << head + QStringLiteral("应收金额") + tail;
        QTest::newRow("old waivers") << 4 << head + QStringLiteral("减免金额") + tail;
        QTest::newRow("month") << 15 << head + QStringLiteral("应收金额") + tail;
        QTest::newRow("year waivers") << 22 << head + QStringLiteral("减免金额") + tail;
        QTest::newRow("vacancy") << 23 << head + QStringLiteral("空置金额") + tail;
    }
    void detailFormat()
    {
        QFETCH(int, column);
        QFETCH(QString, expected);
        QCOMPARE(detailFormatString(column), expected);
    }

    void listStatements()
    {
        const QString head = QStringLiteral(
            "Select 职能部门new.职能部门编号,职能部门new.职能部门名称,GYD_DH, GYD_Name,商用物业 From 职能部门new inner "
            "join 设置管理处 on 职能部门new.职能部门编号 = 对应部门代号 Where 职能部门new.终止日期 Is Null And "
            "设置管理处.终止日期 is null");
        QCOMPARE(
            monthlyOfficeListStatement(false), head + QStringLiteral(" And 商用物业=0 Order by len(gyd_dh),gyd_dh"));
        QCOMPARE(
            monthlyOfficeListStatement(true), head + QStringLiteral(" And 商用物业=1 Order by len(gyd_dh),gyd_dh"));
        QCOMPARE(feeItemTreeStatement(), QStringLiteral("SELECT * FROM SETUPsfxm  ORDER BY 收费类别,DH"));
    }
};

QTEST_GUILESS_MAIN(TestMonthlyStatements)
#include "tst_monthlystatements.moc"
