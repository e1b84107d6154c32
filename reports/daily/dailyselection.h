#pragma once

#include "core/officeentry.h"
#include "reports/shared/reportengine.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace fee {

// 统计范围: which receipts a run takes (the entries of the scope list, in order).
enum class DailyScope {
    AllDepartments = 0, // 不分部门统计: the office's invoices and its own ledger receipts
    ByDepartment = 1, // 按部门统计: the department's invoices that belong to no office; no ledger receipts
    ByOffice = 2, // 按管理项目统计: the office's invoices assigned to the office itself, and its ledger receipts
};

// The entries of the scope list, in index order.
QStringList dailyScopeEntries();

// What one run of the daily receipts list covers: the selection panel of the
// window, or the options of the command line.
struct DailySelection {
    std::optional<Office> office; // none chosen: the run does nothing
    QDate start; // receipt dates, both ends included
    QDate end;
    QStringList feeCodes; // ticked fee items in tree order
    QStringList paymentMethods; // the method list's entries after "选择全部"
    std::optional<QString> paymentMethod; // the chosen entry ("选择全部" = all); none chosen: the run does nothing
    QString payee; // the chosen payee; empty or "选择全部" = every payee
    DailyScope scope = DailyScope::AllDepartments;
    QString departmentCode; // the session's department (scope 1)
};

// The checks of 统计, in order, for the window and the command line alike:
// no office or no method entry chosen is Silent (nothing happens); a start
// after the end, then no ticked fee item, are Refused with the box the
// window has always shown (no control takes the focus after it).
SelectionCheck checkDailySelection(const DailySelection& selection);

} // namespace fee
