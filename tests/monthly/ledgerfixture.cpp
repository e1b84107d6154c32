#include "ledgerfixture.h"

#include "tests/support/feeschema.h"

#include <QFile>
#include <sqlite3.h>

namespace {

const char* const kRows = R"(

INSERT INTO 职能部门new (职能部门编号, 职能部门名称, 终止日期) VALUES ('D1','一部',NULL),('D2','二部',NULL),('D3','三部',NULL),('D4','四部',NULL),('D5','五部',NULL),('D6','六部',NULL),('D7','七部',NULL);
INSERT INTO 设置管理处 (GYD_DH, GYD_Name, 对应部门代号, 终止日期, 商用物业) VALUES ('06','F区','D6',NULL,0),('01','A区'||char(13)||char(10)||'花园','D1',NULL,0),('02','B区','D2',NULL,0),
  ('03','C区','D3',NULL,0),('04','D商场','D4',NULL,1),('05','E区','D5','2019-01-01',0),('07','G区','D7',NULL,0);
INSERT INTO SETUPSFXM (DH, XM, 收费类别, 终止日期) VALUES ('02','车位费','停车类',NULL),('01','物业费','物业类',NULL),('03','水费','物业类','2019-12-31');

INSERT INTO 楼表 (L_ID, 管理处, 地址1, 字1, 地址2, 字2, 地址3, 字3, 地址4, 字4) VALUES (1,'01','1号','楼',NULL,NULL,'东',NULL,NULL,NULL),(3,'06','6号楼',NULL,NULL,NULL,NULL,NULL,NULL,NULL),(4,'07','7号楼',NULL,NULL,NULL,NULL,NULL,NULL,NULL);
INSERT INTO 室表 (L_ID, S_ID, 室, 字) VALUES (1,1,'101','室'),(1,2,'102',NULL),(1,3,'103','室'),(3,4,'601','室'),(4,5,'701',NULL),(4,6,'702',NULL);
INSERT INTO 业主表 (S_ID, ZH_ID, 姓名, 说明) VALUES (1,1,'张三','新进户'),(2,2,'开发商','新进户'),(3,3,'李四','旧户'),(4,4,'赵六','新进户'),(5,5,'开发商','新进户'),(6,6,'钱七','新进户');
INSERT INTO 车库名 (管理处, 车库编号) VALUES ('01','G1'),('02','G2');
INSERT INTO 车位申请登记表 (登记ID, 管理处, 车库编号, 地址, 车主姓名, 牌照号, 用户类型) VALUES (1,'01','G1',NULL,'王五','粤A1','3业主'),(2,'01','G1','2号车库','开发商','粤A2','业主'),
  (3,'02','G2','车场',NULL,'粤B3','租户');

-- ZH_ID, DJ_ID, CW_ID, ZJ_LX, ZJ_CNY, ZJ_JE, 收入, ZJ_SKRQ, zj_tkrq, zj_bdrq, zj_jzrq, zj_tzrq, ZJ_BZ
INSERT INTO WYZJ (ZH_ID, DJ_ID, CW_ID, ZJ_LX, ZJ_CNY, ZJ_JE, 收入, ZJ_SKRQ, zj_tkrq, zj_bdrq, zj_jzrq, zj_tzrq, ZJ_BZ) VALUES
 (1,NULL,NULL,'01','201712',100,100,NULL,NULL,NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'01','201806',200,200,'2020-02-10',NULL,NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'01','201911',300,300,'2020-03-05 10:20:30',NULL,NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'01','201910',400,400,'2020-03-10','2020-03-20',NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'01','201905',500,500,'2019-12-20',NULL,NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'01','201908',600,600,NULL,NULL,'2020-04-01',NULL,NULL,NULL),
 (1,NULL,NULL,'01','201909',700,700,NULL,NULL,NULL,'2019-12-01','2020-01-10',NULL),
 (1,NULL,NULL,'01','201912',800,800,NULL,NULL,NULL,'2019-10-01','2020-01-10',NULL),
 (1,NULL,NULL,'01','201907',900,900,NULL,NULL,NULL,'2019-10-01','2020-05-01',NULL),
 (1,NULL,NULL,'01','201906',1000,1000,NULL,NULL,NULL,NULL,'2019-01-01',NULL),
 (1,NULL,NULL,'01','201905',50,50,NULL,NULL,'2019-06-01',NULL,NULL,'减免'),
 (1,NULL,NULL,'01','201911',60,60,NULL,NULL,'2020-02-01',NULL,NULL,'减免'),
 (1,NULL,NULL,'01','202001',120,120,'2020-01-15',NULL,NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'01','202002',130,130,'2020-03-01','2020-03-10',NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'01','202003',140,140,'2020-03-20',NULL,NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'01','202006',150,150,NULL,NULL,NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'01','202003',160,160,'2020-03-15 18:00:00','2020-03-16',NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'01','202002',30,30,NULL,NULL,'2020-02-20',NULL,NULL,'减免'),
 (1,NULL,NULL,'01','202101',1200,1200,'2020-03-01',NULL,NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'01','202205',1300,1300,'2020-02-01',NULL,NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'01','202301',1400,1400,'2020-03-15',NULL,NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'01','202501',1500,1500,'2020-01-01','2020-02-01',NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'01','202004',110,110,'2020-03-10',NULL,NULL,NULL,NULL,NULL),
 (2,NULL,NULL,'01','202001',80,80,NULL,NULL,NULL,NULL,NULL,NULL),
 (2,NULL,NULL,'01','202005',90,90,NULL,NULL,NULL,NULL,NULL,NULL),
 (2,NULL,NULL,'01','202002',70,70,'2020-02-05',NULL,NULL,NULL,NULL,NULL),
 (3,NULL,NULL,'01','202001',9999,9999,NULL,NULL,NULL,NULL,NULL,NULL),
 (1,NULL,NULL,'03','202001',8888,8888,NULL,NULL,NULL,NULL,NULL,NULL),
 (NULL,1,NULL,'02','202001',45.5,45.5,'2020-03-02',NULL,NULL,NULL,NULL,NULL),
 (NULL,1,NULL,'02','201912',55.25,55.25,'2020-03-03',NULL,NULL,NULL,NULL,NULL),
 (NULL,2,NULL,'02','202002',65.75,65.75,NULL,NULL,NULL,NULL,NULL,NULL),
 (NULL,3,NULL,'02','202003',88.88,88.88,'2020-03-15',NULL,NULL,NULL,NULL,NULL),
 (NULL,3,NULL,'02','201812',879.31,879.31,'2020-03-01',NULL,NULL,NULL,NULL,NULL),
 (4,NULL,NULL,'01','201801',25,25,NULL,NULL,'2019-03-01',NULL,NULL,'减免'),
 (5,NULL,NULL,'01','202001',0.2,0.2,NULL,NULL,NULL,NULL,NULL,NULL),
 (6,NULL,NULL,'01','202002',0.1,0.1,NULL,NULL,'2020-02-10',NULL,NULL,'减免'),
 (6,NULL,NULL,'01','202101',0.1,0.1,'2020-03-01',NULL,NULL,NULL,NULL,NULL),
 (6,NULL,NULL,'01','202101',0.2,0.2,'2020-03-01',NULL,NULL,NULL,NULL,NULL),
 (6,NULL,NULL,'01','202101',-0.3,-0.3,'2020-03-01',NULL,NULL,NULL,NULL,NULL);
)";

} // namespace

QString createLedgerFixture(const QString& path)
{
    QFile::remove(path);
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK) {
        const QString error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return error;
    }
    char* message = nullptr;
    QString error;
    const QByteArray script = fixture::feeSchema(false).toUtf8() + kRows;
    if (sqlite3_exec(db, script.constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        error = QString::fromUtf8(message ? message : "sqlite3_exec failed");
        sqlite3_free(message);
    }
    sqlite3_close(db);
    return error;
}
