#pragma once

#include <QString>

namespace fee {

// The report's title by the kind of property: 住宅物业费收缴率汇总表 or
// 商用物业费收缴率汇总表. The window shows it over the grid and names its
// workbook after it; the command line puts it on the workbook and the printout.
QString monthlyReportTitle(bool commercial);

} // namespace fee
