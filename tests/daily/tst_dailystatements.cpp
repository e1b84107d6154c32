#include "reports/daily/dailystatements.h"
#include "reports/shared/selectionlists.h"
#include "statementtexts.h"

#include <QtTest>

using namespace fee;

class TestDailyStatements : public QObject {
    Q_OBJECT

    static DailyStatementInput input(int scope, bool payee, bool apostrophes)
    {
        DailyStatementInput in;
        in.start = QDate(2024, 3, 1);
        in.end = QDate(2024, 3, 31);
        in.scope = static_cast<DailyScope>(scope);
        if (apostrophes) {
            in.officeCode = QStringLiteral("0'1");
            in.departmentCode = QStringLiteral("D'1");
            in.items = feeItemList({ QStringLiteral("0'1"), QStringLiteral("02") });
            in.methods = paymentMethodList({ QStringLiteral("O'K") }, QString::fromUtf8(kChooseAll));
            in.payee = payee ? QStringLiteral("欧'阳") : QString();
        } else {
            in.officeCode = QStringLiteral("01");
            in.departmentCode = QStringLiteral("D1");
            in.items = feeItemList({ QStringLiteral("01"), QStringLiteral("02") });
            in.methods = paymentMethodList({ QStringLiteral("现金"), QStringLiteral("转账") }, QString());
            in.payee = payee ? QStringLiteral("收款员甲") : QString();
        }
        return in;
    }

private slots:
    // Every fragment, every scope, with and without a payee, and with values
    // that carry apostrophes: the exact text, blanks included.
    void fragment_data()
    {
        QTest::addColumn<char>("fragment");
        QTest::addColumn<int>("scope");
        QTest::addColumn<bool>("payee");
        QTest::addColumn<bool>("apostrophes");
        QTest::addColumn<QString>("expected");
        for (const FragmentCase& c : fragmentCases())
            QTest::newRow(c.name) << c.fragment << c.scope << c.payee << c.apostrophes << c.text;
    }
    void fragment()
    {
        QFETCH(char, fragment);
        QFETCH(int, scope);
        QFETCH(bool, payee);
        QFETCH(bool, apostrophes);
        QFETCH(QString, expected);
        const DailyStatementInput in = input(scope, payee, apostrophes);
        QString actual;
        switch (fragment) {
        case 'A':
            actual = dailyFragmentA(in);
            break;
        case 'B':
            actual = dailyFragmentB(in);
            break;
        case 'H':
            actual = dailyFragmentH(in);
            break;
        case 'R':
            actual = dailyFragmentR(in);
            break;
        default:
            actual = dailyFragmentS(in);
            break;
        }
        QCOMPARE(actual, expected);
    }

    // The joiners (the third with two leading blanks) and the order.
    void wholeStatement() { QCOMPARE(dailyReceiptsStatement(input(0, false, false)), wholeStatementScope0()); }

    void subStatements_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("plain") << QStringLiteral("01") << QStringLiteral("'01'");
        QTest::newRow("apostrophe") << QStringLiteral("0'1") << QStringLiteral("'0''1'");
    }
    void subStatements()
    {
        QFETCH(QString, value);
        QFETCH(QString, quoted);
        QCOMPARE(
            dailySwappedOutStatement(value), swappedOutTemplate().replace(QStringLiteral("'{office_code}'"), quoted));
        QCOMPARE(
            dailySwappedInStatement(value), swappedInTemplate().replace(QStringLiteral("'{office_code}'"), quoted));
        QCOMPARE(dailyExchangeMarkingStatement({ QStringLiteral("N001"), value }),
            markingTemplate().replace(QStringLiteral("'{invoice_number}'"), quoted));
        QCOMPARE(dailyExchangeMarkingStatement({}), QString());
        QCOMPARE(
            dailyPayeeListStatement(value), payeeListTemplate().replace(QStringLiteral("'{department_code}'"), quoted));
    }

    // The command line's check of a payee when no department is named.
    void allPayees()
    {
        QCOMPARE(dailyAllPayeesStatement(),
            QStringLiteral("SELECT 员工档案.姓名 FROM 岗位信息new INNER JOIN 员工档案 ON 岗位信息new.工号 = 员工档案.工号"));
    }

    void scopeEntries()
    {
        QCOMPARE(dailyScopeEntries(),
            QStringList(
                { QStringLiteral("不分部门统计"), QStringLiteral("按部门统计"), QStringLiteral("按管理项目统计") }));
    }
};

QTEST_GUILESS_MAIN(TestDailyStatements)
#include "tst_dailystatements.moc"
