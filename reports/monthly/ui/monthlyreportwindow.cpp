#include "reports/monthly/ui/monthlyreportwindow.h"

namespace fee {

MonthlyReportWindow::MonthlyReportWindow(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frm物业费收缴率汇总月报"));
    setWindowTitle(QStringLiteral("物业费收缴率汇总月报"));
}

} // namespace fee
