#include "receiptsfixture.h"

#include "tests/support/sqlitescript.h"
#include <QFile>

namespace {

const char* const kSchema = R"(
CREATE TABLE 设置管理处 (GYD_DH TEXT, GYD_Name TEXT, 对应部门代号 TEXT, 终止日期 TEXT, 商用物业 INTEGER);
CREATE TABLE SETUPSFXM (DH TEXT, XM TEXT, 收费类别 TEXT, 终止日期 TEXT);
CREATE TABLE 收款方式列表 (收款方式 TEXT);
CREATE TABLE 楼表 (L_ID INTEGER, 管理处 TEXT, 地址1 TEXT, 字1 TEXT, 地址2 TEXT, 字2 TEXT, 地址3 TEXT, 字3 TEXT, 地址4 TEXT, 字4 TEXT);
CREATE TABLE 室表 (L_ID INTEGER, S_ID INTEGER, 室 TEXT, 字 TEXT);
CREATE TABLE 业主表 (S_ID INTEGER, ZH_ID INTEGER, 姓名 TEXT, 说明 TEXT);
CREATE TABLE 车位申请登记表 (登记ID INTEGER, 管理处 TEXT, 车库编号 TEXT, 地址 TEXT, 车主姓名 TEXT, 牌照号 TEXT, 用户类型 TEXT);
CREATE TABLE 车位说明表 (ID INTEGER, 管理处 TEXT, 产权人 TEXT);
CREATE TABLE WYZJ (ZH_ID INTEGER, DJ_ID INTEGER, CW_ID INTEGER, ZJ_LX TEXT, ZJ_CNY TEXT, ZJ_JE REAL, 收入 REAL,
  ZJ_SKRQ TEXT, zj_tkrq TEXT, 收款人 TEXT, 收款方式 TEXT, 票据入库单编号 TEXT, 发票号码 TEXT);
CREATE TABLE 票据 (ID INTEGER, 入库单编号 TEXT, 票据编号 TEXT, 付款人 TEXT, 开票日期 TEXT, 开票人 TEXT, 收款日期 TEXT,
  收款人 TEXT, 收款方式 TEXT, 开票部门编号 TEXT, 管理处 TEXT, 退票日期 TEXT, 作废日期 TEXT, 内换日期 TEXT,
  内换票据编号 TEXT, 对应调换票据入库单 TEXT, 被换票票据编号 TEXT);
CREATE TABLE 票据开票数据 (票据id INTEGER, 收费项目代号 TEXT, 项目 TEXT, 摘要 TEXT, 金额 REAL, 税额 REAL, 非日常 INTEGER);

INSERT INTO 设置管理处 VALUES ('01','甲区','D1',NULL,0),('02','乙区','D2',NULL,0),('03','丙区','D3',NULL,0),
  ('04','丁区','D4',NULL,2),('05','戊商场','D5',NULL,1),('06','己区','D6',NULL,0);
INSERT INTO SETUPSFXM VALUES ('01','物业管理费','A类物业',NULL),('02','公共能耗','A类物业',NULL),
  ('11','车位管理费','B类车位',NULL),('21','押金','C类其他',NULL),('22','押金','C类其他',NULL),('99','旧费','A类物业','2020-01-01');
INSERT INTO 收款方式列表 VALUES ('现金'),('微信');

INSERT INTO 楼表 VALUES (1,'01','甲区','1','栋',NULL,NULL,NULL,NULL,NULL),(4,'04','丁区',NULL,NULL,NULL,NULL,NULL,NULL,NULL);
INSERT INTO 室表 VALUES (1,1,'101','室'),(4,4,'401',NULL);
INSERT INTO 业主表 VALUES (1,1,'张三','新进户'),(4,4,'赵四','新进户');
INSERT INTO 车位申请登记表 VALUES (1,'01','G1',NULL,'王五','粤A1','业主');
INSERT INTO 车位说明表 VALUES (1,'01','李四');

-- ZH_ID, DJ_ID, CW_ID, ZJ_LX, ZJ_CNY, ZJ_JE, 收入, ZJ_SKRQ, zj_tkrq, 收款人, 收款方式, 票据入库单编号, 发票号码
INSERT INTO WYZJ VALUES
 (1,NULL,NULL,'01','202512',100,94,'2026-03-31 18:00:00',NULL,'甲',  '现金','',NULL),
 (1,NULL,NULL,'01','202603',200,188,'2026-03-15',NULL,'甲','现金','B1','N7'),
 (1,NULL,NULL,'01','202701',300,282,'2026-03-20',NULL,'乙','现金',NULL,NULL),
 (1,NULL,NULL,'01','202801',400,376,'2026-03-20',NULL,'乙','现金',NULL,NULL),
 (1,NULL,NULL,'01','203001',10,9.4,'2026-03-20',NULL,'乙','现金',NULL,NULL),
 (1,NULL,NULL,'01',NULL,5,5,'2026-03-20',NULL,'乙','现金',NULL,NULL),
 (1,NULL,NULL,'01','202604',999,999,'2026-04-01',NULL,'乙','现金',NULL,NULL),
 (1,NULL,NULL,'01','202601',50,47,'2026-01-15',NULL,'乙','现金',NULL,NULL),
 (1,NULL,NULL,'02','202603',0.1,0.1,'2026-03-02',NULL,'甲','现金',NULL,NULL),
 (1,NULL,NULL,'02','202603',0.2,0.2,'2026-03-02',NULL,'甲','现金',NULL,NULL),
 (1,NULL,NULL,'02','202603',-0.3,-0.3,'2026-03-02',NULL,'甲','现金',NULL,NULL),
 (NULL,1,NULL,'11','202603',150,141.51,'2026-03-03',NULL,'甲','现金',NULL,NULL),
 (NULL,NULL,1,'11','202603',150,141.51,'2026-03-03',NULL,'甲','现金',NULL,NULL),
 (4,NULL,NULL,'01','202603',80,75.47,'2026-03-09',NULL,'丁','现金',NULL,NULL);

-- ID, 入库单编号, 票据编号, 付款人, 开票日期, 开票人, 收款日期, 收款人, 收款方式, 开票部门编号, 管理处, 退票日期, 作废日期,
-- 内换日期, 内换票据编号, 对应调换票据入库单, 被换票票据编号
INSERT INTO 票据 VALUES
 (1,'B1','N1','钱一','2026-03-10','开甲','2026-03-10','甲','现金','D1','01',NULL,NULL,NULL,NULL,NULL,NULL),
 (2,'B1','N2','钱二','2026-03-31','开甲','2026-03-31 10:00:00','甲','现金','D1','01',NULL,NULL,NULL,NULL,NULL,NULL),
 (3,'B1','N3','钱三','2026-02-20','开甲','2026-03-31','甲','现金','D1','01',NULL,NULL,NULL,NULL,NULL,NULL),
 (4,'B1','N4','钱四','2026-03-05','开甲','2026-03-05','甲','现金','D1',NULL,NULL,NULL,NULL,NULL,NULL,NULL),
 (5,'B1','N5','钱五','2026-03-06','开甲','2026-03-06','甲','现金','D1','01','2026-03-07',NULL,NULL,NULL,NULL,NULL),
 (6,'B1','N6','钱六','2026-03-06','开甲','2026-03-06','甲','现金','D1','01',NULL,'2026-03-06',NULL,NULL,NULL,NULL),
 (7,'B1','N7','张三','2026-03-15','开甲','2026-03-06','甲','现金','D1','01',NULL,NULL,NULL,NULL,NULL,NULL),
 (8,'B1','N8','钱八','2026-03-11','开甲','2026-03-11','甲','现金','D1','01',NULL,NULL,'2026-03-12','N9','B1',NULL),
 (9,'B1','N9','钱八','2026-03-12','开甲','2026-03-12','甲','现金','D1','01',NULL,NULL,NULL,NULL,NULL,'N8'),
 (10,'B1','N10','钱十','2026-03-20','开乙','2026-03-20','乙','微信','D1','01',NULL,NULL,NULL,NULL,NULL,NULL),
 (11,'B1','N11','钱十一','2026-02-10','开乙','2026-02-10','乙','现金','D1','01',NULL,NULL,NULL,NULL,NULL,NULL),
 (20,'B2','M1','孙一','2026-03-08','开丙','2026-03-08','丙','现金','D2','02',NULL,NULL,NULL,NULL,NULL,NULL),
 (40,'B4','K1','周一','2026-03-08','开丁','2026-03-08','丁','现金','D4','04',NULL,NULL,NULL,NULL,NULL,NULL),
 (41,'B4','K2','周二','2026-01-08','开丁','2026-01-08','丁','现金','D4','04',NULL,NULL,'2026-01-09','X1',NULL,NULL),
 (60,'B6','L1','吴一','2026-03-08','开己','2026-03-08','己','现金','D6','06',NULL,NULL,NULL,NULL,NULL,NULL),
 (61,NULL,'L2','吴二','2026-01-08','开己','2026-01-08','己','现金','D6','06',NULL,NULL,NULL,NULL,NULL,'L0');

-- 票据id, 收费项目代号, 项目, 摘要, 金额, 税额, 非日常
INSERT INTO 票据开票数据 VALUES
 (1,'21','押金','202601,202602,202603,',500,NULL,1),
 (2,'21','押金','补',300,NULL,1),
 (3,'22','押金',NULL,200,12,1),
 (4,'21','押金','无管理处',1000,NULL,1),
 (5,'21','押金','退票',111,NULL,1),
 (6,'21','押金','作废',222,NULL,1),
 (7,'01','物业管理费','202603',100,6,0),
 (8,'21','押金','原票',50,NULL,1),
 (9,'21','押金','换票',50,NULL,1),
 (10,'21','押金','微信',70,NULL,1),
 (11,'21','押金','二月',30,NULL,1),
 (20,'21','押金','乙区',800,NULL,1),
 (40,'21','押金','丁区',600,NULL,1),
 (41,'21','押金','丁区换',10,NULL,1),
 (60,'21','押金','己区',400,NULL,1),
 (61,'21','押金','己区换',10,NULL,1);
)";

} // namespace

QString createReceiptsFixture(const QString& path) { return fee::testing::createSqliteFixture(path, kSchema); }
