#pragma once

#include <QString>

// A small fee database for the daily receipts list (plain collation, so the
// SQL Server stand-in can serve it too). Office 01 南区 (department D1) in
// March 2024:
//   N001 two lines (物业费 over three months, 车位费 without tax), received
//        2024-03-05 10:00:00;
//   N002 exchanged into B1/N003, the replacement recorded on it; N003 points back;
//   N004 exchanged on 2024-03-21 14:30:00 without a recorded replacement;
//        N005 (book B1) and N006 (book B2) point back to it;
//   N007 issued 2024-02-20, received 2024-03-08 (pre-issued), exchanged
//        without a recorded replacement; N008 points back to it;
//   N009 refunded, N010 voided, N011 non-routine, N012 received in April;
//   N013 of department D1 with no office, payee 欧'阳, 转账 (scope 1 only and 0);
//   N014 received 2024-03-31 23:59:59, remark 补开;
//   ledger: household 1号楼101室 王五 three months on 2024-03-12 and one
//   more on 2024-03-13 (empty book and invoice texts); two rows of
//   2024-03-12 carry a book or an invoice number (left out); parking
//   registration 赵六 on 2024-03-15; parking space 孙七 two months on
//   2024-03-15.
// Office 02 北区 (department D2) has one invoice N201 and a household
// collection in March; office 03 is commercial (not on the daily list).
QString createDailyFixture(const QString& path);

// Rows for printouts of several pages, added to the fixture (office 01):
// ledger receipts of 王五 on each of the 40 days from 2024-05-01 (one run of
// "不记录票据信息"), invoice N100 (book B5) of 30 lines on 2024-06-20, the
// one-line invoices N101 to N110 on 2024-06-21 to 2024-06-30, and in July
// invoice N200 with a remark of 200 characters (wider than any paper).
constexpr int kDailyLedgerDays = 40;
constexpr int kDailyLongInvoiceLines = 30;
QString addDailyPageRows(const QString& path);

// Invoices exchanged without their replacements recorded on them, for the
// exchange marking in bulk (office 01, book B7, received in August 2024, one
// line each and a second line for every tenth from the fourth on): X000 to
// X249, every seventh pre-issued (issued 2024-07-15). Each X whose number is
// not a multiple of five is replaced by Xnnna, the even ones also by Xnnnb
// (received in September).
constexpr int kDailyExchangedInvoices = 250;
QString addDailyExchangeRows(const QString& path);
QString dailyExchangeNumber(int i);
// Column 17 of invoice i's rows: its replacements' numbers, each followed by a blank.
QString dailyExchangeReplacements(int i);

inline QString dailyFixtureConnectionString(const QString& path)
{
    return QStringLiteral("Provider=SQLite;Data Source=") + path;
}
