#include "reports/daily/dailystatements.h"

#include "core/textformat.h"
#include "db/sqlquote.h"

namespace fee {

namespace {

    QString day(const QDate& date) { return sqlQuote(formatDate(date, QStringLiteral("yyyymmdd"))); }

    // " ... Between '{start}' and '{end}'"
    QString range(const DailyStatementInput& input)
    {
        return day(input.start) + QStringLiteral(" and ") + day(input.end);
    }

    QString invoicePayeeClause(const DailyStatementInput& input)
    {
        return input.payee.isEmpty() ? QString() : QStringLiteral(" AND 票据.收款人=") + sqlQuote(input.payee);
    }

    QString ledgerPayeeClause(const DailyStatementInput& input)
    {
        return input.payee.isEmpty() ? QString() : QStringLiteral(" AND WYZJ.收款人=") + sqlQuote(input.payee);
    }

    // Piece 3 of both invoice fragments.
    const QString kInvoiceFrom = QStringLiteral(" FROM  票据 INNER JOIN 票据开票数据 ON 票据.ID = 票据开票数据.票据id "
                                                "Inner Join 设置管理处 On 票据.开票部门编号=设置管理处.对应部门代号");

    // The household address: the eight address terms, each "" when NULL.
    const QString kAddress = QStringLiteral(" (CAse When [地址1] Is Not Null Then [地址1] Else '' End) +"
                                            " (CAse When [字1] Is Not Null Then [字1] Else '' End) +"
                                            " (CAse When [地址2] Is Not Null Then [地址2] Else '' End) +"
                                            " (CAse When [字2] Is Not Null Then [字2] Else '' End) +"
                                            " (CAse When [地址3] Is Not Null Then [地址3] Else '' End) +"
                                            " (CAse When [字3] Is Not Null Then [字3] Else '' End) +"
                                            " (CAse When [地址4] Is Not Null Then [地址4] Else '' End) +"
                                            " (CAse When [字4] Is Not Null Then [字4] Else '' End) ");

    // Piece 2 of the two parking fragments.
    const QString kParkingColumns = QStringLiteral(
        " '' As 开票日期,'' As 开票人,WYZJ.zj_skrq As 收款日期,WYZJ.收款人 As 收款人, Sum(WYZJ.ZJ_JE-WYZJ.收入) As "
        "税额,WYZJ.收款方式,Null AS 备注,Null AS 内换票据编号,Null AS 对应调换票据入库单,Null AS 内换日期  ");

    // Pieces 6 to 8 of the two parking fragments.
    QString parkingConditions(const DailyStatementInput& input)
    {
        return QStringLiteral(" And Convert(char(8),WYZJ.ZJ_SKRQ,112) Between ") + range(input)
            + QStringLiteral(" and WYZJ.ZJ_LX in (") + input.items + QStringLiteral(")")
            + QStringLiteral(" AND WYZJ.ZH_ID IS NULL And WYZJ.收款方式 In (") + input.methods
            + QStringLiteral(") And (WYZJ.票据入库单编号 is null or WYZJ.票据入库单编号='') and (发票号码 is null or "
                             "发票号码='') ")
            + ledgerPayeeClause(input);
    }

} // namespace

QString dailySwappedOutStatement(const QString& officeCode)
{
    return QStringLiteral(" Select 对应调换票据入库单 + 内换票据编号  From 票据  Inner Join 设置管理处 On "
                          "票据.开票部门编号=设置管理处.对应部门代号  Where 设置管理处.GYD_DH=")
        + sqlQuote(officeCode)
        + QStringLiteral(
            "  And 内换日期 Is Not Null  And 内换票据编号 Is Not Null  And 对应调换票据入库单 Is Not Null");
}

QString dailySwappedInStatement(const QString& officeCode)
{
    return QStringLiteral("Select 入库单编号 + 票据编号  From 票据  Inner Join 设置管理处 On "
                          "票据.开票部门编号=设置管理处.对应部门代号  Where 设置管理处.GYD_DH=")
        + sqlQuote(officeCode)
        + QStringLiteral("  And 被换票票据编号 Is Not Null  And 入库单编号 Is Not Null  And 票据编号 Is Not Null");
}

QString dailyInvoiceScopeClause(const DailyStatementInput& input)
{
    const QString office = sqlQuote(input.officeCode);
    switch (input.scope) {
    case DailyScope::ByDepartment:
        return QStringLiteral(" WHERE 设置管理处.对应部门代号=") + sqlQuote(input.departmentCode)
            + QStringLiteral(" And 票据.管理处 is Null  ");
    case DailyScope::ByOffice:
        return QStringLiteral(" WHERE 设置管理处.GYD_DH=") + office + QStringLiteral(" AND 票据.管理处=") + office
            + QStringLiteral(" ");
    case DailyScope::AllDepartments:
        break;
    }
    return QStringLiteral(" WHERE 设置管理处.GYD_DH=") + office + QStringLiteral(" ");
}

QString dailyLedgerScopeClause(const DailyStatementInput& input, DailyLedger ledger)
{
    if (input.scope == DailyScope::ByDepartment)
        return ledger == DailyLedger::Households ? QStringLiteral(" Where 1=0") : QStringLiteral(" Where 1=0 ");
    const QString office = sqlQuote(input.officeCode);
    switch (ledger) {
    case DailyLedger::Households:
        return QStringLiteral(" Where 楼表.管理处=") + office;
    case DailyLedger::ParkingRegistrations:
        return QStringLiteral(" Where 车位申请登记表.管理处=") + office;
    case DailyLedger::ParkingSpaces:
        break;
    }
    return QStringLiteral(" Where 车位说明表.管理处=") + office;
}

QString dailyFragmentA(const DailyStatementInput& input)
{
    return QStringLiteral(" SELECT 票据.入库单编号, 票据.票据编号, 票据.付款人, 票据.地址, 票据开票数据.项目, "
                          "票据开票数据.摘要, 票据开票数据.金额,票据.开票日期,票据.开票人, ")
        + QStringLiteral(" 票据.收款日期, 票据.收款人, 票据开票数据.税额,票据.收款方式,票据.备注,票据.内换票据编号,"
                         "票据.对应调换票据入库单,票据.内换日期")
        + kInvoiceFrom + dailyInvoiceScopeClause(input)
        + QStringLiteral(" And Convert(Char(8), 票据.收款日期, 112) Between ") + range(input) + QStringLiteral(" ")
        + QStringLiteral(" And Convert(Char(8), 票据.开票日期, 112) Between ") + range(input) + QStringLiteral(" ")
        + QStringLiteral("  AND 票据.退票日期 IS NULL  AND 票据.作废日期 IS NULL ")
        + QStringLiteral(" And (票据.入库单编号 + 票据.票据编号 Is Null Or 票据.入库单编号 + 票据.票据编号 Not In (")
        + dailySwappedOutStatement(input.officeCode) + QStringLiteral(") ")
        + QStringLiteral(" and 票据.入库单编号 + 票据.票据编号 Not In (") + dailySwappedInStatement(input.officeCode)
        + QStringLiteral(")) ") + QStringLiteral(" and 票据.收款方式 in (") + input.methods
        + QStringLiteral(") and 票据开票数据.收费项目代号 in (") + input.items + QStringLiteral(")")
        + invoicePayeeClause(input) + QStringLiteral("  AND 票据开票数据.非日常=0");
}

QString dailyFragmentB(const DailyStatementInput& input)
{
    return QStringLiteral(
               " SELECT 票据.入库单编号, 票据.票据编号+'(预开收款)' As 票据编号, 票据.付款人,票据.地址, "
               "票据开票数据.项目, 票据开票数据.摘要, 票据开票数据.金额 As 金额, 票据.开票日期, 票据.开票人, ")
        + QStringLiteral(" 票据.收款日期, 票据.收款人,  票据开票数据.税额,票据.收款方式,票据.备注,票据.内换票据编号,"
                         "票据.对应调换票据入库单,票据.内换日期")
        + kInvoiceFrom + dailyInvoiceScopeClause(input)
        + QStringLiteral(" And Convert(Char(8), 票据.收款日期, 112) Between ") + range(input) + QStringLiteral(" ")
        + QStringLiteral(" And Convert(Char(8), 票据.开票日期, 112) Not Between ") + range(input) + QStringLiteral(" ")
        + QStringLiteral(" AND 票据.退票日期 IS NULL  AND 票据.作废日期 IS NULL ")
        + QStringLiteral(" and (票据.入库单编号 + 票据.票据编号 Is Null Or 票据.入库单编号 + 票据.票据编号 Not In (")
        + dailySwappedInStatement(input.officeCode) + QStringLiteral(")) ") + QStringLiteral(" and 票据.收款方式 in (")
        + input.methods + QStringLiteral(") and 票据开票数据.收费项目代号 in (") + input.items + QStringLiteral(")")
        + invoicePayeeClause(input) + QStringLiteral("  AND 票据开票数据.非日常=0");
}

QString dailyFragmentH(const DailyStatementInput& input)
{
    return QStringLiteral(" Select '' As 入库单编号,'不记录票据信息' As 票据编号 ,  业主表.姓名 As 付款人, ") + kAddress
        + QStringLiteral("+室表.室 + '室' as 地址,SetupSFXM.XM As 项目,Min(WYZJ.ZJ_CNY) + '-' + Max(WYZJ.ZJ_CNY) As "
                         "摘要,Sum(WYZJ.ZJ_JE) As 金额, ")
        + QStringLiteral(" Null As 开票日期,Null As 开票人,WYZJ.zj_skrq As 收款日期,WYZJ.收款人 As 收款人, "
                         "Sum(WYZJ.ZJ_JE-WYZJ.收入) As 税额,WYZJ.收款方式,Null AS 备注,Null AS 内换票据编号,Null AS "
                         "对应调换票据入库单,Null AS 内换日期")
        + QStringLiteral(
            " From 楼表 Inner Join 室表 On 楼表.L_id=室表.L_id Inner Join 业主表  on 室表.S_ID=业主表.S_ID ")
        + QStringLiteral(" Inner Join WYZJ On 业主表.ZH_ID=WYZJ.ZH_ID Inner Join SETUPSFXM On WYZJ.ZJ_LX=SETUPSFXM.DH ")
        + dailyLedgerScopeClause(input, DailyLedger::Households)
        + QStringLiteral(" AND Convert(char(8),WYZJ.ZJ_SKRQ,112) Between ") + range(input)
        + QStringLiteral(" and WYZJ.ZJ_LX in (") + input.items + QStringLiteral(") ")
        + QStringLiteral(" And WYZJ.收款方式 In (") + input.methods
        + QStringLiteral(
            ") And (WYZJ.票据入库单编号 is null or WYZJ.票据入库单编号='' ) and (发票号码 is null or 发票号码 "
            "= '') ")
        + ledgerPayeeClause(input)
        + QStringLiteral(
            " Group By (CAse When [地址1] Is Not Null Then [地址1] Else '' End) + (CAse When [字1] Is Not Null Then "
            "[字1] Else '' End) + (CAse When [地址2] Is Not Null Then [地址2] Else '' End) + (CAse When [字2] Is Not "
            "Null Then [字2] Else '' End) + (CAse When [地址3] Is Not Null Then [地址3] Else '' End) + (CAse When "
            "[字3] Is Not Null Then [字3] Else '' End) + (CAse When [地址4] Is Not Null Then [地址4] Else '' End) + "
            "(CAse When [字4] Is Not Null Then [字4] Else '' End),室表.室 "
            ",业主表.姓名,SetupSFXM.XM,WYZJ.zj_skrq,WYZJ.收款人,WYZJ.收款方式");
}

QString dailyFragmentR(const DailyStatementInput& input)
{
    return QStringLiteral(" Select '' As 入库单编号,'不记录票据信息' As 票据编号,  车位申请登记表.车主姓名 As 付款人, "
                          "车位申请登记表.地址 As 地址,  SetupSFXM.XM As "
                          "项目,min(WYZJ.ZJ_CNY)+'-'+max(WYZJ.ZJ_CNY) As 摘要,Sum(WYZJ.ZJ_JE) As 金额, ")
        + kParkingColumns + QStringLiteral(" From WYZJ Inner Join 车位申请登记表 On WYZJ.DJ_ID=车位申请登记表.登记ID")
        + QStringLiteral(" Inner Join SETUPSFXM On WYZJ.ZJ_LX=SETUPSFXM.DH")
        + dailyLedgerScopeClause(input, DailyLedger::ParkingRegistrations) + parkingConditions(input)
        + QStringLiteral("Group By 车位申请登记表.车主姓名,车位申请登记表.地址,SetupSFXM.XM,WYZJ.zj_skrq,WYZJ.收款人,"
                         "WYZJ.收款方式 ");
}

QString dailyFragmentS(const DailyStatementInput& input)
{
    return QStringLiteral(" Select '' As 入库单编号,'不记录票据信息' As 票据编号,  车位说明表.产权人 As 付款人,'' as "
                          "地址, SetupSFXM.XM As 项目,min(WYZJ.ZJ_CNY)+'-'+max(WYZJ.ZJ_CNY) As 摘要,Sum(WYZJ.ZJ_JE) As "
                          "金额, ")
        + kParkingColumns + QStringLiteral(" From WYZJ Inner Join 车位说明表 On WYZJ.CW_ID=车位说明表.ID")
        + QStringLiteral(" Inner Join SETUPSFXM On WYZJ.ZJ_LX=SETUPSFXM.DH")
        + dailyLedgerScopeClause(input, DailyLedger::ParkingSpaces) + parkingConditions(input)
        + QStringLiteral("Group By 车位说明表.产权人,SetupSFXM.XM,WYZJ.zj_skrq,WYZJ.收款人,WYZJ.收款方式 ");
}

QString dailyReceiptsStatement(const DailyStatementInput& input)
{
    return dailyFragmentA(input) + QStringLiteral(" Union All ") + dailyFragmentB(input) + QStringLiteral(" Union All ")
        + dailyFragmentH(input) + QStringLiteral("  Union All ") + dailyFragmentR(input) + QStringLiteral(" Union All ")
        + dailyFragmentS(input) + QStringLiteral(" Order By 收款日期,入库单编号,票据编号,付款人");
}

QString dailyExchangeMarkingStatement(const QStringList& invoiceNumbers)
{
    QStringList parts;
    parts.reserve(invoiceNumbers.size());
    for (qsizetype k = 0; k < invoiceNumbers.size(); ++k)
        parts.append(QStringLiteral("select %1 As 序号, 票据编号 from 票据 where 被换票票据编号 = ").arg(k)
            + sqlQuote(invoiceNumbers.at(k)));
    return parts.join(QStringLiteral(" Union All "));
}

QString dailyPayeeListStatement(const QString& departmentCode)
{
    return QStringLiteral("SELECT 岗位信息new.职能部门代号, 员工档案.姓名,员工档案.ID, 岗位信息new.岗位代号 FROM "
                          "岗位信息new INNER JOIN 员工档案 ON 岗位信息new.工号 = 员工档案.工号 WHERE "
                          "(岗位信息new.职能部门代号 = N")
        + sqlQuote(departmentCode) + QStringLiteral(") ORDER BY 岗位信息new.岗位代号");
}

QString dailyAllPayeesStatement()
{
    return QStringLiteral(
        "SELECT 员工档案.姓名 FROM 岗位信息new INNER JOIN 员工档案 ON 岗位信息new.工号 = 员工档案.工号");
}

} // namespace fee
