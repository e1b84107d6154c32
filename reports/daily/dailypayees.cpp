#include "reports/daily/dailypayees.h"

#include "db/dbconnection.h"
#include "reports/daily/dailystatements.h"

namespace fee {

namespace {

    QStringList names(DbConnection& connection, const QString& statement)
    {
        DbResult result = connection.query(statement);
        const int name = result.indexOf(QStringLiteral("姓名"));
        QStringList payees;
        while (result.next())
            payees << result.textOrEmpty(name);
        return payees;
    }

} // namespace

QStringList loadDailyPayees(DbConnection& connection, const QString& departmentCode)
{
    return names(connection, dailyPayeeListStatement(departmentCode));
}

QStringList loadAllDailyPayees(DbConnection& connection) { return names(connection, dailyAllPayeesStatement()); }

} // namespace fee
