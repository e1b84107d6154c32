#include "reports/monthly/monthlylists.h"

#include "common/textformat.h"
#include "db/dbconnection.h"

namespace fee {

QString officeListStatement(bool commercial)
{
    return QStringLiteral("Select 职能部门new.职能部门编号,职能部门new.职能部门名称,GYD_DH, GYD_Name,商用物业 From "
                          "职能部门new inner join 设置管理处 on 职能部门new.职能部门编号 = 对应部门代号 Where "
                          "职能部门new.终止日期 Is Null And 设置管理处.终止日期 is null")
        + (commercial ? QStringLiteral(" And 商用物业=1") : QStringLiteral(" And 商用物业=0"))
        + QStringLiteral(" Order by len(gyd_dh),gyd_dh");
}

QString feeItemTreeStatement() { return QStringLiteral("SELECT * FROM SETUPsfxm  ORDER BY 收费类别,DH"); }

QString officeEntryText(const MonthlyOffice& office) { return office.code + QLatin1Char(' ') + office.name; }

MonthlyOffice officeFromEntryText(const QString& entry)
{
    const int blank = entry.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return { entry, QString() };
    return { entry.left(blank), entry.mid(blank + 1) };
}

void loadOfficeList(DbConnection& connection, bool commercial, const std::function<void(const MonthlyOffice&)>& sink)
{
    DbResult result = connection.query(officeListStatement(commercial));
    while (result.next()) {
        MonthlyOffice office;
        office.code = result.text(QStringLiteral("GYD_DH"));
        // Names stored with line breaks still show on one line.
        office.name = result.textOrEmpty(QStringLiteral("GYD_Name")).remove(QStringLiteral("\r\n"));
        sink(office);
    }
}

QVector<MonthlyOffice> loadOfficeList(DbConnection& connection, bool commercial)
{
    QVector<MonthlyOffice> offices;
    loadOfficeList(connection, commercial, [&offices](const MonthlyOffice& o) { offices.append(o); });
    return offices;
}

void loadFeeItemTree(DbConnection& connection,
    const std::function<void(const QString& category, const FeeItem& item, bool startsCategory)>& sink)
{
    DbResult result = connection.query(feeItemTreeStatement());
    bool first = true;
    QString previous;
    while (result.next()) {
        const QString category = result.textOrEmpty(QStringLiteral("收费类别"));
        FeeItem item;
        item.code = result.text(QStringLiteral("DH"));
        item.name = result.textOrEmpty(QStringLiteral("XM"));
        item.endDate = result.date(QStringLiteral("终止日期"));
        item.endDateText = formatDate(item.endDate, QStringLiteral("yyyy-mm-dd"));
        const bool starts = first || category != previous;
        first = false;
        previous = category;
        sink(category, item, starts);
    }
}

QVector<FeeCategory> loadFeeItemTree(DbConnection& connection)
{
    QVector<FeeCategory> tree;
    loadFeeItemTree(connection, [&tree](const QString& category, const FeeItem& item, bool startsCategory) {
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

} // namespace fee
