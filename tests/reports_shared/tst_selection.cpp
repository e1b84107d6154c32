#include "core/failure.h"
#include "reports/shared/reporttexts.h"
#include "reports/shared/selectionlists.h"
#include "reports/shared/selectionresolver.h"

#include <QtTest>

using namespace fee;

// The rules by which a run's offices and fee items are chosen, shared by the
// windows and the command line.
class TestSelection : public QObject {
    Q_OBJECT

    const QVector<Office> m_list { { "01", "一处" }, { "02", "二处" }, { "0101", "三处" }, { "04 x", "四处" } };
    const QVector<FeeCategory> m_tree { { "物业", { { "02", "物业费", {} }, { "01", "水费", {} } } },
        { "车位", { { "10", "车位费", {} } } } };

private slots:
    void officesRunInListOrderEachOnce_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("error");
        QTest::newRow("all") << QStringList { "all" } << QStringList { "01", "02", "0101", "04" } << "";
        QTest::newRow("named out of order") << QStringList { "0101", "01" } << QStringList { "01", "0101" } << "";
        QTest::newRow("named twice") << QStringList { "02", "02" } << QStringList { "02" } << "";
        // A stored code holding a blank is known by its text before the blank, as in the window.
        QTest::newRow("code cut at its blank") << QStringList { "04" } << QStringList { "04" } << "";
        QTest::newRow("unknown") << QStringList { "01", "09" } << QStringList() << "office 09 is not in";
        QTest::newRow("whole stored code") << QStringList { "04 x" } << QStringList() << "office 04 x";
    }
    void officesRunInListOrderEachOnce()
    {
        QFETCH(QStringList, codes);
        QFETCH(QStringList, expected);
        QFETCH(QString, error);
        QString message;
        QStringList got;
        for (const Office& office : officesByCode(m_list, codes, &message))
            got << office.code;
        QCOMPARE(got, expected);
        QVERIFY2(error.isEmpty() ? message.isEmpty() : message.startsWith(error), qPrintable(message));
    }

    void tickedEntries()
    {
        const QVector<Office> ticked = tickedOffices(m_list, { false, true, false, true });
        QCOMPARE(ticked.size(), 2);
        QCOMPARE(ticked[0].code, QStringLiteral("02"));
        QCOMPARE(ticked[1].code, QStringLiteral("04"));
        QCOMPARE(ticked[1].name, QStringLiteral("x 四处"));
    }

    void feeItemsRunInTreeOrder_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("all") << QStringList { "all" } << QStringList { "02", "01", "10" };
        QTest::newRow("named out of order, twice") << QStringList { "10", "01", "10" } << QStringList { "01", "10" };
        QTest::newRow("unknown") << QStringList { "01", "99" } << QStringList();
    }
    void feeItemsRunInTreeOrder()
    {
        QFETCH(QStringList, codes);
        QFETCH(QStringList, expected);
        QString message;
        QCOMPARE(feeCodesByCode(m_tree, codes, &message), expected);
        QCOMPARE(message.isEmpty(), !expected.isEmpty());
    }

    // A method or payee named on the command line: the list's own entry or
    // "选择全部"; anything else is refused, so no run silently finds nothing.
    void listEntries_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("error");
        const QString none;
        QTest::newRow("all") << QString("all") << QString("选择全部") << none;
        QTest::newRow("an entry") << QString("微信") << QString("微信") << none;
        QTest::newRow("not in the list") << QString("支票") << none
                                         << QString("payment method 支票 is not in the method list");
        QTest::newRow("another spelling")
            << QString("现金 ") << none << QString("payment method 现金  is not in the method list");
    }
    void listEntries()
    {
        QFETCH(QString, value);
        QFETCH(QString, entry);
        QFETCH(QString, error);
        QString message;
        QCOMPARE(listEntryByName({ "现金", "微信" }, value, "payment method", "the method list", &message), entry);
        QCOMPARE(message, error);
    }

    void inListsQuoteEveryValue_data()
    {
        QTest::addColumn<QStringList>("methods");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all methods") << QStringList { "现金", "支票" } << "选择全部"
                                     << "'现金','支票'";
        QTest::newRow("nothing chosen is all") << QStringList { "现金" } << ""
                                               << "'现金'";
        QTest::newRow("one method") << QStringList { "现金", "支票" } << "支票"
                                    << "'支票'";
        QTest::newRow("apostrophe doubled") << QStringList { "O'Brien" } << "选择全部"
                                            << "'O''Brien'";
        QTest::newRow("chosen apostrophe") << QStringList() << "a'b"
                                           << "'a''b'";
    }
    void inListsQuoteEveryValue()
    {
        QFETCH(QStringList, methods);
        QFETCH(QString, chosen);
        QFETCH(QString, expected);
        QCOMPARE(paymentMethodList(methods, chosen), expected);
    }

    void allMethodsOfAnEmptyTableIsNoList()
    {
        try {
            paymentMethodList({}, QStringLiteral("选择全部"));
            QFAIL("an empty In list was built");
        } catch (const Failure& failure) {
            QCOMPARE(failure.number(), kErrInvalidArgument);
        }
        QCOMPARE(feeItemList({ "01", "0'3" }), QStringLiteral("'01','0''3'"));
        QCOMPARE(feeItemList({}), QString());
    }

    void codeListsFromTheCommandLine()
    {
        QCOMPARE(splitCodeList(QStringLiteral(" 01, 02 ,,03 ")), (QStringList { "01", "02", "03" }));
        QCOMPARE(splitCodeList(QStringLiteral(",")), QStringList());
    }

    void titlesAndDateLines()
    {
        QCOMPARE(officeTitle(QStringLiteral("南区"), QStringLiteral("收款日报表")), QStringLiteral("(南区)收款日报表"));
        QCOMPARE(officeTitle(QString(), QStringLiteral(" 收款日报表")), QStringLiteral("() 收款日报表"));
        const QDate start(2024, 1, 5), end(2024, 1, 31);
        QCOMPARE(
            dateRangeLine(start, end, QStringLiteral("-")), QStringLiteral("日期范围:2024年01月05日-2024年01月31日"));
        QCOMPARE(
            dateRangeLine(start, end, QStringLiteral("至")), QStringLiteral("日期范围:2024年01月05日至2024年01月31日"));
    }
};

QTEST_GUILESS_MAIN(TestSelection)
#include "tst_selection.moc"
