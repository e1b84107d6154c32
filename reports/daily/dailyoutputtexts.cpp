#include "reports/daily/dailyoutputtexts.h"

#include "core/officeentry.h"
#include "reports/shared/reporttexts.h"

namespace fee {

QString dailyOfficeName(const QString& officeEntry)
{
    const CodeAndName parts = splitCodeAndName(officeEntry);
    return parts.hasName ? parts.name : officeEntry;
}

DailyOutputTexts dailyPrintTexts(const QString& officeName, const QDate& start, const QDate& end)
{
    return { officeTitle(officeName, QStringLiteral("收款日报表")), dateRangeLine(start, end, QStringLiteral("-")) };
}

DailyOutputTexts dailyExportTexts(const QString& officeName, const QDate& start, const QDate& end)
{
    return { officeTitle(officeName, QStringLiteral(" 收款日报表")), dateRangeLine(start, end, QStringLiteral("至")) };
}

} // namespace fee
