#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace fee {

class DbConnection;
class DbResult;

// One fee item of a selection tree.
struct FeeItem {
    QString code; // DH
    QString name; // XM
    QDate endDate; // 终止日期; invalid while the item is in use
};

// One category node of the tree with its items, in tree order.
struct FeeCategory {
    QString category; // 收费类别
    QVector<FeeItem> items;
};

// How a report reads its fee-item tree.
enum class FeeTreeQuery {
    AllItems, // one statement over every item, by category then code (monthly)
    InUseByCategory, // the categories of items in use, then each category's items in use (receipts summary)
    AllByCategory, // every category, then each category's items (daily)
};

// The statements behind the trees.
QString feeItemTreeStatement(); // AllItems
QString inUseFeeCategoryStatement();
QString inUseFeeItemsStatement(const QString& category);
QString feeCategoryStatement();
QString feeItemsStatement(const QString& category);

// Loads the tree. The sink is called once per item as it is read;
// startsCategory is true on the first item of a new category node (a category
// text differing from the previous row's, or a new category statement row).
// A failure part-way (thrown as Failure) leaves the items already delivered
// with the caller. A category without items delivers nothing.
// The items of every category go out together, in one request.
using FeeItemSink = std::function<void(const QString& category, const FeeItem& item, bool startsCategory)>;
void loadFeeItemTree(DbConnection& connection, FeeTreeQuery query, const FeeItemSink& sink);
QVector<FeeCategory> loadFeeItemTree(DbConnection& connection, FeeTreeQuery query);

// The same in two steps, for a caller that sends the first statement along
// with others: the tree's first statement (all items, or the categories),
// then reading its result and (by category) asking for the items.
QString feeTreeFirstStatement(FeeTreeQuery query);
void readFeeItemTree(DbConnection& connection, FeeTreeQuery query, DbResult& first, const FeeItemSink& sink);
// A sink that builds the tree's nodes into `tree`.
FeeItemSink feeTreeBuilder(QVector<FeeCategory>& tree);

// Every item code in tree order ("--fees all").
QStringList allFeeCodes(const QVector<FeeCategory>& tree);

// The payment methods, in table order.
QString paymentMethodStatement();
QStringList loadPaymentMethods(DbConnection& connection);
// The methods of a result of paymentMethodStatement().
QStringList readPaymentMethods(DbResult& result);

} // namespace fee
