// The one check of a monthly selection, made by the window before a run and
// by the command line alike: its refusals, their order and their texts.
#include "reports/monthly/monthlyselection.h"

#include <QtTest>

using namespace fee;

Q_DECLARE_METATYPE(fee::SelectionCheck::Field)

class TestMonthlySelection : public QObject {
    Q_OBJECT

private slots:
    void refusals_data()
    {
        using Field = SelectionCheck::Field;
        QTest::addColumn<bool>("listed"); // the office list shows entries
        QTest::addColumn<int>("offices"); // ticked
        QTest::addColumn<int>("fees"); // ticked
        QTest::addColumn<QString>("message"); // empty: the run may go on
        QTest::addColumn<Field>("field");

        const QString emptyList = QStringLiteral("管理处列表为空,请检查登录者身份!");
        const QString noOffice = QStringLiteral("请勾选需要统计的管理处!");
        const QString noFee = QStringLiteral("请选择收费项目！");
        QTest::newRow("empty office list") << false << 0 << 0 << emptyList << Field::Offices;
        QTest::newRow("empty office list comes first") << false << 2 << 1 << emptyList << Field::Offices;
        QTest::newRow("no office ticked") << true << 0 << 1 << noOffice << Field::Offices;
        QTest::newRow("offices before fee items") << true << 0 << 0 << noOffice << Field::Offices;
        QTest::newRow("no fee item ticked") << true << 1 << 0 << noFee << Field::FeeItems;
        QTest::newRow("ready") << true << 2 << 3 << QString() << Field::None;
    }

    void refusals()
    {
        QFETCH(bool, listed);
        QFETCH(int, offices);
        QFETCH(int, fees);
        QFETCH(QString, message);
        QFETCH(SelectionCheck::Field, field);

        MonthlySelection selection;
        for (int i = 0; i < offices; ++i)
            selection.offices.append({ QStringLiteral("0%1").arg(i + 1), QStringLiteral("管理处%1").arg(i + 1) });
        for (int i = 0; i < fees; ++i)
            selection.feeCodes.append(QStringLiteral("0%1").arg(i + 1));
        selection.statisticsDate = QDate(2020, 3, 15);
        selection.reportYear = QStringLiteral("2020");

        const SelectionCheck check = checkMonthlySelection(selection, listed);
        QCOMPARE(check.isOk(), message.isEmpty());
        QCOMPARE(check.field, field);
        if (message.isEmpty())
            return;
        QCOMPARE(check.status, SelectionCheck::Status::Refused);
        QCOMPARE(check.message.text, message);
        QCOMPARE(check.message.title, QStringLiteral("系统提示"));
        QCOMPARE(check.message.icon, BoxIcon::Information);
        QCOMPARE(check.message.buttons, BoxButtons::Ok);
    }
};

QTEST_GUILESS_MAIN(TestMonthlySelection)
#include "tst_monthlyselection.moc"
