#include "widgets/savefilechooser.h"

#include <QtTest>

class TestSaveFileChooser : public QObject {
    Q_OBJECT

private slots:
    void dialogFilter_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("shown");
        QTest::newRow("one pair") << "电子表|*.xls;*.xlsx"
                                  << "电子表 (*.xls *.xlsx)";
        QTest::newRow("two pairs") << "电子表|*.xlsx|所有文件|*.*"
                                   << "电子表 (*.xlsx);;所有文件 (*.*)";
        QTest::newRow("blanks around the parts") << "电子表 | *.xls ; *.xlsx"
                                                 << "电子表 (*.xls *.xlsx)";
        QTest::newRow("the dialog's own form") << "电子表 (*.xls *.xlsx)"
                                               << "电子表 (*.xls *.xlsx)";
        // A description without patterns is no filter of its own.
        QTest::newRow("odd part left over") << "电子表|*.xlsx|其他"
                                            << "电子表 (*.xlsx)";
    }
    void dialogFilter()
    {
        QFETCH(QString, filter);
        QFETCH(QString, shown);
        QCOMPARE(fee::fileDialogFilter(filter), shown);
    }

    void installedChooserGetsTheFilterAsWritten()
    {
        QString seen;
        fee::setSaveFileChooser([&](QWidget*, const QString& preset, const QString& filter) {
            seen = filter;
            return preset + QStringLiteral(".xlsx");
        });
        QCOMPARE(
            fee::chooseSaveFile(nullptr, QStringLiteral("收款汇总表_20260331"), QStringLiteral("电子表|*.xls;*.xlsx")),
            QStringLiteral("收款汇总表_20260331.xlsx"));
        QCOMPARE(seen, QStringLiteral("电子表|*.xls;*.xlsx"));
        fee::setSaveFileChooser({});
    }
};

QTEST_MAIN(TestSaveFileChooser)
#include "tst_savefilechooser.moc"
