#include "reports/shared/reporttexts.h"

namespace fee {

QString officeTitle(const QString& officeName, const QString& suffix)
{
    return QLatin1Char('(') + officeName + QLatin1Char(')') + suffix;
}

QString dateRangeLine(const QDate& start, const QDate& end, const QString& separator)
{
    const QString pattern = QStringLiteral("yyyy年MM月dd日");
    return QStringLiteral("日期范围:") + start.toString(pattern) + separator + end.toString(pattern);
}

} // namespace fee
