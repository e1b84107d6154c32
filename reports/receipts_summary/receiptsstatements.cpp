#include "reports/receipts_summary/receiptsstatements.h"

#include "core/textformat.h"
#include "db/sqlquote.h"

#include <QHash>

namespace fee {

namespace {

    using Values = QHash<QString, QString>;

    // Puts the values into a template's {name} places in one pass, so a value
    // that itself holds braces is never read as a place.
    QString fill(const QString& text, const Values& values)
    {
        QString out;
        out.reserve(text.size() * 2);
        qsizetype i = 0;
        while (i < text.size()) {
            const qsizetype open = text.indexOf(QLatin1Char('{'), i);
            if (open < 0) {
                out += QStringView(text).mid(i);
                break;
            }
            const qsizetype close = text.indexOf(QLatin1Char('}'), open);
            const QString name = close < 0 ? QString() : text.mid(open + 1, close - open - 1);
            const auto value = values.constFind(name);
            if (value == values.cend()) {
                out += QStringView(text).mid(i, open - i + 1);
                i = open + 1;
                continue;
            }
            out += QStringView(text).mid(i, open - i);
            out += *value;
            i = close + 1;
        }
        return out;
    }

    QString dashDate(const QDate& d) { return sqlQuote(formatDate(d, QStringLiteral("yyyy-mm-dd"))); }
    QString eightDate(const QDate& d) { return sqlQuote(formatDate(d, QStringLiteral("yyyymmdd"))); }

    // The start year and the two after it, quoted: {year} is the date's
    // "yyyy", the others plain decimal numbers.
    QString yearOf(const QDate& start, int plus)
    {
        return sqlQuote(plus == 0 ? formatDate(start, QStringLiteral("yyyy")) : QString::number(start.year() + plus));
    }

    const QString kSummary = QStringLiteral("{part1} Union {part2}  Union {part3} Union {part4} Order By 收费类别,DH");

    const QString kPart1 = QStringLiteral(
        " Select SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM,  0 as 收历年JE, 0 AS 收历年SR, 0 as 收当年JE, 0 AS "
        "收当年SR, 0 as 收明年JE, 0 AS 收明年SR, 0 as 收明年后JE, 0 AS 收明年后SR, SUM(票据开票数据.金额) as 非日常JE, "
        " "
        "Sum(Case When 票据开票数据.税额 Is Null Then 票据开票数据.金额 Else 票据开票数据.金额-票据开票数据.税额 End) "
        "As "
        "非日常SR , 1 AS 汇总类别 FROM 票据  INNER JOIN 票据开票数据 ON 票据.ID = 票据开票数据.票据id  Inner Join "
        "设置管理处 On 票据.开票部门编号=设置管理处.对应部门代号 Inner Join SetupSFXM ON "
        "票据开票数据.收费项目代号=SetupSFXM.DH{office_clause} AND 票据.收款日期 Between {start_dash} and {end_dash}  "
        "AND 票据.退票日期 IS NULL  AND 票据.作废日期 IS NULL  And (票据.入库单编号 + 票据.票据编号 Is Null Or "
        "票据.入库单编号 + 票据.票据编号 Not In ({exclusion_a}) and 票据.入库单编号 + 票据.票据编号 Not In "
        "({exclusion_b}))  and 票据.收款方式 in "
        "({payment_methods})  and 票据开票数据.收费项目代号 in ({fee_items}) And 非日常=1 And 票据.收款日期 Is Not "
        "Null Group BY SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM");

    const QString kWrapper = QStringLiteral(
        "{wrapper_head} A.收历年JE, A.收历年SR, B.收当年JE, B.收当年SR, C.收明年JE , C.收明年SR,  D.收明年后JE, "
        "D.收明年后SR, {category_columns} From setupsfxm Left Join ({part_a}) A On setupsfxm.dh=A.dh Left Join "
        "({part_b}) B On setupsfxm.dh=B.dh Left Join ({part_c}) C On setupsfxm.dh=C.dh Left Join ({part_d}) D On "
        "setupsfxm.dh=D.dh Where 收历年JE Is Not Null OR 收当年JE is not null or 收明年JE Is Not Null Or 收明年后JE Is "
        "Not Null");

    const QString kHousehold = QStringLiteral(
        "{select_head}{je_column}{sr_column} From 楼表 Inner Join 室表 On 楼表.L_id=室表.L_id  Inner Join 业主表  on "
        "室表.S_ID=业主表.S_ID  Inner Join 设置管理处 ON 楼表.管理处=设置管理处.GYD_DH   Inner Join WYZJ On "
        "业主表.ZH_ID=WYZJ.ZH_ID  Inner Join SETUPSFXM On WYZJ.ZJ_LX=SETUPSFXM.DH {year_condition} AND "
        "Convert(char(8),WYZJ.ZJ_SKRQ,112) Between {start_8} and {end_8}  and WYZJ.ZJ_LX in ({fee_items})  And "
        "WYZJ.收款方式 In ({payment_methods}) {ledger_office_clause} Group By "
        "SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM");

    const QString kParkingRegistration = QStringLiteral(
        "{select_head}{je_column}{sr_column} From WYZJ  Inner Join 车位申请登记表 On WYZJ.DJ_ID=车位申请登记表.登记ID "
        "Inner Join 设置管理处 On 车位申请登记表.管理处=设置管理处.GYD_DH   Inner Join SETUPSFXM On "
        "WYZJ.ZJ_LX=SETUPSFXM.DH{year_condition} AND Convert(char(8),WYZJ.ZJ_SKRQ,112) Between {start_8} and {end_8}  "
        "and WYZJ.ZJ_LX in ({fee_items}) AND WYZJ.ZH_ID IS NULL  And WYZJ.收款方式 In ({payment_methods}) "
        "{ledger_office_clause} Group By SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM");

    const QString kParkingSpace = QStringLiteral(
        "{select_head}{je_column}{sr_column} From WYZJ  Inner Join 车位说明表 On WYZJ.CW_ID=车位说明表.ID Inner Join "
        "SETUPSFXM On WYZJ.ZJ_LX=SETUPSFXM.DH Inner Join 设置管理处 On "
        "车位说明表.管理处=设置管理处.GYD_DH{year_condition} AND Convert(char(8),WYZJ.ZJ_SKRQ,112) Between {start_8} "
        "and {end_8}  and WYZJ.ZJ_LX in ({fee_items}) AND WYZJ.ZH_ID IS NULL  And WYZJ.收款方式 In "
        "({payment_methods}) {ledger_office_clause} Group By SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM");

    const QString kHeadWithBlank = QStringLiteral(" Select SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM, ");
    const QString kHeadWithoutBlank = QStringLiteral("Select SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM, ");

    // The four year groups of a ledger category.
    struct YearGroup {
        const char* name; // column stem: 收历年, 收当年, 收明年, 收明年后
        const char* comparison;
        int plus; // years after the start year
    };
    const YearGroup kYearGroups[] = {
        { "收历年", " < ", 0 },
        { "收当年", " = ", 0 },
        { "收明年", " = ", 1 },
        { "收明年后", " >= ", 2 },
    };

    const QString kCumulative
        = QStringLiteral("select SUM(JE) as je from ({c1} Union {c2}  Union {c3} Union {c4}) as table1 group by DH");

    const QString kCumulative1 = QStringLiteral(
        " Select SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM,  SUM(票据开票数据.金额) as JE  FROM 票据  INNER JOIN "
        "票据开票数据 ON 票据.ID = 票据开票数据.票据id  Inner Join 设置管理处 On "
        "票据.开票部门编号=设置管理处.对应部门代号 "
        "Inner Join SetupSFXM ON 票据开票数据.收费项目代号=SetupSFXM.DH{office_clause} AND 票据.收款日期 Between "
        "{start_dash} and {end_dash}  AND 票据.退票日期 IS NULL  AND 票据.作废日期 IS NULL  And (票据.入库单编号 + "
        "票据.票据编号 Is Null Or 票据.入库单编号 + 票据.票据编号 Not In ({exclusion_a}) and 票据.入库单编号 + "
        "票据.票据编号 Not In ({exclusion_b}))  and "
        "票据.收款方式 in ({payment_methods})  and 票据开票数据.收费项目代号 ={item_code} Group BY "
        "SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM");

    const QString kCumulative2 = QStringLiteral(
        " Select SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM,  SUM(WYZJ.ZJ_JE) as JE From 楼表 Inner Join 室表 On "
        "楼表.L_id=室表.L_id  Inner Join 业主表  on 室表.S_ID=业主表.S_ID  Inner Join 设置管理处 ON "
        "楼表.管理处=设置管理处.GYD_DH   Inner Join WYZJ On 业主表.ZH_ID=WYZJ.ZH_ID  Inner Join SETUPSFXM On "
        "WYZJ.ZJ_LX=SETUPSFXM.DH  Where Convert(char(8),WYZJ.ZJ_SKRQ,112) Between {start_8} and {end_8}  and "
        "WYZJ.ZJ_LX ={item_code} And WYZJ.收款方式 In ({payment_methods})  And (WYZJ.票据入库单编号 is null or "
        "WYZJ.票据入库单编号='' ) and (发票号码 is null or 发票号码 = '') {ledger_office_clause} Group By "
        "SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM");

    const QString kCumulative3 = QStringLiteral(
        " Select SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM,  SUM(wyzj.zj_je) as JE  From WYZJ  Inner Join "
        "车位申请登记表 On WYZJ.DJ_ID=车位申请登记表.登记ID Inner Join 设置管理处 On "
        "车位申请登记表.管理处=设置管理处.GYD_DH   Inner Join SETUPSFXM On WYZJ.ZJ_LX=SETUPSFXM.DH Where "
        "Convert(char(8),WYZJ.ZJ_SKRQ,112) Between {start_8} and {end_8}  and WYZJ.ZJ_LX ={item_code} AND WYZJ.ZH_ID "
        "IS NULL  And WYZJ.收款方式 In ({payment_methods}) {ledger_office_clause} Group By "
        "SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM");

    const QString kCumulative4 = QStringLiteral(
        "Select SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM,  SUM(wyzj.zj_je) as JE  From WYZJ  Inner Join "
        "车位说明表 On WYZJ.CW_ID=车位说明表.ID Inner Join SETUPSFXM On WYZJ.ZJ_LX=SETUPSFXM.DH Inner Join 设置管理处 "
        "On 车位说明表.管理处=设置管理处.GYD_DH Where  Convert(char(8),WYZJ.ZJ_SKRQ,112) Between {start_8} and "
        "{end_8}  and WYZJ.ZJ_LX ={item_code} AND WYZJ.ZH_ID IS NULL  And WYZJ.收款方式 In ({payment_methods}) "
        "{ledger_office_clause} Group By SetupSFXM.收费类别,SetupSFXM.DH,SetupSFXM.XM");

    // The detail lists' exclusions differ from the summary's in their blanks.
    const QString kDetailExclusionA = QStringLiteral(
        " Select 对应调换票据入库单 + 内换票据编号  From 票据 Inner Join 设置管理处 On "
        "票据.开票部门编号=设置管理处.对应部门代号  Where 设置管理处.GYD_DH={office_code} And 内换日期 Is Not Null "
        "And 内换票据编号 Is Not Null And 对应调换票据入库单 Is Not Null");
    const QString kDetailExclusionB = QStringLiteral(
        " Select 入库单编号 + 票据编号  From 票据 Inner Join 设置管理处 On 票据.开票部门编号=设置管理处.对应部门代号  "
        "Where 设置管理处.GYD_DH={office_code} And 被换票票据编号 Is Not Null And 入库单编号 Is Not Null "
        "And 票据编号 Is Not Null");

    const QString kInvoiceDetails = QStringLiteral(
        " SELECT 票据.入库单编号, 票据.票据编号, 票据.付款人, 票据开票数据.项目, 票据开票数据.摘要, 票据开票数据.金额, "
        " "
        "Case When 票据开票数据.税额 Is Null Then 票据开票数据.金额 Else 票据开票数据.金额-票据开票数据.税额 End As "
        "SR,  "
        "票据.收款日期, 票据.收款人, 票据.开票人,票据.开票日期 FROM 票据  Inner Join 票据开票数据 ON 票据.ID = "
        "票据开票数据.票据id  Inner Join 设置管理处 On 票据.开票部门编号=设置管理处.对应部门代号 WHERE "
        "设置管理处.GYD_DH={office_code} AND Convert(char(8),票据.收款日期,112) Between {start_8} and {end_8}  AND "
        "票据.退票日期 IS NULL  AND 票据.作废日期 IS NULL  And (票据.入库单编号 + 票据.票据编号 Is Null Or "
        "票据.入库单编号 + 票据.票据编号 Not In ({exclusion_a})  and 票据.入库单编号 + 票据.票据编号 Not In "
        "({exclusion_b}))  and 票据.收款方式 in ({payment_methods})  and "
        "票据开票数据.收费项目代号 in ({item}) And 非日常=1  And 票据.收款日期 Is Not Null  Order By "
        "入库单编号,票据编号,付款人");

    const QString kAddressTerms = QStringLiteral(
        "(Case When [地址1] Is Not Null Then [地址1] Else '' End) + (Case When [字1] Is Not Null Then [字1] Else '' "
        "End) + (Case When [地址2] Is Not Null Then [地址2] Else '' End) + (Case When [字2] Is Not Null Then [字2] "
        "Else "
        "'' End) + (Case When [地址3] Is Not Null Then [地址3] Else '' End) + (Case When [字3] Is Not Null Then [字3] "
        "Else '' End) + (Case When [地址4] Is Not Null Then [地址4] Else '' End) + (Case When [字4] Is Not Null Then "
        "[字4] Else '' End)");

    const QString kHouseholdDetails = QStringLiteral(
        " Select wyzj.票据入库单编号 as 入库单编号, wyzj.发票号码 as 票据编号,  {address} +室表.室 + '室'+' "
        "'+业主表.姓名 "
        "as 付款人,  SetupSFXM.XM as 项目,  min(wyzj.zj_cny)+'-'+max(wyzj.zj_cny) as 摘要,  sum(wyzj.zj_je) as 金额, "
        "sum(wyzj.收入) as SR,  wyzj.zj_skrq as 收款日期,wyzj.收款人 as 收款人, '' as 开票人,'' as 开票日期  From 楼表 "
        " Inner Join 室表 On 楼表.L_id=室表.L_id  Inner Join 业主表  on 室表.S_ID=业主表.S_ID  Inner Join WYZJ On "
        "业主表.ZH_ID=WYZJ.ZH_ID  Inner Join SETUPSFXM On WYZJ.ZJ_LX=SETUPSFXM.DH  Where 楼表.管理处={office_code}  "
        "and "
        "Convert(char(8),WYZJ.ZJ_SKRQ,112) Between {start_8} and {end_8} and WYZJ.ZJ_LX in ({item})  And "
        "WYZJ.收款方式 In ({payment_methods}) {years} Group By {address}, 室表.室 "
        ",业主表.姓名,SetupSFXM.XM,wyzj.zj_skrq,wyzj.收款人, 票据入库单编号, 发票号码 Order By "
        "入库单编号,票据编号,付款人");

    const QString kParkingRegistrationDetails = QStringLiteral(
        "Select WYZJ.票据入库单编号 as 入库单编号, WYZJ.发票号码 as 票据编号,  车位申请登记表.车主姓名 as 付款人,  "
        "SetupSFXM.XM as 项目,min(wyzj.zj_cny)+'-'+max(wyzj.zj_cny) as 摘要, sum(wyzj.zj_je) as 金额, sum(wyzj.收入) "
        "as "
        "SR, wyzj.zj_skrq as 收款日期,wyzj.收款人 as 收款人, '' as 开票人,'' as 开票日期  From WYZJ  Inner Join "
        "车位申请登记表 On WYZJ.DJ_ID=车位申请登记表.登记ID Inner Join SETUPSFXM On WYZJ.ZJ_LX=SETUPSFXM.DH Where "
        "车位申请登记表.管理处={office_code}  and Convert(char(8),WYZJ.ZJ_SKRQ,112) Between {start_8} and {end_8}  and "
        "WYZJ.ZJ_LX in ({item}) AND WYZJ.ZH_ID IS NULL And WYZJ.收款方式 In ({payment_methods})  And "
        "(WYZJ.票据入库单编号 is null or WYZJ.票据入库单编号='') and (发票号码 is null or 发票号码='') {years}Group By "
        "车位申请登记表.车主姓名,SetupSFXM.XM,wyzj.zj_skrq,wyzj.收款人, 票据入库单编号, 发票号码  Order By "
        "入库单编号,票据编号,付款人");

    const QString kParkingSpaceDetails = QStringLiteral(
        " Select WYZJ.票据入库单编号 as 入库单编号, WYZJ.发票号码 as 票据编号,  车位说明表.产权人 as 付款人,  "
        "SetupSFXM.XM as 项目, min(wyzj.zj_cny)+'-'+max(wyzj.zj_cny) as 摘要, sum(wyzj.zj_je) as 金额, sum(wyzj.收入) "
        "as "
        "SR,  wyzj.zj_skrq as 收款日期,wyzj.收款人 as 收款人,'' as 开票人,'' as 开票日期  From WYZJ  Inner Join "
        "车位说明表 On WYZJ.CW_ID=车位说明表.ID Inner Join SETUPSFXM On WYZJ.ZJ_LX=SETUPSFXM.DH Where "
        "车位说明表.管理处={office_code}  and Convert(char(8),WYZJ.ZJ_SKRQ,112) Between {start_8} and {end_8}  and "
        "WYZJ.ZJ_LX in ({item}) AND WYZJ.ZH_ID IS NULL  And WYZJ.收款方式 In ({payment_methods}) {years}Group By "
        "车位说明表.产权人,SetupSFXM.XM,wyzj.zj_skrq,wyzj.收款人, 票据入库单编号, 发票号码 Order By "
        "入库单编号,票据编号,付款人");

    QString ledgerOfficeClause(int category, ReceiptsMode mode, const QString& officeCode)
    {
        if (mode == ReceiptsMode::ByDepartment)
            return QStringLiteral(" And 1=0");
        switch (category) {
        case 2:
            return QStringLiteral(" And 楼表.管理处=") + sqlQuote(officeCode);
        case 3:
            return QStringLiteral(" And 车位申请登记表.管理处=") + sqlQuote(officeCode);
        default:
            return QStringLiteral(" And 车位说明表.管理处=") + sqlQuote(officeCode);
        }
    }

    QString ledgerSubPart(
        int category, const YearGroup& group, bool last, const ReceiptsStatementInput& input, const QString& officeCode)
    {
        const QString name = QString::fromUtf8(group.name);
        Values v;
        // Only the household parts and the first three parking-registration
        // parts begin with a blank.
        v[QStringLiteral("select_head")]
            = category == 2 || (category == 3 && !last) ? kHeadWithBlank : kHeadWithoutBlank;
        if (category == 2) {
            v[QStringLiteral("je_column")] = QStringLiteral(" SUM(WYZJ.ZJ_JE) as ") + name + QStringLiteral("JE,");
            v[QStringLiteral("sr_column")] = QStringLiteral(" SUM(WYZJ.收入) as ") + name + QStringLiteral("SR");
        } else {
            v[QStringLiteral("je_column")] = QStringLiteral(" SUM(wyzj.zj_je) as ") + name + QStringLiteral("JE, ");
            v[QStringLiteral("sr_column")] = QStringLiteral(" SUM(WYZJ.收入) as ") + name + QStringLiteral("SR ");
        }
        v[QStringLiteral("year_condition")] = QStringLiteral(" Where Left(zj_cny,4)")
            + QString::fromLatin1(group.comparison) + yearOf(input.start, group.plus);
        v[QStringLiteral("start_8")] = eightDate(input.start);
        v[QStringLiteral("end_8")] = eightDate(input.end);
        v[QStringLiteral("fee_items")] = input.feeItems;
        v[QStringLiteral("payment_methods")] = input.paymentMethods;
        v[QStringLiteral("ledger_office_clause")] = ledgerOfficeClause(category, input.mode, officeCode);
        const QString& body = category == 2 ? kHousehold : (category == 3 ? kParkingRegistration : kParkingSpace);
        return fill(body, v);
    }

    Values receiptLineValues(const ReceiptsStatementInput& input, const QString& officeCode)
    {
        return {
            { QStringLiteral("office_clause"), receiptsOfficeClause(input.mode, officeCode, input.departmentCode) },
            { QStringLiteral("start_dash"), dashDate(input.start) },
            { QStringLiteral("end_dash"), dashDate(input.end) },
            { QStringLiteral("exclusion_a"), receiptsExclusionA(officeCode) },
            { QStringLiteral("exclusion_b"), receiptsExclusionB(officeCode) },
            { QStringLiteral("payment_methods"), input.paymentMethods },
            { QStringLiteral("fee_items"), input.feeItems },
        };
    }

    Values detailValues(const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode)
    {
        const QString years = QStringLiteral(" And (Left(zj_cny,4) < ") + yearOf(input.start, 0)
            + QStringLiteral(" Or Left(zj_cny,4) = ") + yearOf(input.start, 0) + QStringLiteral(" Or Left(zj_cny,4) = ")
            + yearOf(input.start, 1) + QStringLiteral(" Or Left(zj_cny,4) >= ") + yearOf(input.start, 2)
            + QLatin1Char(')');
        return {
            { QStringLiteral("office_code"), sqlQuote(officeCode) },
            { QStringLiteral("item"), sqlQuote(itemCode) },
            { QStringLiteral("payment_methods"), input.paymentMethods },
            { QStringLiteral("start_8"), eightDate(input.start) },
            { QStringLiteral("end_8"), eightDate(input.end) },
            { QStringLiteral("years"), years },
            { QStringLiteral("address"), kAddressTerms },
        };
    }

} // namespace

QString receiptsOfficeClause(ReceiptsMode mode, const QString& officeCode, const QString& departmentCode)
{
    switch (mode) {
    case ReceiptsMode::ByDepartment:
        return QStringLiteral(" WHERE 设置管理处.对应部门代号=") + sqlQuote(departmentCode)
            + QStringLiteral(" And 票据.管理处 is Null ");
    case ReceiptsMode::ByOffice:
        return QStringLiteral(" WHERE 设置管理处.GYD_DH=") + sqlQuote(officeCode) + QStringLiteral(" AND 票据.管理处=")
            + sqlQuote(officeCode) + QLatin1Char(' ');
    case ReceiptsMode::AllDepartments:
        break;
    }
    return QStringLiteral(" WHERE 设置管理处.GYD_DH=") + sqlQuote(officeCode) + QLatin1Char(' ');
}

QString receiptsExclusionA(const QString& officeCode)
{
    return QStringLiteral(" Select 对应调换票据入库单 + 内换票据编号  From 票据  Inner Join 设置管理处 On "
                          "票据.开票部门编号=设置管理处.对应部门代号  Where 设置管理处.GYD_DH=")
        + sqlQuote(officeCode)
        + QStringLiteral(" And 内换日期 Is Not Null And 内换票据编号 Is Not Null And 对应调换票据入库单 Is Not Null");
}

QString receiptsExclusionB(const QString& officeCode)
{
    return QStringLiteral("Select 入库单编号 + 票据编号  From 票据 Inner Join 设置管理处 On "
                          "票据.开票部门编号=设置管理处.对应部门代号  Where 设置管理处.GYD_DH=")
        + sqlQuote(officeCode)
        + QStringLiteral(" And 被换票票据编号 Is Not Null And 入库单编号 Is Not Null And 票据编号 Is Not Null");
}

QString receiptsLedgerPart(int category, const ReceiptsStatementInput& input, const QString& officeCode)
{
    Values v;
    v[QStringLiteral("wrapper_head")] = category == 3
        ? QStringLiteral("Select setupsfxm.收费类别, setupsfxm.dh, setupsfxm.xm,")
        : QStringLiteral(" Select setupsfxm.收费类别, setupsfxm.dh, setupsfxm.xm,");
    v[QStringLiteral("category_columns")] = QStringLiteral(" 0 as 非日常JE, 0 AS 非日常SR, ")
        + QString::number(category) + QStringLiteral(" AS 汇总类别");
    const char* const names[] = { "part_a", "part_b", "part_c", "part_d" };
    for (int g = 0; g < 4; ++g)
        v[QString::fromLatin1(names[g])] = ledgerSubPart(category, kYearGroups[g], g == 3, input, officeCode);
    return fill(kWrapper, v);
}

QString receiptsSummaryStatement(const ReceiptsStatementInput& input, const QString& officeCode)
{
    return fill(kSummary,
        {
            { QStringLiteral("part1"), fill(kPart1, receiptLineValues(input, officeCode)) },
            { QStringLiteral("part2"), receiptsLedgerPart(2, input, officeCode) },
            { QStringLiteral("part3"), receiptsLedgerPart(3, input, officeCode) },
            { QStringLiteral("part4"), receiptsLedgerPart(4, input, officeCode) },
        });
}

QString receiptsCumulativeStatement(
    const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode)
{
    Values v = receiptLineValues(input, officeCode);
    v[QStringLiteral("item_code")] = sqlQuote(itemCode);
    v[QStringLiteral("start_8")] = eightDate(input.start);
    v[QStringLiteral("end_8")] = eightDate(input.end);
    Values parts;
    parts[QStringLiteral("c1")] = fill(kCumulative1, v);
    v[QStringLiteral("ledger_office_clause")] = ledgerOfficeClause(2, input.mode, officeCode);
    parts[QStringLiteral("c2")] = fill(kCumulative2, v);
    v[QStringLiteral("ledger_office_clause")] = ledgerOfficeClause(3, input.mode, officeCode);
    parts[QStringLiteral("c3")] = fill(kCumulative3, v);
    v[QStringLiteral("ledger_office_clause")] = ledgerOfficeClause(4, input.mode, officeCode);
    parts[QStringLiteral("c4")] = fill(kCumulative4, v);
    return fill(kCumulative, parts);
}

QString invoiceDetailsStatement(const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode)
{
    Values v = detailValues(input, officeCode, itemCode);
    v[QStringLiteral("exclusion_a")] = fill(kDetailExclusionA, v);
    v[QStringLiteral("exclusion_b")] = fill(kDetailExclusionB, v);
    return fill(kInvoiceDetails, v);
}

QString householdDetailsStatement(
    const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode)
{
    return fill(kHouseholdDetails, detailValues(input, officeCode, itemCode));
}

QString parkingRegistrationDetailsStatement(
    const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode)
{
    return fill(kParkingRegistrationDetails, detailValues(input, officeCode, itemCode));
}

QString parkingSpaceDetailsStatement(
    const ReceiptsStatementInput& input, const QString& officeCode, const QString& itemCode)
{
    return fill(kParkingSpaceDetails, detailValues(input, officeCode, itemCode));
}

} // namespace fee
