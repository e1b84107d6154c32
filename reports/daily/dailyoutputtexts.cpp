#include "reports/daily/dailyoutputtexts.h"

#include "reports/shared/reporttexts.h"

namespace fee {

QString dailyOfficeName(const QString& officeEntry)
{
    const qsizetype blank = officeEntry.indexOf(QLatin1Char(' '));
    return blank < 0 ? officeEntry : officeEntry.mid(blank + 1);
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
