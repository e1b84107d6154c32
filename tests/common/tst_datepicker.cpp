#include "widgets/datepicker.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

// Whole dates typed over the selected text of a date box, or pasted into it,
// are taken as they are; the box's calendar and section editing stay.
class TestDatePicker : public QObject {
    Q_OBJECT
private slots:
    void parseWholeDate_data();
    void parseWholeDate();
    void typedOverSelection_data();
    void typedOverSelection();
    void pasted();
    void calendarStays();
};

void TestDatePicker::parseWholeDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("dashes") << "2025-12-01" << QDate(2025, 12, 1);
    QTest::newRow("short month and day") << "2025-1-5" << QDate(2025, 1, 5);
    QTest::newRow("slashes") << "2025/12/31" << QDate(2025, 12, 31);
    QTest::newRow("dots") << "2024.02.29" << QDate(2024, 2, 29);
    QTest::newRow("digits") << "20251201" << QDate(2025, 12, 1);
    QTest::newRow("blanks around") << " 2025-12-01 " << QDate(2025, 12, 1);
    QTest::newRow("no such day") << "2025-02-30" << QDate();
    QTest::newRow("mixed separators") << "2025-12/01" << QDate();
    QTest::newRow("too short") << "2025-12" << QDate();
    QTest::newRow("text") << "today" << QDate();
}

void TestDatePicker::parseWholeDate()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(fee::DatePicker::parseWholeDate(text).value_or(QDate()), date);
}

void TestDatePicker::typedOverSelection_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("ending"); // the key after the text: "" none, "tab", "enter", "click"
    QTest::addColumn<QDate>("date");
    QTest::newRow("a whole date") << "2025-12-01" << "" << QDate(2025, 12, 1);
    QTest::newRow("the day of the month it shows") << "2026-03-12" << "" << QDate(2026, 3, 12);
    QTest::newRow("digits only") << "20230704" << "" << QDate(2023, 7, 4);
    QTest::newRow("short parts, then Enter") << "2025/3/1" << "enter" << QDate(2025, 3, 1);
    QTest::newRow("short parts, then elsewhere") << "2025-3-1" << "click" << QDate(2025, 3, 1);
    QTest::newRow("no such date keeps the old one") << "2025-13-01" << "enter" << QDate(2026, 3, 15);
    QTest::newRow("half a date keeps the old one") << "2025-1" << "click" << QDate(2026, 3, 15);
}

void TestDatePicker::typedOverSelection()
{
    QFETCH(QString, typed);
    QFETCH(QString, ending);
    QFETCH(QDate, date);

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* picker = new fee::DatePicker(&window);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setDate(QDate(2026, 3, 15));
    auto* other = new QPushButton(QStringLiteral("统计"), &window);
    layout->addWidget(picker);
    layout->addWidget(other);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(picker->findChild<QLineEdit*>()->selectedText(), QStringLiteral("2026-03-15"));
    QTest::keyClicks(picker, typed);
    if (ending == u"enter")
        QTest::keyClick(picker, Qt::Key_Return);
    else if (ending == u"click")
        other->setFocus(Qt::MouseFocusReason);
    QCOMPARE(picker->date(), date);
    QCOMPARE(picker->findChild<QLineEdit*>()->text(), date.toString(QStringLiteral("yyyy-MM-dd")));
    // It stays so once the focus has gone on.
    other->setFocus(Qt::TabFocusReason);
    QCOMPARE(picker->date(), date);
    QCOMPARE(picker->findChild<QLineEdit*>()->text(), date.toString(QStringLiteral("yyyy-MM-dd")));

    // Section editing goes on as before: the day typed into its section.
    picker->setFocus();
    picker->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClicks(picker, QStringLiteral("09"));
    QCOMPARE(picker->date().day(), 9);
}

void TestDatePicker::pasted()
{
    fee::DatePicker picker;
    picker.setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker.setDate(QDate(2026, 3, 15));
    picker.show();
    picker.setFocus();
    QApplication::clipboard()->setText(QStringLiteral(" 2024/2/29 "));
    QTest::keyClick(&picker, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(picker.date(), QDate(2024, 2, 29));
    // Pasted over the selected text by the edit's own paste.
    QApplication::clipboard()->setText(QStringLiteral("20230101"));
    picker.findChild<QLineEdit*>()->selectAll();
    picker.findChild<QLineEdit*>()->paste();
    QCOMPARE(picker.date(), QDate(2023, 1, 1));
    QCOMPARE(picker.findChild<QLineEdit*>()->text(), QStringLiteral("2023-01-01"));
    // What is no date changes nothing.
    QApplication::clipboard()->setText(QStringLiteral("明天"));
    QTest::keyClick(&picker, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(picker.date(), QDate(2023, 1, 1));
}

void TestDatePicker::calendarStays()
{
    fee::DatePicker picker;
    picker.setCalendarPopup(true);
    QVERIFY(picker.calendarPopup());
    QVERIFY(picker.calendarWidget());
}

QTEST_MAIN(TestDatePicker)
#include "tst_datepicker.moc"
