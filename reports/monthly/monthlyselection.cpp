#include "reports/monthly/monthlyselection.h"

namespace fee {

namespace {

    SelectionCheck refusal(const QString& text, SelectionCheck::Field field)
    {
        BoxRequest message;
        message.text = text;
        message.title = QString::fromUtf8(kSystemTitle);
        message.icon = BoxIcon::Information;
        return SelectionCheck::refused(message, field);
    }

} // namespace

SelectionCheck checkMonthlySelection(const MonthlySelection& selection, bool officesListed)
{
    using Field = SelectionCheck::Field;
    if (!officesListed)
        return refusal(QStringLiteral("管理处列表为空,请检查登录者身份!"), Field::Offices);
    if (selection.offices.isEmpty())
        return refusal(QStringLiteral("请勾选需要统计的管理处!"), Field::Offices);
    if (selection.feeCodes.isEmpty())
        return refusal(QStringLiteral("请选择收费项目！"), Field::FeeItems);
    return {};
}

} // namespace fee
