#pragma once

#include <QString>

namespace fee {

// What a text written into a cell becomes, as if the user had typed it.
struct WorkbookInput {
    enum Kind { Empty, Number, Text, Formula };
    Kind kind = Empty;
    double number = 0;
    QString text; // the text, or the formula with its "="
    QString numberFormat; // a format the input brings along ("0.00%" for "12.50%")

    // "=..." a formula; "'..." text without the apostrophe; a plain decimal
    // number ("1234.00", "-5", " 7 ", "1e3") a number; a number followed by "%"
    // the hundredth part with a percent format; "" nothing; anything else text
    // (dates and other formats stay text).
    static WorkbookInput fromTyped(const QString& typed);
};

} // namespace fee
