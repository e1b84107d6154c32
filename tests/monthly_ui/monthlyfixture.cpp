#include "monthlyfixture.h"

#include "tests/support/feeschema.h"

#include <QFile>
#include <sqlite3.h>
#include <stdexcept>

namespace {

// Fee items: two categories, one with an "X" in its name; item 02 has ended.
const char* const kFeeItems = R"(
INSERT INTO SETUPSFXM (DH, XM, 收费类别, 终止日期) VALUES ('01', '住宅物业费', '物业费', NULL);
INSERT INTO SETUPSFXM (DH, XM, 收费类别, 终止日期) VALUES ('02', '车位费', '物业费', '2019-12-31');
INSERT INTO SETUPSFXM (DH, XM, 收费类别, 终止日期) VALUES ('03', '水费', 'X其他', NULL);
)";

// Offices: "9" sorts first (shorter code); 03 has ended, 04 belongs to an
// ended department; 10 is commercial. 01's name carries a line break.
const char* const kOffices = R"(
INSERT INTO 职能部门new (职能部门编号, 职能部门名称, 终止日期) VALUES ('D1', '一部', NULL);
INSERT INTO 职能部门new (职能部门编号, 职能部门名称, 终止日期) VALUES ('D2', '旧部', '2015-01-01');
INSERT INTO 设置管理处 (GYD_DH, GYD_Name, 对应部门代号, 终止日期, 商用物业) VALUES ('01', '一号' || char(13) || char(10) || '管理处', 'D1', NULL, 0);
INSERT INTO 设置管理处 (GYD_DH, GYD_Name, 对应部门代号, 终止日期, 商用物业) VALUES ('02', '二号管理处', 'D1', NULL, 0);
INSERT INTO 设置管理处 (GYD_DH, GYD_Name, 对应部门代号, 终止日期, 商用物业) VALUES ('9', '九号管理处', 'D1', NULL, 0);
INSERT INTO 设置管理处 (GYD_DH, GYD_Name, 对应部门代号, 终止日期, 商用物业) VALUES ('03', '停用管理处', 'D1', '2018-05-01', 0);
INSERT INTO 设置管理处 (GYD_DH, GYD_Name, 对应部门代号, 终止日期, 商用物业) VALUES ('04', '旧部管理处', 'D2', NULL, 0);
INSERT INTO 设置管理处 (GYD_DH, GYD_Name, 对应部门代号, 终止日期, 商用物业) VALUES ('10', '商场管理处', 'D1', NULL, 1);
)";

// One household in 01, one in 02, one in 10; one parking registration in 01.
const char* const kProperty = R"(
INSERT INTO 楼表 (L_ID, 管理处, 地址1, 字1, 地址2, 字2, 地址3, 字3, 地址4, 字4) VALUES (1, '01', 'A栋', NULL, NULL, NULL, NULL, NULL, NULL, NULL);
INSERT INTO 楼表 (L_ID, 管理处, 地址1, 字1, 地址2, 字2, 地址3, 字3, 地址4, 字4) VALUES (2, '02', 'B栋', NULL, NULL, NULL, NULL, NULL, NULL, NULL);
INSERT INTO 楼表 (L_ID, 管理处, 地址1, 字1, 地址2, 字2, 地址3, 字3, 地址4, 字4) VALUES (3, '10', 'C座', NULL, NULL, NULL, NULL, NULL, NULL, NULL);
INSERT INTO 室表 (L_ID, S_ID, 室, 字) VALUES (1, 11, '101', '室');
INSERT INTO 室表 (L_ID, S_ID, 室, 字) VALUES (2, 21, '202', NULL);
INSERT INTO 室表 (L_ID, S_ID, 室, 字) VALUES (3, 31, '301', '室');
INSERT INTO 业主表 (S_ID, ZH_ID, 姓名, 说明) VALUES (11, 1001, '张三', '新进户');
INSERT INTO 业主表 (S_ID, ZH_ID, 姓名, 说明) VALUES (21, 2001, '李四', '新进户');
INSERT INTO 业主表 (S_ID, ZH_ID, 姓名, 说明) VALUES (31, 3001, '王五', '新进户');
INSERT INTO 车库名 (管理处, 车库编号) VALUES ('01', 'G1');
INSERT INTO 车位申请登记表 (登记ID, 管理处, 车库编号, 地址, 车主姓名, 牌照号, 用户类型) VALUES (7, '01', 'G1', NULL, '赵六', '粤A12345', '业主');
)";

// Statistics date used by the tests: 2020-06-15.
const char* const kLedger = R"(
INSERT INTO WYZJ (ZH_ID, DJ_ID, ZJ_LX, ZJ_CNY, ZJ_JE, ZJ_SKRQ) VALUES (1001, NULL, '01', '202006', 100, '2020-06-10');
INSERT INTO WYZJ (ZH_ID, DJ_ID, ZJ_LX, ZJ_CNY, ZJ_JE, ZJ_SKRQ) VALUES (1001, NULL, '01', '202001', 200, '2020-01-05');
INSERT INTO WYZJ (ZH_ID, DJ_ID, ZJ_LX, ZJ_CNY, ZJ_JE, ZJ_SKRQ) VALUES (1001, NULL, '01', '201912', 50, NULL);
INSERT INTO WYZJ (ZH_ID, DJ_ID, ZJ_LX, ZJ_CNY, ZJ_JE, ZJ_SKRQ) VALUES (2001, NULL, '01', '202003', 80, NULL);
INSERT INTO WYZJ (ZH_ID, DJ_ID, ZJ_LX, ZJ_CNY, ZJ_JE, ZJ_SKRQ) VALUES (3001, NULL, '01', '202002', 300, '2020-02-01');
INSERT INTO WYZJ (ZH_ID, DJ_ID, ZJ_LX, ZJ_CNY, ZJ_JE, ZJ_SKRQ) VALUES (NULL, 7, '02', '202006', 40, '2020-06-01');
)";

void exec(sqlite3* db, const char* script)
{
    char* error = nullptr;
    if (sqlite3_exec(db, script, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "sqlite error";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

} // namespace

QString writeMonthlyFixture(const QString& path, FixtureKind kind)
{
    QFile::remove(path);
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot create the fixture database");
    try {
        if (kind == FixtureKind::NoTables)
            exec(db, "CREATE TABLE unrelated (x INTEGER);");
        else {
            // A database without the ledger table until the ledger is written.
            const QByteArray schema = fixture::feeSchema(false, { QStringLiteral("WYZJ") }).toUtf8();
            exec(db, schema.constData());
            exec(db, kFeeItems);
        }
        if (kind == FixtureKind::Normal || kind == FixtureKind::NoLedger) {
            exec(db, kOffices);
            exec(db, kProperty);
        }
        if (kind == FixtureKind::Normal) {
            exec(db, fixture::feeTable(false, QStringLiteral("WYZJ")).toUtf8().constData());
            exec(db, kLedger);
        }
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
    return QStringLiteral("Provider=SQLite;Data Source=") + path;
}
