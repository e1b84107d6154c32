#include "app/positionchoice.h"

#include "db/dbconnection.h"
#include "db/sqlquote.h"

namespace fee {

QString trimSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString positionEntryText(const QString& departmentName, const QString& positionName, bool mainPosition)
{
    return departmentName + QLatin1Char(' ') + positionName + QLatin1Char('(')
        + (mainPosition ? QStringLiteral("主要") : QStringLiteral("兼职")) + QLatin1Char(')');
}

QString employeeCheckStatement(const QString& user, const QString& password)
{
    return QStringLiteral("Select * From 员工档案 Where 工号 =") + sqlQuote(user) + QStringLiteral(" and 帐号密码=")
        + sqlQuote(password);
}

QString positionStatement(const QString& user)
{
    return QStringLiteral(
               "Select 员工档案.姓名,职能部门类别.部门类别代号,职能部门类别.部门类别名称,岗位类别.岗位类别编号,"
               "岗位类别名称,")
        + QStringLiteral(
            " 职能部门new.职能部门编号 , 职能部门new.职能部门名称, 岗位信息new.岗位代号, 岗位信息new.岗位名称,")
        + QStringLiteral(" 岗位员工new.主要岗位 From 岗位员工new")
        + QStringLiteral(" Inner joIn 岗位信息new on 岗位员工new.岗位代号 = 岗位信息new.岗位代号")
        + QStringLiteral(" Inner joIn 职能部门new on 岗位信息new.职能部门代号 = 职能部门new.职能部门编号")
        + QStringLiteral(" Inner joIn 岗位类别 on 岗位信息new.岗位类别代号 = 岗位类别.岗位类别编号")
        + QStringLiteral(" Inner joIn 职能部门类别 on 职能部门new.职能部门类别代号 = 职能部门类别.部门类别代号")
        + QStringLiteral(" Inner joIn 员工档案 on 岗位员工new.员工代号 = 员工档案.工号")
        + QStringLiteral(" Where 岗位员工new.员工代号=") + sqlQuote(user)
        + QStringLiteral(" and 员工档案.离职日期 is null AND (岗位员工new.离岗日期 IS NULL)");
}

PositionChoice positionChoiceFromRow(const QString& user, const DbResult& row)
{
    static const char* const kColumns[] = { "姓名", "职能部门编号", "职能部门名称", "岗位代号", "岗位名称",
        "部门类别代号", "部门类别名称", "岗位类别编号", "岗位类别名称" };
    PositionChoice choice;
    choice.field(0) = user;
    for (int i = 0; i < 9; ++i)
        choice.field(i + 1) = row.text(QString::fromUtf8(kColumns[i]));
    return choice;
}

} // namespace fee
