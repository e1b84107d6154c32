#include "core/textformat.h"

#include <QtTest>

class TestTextFormat : public QObject {
    Q_OBJECT
private slots:
    void formatNumber_data();
    void formatNumber();
    void formatRate();
    void leadingNumber_data();
    void leadingNumber();
    void formatDate_data();
    void formatDate();
    void money_data();
    void money();
};

void TestTextFormat::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0.0 << "0.00"
                          << "0.00";
    QTest::newRow("negative zero") << -0.0 << "0.00"
                                   << "0.00";
    QTest::newRow("binary 2.675 rounds up") << 2.675 << "0.00"
                                            << "2.68";
    QTest::newRow("binary 1.005 rounds up") << 1.005 << "0.00"
                                            << "1.01";
    QTest::newRow("negative half away from zero") << -2.675 << "0.00"
                                                  << "-2.68";
    QTest::newRow("negative thousands half") << -1234.565 << "0.00"
                                             << "-1234.57";
    QTest::newRow("tiny negative is not -0.00") << -0.004 << "0.00"
                                                << "0.00";
    QTest::newRow("negative half cent") << -0.005 << "0.00"
                                        << "-0.01";
    QTest::newRow("noise") << 1e-17 << "0.00"
                           << "0.00";
    QTest::newRow("sum noise") << 0.1 + 0.2 << "0.00"
                               << "0.30";
    QTest::newRow("no thousands separator") << 1234567.891 << "#0.00"
                                            << "1234567.89";
    QTest::newRow("hash format pads") << 5.0 << "#0.00"
                                      << "5.00";
    QTest::newRow("carry into integer") << 9.995 << "0.00"
                                        << "10.00";
    QTest::newRow("carry adds digit") << 999.999 << "0.00"
                                      << "1000.00";
    QTest::newRow("whole half up") << 1234.5 << "0"
                                   << "1235";
    QTest::newRow("whole eighth") << 0.125 << "0"
                                  << "0";
    QTest::newRow("whole negative half") << -2.5 << "0"
                                         << "-3";
    QTest::newRow("whole negative small") << -0.4 << "0"
                                          << "0";
    QTest::newRow("large exponent form") << 1e21 << "0.00"
                                         << "1000000000000000000000.00";
    QTest::newRow("small exponent form") << 5e-5 << "0.00"
                                         << "0.00";
    QTest::newRow("three decimals kept") << 0.125 << "0.00"
                                         << "0.13";
}

void TestTextFormat::formatNumber()
{
    QFETCH(double, value);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    QCOMPARE(fee::formatNumber(value, format), expected);
}

void TestTextFormat::formatRate()
{
    QCOMPARE(fee::formatRate(97.125), QStringLiteral("97.13%"));
    QCOMPARE(fee::formatRate(-0.001), QStringLiteral("0.00%"));
    QCOMPARE(fee::formatRate(100), QStringLiteral("100.00%"));
}

void TestTextFormat::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("plain") << "1234.56" << 1234.56;
    QTest::newRow("rate") << "12.50%" << 12.5;
    QTest::newRow("separator stops") << "1,234" << 1.0;
    QTest::newRow("negative with tail") << "-3.5x" << -3.5;
    QTest::newRow("leading blanks") << "  7" << 7.0;
    QTest::newRow("plus sign") << "+4" << 4.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("word") << "合计" << 0.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("year text") << "2020年" << 2020.0;
    QTest::newRow("exponent") << "1.5e3" << 1500.0;
    QTest::newRow("bare e") << "2e" << 2.0;
    QTest::newRow("full-width digits are not digits") << "１２" << 0.0;
}

void TestTextFormat::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(fee::leadingNumber(text), expected);
}

void TestTextFormat::formatDate_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    const QDate d(2020, 2, 5);
    QTest::newRow("screen") << d << "yyyy-mm-dd"
                            << "2020-02-05";
    QTest::newRow("upper") << d << "YYYY-MM-DD"
                           << "2020-02-05";
    QTest::newRow("statement") << d << "yyyymmdd"
                               << "20200205";
    QTest::newRow("year-month") << d << "yyyymm"
                                << "202002";
    QTest::newRow("year") << d << "yyyy"
                          << "2020";
    QTest::newRow("invalid") << QDate() << "yyyy-mm-dd"
                             << "";
    QTest::newRow("mixed case, text kept") << d << "Yyyy年Mm月dD日"
                                           << "2020年02月05日";
    // A letter whose lower case is longer (U+0130) is copied as it is and
    // keeps the rest of the pattern in step.
    QTest::newRow("letter that lowers longer") << d << QString::fromUtf8("\xC4\xB0yyyy-mm") << QString::fromUtf8("\xC4\xB0" "2020-02");
    QTest::newRow("letters short of a field") << d << "yyy-m-d"
                                              << "yyy-m-d";
}

void TestTextFormat::formatDate()
{
    QFETCH(QDate, date);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(fee::formatDate(date, pattern), expected);
}

// A money cell, its cents and the cents written back agree with moneyText:
// half away from zero on the decimal form, never "-0.00", and a zero shown
// or left empty as the cell wants.
void TestTextFormat::money_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<qint64>("cents");
    QTest::newRow("half up on the decimal form") << 2.675 << "2.68" << qint64(268);
    QTest::newRow("negative half away") << -2.675 << "-2.68" << qint64(-268);
    QTest::newRow("a sum's binary noise") << (0.1 + 0.2) << "0.30" << qint64(30);
    QTest::newRow("noise at half a cent") << (1.105 + 1.1 - 1.1) << "1.11" << qint64(111);
    QTest::newRow("small negative is zero") << -0.004 << "0.00" << qint64(0);
    QTest::newRow("zero") << 0.0 << "0.00" << qint64(0);
    QTest::newRow("large") << 12816336.475 << "12816336.48" << qint64(1281633648);
}

void TestTextFormat::money()
{
    QFETCH(double, value);
    QFETCH(QString, shown);
    QFETCH(qint64, cents);
    QCOMPARE(fee::moneyOrEmpty(value), shown);
    QCOMPARE(fee::moneyCents(value), cents);
    QCOMPARE(fee::centsText(cents), shown);
    QCOMPARE(fee::moneyOrEmpty(std::nullopt), QString());
    QCOMPARE(fee::moneyOrEmpty(value, fee::ZeroMoney::Empty), fee::decimalValue(value) == 0 ? QString() : shown);
}

QTEST_APPLESS_MAIN(TestTextFormat)
#include "tst_textformat.moc"
