#include "core/officeentry.h"

namespace fee {

QString officeEntryText(const Office& office) { return office.code + QLatin1Char(' ') + office.name; }

CodeAndName splitCodeAndName(const QString& text)
{
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return { text, QString(), false };
    return { text.left(blank), text.mid(blank + 1), true };
}

Office officeFromEntryText(const QString& entry)
{
    const CodeAndName parts = splitCodeAndName(entry);
    return { parts.code, parts.name };
}

} // namespace fee
