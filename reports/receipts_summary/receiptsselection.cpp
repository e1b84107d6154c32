#include "reports/receipts_summary/receiptsselection.h"

#include "reports/shared/selectionlists.h"

namespace fee {

QStringList receiptsModeNames()
{
    return { QStringLiteral("不分部门统计"), QStringLiteral("按部门统计"), QStringLiteral("按管理项目统计") };
}

ReceiptsCheck checkReceiptsSelection(const ReceiptsSelection& selection, bool methodShown)
{
    if (!methodShown)
        return { ReceiptsRefusal::NoMethodShown, QString(), false };
    if (selection.offices.isEmpty())
        return { ReceiptsRefusal::NoOffice, QStringLiteral("请勾选管理处！"), false };
    if (selection.receipts.start > selection.receipts.end)
        return { ReceiptsRefusal::StartAfterEnd, QStringLiteral("收款日期起始日期不能大于终止日期，请重新选择！"),
            true };
    if (selection.feeCodes.isEmpty())
        return { ReceiptsRefusal::NoFeeItem, QStringLiteral("请勾选收费项目！"), false };
    return {};
}

QString receiptsPaymentMethodList(const ReceiptsSelection& selection)
{
    return paymentMethodList(selection.paymentMethods, selection.chosenMethod);
}

} // namespace fee
