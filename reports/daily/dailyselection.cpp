#include "reports/daily/dailyselection.h"

namespace fee {

QStringList dailyScopeEntries()
{
    return { QStringLiteral("不分部门统计"), QStringLiteral("按部门统计"), QStringLiteral("按管理项目统计") };
}

} // namespace fee
