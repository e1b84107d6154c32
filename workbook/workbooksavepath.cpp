#include "workbook/workbooksavepath.h"

#include <algorithm>

namespace fee {

QString savePathFromChosenName(const QString& chosenName)
{
    const qsizetype slash = std::max(chosenName.lastIndexOf(u'/'), chosenName.lastIndexOf(u'\\'));
    const qsizetype dot = chosenName.lastIndexOf(u'.');
    // Only a dot inside the file name, and not its first character (".name" has no extension).
    if (dot > slash + 1)
        return chosenName.left(dot);
    return chosenName;
}

} // namespace fee
