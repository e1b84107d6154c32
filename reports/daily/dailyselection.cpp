#include "reports/daily/dailyselection.h"

#include "core/messages.h"

namespace fee {

QStringList dailyScopeEntries()
{
    return { QStringLiteral("不分部门统计"), QStringLiteral("按部门统计"), QStringLiteral("按管理项目统计") };
}

SelectionCheck checkDailySelection(const DailySelection& selection)
{
    if (!selection.office || selection.office->code.isEmpty() || !selection.paymentMethod)
        return SelectionCheck::silent();
    if (selection.start > selection.end) {
        return SelectionCheck::refused({ QStringLiteral("收款日期起始日期不能大于终止日期，请重新选择！"), programTitle(),
            BoxIcon::Information });
    }
    if (selection.feeCodes.isEmpty())
        return SelectionCheck::refused({ QStringLiteral("请选择收费项目！"), QStringLiteral("提示"), BoxIcon::Information });
    return {};
}

} // namespace fee
