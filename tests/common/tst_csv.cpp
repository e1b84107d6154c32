#include "core/csv.h"

#include <QtTest>

class TestCsv : public QObject {
    Q_OBJECT
private slots:
    void quoting_data();
    void quoting();
    void wholeGrid();
};

void TestCsv::quoting_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QByteArray>("field");

    QTest::newRow("plain") << "合计" << QByteArray("合计");
    QTest::newRow("empty") << "" << QByteArray("");
    QTest::newRow("comma") << "1,2" << QByteArray("\"1,2\"");
    QTest::newRow("quote") << "a\"b" << QByteArray("\"a\"\"b\"");
    QTest::newRow("line break") << "清欠率\r\n(含减免)" << QByteArray("\"清欠率\r\n(含减免)\"");
    QTest::newRow("lf only") << "a\nb" << QByteArray("\"a\nb\"");
    QTest::newRow("blanks kept unquoted") << " x " << QByteArray(" x ");
}

void TestCsv::quoting()
{
    QFETCH(QString, cell);
    QFETCH(QByteArray, field);
    fee::GridModel g;
    g.setRows(1);
    g.setCols(2);
    g.setText(0, 0, cell);
    g.setText(0, 1, QStringLiteral("z"));
    QCOMPARE(fee::gridToCsv(g), field + ",z\n");
}

void TestCsv::wholeGrid()
{
    fee::GridModel g;
    g.setRows(3);
    g.setCols(3);
    g.setColWidth(2, 0); // hidden columns are written too
    g.setText(0, 1, QStringLiteral("金额"));
    g.setText(1, 1, QStringLiteral("12.50"));
    g.setText(2, 2, QStringLiteral("k"));
    const QByteArray csv = fee::gridToCsv(g);
    QCOMPARE(csv, QByteArray(",金额,\n,12.50,\n,,k\n"));
    QVERIFY(!csv.startsWith("\xEF\xBB\xBF"));
}

QTEST_APPLESS_MAIN(TestCsv)
#include "tst_csv.moc"
