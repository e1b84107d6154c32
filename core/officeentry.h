#pragma once

#include <QString>

namespace fee {

// A management office as the selection lists show it.
struct Office {
    QString code; // GYD_DH
    QString name; // GYD_Name as the list shows it
};

// A text made of a code, one blank and a name (a list entry, a row's key):
// the code is the text before the first blank, the name the text after it.
// A text without a blank is all code, and has no name.
struct CodeAndName {
    QString code;
    QString name;
    bool hasName = false; // the text had a blank
};
CodeAndName splitCodeAndName(const QString& text);

// The list entry of an office: code, one blank, name.
QString officeEntryText(const Office& office);
// The office an entry stands for: the code is the text before the first
// blank, the name the text after it (an entry without a blank is all code).
Office officeFromEntryText(const QString& entry);

} // namespace fee
