#include "core/grid/gridmodel.h"
#include "receiptsstatementtexts.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "reports/receipts_summary/receiptsremark.h"
#include "reports/receipts_summary/receiptsselection.h"
#include "reports/receipts_summary/receiptsstatements.h"
#include "reports/shared/selectionlists.h"

#include <QtTest>

using namespace fee;

class TestReceiptsStatements : public QObject {
    Q_OBJECT

private slots:
    // Every statement, text for text: each mode's clauses, each sub-part head
    // with or without its leading blank, the exclusions, the year groups and
    // every inserted value quoted.
    void statementText_data()
    {
        QTest::addColumn<int>("index");
        const QVector<ReceiptsStatementCase> cases = receiptsStatementCases();
        for (int i = 0; i < cases.size(); ++i)
            QTest::newRow(cases.at(i).name) << i;
    }
    void statementText()
    {
        QFETCH(int, index);
        const ReceiptsStatementCase c = receiptsStatementCases().at(index);
        ReceiptsStatementInput input;
        input.feeItems = feeItemList(c.fees);
        input.paymentMethods = paymentMethodList(c.methods, QString());
        input.mode = static_cast<ReceiptsMode>(c.mode);
        input.departmentCode = c.department;
        input.start = QDate::fromString(c.start, Qt::ISODate);
        input.end = QDate::fromString(c.end, Qt::ISODate);
        const QByteArray kind(c.kind);
        QString actual;
        if (kind == "summary")
            actual = receiptsSummaryStatement(input, c.office);
        else if (kind == "cumulative")
            actual = receiptsCumulativeStatement(input, c.office, c.item);
        else if (kind == "detail1")
            actual = invoiceDetailsStatement(input, c.office, c.item);
        else if (kind == "detail2")
            actual = householdDetailsStatement(input, c.office, c.item);
        else if (kind == "detail3")
            actual = parkingRegistrationDetailsStatement(input, c.office, c.item);
        else
            actual = parkingSpaceDetailsStatement(input, c.office, c.item);
        QCOMPARE(actual, c.text);
    }

    // The pieces on their own, blanks included.
    void clauses_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        QTest::newRow("mode 0") << receiptsOfficeClause(ReceiptsMode::AllDepartments, "01", "D1")
                                << " WHERE 设置管理处.GYD_DH='01' ";
        QTest::newRow("mode 1") << receiptsOfficeClause(ReceiptsMode::ByDepartment, "01", "D1")
                                << " WHERE 设置管理处.对应部门代号='D1' And 票据.管理处 is Null ";
        QTest::newRow("mode 2") << receiptsOfficeClause(ReceiptsMode::ByOffice, "01", "D1")
                                << " WHERE 设置管理处.GYD_DH='01' AND 票据.管理处='01' ";
        QTest::newRow("exclusion a")
            << receiptsExclusionA("0'1")
            << " Select 对应调换票据入库单 + 内换票据编号  From 票据  Inner Join 设置管理处 On "
               "票据.开票部门编号=设置管理处.对应部门代号  Where 设置管理处.GYD_DH='0''1' And "
               "内换日期 Is Not Null And 内换票据编号 Is Not Null And 对应调换票据入库单 Is Not Null";
        QTest::newRow("exclusion b")
            << receiptsExclusionB("01")
            << "Select 入库单编号 + 票据编号  From 票据 Inner Join 设置管理处 On "
               "票据.开票部门编号=设置管理处.对应部门代号  Where 设置管理处.GYD_DH='01' And "
               "被换票票据编号 Is Not Null And 入库单编号 Is Not Null And 票据编号 Is Not Null";
    }
    void clauses()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    // Braces in a value are never read as a place of the template.
    void valuesAreNotTemplates()
    {
        ReceiptsStatementInput input;
        input.feeItems = feeItemList({ "01" });
        input.paymentMethods = paymentMethodList({ "{office_code}" }, QString());
        input.start = QDate(2026, 1, 1);
        input.end = QDate(2026, 1, 31);
        const QString text = receiptsSummaryStatement(input, "{end_8}");
        QVERIFY(text.contains("In ('{office_code}')"));
        QVERIFY(text.contains("GYD_DH='{end_8}'"));
        QVERIFY(!text.contains("{part"));
    }

    void formatStrings()
    {
        QCOMPARE(receiptsSummaryFormatString(),
            QStringLiteral("^|< |< |< |>|>|> |>|>|> |>|>|> |>|>|> |>|>|> |>|>|> |>|> |>|"));
        QCOMPARE(receiptsSummaryFormatString().split('|').size(), 26);
        QCOMPARE(receiptsDetailFormatString(),
            QStringLiteral(
                "^序    |<票据簿编号|<票据号码  |<付款人                    |<收费项目          |<摘    要       "
                "                       |>金额         |>税额         |>收入         |<收款日期        |<收款人    "
                "|<开票人    |<开票日期        |"));
    }

    void summaryLayout_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("row0");
        QTest::addColumn<QString>("row1");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("align");
        QTest::addColumn<bool>("merges");
        QTest::addColumn<ReceiptsColumnRole>("role");
        using R = ReceiptsColumnRole;
        QTest::newRow("0") << 0 << "序"
                           << "序" << 400 << int(AlignCenter) << true << R::Text;
        QTest::newRow("1") << 1 << "管理项目名称"
                           << "管理项目名称" << 1400 << int(AlignLeft) << true << R::Text;
        QTest::newRow("2") << 2 << "项目类别"
                           << "项目类别" << 1400 << int(AlignLeft) << true << R::Text;
        QTest::newRow("3") << 3 << "收费项目"
                           << "收费项目" << 1400 << int(AlignLeft) << true << R::Text;
        QTest::newRow("4") << 4 << "收历年"
                           << "金额" << 1000 << int(AlignRight) << false << R::Amount;
        QTest::newRow("5") << 5 << "收历年"
                           << "税额" << 1000 << int(AlignRight) << false << R::Tax;
        QTest::newRow("9") << 9 << "收当年"
                           << "收入" << 1000 << int(AlignRight) << false << R::Income;
        QTest::newRow("10") << 10 << "预收明年"
                            << "金额" << 1000 << int(AlignRight) << false << R::Amount;
        QTest::newRow("14") << 14 << "预收明年后"
                            << "税额" << 1000 << int(AlignRight) << false << R::Tax;
        QTest::newRow("16") << 16 << "其他费用(无应收)"
                            << "金额" << 1000 << int(AlignRight) << false << R::Amount;
        QTest::newRow("21") << 21 << "合计"
                            << "收入" << 1000 << int(AlignRight) << false << R::Income;
        QTest::newRow("22") << 22 << "查看"
                            << "操作" << 500 << int(AlignRight) << false << R::Detail;
        QTest::newRow("23") << 23 << "月实收累计"
                            << "月实收累计" << 1000 << int(AlignRight) << true << R::Cumulative;
        QTest::newRow("24") << 24 << "年实收累计"
                            << "年实收累计" << 1000 << int(AlignRight) << true << R::Cumulative;
        QTest::newRow("25") << 25 << ""
                            << "" << 0 << int(AlignGeneral) << false << R::Hidden;
        QTest::newRow("26") << 26 << ""
                            << "" << 0 << int(AlignGeneral) << false << R::Hidden;
    }
    void summaryLayout()
    {
        QFETCH(int, column);
        QFETCH(QString, row0);
        QFETCH(QString, row1);
        QFETCH(int, width);
        QFETCH(int, align);
        QFETCH(bool, merges);
        QFETCH(ReceiptsColumnRole, role);
        GridModel grid;
        grid.setRows(9);
        layoutReceiptsSummaryGrid(grid);
        QCOMPARE(grid.rows(), 2);
        QCOMPARE(grid.cols(), 27);
        QCOMPARE(grid.fixedRows(), 2);
        QCOMPARE(grid.fixedCols(), 1);
        QCOMPARE(grid.mergeCells(), int(MergeFree));
        QVERIFY(grid.mergeRow(0));
        QVERIFY(!grid.mergeRow(1));
        QCOMPARE(grid.text(0, column), row0);
        QCOMPARE(grid.text(1, column), row1);
        QCOMPARE(grid.colWidth(column), width);
        QCOMPARE(grid.colAlignment(column), align);
        QCOMPARE(grid.fixedAlignment(column), int(AlignCenter));
        QCOMPARE(grid.mergeCol(column), merges);
        QCOMPARE(receiptsColumnRole(column), role);
    }

    // The merged headings: equal neighbours of row 0, the double headings of
    // the merging columns.
    void summaryHeadingMerges()
    {
        GridModel grid;
        layoutReceiptsSummaryGrid(grid);
        QCOMPARE(grid.mergedSpan(0, 5), QRect(4, 0, 3, 1));
        QCOMPARE(grid.mergedSpan(0, 1), QRect(1, 0, 1, 2));
        QCOMPARE(grid.mergedSpan(1, 23), QRect(23, 0, 1, 2));
        QCOMPARE(grid.mergedSpan(1, 5), QRect(5, 1, 1, 1));
    }

    void detailLayout()
    {
        GridModel grid;
        grid.setRows(5);
        layoutReceiptsDetailGrid(grid);
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.cols(), 14);
        QCOMPARE(grid.fixedCols(), 1);
        const QStringList headings { "序    ", "票据簿编号", "票据号码  ", "付款人                    ",
            "收费项目          ", "摘    要                              ", "金额         ", "税额         ",
            "收入         ", "收款日期        ", "收款人    ", "开票人    ", "开票日期        ", "" };
        for (int c = 0; c < 14; ++c) {
            QCOMPARE(grid.text(0, c), headings.at(c));
            QCOMPARE(grid.fixedAlignment(c), int(AlignCenter));
        }
        QCOMPARE(grid.colAlignment(0), int(AlignCenter));
        QCOMPARE(grid.colAlignment(5), int(AlignLeft));
        QCOMPARE(grid.colAlignment(6), int(AlignRight));
        QCOMPARE(grid.colAlignment(12), int(AlignLeft));
        // Trailing blanks of a heading widen its column.
        QVERIFY(grid.colWidth(5) > grid.colWidth(4));
        QCOMPARE(grid.colWidth(13), 0);
    }

    // The remark rule with every example of the detail lists.
    void remark_data()
    {
        QTest::addColumn<QString>("remark");
        QTest::addColumn<bool>("null");
        QTest::addColumn<QString>("cell");
        QTest::newRow("null") << "" << true << "";
        QTest::newRow("no comma") << "物业费" << false << "[物业费]";
        QTest::newRow("ledger range") << "202401-202406" << false << "[202401-202406]";
        QTest::newRow("run with trailing comma") << "202401,202402," << false << "[202401-202402]";
        QTest::newRow("run reaching the last part") << "202401,202402" << false << "[202401-202402]";
        QTest::newRow("words between") << "202401,备注,202403," << false << "[202401],[备注],[202403]";
        QTest::newRow("gap") << "202401,202402,202403,202405," << false << "[202401-202403],[202405]";
        QTest::newRow("year end") << "202411,202412,202501," << false << "[202411-202501]";
        QTest::newRow("same month again") << "202401,202401,202402," << false << "[202401-202402]";
        QTest::newRow("backwards") << "202403,202402," << false << "[202403],[202402]";
        QTest::newRow("month 13") << "202412,202413," << false << "[202412],[202413]";
        QTest::newRow("empty piece") << "202401,,202403," << false << "[202401],[],[202403]";
        // A last part that no run reaches is shown on its own, not dropped.
        QTest::newRow("last part after a gap") << "202401,202405" << false << "[202401],[202405]";
        QTest::newRow("last part a word") << "202401,备注" << false << "[202401],[备注]";
        QTest::newRow("lone comma") << "," << false << "[]";
    }
    void remark()
    {
        QFETCH(QString, remark);
        QFETCH(bool, null);
        QFETCH(QString, cell);
        QCOMPARE(receiptsRemarkText(null ? std::nullopt : std::optional<QString>(remark)), cell);
    }

    void mergeMonthRunMovesOn()
    {
        const QStringList parts { "202401", "202402", "x", "202405", "202406" };
        int i = 0;
        QCOMPARE(MergeMonthRun(parts, i), QStringLiteral("202401-202402"));
        QCOMPARE(i, 1);
        i = 2;
        QCOMPARE(MergeMonthRun(parts, i), QStringLiteral("x"));
        QCOMPARE(i, 2);
        i = 3;
        QCOMPARE(MergeMonthRun(parts, i), QStringLiteral("202405-202406"));
        QCOMPARE(i, 4);
    }

    // The checks of "统计" in their order: offices first, then the dates, then
    // the fee items; the date box alone is titled with the program's name.
    void checks_data()
    {
        using Field = SelectionCheck::Field;
        QTest::addColumn<bool>("offices");
        QTest::addColumn<bool>("fees");
        QTest::addColumn<bool>("datesReversed");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("programTitle");
        QTest::addColumn<Field>("field");
        QTest::newRow("nothing ticked") << false << false << true << true << "请勾选管理处！" << false
                                        << Field::Offices;
        QTest::newRow("dates before fees") << true << false << true << true
                                           << "收款日期起始日期不能大于终止日期，请重新选择！" << true << Field::Dates;
        QTest::newRow("no fee item") << true << false << false << true << "请勾选收费项目！" << false
                                     << Field::FeeItems;
        QTest::newRow("fine") << true << true << false << false << "" << false << Field::None;
    }
    void checks()
    {
        QFETCH(bool, offices);
        QFETCH(bool, fees);
        QFETCH(bool, datesReversed);
        QFETCH(bool, refused);
        QFETCH(QString, message);
        QFETCH(bool, programTitle);
        QFETCH(SelectionCheck::Field, field);
        ReceiptsSelection s;
        if (offices)
            s.offices = { Office { "01", "A" } };
        if (fees)
            s.feeCodes = { "01" };
        s.receipts = { QDate(2026, 3, 2), QDate(2026, 3, datesReversed ? 1 : 2) };
        const SelectionCheck check = checkReceiptsSelection(s);
        QCOMPARE(check.status, refused ? SelectionCheck::Status::Refused : SelectionCheck::Status::Ok);
        QCOMPARE(check.message.text, message);
        if (refused) {
            QCOMPARE(check.message.title, programTitle ? fee::programTitle() : QStringLiteral("系统提示"));
            QCOMPARE(check.message.icon, BoxIcon::Information);
            QCOMPARE(check.message.buttons, BoxButtons::Ok);
        }
        QCOMPARE(check.field, field);
        // No payment method shown: nothing happens and nothing is said,
        // whatever else the selection lacks.
        const SelectionCheck silent = checkReceiptsSelection(s, false);
        QCOMPARE(silent.status, SelectionCheck::Status::Silent);
        QVERIFY(silent.message.text.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestReceiptsStatements)
#include "tst_receiptsstatements.moc"
