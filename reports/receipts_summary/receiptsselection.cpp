#include "reports/receipts_summary/receiptsselection.h"

#include "reports/shared/selectionlists.h"

namespace fee {

QStringList receiptsModeNames()
{
    return { QStringLiteral("不分部门统计"), QStringLiteral("按部门统计"), QStringLiteral("按管理项目统计") };
}

SelectionCheck checkReceiptsSelection(const ReceiptsSelection& selection, bool methodShown)
{
    using Field = SelectionCheck::Field;
    const auto refused = [](const char* text, const QString& title, Field field) {
        return SelectionCheck::refused({ QString::fromUtf8(text), title }, field);
    };
    const QString systemTitle = QString::fromUtf8(kSystemTitle);
    if (!methodShown)
        return SelectionCheck::silent();
    if (selection.offices.isEmpty())
        return refused("请勾选管理处！", systemTitle, Field::Offices);
    if (selection.receipts.start > selection.receipts.end)
        return refused("收款日期起始日期不能大于终止日期，请重新选择！", programTitle(), Field::Dates);
    if (selection.feeCodes.isEmpty())
        return refused("请勾选收费项目！", systemTitle, Field::FeeItems);
    return {};
}

QString receiptsPaymentMethodList(const ReceiptsSelection& selection)
{
    return paymentMethodList(selection.paymentMethods, selection.chosenMethod);
}

} // namespace fee
