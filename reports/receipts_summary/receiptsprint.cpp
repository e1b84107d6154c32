#include "reports/receipts_summary/receiptsprint.h"

#include "reports/shared/reporttexts.h"

namespace fee {

PrintGridOptions receiptsPrintOptions(const QString& officeName, const DateRange& receipts)
{
    PrintGridOptions options;
    options.title = officeTitle(officeName, QStringLiteral("收款汇总统计表"));
    options.dateLine = dateRangeLine(receipts.start, receipts.end, QStringLiteral("-"));
    options.signature = false;
    options.skip = 0;
    return options;
}

} // namespace fee
