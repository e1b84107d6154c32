#include "reports/daily/dailypayees.h"

#include "db/dbconnection.h"
#include "reports/daily/dailystatements.h"

namespace fee {

QStringList loadDailyPayees(DbConnection& connection, const QString& departmentCode)
{
    DbResult result = connection.query(dailyPayeeListStatement(departmentCode));
    const int name = result.indexOf(QStringLiteral("姓名"));
    QStringList payees;
    while (result.next())
        payees << result.textOrEmpty(name);
    return payees;
}

} // namespace fee
