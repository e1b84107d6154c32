#pragma once

#include "reports/daily/dailyselection.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace fee {

// The values the daily receipts statement is built from. Every value enters
// the text through sqlQuote; items and methods arrive as the In lists that
// feeItemList and paymentMethodList make.
struct DailyStatementInput {
    QString officeCode; // GYD_DH of the chosen office
    QString departmentCode; // the session's department (scope 1)
    QDate start;
    QDate end;
    QString items; // '01','03'
    QString methods; // '现金','转账'
    QString payee; // empty: every payee
    DailyScope scope = DailyScope::AllDepartments;
};

// The two sub-statements of the invoice fragments, always limited to the
// chosen office: the book and number of every replacement invoice, as the
// replaced invoice records it (swapped out) and as the replacement itself
// records them (swapped in). A record with a NULL part is left out of both:
// its concatenation would be NULL, and "x Not In" a list holding a NULL is
// never true, so one such record would drop every invoice of the office. The
// fragments keep an invoice whose own book or number is NULL: it matches no
// record.
QString dailySwappedOutStatement(const QString& officeCode);
QString dailySwappedInStatement(const QString& officeCode);

// The scope clauses: one for the invoice fragments A and B, one for each
// ledger fragment (H households, R parking registrations, S parking spaces).
enum class DailyLedger { Households, ParkingRegistrations, ParkingSpaces };
QString dailyInvoiceScopeClause(const DailyStatementInput& input);
QString dailyLedgerScopeClause(const DailyStatementInput& input, DailyLedger ledger);

// The five fragments: A invoice lines issued and received in the range, B
// invoice lines received in the range but issued outside it (pre-issued), H,
// R and S the ledger receipts without an invoice.
QString dailyFragmentA(const DailyStatementInput& input);
QString dailyFragmentB(const DailyStatementInput& input);
QString dailyFragmentH(const DailyStatementInput& input);
QString dailyFragmentR(const DailyStatementInput& input);
QString dailyFragmentS(const DailyStatementInput& input);

// The whole statement: the fragments joined by Union All, ordered by receipt
// date, book, number and payer.
QString dailyReceiptsStatement(const DailyStatementInput& input);

// The numbers of the invoices that replaced others in an internal exchange,
// asked for several replaced invoices at once (every listed invoice that has
// an exchange date and no recorded replacement): for each number of the list
// the 票据编号 of the rows whose 被换票票据编号 equals it, tagged with the
// number's place in the list (序号, from 0), one select per number joined by
// Union All.
QString dailyExchangeMarkingStatement(const QStringList& invoiceNumbers);

// The payees of the window's list: the staff of a department, by position.
QString dailyPayeeListStatement(const QString& departmentCode);

// The staff of every department: the names some session's payee list holds
// (the command line checks a payee against them when it names no department).
QString dailyAllPayeesStatement();

} // namespace fee
