#pragma once

#include "db/sqlitefunctions.h"
#include "tests/support/feeschema.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <sqlite3.h>

namespace fixture {

// The fee tables the data layer's tests read, with the real names. With
// `collate` the text columns carry the database collation, as the embedded
// databases do; a server that does not know it gets plain text columns.
inline QString schema(bool collate) { return feeSchema(collate); }

inline QString rows()
{
    return QStringLiteral(
        "INSERT INTO 设置管理处 (GYD_DH, GYD_Name, 对应部门代号, 终止日期, 商用物业) VALUES ('01','一处','D1',NULL,0), "
        "('0101','二处','D2','2020-01-31',0), ('03  "
        "','Third',NULL,NULL,1);"
        "INSERT INTO 楼表 (L_ID, 管理处, 地址1, 字1, 地址2, 字2, 地址3, 字3, 地址4, 字4) VALUES "
        "(1,'01','花园路',NULL,'3','号',NULL,NULL,'A','栋');"
        "INSERT INTO 室表 (L_ID, S_ID, 室, 字) VALUES (1,10,'101',NULL), (1,11,'102','B');"
        "INSERT INTO 业主表 (S_ID, ZH_ID, 姓名, 说明) VALUES (10,100,'张三','新进户'), (11,101,'开发商','新进户');"
        "INSERT INTO 车位申请登记表 (登记ID, 管理处, 车库编号, 地址, 车主姓名, 牌照号, 用户类型) VALUES "
        "(7,'01','G1',NULL,'李四','粤A123','月租');"
        "INSERT INTO 车库名 (管理处, 车库编号) VALUES ('01','G1');"
        "INSERT INTO SETUPSFXM (DH, XM, 收费类别, 终止日期) VALUES ('01','物业费','物业',NULL), "
        "('2','车位费','车位',NULL);"
        "INSERT INTO WYZJ (ZH_ID, DJ_ID, CW_ID, ZJ_LX, ZJ_CNY, ZJ_JE, 收入, ZJ_SKRQ, zj_tkrq, zj_bdrq, zj_jzrq, "
        "zj_tzrq, ZJ_BZ) VALUES "
        "(100,NULL,NULL,'01','202401',0.1,0.09,'2024-01-05',NULL,NULL,NULL,NULL,NULL),"
        "(100,NULL,NULL,'01','202402',0.2,0.18,'2024-02-05 10:20:30',NULL,NULL,NULL,NULL,NULL),"
        "(101,NULL,NULL,'01','202403',-0.3,-0.27,NULL,NULL,NULL,NULL,NULL,NULL),"
        "(101,NULL,NULL,'01','202312',100.25,90,'2024-03-01',NULL,NULL,NULL,NULL,'减免'),"
        "(NULL,7,NULL,'2','202401',50,45,'2024-01-20 08:00:00',NULL,NULL,NULL,NULL,NULL);"
        "INSERT INTO 岗位员工new (员工代号, 岗位代号, 主要岗位, 离岗日期) VALUES ('E1','P1',1,NULL), "
        "('E1','P2',0,'2023-06-30');"
        "INSERT INTO 员工档案 (工号, 姓名, 帐号密码, 离职日期, ID) VALUES ('1','张三','',NULL,1), "
        "('2','李四',NULL,NULL,2), ('3','王五','x',NULL,3), "
        "('4','abc','',NULL,4), ('5','ABD','',NULL,5), ('6','abc  ','',NULL,6);");
}

// Creates `path` afresh holding `script`; returns SQLite's message on failure.
inline QString create(const QString& path, const QString& script, bool collate = true)
{
    QFile::remove(path);
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return QStringLiteral("cannot create ") + path;
    if (collate)
        fee::registerSqliteFunctions(db);
    char* message = nullptr;
    QString error;
    if (sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        error = QString::fromUtf8(message);
        sqlite3_free(message);
    }
    sqlite3_close(db);
    return error;
}

inline QString createFeeDatabase(const QString& path, bool collate = true)
{
    return create(path, schema(collate) + rows(), collate);
}

} // namespace fixture
