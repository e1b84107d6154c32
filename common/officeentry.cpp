#include "common/officeentry.h"

namespace fee {

QString officeEntryText(const Office& office) { return office.code + QLatin1Char(' ') + office.name; }

Office officeFromEntryText(const QString& entry)
{
    const qsizetype blank = entry.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return { entry, QString() };
    return { entry.left(blank), entry.mid(blank + 1) };
}

} // namespace fee
