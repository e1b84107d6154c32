#pragma once

#include "reports/monthly/monthlyengine.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <functional>

namespace fee {

class DbConnection;

// One fee item of the selection tree.
struct FeeItem {
    QString code; // DH
    QString name; // XM
    QDate endDate; // 终止日期; invalid while the item is in use
    QString endDateText; // endDate as "yyyy-mm-dd", "" while in use
};

// One category node of the tree with its items, in tree order.
struct FeeCategory {
    QString category; // 收费类别
    QVector<FeeItem> items;
};

// The office list of the monthly report: active offices of one kind (0
// residential, 1 commercial) whose department is active, shorter codes first.
QString officeListStatement(bool commercial);
// Every fee item, grouped by category.
QString feeItemTreeStatement();

// The entry text of the office list: code, one blank, name.
QString officeEntryText(const MonthlyOffice& office);
// The office an entry stands for: the code is the text before the first blank.
MonthlyOffice officeFromEntryText(const QString& entry);

// Loads the lists. The sink forms call the sink once per row as it is read, so
// a failure part-way (thrown as Failure) leaves the rows already delivered
// with the caller; the others return the whole list or throw.
void loadOfficeList(DbConnection& connection, bool commercial, const std::function<void(const MonthlyOffice&)>& sink);
QVector<MonthlyOffice> loadOfficeList(DbConnection& connection, bool commercial);

// sink(category, item, startsCategory): startsCategory is true on the first item
// of a new category node (a category text differing from the previous row's).
void loadFeeItemTree(DbConnection& connection,
    const std::function<void(const QString& category, const FeeItem& item, bool startsCategory)>& sink);
QVector<FeeCategory> loadFeeItemTree(DbConnection& connection);

// Every item code in tree order ("--fees all").
QStringList allFeeCodes(const QVector<FeeCategory>& tree);

} // namespace fee
