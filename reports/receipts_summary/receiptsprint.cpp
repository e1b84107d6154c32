#include "reports/receipts_summary/receiptsprint.h"

#include "reports/shared/reporttexts.h"

namespace fee {

PrintGridOptions receiptsPrintOptions(const QString& officeName, const DateRange& receipts)
{
    // A name stored over two lines ("碧水湾\r\n管理处") makes a title of one line.
    QString name = officeName;
    name.remove(QLatin1Char('\r'));
    name.remove(QLatin1Char('\n'));
    PrintGridOptions options;
    options.title = officeTitle(name, QStringLiteral("收款汇总统计表"));
    options.dateLine = dateRangeLine(receipts.start, receipts.end, QStringLiteral("-"));
    options.signature = false;
    options.skip = 0;
    return options;
}

} // namespace fee
