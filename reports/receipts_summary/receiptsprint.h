#pragma once

#include "print/printgrid.h"
#include "reports/receipts_summary/receiptsselection.h"

#include <QString>

namespace fee {

// The printout of the summary grid: the title "(" + office name + ")" +
// "收款汇总统计表" and the date line "日期范围:yyyy年mm月dd日-yyyy年mm月dd日" of
// the receipt-date range; no signature line, every column. Line breaks in
// the office name are left out.
PrintGridOptions receiptsPrintOptions(const QString& officeName, const DateRange& receipts);

} // namespace fee
