#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <QtGlobal>

namespace fee {

// What a report cell holds: a typed value, never a text to be read back.
// Money is whole cents, a rate hundredths of a percent (the figure as shown),
// a count a whole number, a date a day (with a time of day for DateTime).
// text() is the one presentation of a value: the grid, the CSV and the
// printout show exactly it; the workbook, the charts, sorting and copying
// take the value itself.
class CellValue {
public:
    enum class Kind : quint8 { Empty, Text, Money, Rate, Count, Date, DateTime };

    CellValue() = default;
    // An empty text is an empty cell.
    static CellValue fromText(const QString& text);
    static CellValue fromMoney(qint64 cents) { return CellValue(Kind::Money, cents); }
    // A rate as it is shown: hundredths of a percent (1250 is "12.50%").
    static CellValue fromRateHundredths(qint64 hundredths) { return CellValue(Kind::Rate, hundredths); }
    // A rate in percent, rounded to the two decimals shown (half away from
    // zero on its decimal form, as every figure).
    static CellValue fromPercent(double percent);
    static CellValue fromCount(qint64 count) { return CellValue(Kind::Count, count); }
    // An invalid date is an empty cell.
    static CellValue fromDate(const QDate& date);
    // A date with its time of day; shown with the time unless it is midnight.
    static CellValue fromDateTime(const QDate& date, const QTime& time);
    // The stored form of a value (the packed grid keeps kinds and numbers).
    static CellValue fromStored(Kind kind, qint64 number);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    bool isText() const { return m_kind == Kind::Text; }
    bool isMoney() const { return m_kind == Kind::Money; }
    bool isRate() const { return m_kind == Kind::Rate; }
    bool isCount() const { return m_kind == Kind::Count; }
    bool isDate() const { return m_kind == Kind::Date || m_kind == Kind::DateTime; }
    // Money, rates and counts: a spreadsheet takes them as numbers.
    bool isNumber() const { return m_kind == Kind::Money || m_kind == Kind::Rate || m_kind == Kind::Count; }

    // The payload by kind; 0, empty or invalid for any other kind.
    qint64 cents() const { return m_kind == Kind::Money ? m_number : 0; }
    qint64 rateHundredths() const { return m_kind == Kind::Rate ? m_number : 0; }
    qint64 count() const { return m_kind == Kind::Count ? m_number : 0; }
    QDate date() const;
    QTime time() const; // midnight for a plain date
    const QString& string() const { return m_text; } // the Text kind's text
    // The integer that stands for the value of a typed kind (cents,
    // hundredths, count, Julian day, seconds since Julian day 0).
    qint64 stored() const { return m_number; }

    // The value as a number: yuan for money, percent for a rate, the count;
    // 0 for any other kind. For charts and spreadsheets.
    double number() const;

    // The presentation: "0.00" for money (never "-0.00"), "0.00%" for a rate,
    // the count's digits, "yyyy-mm-dd" for a date (with " hh:mm:ss" for a
    // date and time that is not midnight), the text itself, "" when empty.
    QString text() const;

    // Orders values of one column: empty first, numbers by value, dates by
    // day and time, texts by code point (a caller may collate them itself).
    // Values of different kinds order by kind.
    static int compare(const CellValue& a, const CellValue& b);

    bool operator==(const CellValue& other) const
    {
        return m_kind == other.m_kind && m_number == other.m_number && m_text == other.m_text;
    }
    bool operator!=(const CellValue& other) const { return !(*this == other); }

private:
    CellValue(Kind kind, qint64 number)
        : m_kind(kind)
        , m_number(number)
    {
    }

    Kind m_kind = Kind::Empty;
    qint64 m_number = 0;
    QString m_text;
};

} // namespace fee
