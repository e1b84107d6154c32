#pragma once

#include "core/grid/cellvalue.h"
#include "core/grid/rowkind.h"

#include <QString>
#include <QVector>

namespace fee {

class DbResult;

// One row of the list: the values of the grid's 18 columns, what the row
// stands for (the office, the invoice) and the money it shows, in whole
// cents, for the totals.
struct DailyRow {
    QVector<CellValue> values;
    RowKey key;
    qint64 amountCents = 0; // NULL counting 0
    qint64 taxCents = 0;
    qint64 incomeCents() const { return amountCents - taxCents; }
};

// Reads the rows of the daily receipts statement into the rows of the result
// grid. The fields are looked up once, when the reader
// is made; the reads then go by index.
class DailyResultReader {
public:
    explicit DailyResultReader(const DbResult& result);

    // The current row; its column 0 holds serial. Its key: the office code
    // given and the invoice's own number (none for a ledger receipt, which
    // has no invoice).
    DailyRow row(int serial, const QString& officeCode) const;

    // The current row is an exchanged invoice whose replacements are not
    // recorded on it (内换日期 set, 内换票据编号 NULL): the exchange marking
    // looks them up.
    bool needsExchangeMarking() const;
    // 票据编号 as the statement returns it ("(预开收款)" appended to a
    // pre-issued invoice's number).
    QString invoiceNumber() const;
    // The invoice's own number, as its replacements record it: the shown
    // number without the "(预开收款)" of a pre-issued invoice.
    QString replacedInvoiceNumber() const;

private:
    // An invoice's own number from the number a row shows.
    static QString ownNumber(QString shownNumber);
    CellValue invoiceDate() const;
    CellValue text(int field) const;

    const DbResult& m_result;
    int m_book;
    int m_number;
    int m_payer;
    int m_address;
    int m_item;
    int m_summary;
    int m_amount;
    int m_invoiceDate;
    int m_issuer;
    int m_receiptDate;
    int m_payee;
    int m_tax;
    int m_method;
    int m_remark;
    int m_exchangeNumber;
    int m_exchangeDate;
};

} // namespace fee
