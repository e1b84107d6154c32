#pragma once

#include "db/sqlitefunctions.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <sqlite3.h>

namespace fixture {

// The fee tables the data layer's tests read, with the real names. With
// `collate` the text columns carry the database collation, as the embedded
// databases do; a server that does not know it gets plain text columns.
inline QString schema(bool collate)
{
    const QString c = collate ? QStringLiteral(" COLLATE Chinese_PRC_CI_AS") : QString();
    return QStringLiteral(
        "CREATE TABLE 设置管理处 (GYD_DH TEXT%1, GYD_Name TEXT%1, 对应部门代号 TEXT%1, 终止日期 DATETIME, 商用物业 "
        "INTEGER);"
        "CREATE TABLE 楼表 (L_ID INTEGER, 管理处 TEXT%1, 地址1 TEXT%1, 字1 TEXT%1, 地址2 TEXT%1, 字2 TEXT%1, 地址3 "
        "TEXT%1, 字3 TEXT%1, 地址4 TEXT%1, 字4 TEXT%1);"
        "CREATE TABLE 室表 (L_ID INTEGER, S_ID INTEGER, 室 TEXT%1, 字 TEXT%1);"
        "CREATE TABLE 业主表 (S_ID INTEGER, ZH_ID INTEGER, 姓名 TEXT%1, 说明 TEXT%1);"
        "CREATE TABLE 车位申请登记表 (登记ID INTEGER, 管理处 TEXT%1, 车库编号 TEXT%1, 地址 TEXT%1, 车主姓名 TEXT%1, "
        "牌照号 TEXT%1, 用户类型 TEXT%1);"
        "CREATE TABLE 车库名 (管理处 TEXT%1, 车库编号 TEXT%1);"
        "CREATE TABLE SETUPSFXM (DH TEXT%1, XM TEXT%1, 收费类别 TEXT%1, 终止日期 DATETIME);"
        "CREATE TABLE WYZJ (ZH_ID INTEGER, DJ_ID INTEGER, CW_ID INTEGER, ZJ_LX TEXT%1, ZJ_CNY TEXT%1, ZJ_JE REAL, "
        "收入 REAL, ZJ_SKRQ DATETIME, zj_tkrq DATETIME, zj_bdrq DATETIME, zj_jzrq DATETIME, zj_tzrq DATETIME, ZJ_BZ "
        "TEXT%1);"
        "CREATE TABLE 岗位员工new (员工代号 TEXT%1, 岗位代号 TEXT%1, 主要岗位 BIT, 离岗日期 DATETIME);"
        "CREATE TABLE 员工档案 (工号 TEXT%1, 姓名 TEXT%1, 帐号密码 TEXT%1, 离职日期 DATETIME, ID INTEGER);")
        .arg(c);
}

inline QString rows()
{
    return QStringLiteral(
        "INSERT INTO 设置管理处 VALUES ('01','一处','D1',NULL,0), ('0101','二处','D2','2020-01-31',0), ('03  "
        "','Third',NULL,NULL,1);"
        "INSERT INTO 楼表 VALUES (1,'01','花园路',NULL,'3','号',NULL,NULL,'A','栋');"
        "INSERT INTO 室表 VALUES (1,10,'101',NULL), (1,11,'102','B');"
        "INSERT INTO 业主表 VALUES (10,100,'张三','新进户'), (11,101,'开发商','新进户');"
        "INSERT INTO 车位申请登记表 VALUES (7,'01','G1',NULL,'李四','粤A123','月租');"
        "INSERT INTO 车库名 VALUES ('01','G1');"
        "INSERT INTO SETUPSFXM VALUES ('01','物业费','物业',NULL), ('2','车位费','车位',NULL);"
        "INSERT INTO WYZJ VALUES "
        "(100,NULL,NULL,'01','202401',0.1,0.09,'2024-01-05',NULL,NULL,NULL,NULL,NULL),"
        "(100,NULL,NULL,'01','202402',0.2,0.18,'2024-02-05 10:20:30',NULL,NULL,NULL,NULL,NULL),"
        "(101,NULL,NULL,'01','202403',-0.3,-0.27,NULL,NULL,NULL,NULL,NULL,NULL),"
        "(101,NULL,NULL,'01','202312',100.25,90,'2024-03-01',NULL,NULL,NULL,NULL,'减免'),"
        "(NULL,7,NULL,'2','202401',50,45,'2024-01-20 08:00:00',NULL,NULL,NULL,NULL,NULL);"
        "INSERT INTO 岗位员工new VALUES ('E1','P1',1,NULL), ('E1','P2',0,'2023-06-30');"
        "INSERT INTO 员工档案 VALUES ('1','张三','',NULL,1), ('2','李四',NULL,NULL,2), ('3','王五','x',NULL,3), "
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
