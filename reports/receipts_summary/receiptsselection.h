#pragma once

#include "core/officeentry.h"
#include "reports/shared/reportengine.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace fee {

// The statistics modes of the receipts summary, by their index in the list.
enum class ReceiptsMode {
    AllDepartments = 0, // 不分部门统计: the office's receipts and ledger
    ByDepartment = 1, // 按部门统计: receipts of the session's department without an office; no ledger
    ByOffice = 2, // 按管理项目统计: as 0, receipts that carry the office
};

// The texts of the statistics-mode list, in index order.
QStringList receiptsModeNames();

struct DateRange {
    QDate start;
    QDate end;
};

// What one run of the receipts summary covers: the selection panel's values.
struct ReceiptsSelection {
    QVector<Office> offices; // the ticked offices, in list order
    QStringList feeCodes; // FeeItemList: the ticked items' codes, in tree order
    QStringList paymentMethods; // every method of the list after "选择全部", in list order
    QString chosenMethod; // the shown entry of the method list; "选择全部" or empty: all
    ReceiptsMode mode = ReceiptsMode::AllDepartments;
    QString departmentCode; // the session's DepartmentCode (mode 1)
    DateRange receipts; // 收款日期
    std::optional<DateRange> monthToDate; // 月实收累计日期, when ticked
    std::optional<DateRange> yearToDate; // 年实收累计日期, when ticked
};

// The checks of "统计", in the order they are made: the offices ("请勾选管理处！"),
// the receipt dates ("收款日期起始日期不能大于终止日期，请重新选择！", titled with
// the program's name), the fee items ("请勾选收费项目！"); every other box is
// titled "系统提示". methodShown is false when the method list shows no
// entry: then nothing happens and nothing is said (Silent). The window
// shows the box, the command line prints the text; the engine refuses a
// selection that does not pass.
SelectionCheck checkReceiptsSelection(const ReceiptsSelection& selection, bool methodShown = true);

// PaymentMethodList of the selection (throws Failure 5 on an empty method list
// when all methods are chosen).
QString receiptsPaymentMethodList(const ReceiptsSelection& selection);

} // namespace fee
