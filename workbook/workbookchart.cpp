#include "workbook/workbookchart.h"

namespace fee {

QString quotedSheetName(const QString& sheet)
{
    QString quoted = sheet;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace fee
