#pragma once

#include <QString>
#include <QStringList>

namespace fee {

class DbResult;

// One row of the list: the texts of the grid's 18 columns and the money it
// shows, in whole cents, for the totals.
struct DailyRow {
    QStringList cells;
    qint64 amountCents = 0;
    qint64 taxCents = 0;
    qint64 incomeCents() const { return amountCents - taxCents; }
};

// Reads the rows of the daily receipts statement into the rows of the result
// grid. The fields are looked up once, when the reader
// is made; the reads then go by index.
class DailyResultReader {
public:
    explicit DailyResultReader(const DbResult& result);

    // The current row; its column 0 holds serial.
    DailyRow row(int serial) const;

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
    QString invoiceDateText() const;

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
