#include "cli/demodb/demodbschema.h"

#include "cli/demodb/demodbwriter.h"
#include "db/sqlitefunctions.h"

namespace fee::demo {

namespace {

    constexpr ColumnType T = ColumnType::Text;
    constexpr ColumnType I = ColumnType::Integer;
    constexpr ColumnType R = ColumnType::Real;
    constexpr ColumnType D = ColumnType::Date;
    constexpr ColumnType K = ColumnType::Key;

    const std::vector<DemoTable> kTables = {
        { "员工档案", { { "ID", K }, { "工号", T }, { "帐号密码", T }, { "姓名", T }, { "离职日期", D } } },
        { "岗位员工new", { { "员工代号", T }, { "岗位代号", T }, { "主要岗位", I }, { "离岗日期", D } } },
        { "岗位信息new",
            { { "岗位代号", T }, { "岗位名称", T }, { "职能部门代号", T }, { "岗位类别代号", T }, { "工号", T } } },
        { "职能部门new",
            { { "职能部门编号", T }, { "职能部门名称", T }, { "职能部门类别代号", T }, { "终止日期", D } } },
        { "职能部门类别", { { "部门类别代号", T }, { "部门类别名称", T } } },
        { "岗位类别", { { "岗位类别编号", T }, { "岗位类别名称", T } } },
        { "设置管理处",
            { { "GYD_DH", T }, { "GYD_Name", T }, { "对应部门代号", T }, { "终止日期", D }, { "商用物业", I } } },
        { "SETUPSFXM", { { "DH", T }, { "XM", T }, { "收费类别", T }, { "终止日期", D } } },
        { "收款方式列表", { { "收款方式", T } } },
        { "楼表",
            { { "L_ID", K }, { "管理处", T }, { "地址1", T }, { "字1", T }, { "地址2", T }, { "字2", T },
                { "地址3", T }, { "字3", T }, { "地址4", T }, { "字4", T } } },
        { "室表", { { "S_ID", K }, { "L_ID", I }, { "室", T }, { "字", T }, { "建筑面积", R } } },
        { "业主表", { { "ZH_ID", K }, { "S_ID", I }, { "姓名", T }, { "说明", T } } },
        { "车库名", { { "管理处", T }, { "车库编号", T } } },
        { "车位申请登记表",
            { { "登记ID", K }, { "管理处", T }, { "车库编号", T }, { "地址", T }, { "车主姓名", T }, { "牌照号", T },
                { "用户类型", T } } },
        { "车位说明表", { { "ID", K }, { "管理处", T }, { "产权人", T } } },
        { "WYZJ",
            { { "ID", K }, { "ZH_ID", I }, { "DJ_ID", I }, { "CW_ID", I }, { "ZJ_LX", T }, { "ZJ_CNY", T },
                { "ZJ_JE", R }, { "收入", R }, { "ZJ_SKRQ", D }, { "zj_tkrq", D }, { "zj_bdrq", D }, { "zj_jzrq", D },
                { "zj_tzrq", D }, { "ZJ_BZ", T }, { "收款人", T }, { "收款方式", T }, { "票据入库单编号", T },
                { "发票号码", T } } },
        { "票据",
            { { "ID", K }, { "入库单编号", T }, { "票据编号", T }, { "付款人", T }, { "地址", T }, { "开票日期", D },
                { "开票人", T }, { "收款日期", D }, { "收款人", T }, { "收款方式", T }, { "备注", T },
                { "开票部门编号", T }, { "管理处", T }, { "退票日期", D }, { "作废日期", D }, { "内换日期", D },
                { "内换票据编号", T }, { "对应调换票据入库单", T }, { "被换票票据编号", T } } },
        { "票据开票数据",
            { { "ID", K }, { "票据id", I }, { "收费项目代号", T }, { "项目", T }, { "摘要", T }, { "金额", R },
                { "税额", R }, { "非日常", I } } },
    };

    // The set that keeps a monthly run's statements on index lookups. WYZJ is
    // deliberately not indexed on ZJ_LX alone: the planner would drive the
    // parking half of every statement by it, slower than a scan.
    const std::vector<std::string> kIndexes = {
        "CREATE INDEX ix_楼表_管理处 ON 楼表 (管理处)",
        "CREATE INDEX ix_室表_L_ID ON 室表 (L_ID)",
        "CREATE INDEX ix_业主表_S_ID ON 业主表 (S_ID)",
        "CREATE INDEX ix_车库名 ON 车库名 (管理处, 车库编号)",
        "CREATE INDEX ix_车位申请登记表 ON 车位申请登记表 (管理处, 车库编号)",
        "CREATE INDEX ix_车位说明表_管理处 ON 车位说明表 (管理处)",
        "CREATE INDEX ix_WYZJ_ZH_ID ON WYZJ (ZH_ID, ZJ_CNY, ZJ_LX, DJ_ID, ZJ_JE, ZJ_SKRQ, zj_tkrq, zj_bdrq, zj_jzrq, "
        "zj_tzrq, ZJ_BZ)",
        "CREATE INDEX ix_WYZJ_DJ_ID ON WYZJ (DJ_ID, ZJ_CNY, ZJ_LX, ZH_ID, ZJ_JE, ZJ_SKRQ, zj_tkrq, zj_bdrq, zj_jzrq, "
        "zj_tzrq, ZJ_BZ) WHERE DJ_ID IS NOT NULL",
        "CREATE INDEX ix_WYZJ_CW_ID ON WYZJ (CW_ID) WHERE CW_ID IS NOT NULL",
        "CREATE INDEX ix_票据_管理处 ON 票据 (管理处)",
        "CREATE INDEX ix_票据_收款日期 ON 票据 (收款日期)",
        "CREATE INDEX ix_票据_开票部门编号 ON 票据 (开票部门编号)",
        "CREATE INDEX ix_票据_被换票票据编号 ON 票据 (被换票票据编号) WHERE 被换票票据编号 IS NOT NULL",
        "CREATE INDEX ix_票据开票数据_票据id ON 票据开票数据 (票据id)",
        "CREATE UNIQUE INDEX ix_设置管理处_GYD_DH ON 设置管理处 (GYD_DH)",
        "CREATE UNIQUE INDEX ix_SETUPSFXM_DH ON SETUPSFXM (DH)",
        "CREATE UNIQUE INDEX ix_员工档案_工号 ON 员工档案 (工号)",
        "CREATE INDEX ix_岗位员工new_员工代号 ON 岗位员工new (员工代号)",
        "CREATE UNIQUE INDEX ix_岗位信息new_岗位代号 ON 岗位信息new (岗位代号)",
        "CREATE UNIQUE INDEX ix_职能部门new_编号 ON 职能部门new (职能部门编号)",
    };

    std::string columnDeclaration(const DemoColumn& column, const std::string& collate)
    {
        switch (column.type) {
        case ColumnType::Key:
            return column.name + " INTEGER PRIMARY KEY";
        case ColumnType::Integer:
            return column.name + " INTEGER";
        case ColumnType::Real:
            return column.name + " REAL";
        case ColumnType::Text:
        case ColumnType::Date:
            break;
        }
        return column.name + " TEXT" + collate;
    }

} // namespace

const std::vector<DemoTable>& demoTables() { return kTables; }

namespace {

    std::string tableDeclaration(const DemoTable& table, bool plainCollation)
    {
        const std::string collate = plainCollation ? std::string() : std::string(" COLLATE ") + kSqliteCollation;
        std::string sql = "CREATE TABLE " + table.name + " (";
        bool first = true;
        for (const DemoColumn& column : table.columns) {
            sql += (first ? "" : ", ") + columnDeclaration(column, collate);
            first = false;
        }
        return sql + ")";
    }

} // namespace

std::string demoSchemaScript(bool plainCollation)
{
    std::string script;
    for (const DemoTable& table : kTables)
        script += tableDeclaration(table, plainCollation) + ";\n";
    return script;
}

void createDemoTables(DemoDbWriter& writer, bool plainCollation)
{
    for (const DemoTable& table : kTables) {
        writer.execute(tableDeclaration(table, plainCollation));
        std::vector<std::string> names;
        for (const DemoColumn& column : table.columns)
            names.push_back(column.name);
        writer.declareInsert(table.name, names);
    }
}

void createDemoIndexes(DemoDbWriter& writer)
{
    for (const std::string& sql : kIndexes)
        writer.execute(sql);
}

} // namespace fee::demo
