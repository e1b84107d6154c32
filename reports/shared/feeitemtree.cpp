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

void loadFeeItemTree(DbConnection& connection, FeeTreeQuery query,
    const std::function<void(const QString& category, const FeeItem& item, bool startsCategory)>& sink)
{
    if (query == FeeTreeQuery::AllItems) {
        DbResult result = connection.query(feeItemTreeStatement());
        const ItemFields f(result);
        bool first = true;
        QString previous;
        while (result.next()) {
            const QString category = result.textOrEmpty(f.category);
            const FeeItem item = readItem(result, f.code, f.name, f.endDate);
            const bool starts = first || category != previous;
            first = false;
            previous = category;
            sink(category, item, starts);
        }
        return;
    }

    // The categories are read whole before their items: a server connection
    // runs one statement at a time.
    QStringList categories;
    {
        DbResult result = connection.query(
            query == FeeTreeQuery::InUseByCategory ? inUseFeeCategoryStatement() : feeCategoryStatement());
        const int category = result.indexOf(QStringLiteral("收费类别"));
        while (result.next())
            categories.append(result.textOrEmpty(category));
    }
    for (const QString& category : categories) {
        DbResult result = connection.query(
            query == FeeTreeQuery::InUseByCategory ? inUseFeeItemsStatement(category) : feeItemsStatement(category));
        const ItemFields f(result);
        bool first = true;
        while (result.next()) {
            sink(category, readItem(result, f.code, f.name, f.endDate), first);
            first = false;
        }
    }
}

QVector<FeeCategory> loadFeeItemTree(DbConnection& connection, FeeTreeQuery query)
{
    QVector<FeeCategory> tree;
    loadFeeItemTree(connection, query, [&tree](const QString& category, const FeeItem& item, bool startsCategory) {
        if (startsCategory)
            tree.append(FeeCategory { category, {} });
        tree.last().items.append(item);
    });
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

QStringList loadPaymentMethods(DbConnection& connection)
{
    QStringList methods;
    DbResult result = connection.query(paymentMethodStatement());
    const int method = result.indexOf(QStringLiteral("收款方式"));
    while (result.next())
        methods.append(result.textOrEmpty(method));
    return methods;
}

} // namespace fee
