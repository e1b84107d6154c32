#include "reports/shared/officelist.h"

#include "db/dbconnection.h"

namespace fee {

QString monthlyOfficeListStatement(bool commercial)
{
    return QStringLiteral("Select 职能部门new.职能部门编号,职能部门new.职能部门名称,GYD_DH, GYD_Name,商用物业 From "
                          "职能部门new inner join 设置管理处 on 职能部门new.职能部门编号 = 对应部门代号 Where "
                          "职能部门new.终止日期 Is Null And 设置管理处.终止日期 is null")
        + (commercial ? QStringLiteral(" And 商用物业=1") : QStringLiteral(" And 商用物业=0"))
        + QStringLiteral(" Order by len(gyd_dh),gyd_dh");
}

QString receiptsOfficeListStatement()
{
    return QStringLiteral("Select GYD_DH,GYD_Name From 设置管理处 Where  (商用物业=0 or 商用物业=2)  Order By GYD_dh");
}

QString dailyOfficeListStatement()
{
    return QStringLiteral("Select GYD_DH,GYD_Name  From 设置管理处 Where  (商用物业=0 or 商用物业=2)  Order By GYD_dh");
}

void loadOffices(DbConnection& connection, const QString& statement, OfficeNames names,
    const std::function<void(const Office&)>& sink)
{
    DbResult result = connection.query(statement);
    readOffices(result, names, sink);
}

void readOffices(DbResult& result, OfficeNames names, const std::function<void(const Office&)>& sink)
{
    const int code = result.indexOf(QStringLiteral("GYD_DH"));
    const int name = result.indexOf(QStringLiteral("GYD_Name"));
    while (result.next()) {
        Office office;
        office.code = result.text(code);
        office.name = result.textOrEmpty(name);
        if (names == OfficeNames::OnOneLine)
            office.name.remove(QStringLiteral("\r\n"));
        sink(office);
    }
}

QVector<Office> loadOffices(DbConnection& connection, const QString& statement, OfficeNames names)
{
    QVector<Office> offices;
    loadOffices(connection, statement, names, [&offices](const Office& o) { offices.append(o); });
    return offices;
}

} // namespace fee
