#pragma once

#include "reports/receipts_summary/receiptsselection.h"

#include <QDate>
#include <QString>

namespace fee {

// The values the receipts statements are built from. The two lists are the
// texts that go inside the In lists, already quoted (FeeItemList,
// PaymentMethodList); every other value is quoted by the builders.
struct ReceiptsStatementInput {
    QString feeItems; // '01','02'
    QString paymentMethods; // '现金','微信'
    ReceiptsMode mode = ReceiptsMode::AllDepartments;
    QString departmentCode;
    QDate start;
    QDate end;
};

// The summary statement of one office: the non-routine receipt lines
// (汇总类别 1) and the household, parking-registration and parking-space
// ledgers (2, 3, 4), one row per fee item and category, ordered by 收费类别, DH.
QString receiptsSummaryStatement(const ReceiptsStatementInput& input, const QString& officeCode);

// The pieces it is made of, for the tests and for reading.
QString receiptsOfficeClause(ReceiptsMode mode, const QString& officeCode, const QString& departmentCode);
// The exchanged invoices left out of every receipt-line statement: the
// replacements as the replaced invoice records them (A) and as they record
// themselves (B). A record with a NULL part excludes nothing (a NULL in a Not
// In list would drop every invoice of the office), and an invoice whose own
// book or number is NULL matches no record and is counted.
QString receiptsExclusionA(const QString& officeCode);
QString receiptsExclusionB(const QString& officeCode);
// Category 2, 3 or 4: the wrapper over the four year groups.
QString receiptsLedgerPart(int category, const ReceiptsStatementInput& input, const QString& officeCode);

// The cumulative amount received (月实收累计, 年实收累计) for one fee item of
// one office between the input's two dates, over the four sources; one row
// with field "je".
QString receiptsCumulativeStatement(
    const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode);

// The detail lists behind a summary row (the mode is not used: details are
// always taken by office). The year groups come from the input's start.
QString invoiceDetailsStatement(
    const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode);
QString householdDetailsStatement(
    const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode);
QString parkingRegistrationDetailsStatement(
    const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode);
QString parkingSpaceDetailsStatement(
    const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode);

} // namespace fee
