#pragma once

#include <QString>

namespace fee {

// One cell of the in-memory sheet.
struct WorkbookCell {
    enum Kind : quint8 { Empty, Number, Text, Formula };
    enum Result : quint8 { NoResult, NumberResult, TextResult };

    Kind kind = Empty;
    Result result = NoResult; // formulas: the computed value saved with them
    int format = 0; // index into the workbook's format table
    double number = 0; // the number, or a formula's numeric result
    QString text; // the text, or the formula; a formula's text result is in resultText
    QString resultText;
};

} // namespace fee
