#pragma once

#include <QString>
#include <QtGlobal>

namespace fee {

// What a report row is. Windows, charts, the workbook and the printout ask
// the row, never its texts, whether it is a total.
enum class RowKind : quint8 {
    Data, // an office, an item, a ledger or receipt line
    Heading, // a heading row (the fixed rows are headings whatever is stored)
    Subtotal, // 小计 of a group (an office)
    Total, // 合计 of the whole report or list
    Note, // a line that says something about the list (no figures)
};

// What a row stands for in the database: the office, the fee category and
// item, the invoice. A detail list is opened from these, never from texts of
// the row. Empty parts mean "not this kind of row".
struct RowKey {
    QString office; // office code (GYD_DH)
    QString category; // fee category
    QString item; // fee item code (DH)
    QString invoice; // invoice number
    int kind = 0; // a report's own sort of row within a group (the receipts summary's source: 1 to 4)

    bool isEmpty() const
    {
        return office.isEmpty() && category.isEmpty() && item.isEmpty() && invoice.isEmpty() && kind == 0;
    }
    bool operator==(const RowKey&) const = default;
};

} // namespace fee
