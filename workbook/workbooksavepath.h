#pragma once

#include <QString>

namespace fee {

// The save path for a name chosen in the file dialog of a report export: the
// name without its extension (the workbook adds its own when it is saved),
// cut at the last "." of the file-name part only, so a dotted folder name or
// a name with several dots keeps everything before the extension.
QString savePathFromChosenName(const QString& chosenName);

} // namespace fee
