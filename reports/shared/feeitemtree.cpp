#include "reports/shared/feeitemtree.h"

#include "db/dbconnection.h"
#include "db/sqlquote.h"

namespace fee {

QString feeItemTreeStatement() { return QStringLiteral("SELECT * FROM SETUPsfxm  ORDER BY 收费类别,DH"); }

QString inUseFeeCategoryStatement()
{
    return QStringLiteral("Select 收费类别 From SETUPSFXM Where 终止日期 Is Null Group By 收费类别 Order By 收费类别");
}

QString inUseFeeItemsStatement(const QString& category)
{
    return QStringLiteral("Select * From SetupSFXM Where 收费类别=") + sqlQuote(category)
        + QStringLiteral(" AND 终止日期 Is Null Order by Len(DH),DH");
}

QString feeCategoryStatement()
{
    return QStringLiteral("Select 收费类别 From SETUPSFXM Group By 收费类别 Order By 收费类别");
}

QString feeItemsStatement(const QString& category)
{
    return QStringLiteral("Select * From SetupSFXM Where 收费类别=") + sqlQuote(category)
        + QStringLiteral(" Order by Len(DH),DH");
}

namespace {

    FeeItem readItem(const DbResult& result, int code, int name, int endDate)
    {
        FeeItem item;
        item.code = result.text(code);
        item.name = result.textOrEmpty(name);
        item.endDate = result.date(endDate);
        return item;
    }

    struct ItemFields {
        int code, name, endDate, category;
        explicit ItemFields(const DbResult& r)
            : code(r.indexOf(QStringLiteral("DH")))
            , name(r.indexOf(QStringLiteral("XM")))
            , endDate(r.indexOf(QStringLiteral("终止日期")))
            , category(r.indexOf(QStringLiteral("收费类别")))
        {
        }
    };

} // namespace

QString feeTreeFirstStatement(FeeTreeQuery query)
{
    switch (query) {
    case FeeTreeQuery::AllItems:
        return feeItemTreeStatement();
    case FeeTreeQuery::InUseByCategory:
        return inUseFeeCategoryStatement();
    case FeeTreeQuery::AllByCategory:
        break;
    }
    return feeCategoryStatement();
}

void readFeeItemTree(DbConnection& connection, FeeTreeQuery query, DbResult& first, const FeeItemSink& sink)
{
    if (query == FeeTreeQuery::AllItems) {
        const ItemFields f(first);
        bool starts = true;
        QString previous;
        while (first.next()) {
            const QString category = first.textOrEmpty(f.category);
            const FeeItem item = readItem(first, f.code, f.name, f.endDate);
            starts = starts || category != previous;
            previous = category;
            sink(category, item, starts);
            starts = false;
        }
        return;
    }

    // The categories are read whole before their items are asked for: a
    // server connection runs one statement at a time. The items of every
    // category then go out together, one statement each, in one request.
    QStringList categories;
    const int category = first.indexOf(QStringLiteral("收费类别"));
    while (first.next())
        categories.append(first.textOrEmpty(category));
    if (categories.isEmpty())
        return;
    QStringList statements;
    for (const QString& c : std::as_const(categories))
        statements.append(
            query == FeeTreeQuery::InUseByCategory ? inUseFeeItemsStatement(c) : feeItemsStatement(c));
    DbResult result = connection.queryBatch(statements);
    for (qsizetype k = 0; k < categories.size(); ++k) {
        if (k > 0)
            result.nextResult();
        const ItemFields f(result);
        bool starts = true;
        while (result.next()) {
            sink(categories.at(k), readItem(result, f.code, f.name, f.endDate), starts);
            starts = false;
        }
    }
}

void loadFeeItemTree(DbConnection& connection, FeeTreeQuery query, const FeeItemSink& sink)
{
    DbResult first = connection.query(feeTreeFirstStatement(query));
    readFeeItemTree(connection, query, first, sink);
}

FeeItemSink feeTreeBuilder(QVector<FeeCategory>& tree)
{
    return [&tree](const QString& category, const FeeItem& item, bool startsCategory) {
        if (startsCategory)
            tree.append(FeeCategory { category, {} });
        tree.last().items.append(item);
    };
}

QVector<FeeCategory> loadFeeItemTree(DbConnection& connection, FeeTreeQuery query)
{
    QVector<FeeCategory> tree;
    loadFeeItemTree(connection, query, feeTreeBuilder(tree));
    return tree;
}

QStringList allFeeCodes(const QVector<FeeCategory>& tree)
{
    QStringList codes;
    for (const FeeCategory& category : tree) {
        for (const FeeItem& item : category.items)
            codes.append(item.code);
    }
    return codes;
}

QString paymentMethodStatement() { return QStringLiteral("select * from 收款方式列表"); }

QStringList readPaymentMethods(DbResult& result)
{
    QStringList methods;
    const int method = result.indexOf(QStringLiteral("收款方式"));
    while (result.next())
        methods.append(result.textOrEmpty(method));
    return methods;
}

QStringList loadPaymentMethods(DbConnection& connection)
{
    DbResult result = connection.query(paymentMethodStatement());
    return readPaymentMethods(result);
}

} // namespace fee
