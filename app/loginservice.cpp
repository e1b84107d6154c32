#include "app/loginservice.h"

#include "db/dbconnection.h"

namespace fee {

LoginCheck checkLogin(DbConnection& connection, const QString& user, const QString& password)
{
    LoginCheck check;
    {
        DbResult employee = connection.query(employeeCheckStatement(user, trimSpaces(password)));
        check.employeeFound = employee.next();
    }
    if (!check.employeeFound)
        return check;

    DbResult rows = connection.query(positionStatement(user));
    const int mainPosition = rows.indexOf(QStringLiteral("主要岗位"));
    const int department = rows.indexOf(QStringLiteral("职能部门名称"));
    const int position = rows.indexOf(QStringLiteral("岗位名称"));
    while (rows.next()) {
        LoginPosition entry;
        entry.entryText = positionEntryText(rows.text(department), rows.text(position), rows.boolean(mainPosition));
        entry.choice = positionChoiceFromRow(user, rows);
        check.positions.append(entry);
    }
    return check;
}

} // namespace fee
