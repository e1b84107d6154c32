#pragma once

#include <QWidget>

namespace fee {

// The monthly collection-rate report window (object name
// "frm物业费收缴率汇总月报", caption "物业费收缴率汇总月报").
class MonthlyReportWindow : public QWidget {
    Q_OBJECT
public:
    explicit MonthlyReportWindow(QWidget* parent = nullptr);
};

} // namespace fee
