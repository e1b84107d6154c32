#include "reports/monthly/monthlystatements.h"

#include "db/sqlquote.h"

#include <QMap>

namespace fee {

namespace {

    // Condition blocks shared by several measures. Blanks are part of the
    // statements the sites have always sent; keep them as they are.
    const QString kJzTz = QStringLiteral(
        " And ((zj_jzrq is null And zj_tzrq is null)  Or (zj_jzrq is not null And convert(char(8),zj_tzrq,112) > "
        "'{ymd}') Or (zj_jzrq is not null And convert(char(8),zj_tzrq,112) <= '{ymd}' And "
        "convert(char(6),zj_jzrq,112) > zj_cny))");
    const QString kOpenAtYearStart = QStringLiteral(" And (ZJ_SKRQ is null Or convert(char(4),zj_skrq,112) >= '{y}') "
                                                    "And (zj_bdrq is null Or convert(char(8),zj_bdrq,112) <= '{ymd}')")
        + kJzTz;
    const QString kCollectedThisMonth
        = QStringLiteral(" And convert(char(8),zj_skrq,112) Between '{ym}01' And '{ymd}' And zj_tkrq is null");
    const QString kNotRefunded = QStringLiteral(" And (zj_tkrq is null Or convert(char(8),zj_tkrq,112) > '{ymd}')");

    const QString kHouseholdVacancy = QStringLiteral(" And 业主表.姓名 = '开发商'");
    const QString kParkingVacancy = QStringLiteral(" And 车位申请登记表.车主姓名 = '开发商'");

    struct Part {
        const char* alias;
        QString conditions; // {sp}: one blank in the household half, two in the parking half
    };

    struct Measure {
        int firstColumn;
        int lastColumn;
        QVector<Part> parts;
        QString detailConditions; // empty: the single part's conditions
        bool parkingHeadBlank; // "as alias , 车库名.管理处" rather than "as alias ,车库名.管理处"
        bool vacancy;
        const char* amountHeading;
        bool outerHeadBlank = false; // "as alias , 管理处" rather than "as alias, 管理处" in the outer sum
    };

    const QVector<Measure>& measures()
    {
        static const QString kCollectedBy = QStringLiteral(" And convert(char(8),zj_skrq,112) <={sp}'{ymd}'");
        static const QVector<Measure> kMeasures {
            { 2, 2,
                {
                    { "前年前旧欠应收", " And ZJ_CNY < '{y_minus_2}01'" + kOpenAtYearStart },
                    { "前年旧欠应收",
                        " And ZJ_CNY < '{y_minus_1}01' And ZJ_CNY >= '{y_minus_2}01'" + kOpenAtYearStart },
                    { "去年旧欠应收", " And ZJ_CNY < '{y}01' And ZJ_CNY >= '{y_minus_1}01'" + kOpenAtYearStart },
                },
                " And left(ZJ_CNY,4) < '{y}'" + kOpenAtYearStart, false, false, "应收金额" },
            { 3, 3,
                {
                    { "收前年前旧欠", " And ZJ_CNY <'{y_minus_2}01'" + kCollectedThisMonth },
                    { "收前年旧欠",
                        " And ZJ_CNY <'{y_minus_1}01' And ZJ_CNY >= '{y_minus_2}01'" + kCollectedThisMonth },
                    { "收去年旧欠", " And ZJ_CNY <'{y}01' And ZJ_CNY >= '{y_minus_1}01'" + kCollectedThisMonth },
                },
                " And LEFT(ZJ_CNY,4) <'{y}'" + kCollectedThisMonth, true, false, "应收金额" },
            { 4, 4,
                { { "减免金额", " And ZJ_CNY < '{y}01' And convert(char(6),zj_bdrq,112) < '{y}01' And ZJ_BZ='减免'" } },
                " And left(ZJ_CNY,4) < '{y}' And convert(char(6),zj_bdrq,112) < '{y}01' And ZJ_BZ='减免'", false, false,
                "减免金额" },
            { 8, 8,
                { { "当年应收",
                    " And left(ZJ_CNY,4) = '{y}' And (ZJ_SKRQ is null Or convert(char(8),ZJ_SKRQ,112) <= '{ymd}')"
                        + kJzTz + kNotRefunded } },
                {}, true, false, "应收金额" },
            { 9, 20, { { "收当月", " And ZJ_CNY = '{y}{mm}'" + kCollectedBy + kNotRefunded } }, {}, true, false,
                "应收金额" },
            { 22, 22,
                { { "减免金额",
                    " And ZJ_CNY Between '{y}01' And '{ym}' And convert(char(8),zj_bdrq,112) Between '{y}0101' And "
                    "'{ymd}' And ZJ_BZ='减免'" } },
                {}, false, false, "减免金额" },
            { 23, 23, { { "空置金额", " And ZJ_CNY Between '{y}01' And '{ym}' And zj_skrq is null" } }, {}, false, true,
                "空置金额" },
            { 27, 27, { { "收明年", " And left(ZJ_CNY,4) = '{y_plus_1}'" + kCollectedBy + kNotRefunded } }, {}, true,
                false, "应收金额" },
            { 28, 28, { { "收后年", " And left(ZJ_CNY,4) = '{y_plus_2}'" + kCollectedBy + kNotRefunded } }, {}, true,
                false, "应收金额" },
            { 29, 29, { { "收后年以后", " And left(ZJ_CNY,4) >= '{y_plus_3}'" + kCollectedBy + kNotRefunded } }, {},
                true, false, "应收金额" },
            { 33, 33,
                { { "累计应收",
                    " And ZJ_CNY Between '{y}01' And '{ym}' And (ZJ_SKRQ is null Or convert(char(8),ZJ_SKRQ,112) <= "
                    "'{ymd}')"
                        + kJzTz + kNotRefunded } },
                {}, true, false, "应收金额" },
            { 34, 34,
                { { "累计实收",
                    " And (ZJ_CNY >= '{y}01' And ZJ_CNY <= '{ym}') And convert(char(8),zj_skrq,112) <= '{ymd}'"
                        + kNotRefunded } },
                {}, true, false, "应收金额", true },
        };
        return kMeasures;
    }

    const Measure* measureOf(int column)
    {
        for (const Measure& m : measures()) {
            if (column >= m.firstColumn && column <= m.lastColumn)
                return &m;
        }
        return nullptr;
    }

    enum class Half { Household, Parking };

    // Fills the placeholders of a condition template. Every literal that
    // carries a placeholder is rebuilt through sqlQuote.
    QString expand(const QString& tmpl, const QMap<QString, QString>& values, Half half)
    {
        QString text = tmpl;
        text.replace(QStringLiteral("{sp}"), half == Half::Parking ? QStringLiteral("  ") : QStringLiteral(" "));
        QString out;
        out.reserve(text.size() + 16);
        int pos = 0;
        while (pos < text.size()) {
            const int open = text.indexOf(QLatin1Char('\''), pos);
            if (open < 0) {
                out += text.mid(pos);
                break;
            }
            const int close = text.indexOf(QLatin1Char('\''), open + 1);
            if (close < 0) {
                out += text.mid(pos);
                break;
            }
            out += text.mid(pos, open - pos);
            QString literal = text.mid(open + 1, close - open - 1);
            if (literal.contains(QLatin1Char('{'))) {
                for (auto it = values.cbegin(); it != values.cend(); ++it)
                    literal.replace(QLatin1Char('{') + it.key() + QLatin1Char('}'), it.value());
                out += sqlQuote(literal);
            } else {
                out += QLatin1Char('\'') + literal + QLatin1Char('\'');
            }
            pos = close + 1;
        }
        return out;
    }

    QMap<QString, QString> placeholderValues(const MonthlyStatementInput& input, int month)
    {
        const QDate& d = input.statisticsDate;
        const int y = d.year();
        bool ok = false;
        int reportYear = input.reportYear.trimmed().toInt(&ok);
        if (!ok)
            reportYear = y;
        QMap<QString, QString> v;
        v.insert(QStringLiteral("y"), QStringLiteral("%1").arg(y, 4, 10, QLatin1Char('0')));
        v.insert(QStringLiteral("y_minus_1"), QString::number(y - 1));
        v.insert(QStringLiteral("y_minus_2"), QString::number(y - 2));
        v.insert(QStringLiteral("y_plus_1"), QString::number(reportYear + 1));
        v.insert(QStringLiteral("y_plus_2"), QString::number(reportYear + 2));
        v.insert(QStringLiteral("y_plus_3"), QString::number(reportYear + 3));
        v.insert(QStringLiteral("ym"),
            v.value(QStringLiteral("y")) + QStringLiteral("%1").arg(d.month(), 2, 10, QLatin1Char('0')));
        v.insert(QStringLiteral("ymd"),
            v.value(QStringLiteral("ym")) + QStringLiteral("%1").arg(d.day(), 2, 10, QLatin1Char('0')));
        v.insert(QStringLiteral("mm"), QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0')));
        return v;
    }

    QString householdSumHalf(
        const QString& alias, const QString& office, const QString& fees, const QString& conditions, bool vacancy)
    {
        return QStringLiteral("Select sum(wyzj.zj_je) as ") + alias
            + QStringLiteral(
                " ,管理处 From 楼表 Inner join 室表 on 楼表.L_ID = 室表.L_ID Inner join 业主表 on 室表.S_ID = "
                "业主表.S_ID Inner join WYZJ on 业主表.ZH_ID = WYZJ.ZH_ID Where 业主表.说明='新进户'")
            + (vacancy ? kHouseholdVacancy : QString()) + QStringLiteral(" And 管理处 =") + sqlQuote(office)
            + QStringLiteral(" And wyzj.zj_lx In (") + fees + QLatin1Char(')') + conditions
            + QStringLiteral(" And wyzj.dj_id is null Group by 管理处");
    }

    QString parkingSumHalf(const QString& alias, const QString& office, const QString& fees, const QString& conditions,
        bool headBlank, bool vacancy)
    {
        return QStringLiteral("Select sum(wyzj.zj_je) as ") + alias
            + (headBlank ? QStringLiteral(" , ") : QStringLiteral(" ,"))
            + QStringLiteral("车库名.管理处 From WYZJ Inner join 车位申请登记表 ON 车位申请登记表.登记ID = WYZJ.DJ_ID  "
                             "Inner join 车库名 ON 车库名.管理处 = 车位申请登记表.管理处 AND 车库名.车库编号 = "
                             "车位申请登记表.车库编号 Where 车库名.管理处 =")
            + sqlQuote(office) + (vacancy ? kParkingVacancy : QString()) + QStringLiteral(" And wyzj.zj_lx In (") + fees
            + QLatin1Char(')') + conditions + QStringLiteral(" Group by 车库名.管理处");
    }

    QString outerSum(const QString& alias, const QString& office, const QString& household, const QString& parking,
        bool headBlank)
    {
        // The cumulative-collection statement has always carried a blank before its comma.
        const QString head = QStringLiteral("Select sum(") + alias + QStringLiteral(") as ") + alias
            + (headBlank ? QStringLiteral(" , 管理处") : QStringLiteral(", 管理处"));
        return head + QStringLiteral(" From 设置管理处 Left Join (") + household + QStringLiteral(" Union All ")
            + parking + QStringLiteral(") Z On gyd_dh=Z.管理处 Where  gyd_dh =") + sqlQuote(office)
            + QStringLiteral(" Group by 管理处");
    }

    QString householdDetail(const QString& office, const QString& fees, const QString& conditions)
    {
        QString address;
        for (int i = 1; i <= 4; ++i) {
            for (const QString& part : { QStringLiteral("地址"), QStringLiteral("字") }) {
                const QString col = QStringLiteral("楼表.") + part + QString::number(i);
                if (!address.isEmpty())
                    address += QStringLiteral(" +  ");
                address += QStringLiteral("Case When ") + col + QStringLiteral(" Is Not Null Then ") + col
                    + QStringLiteral(" Else '' End");
            }
        }
        return QStringLiteral("Select ") + address
            + QStringLiteral(
                " AS DZ, 业主表.姓名, WYzj.zj_JE as 金额, WYzj.zj_skrq, zj_cny, SETUPSFXM.xm,  室表.室, 室表.字 From "
                "楼表 "
                "Inner join 室表 on 楼表.L_ID = 室表.L_ID Inner join 业主表 on 室表.S_ID = 业主表.S_ID Inner join WYZJ "
                "on 业主表.ZH_ID = WYZJ.ZH_ID Inner Join SETUPSFXM on wyzj.ZJ_LX = setupsfxm.DH Where "
                "业主表.说明='新进户' And 管理处 =")
            + sqlQuote(office) + QStringLiteral(" And wyzj.zj_lx In (") + fees + QLatin1Char(')') + conditions
            + QStringLiteral(" And wyzj.dj_id is null");
    }

    QString parkingDetail(const QString& office, const QString& fees, const QString& conditions)
    {
        return QStringLiteral(
                   "Select case when 车位申请登记表.地址 IS null then 用户类型 else 车位申请登记表.地址 end as dz, "
                   "Case "
                   "When 车主姓名  Is Not Null Then 车主姓名 + ' ' + 牌照号 Else 牌照号  End AS 姓名, wyzj.zj_je as "
                   "金额, WYzj.zj_skrq, zj_cny, SETUPSFXM.xm,   null as 室, null as 字 From WYZJ Inner join "
                   "车位申请登记表 ON 车位申请登记表.登记ID = WYZJ.DJ_ID Inner join 车库名 ON 车库名.管理处 = "
                   "车位申请登记表.管理处 AND 车库名.车库编号 = 车位申请登记表.车库编号 Inner Join SETUPSFXM on "
                   "wyzj.ZJ_LX = setupsfxm.DH Where 车库名.管理处 =")
            + sqlQuote(office) + QStringLiteral(" And wyzj.zj_lx In (") + fees + QLatin1Char(')') + conditions
            + QStringLiteral(" And wyzj.dj_id is not null");
    }

} // namespace

const QVector<int>& measureColumns()
{
    static const QVector<int> kColumns = [] {
        QVector<int> cols;
        for (const Measure& m : measures()) {
            for (int c = m.firstColumn; c <= m.lastColumn; ++c)
                cols.append(c);
        }
        return cols;
    }();
    return kColumns;
}

bool isMeasureColumn(int column) { return measureOf(column) != nullptr; }

QVector<MeasureStatement> summingStatements(int column, const MonthlyStatementInput& input)
{
    QVector<MeasureStatement> out;
    const Measure* m = measureOf(column);
    if (!m)
        return out;
    const auto values = placeholderValues(input, column - 8);
    const QString fees = sqlQuoteList(input.feeCodes);
    for (const Part& part : m->parts) {
        const QString alias = QString::fromUtf8(part.alias);
        const QString household
            = householdSumHalf(alias, input.office, fees, expand(part.conditions, values, Half::Household), m->vacancy);
        const QString parking = parkingSumHalf(
            alias, input.office, fees, expand(part.conditions, values, Half::Parking), m->parkingHeadBlank, m->vacancy);
        out.append({ alias, outerSum(alias, input.office, household, parking, m->outerHeadBlank) });
    }
    return out;
}

QVector<MeasureCondition> measureConditions(int column, const MonthlyStatementInput& input)
{
    QVector<MeasureCondition> out;
    const Measure* m = measureOf(column);
    if (!m)
        return out;
    const auto values = placeholderValues(input, column - 8);
    for (const Part& part : m->parts)
        out.append({ QString::fromUtf8(part.alias), expand(part.conditions, values, Half::Household), m->vacancy });
    return out;
}

QString detailStatement(int column, const MonthlyStatementInput& input)
{
    const Measure* m = measureOf(column);
    if (!m)
        return {};
    const auto values = placeholderValues(input, column - 8);
    const QString fees = sqlQuoteList(input.feeCodes);
    const QString tmpl = m->detailConditions.isEmpty() ? m->parts.first().conditions : m->detailConditions;
    // In the detail the vacancy filters stand right after the fee-item list.
    const QString household = householdDetail(
        input.office, fees, (m->vacancy ? kHouseholdVacancy : QString()) + expand(tmpl, values, Half::Household));
    const QString parking = parkingDetail(
        input.office, fees, (m->vacancy ? kParkingVacancy : QString()) + expand(tmpl, values, Half::Parking));
    return household + QStringLiteral(" Union All ") + parking + QStringLiteral(" order by DZ, 室,姓名, xm, zj_cny ");
}

QString detailAmountHeading(int column)
{
    const Measure* m = measureOf(column);
    return QString::fromUtf8(m ? m->amountHeading : "应收金额");
}

QString detailFormatString(int column)
{
    return QStringLiteral("^序 |<地址  |<姓名  |<收费项目  |<应收年月 |>") + detailAmountHeading(column)
        + QStringLiteral("  |<收款日期  ");
}

} // namespace fee
