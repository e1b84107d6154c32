#include "reports/monthly/monthlytitle.h"

namespace fee {

QString monthlyReportTitle(bool commercial)
{
    return commercial ? QStringLiteral("商用物业费收缴率汇总表") : QStringLiteral("住宅物业费收缴率汇总表");
}

} // namespace fee
