#pragma once

#include <QString>

namespace fee {

// A management office as the selection lists show it.
struct Office {
    QString code; // GYD_DH
    QString name; // GYD_Name as the list shows it
};

// The list entry of an office: code, one blank, name.
QString officeEntryText(const Office& office);
// The office an entry stands for: the code is the text before the first
// blank, the name the text after it (an entry without a blank is all code).
Office officeFromEntryText(const QString& entry);

} // namespace fee
