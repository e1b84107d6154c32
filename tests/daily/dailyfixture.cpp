#include "dailyfixture.h"

#include "tests/support/sqlitescript.h"
#include <QDate>
#include <QFile>

namespace {

const char* const kSchema = R"(
CREATE TABLE 员工档案 (ID INTEGER PRIMARY KEY, 工号 TEXT, 帐号密码 TEXT, 姓名 TEXT, 离职日期 TEXT);
CREATE TABLE 岗位信息new (岗位代号 TEXT, 岗位名称 TEXT, 职能部门代号 TEXT, 岗位类别代号 TEXT, 工号 TEXT);
CREATE TABLE 设置管理处 (GYD_DH TEXT, GYD_Name TEXT, 对应部门代号 TEXT, 终止日期 TEXT, 商用物业 INTEGER);
CREATE TABLE SETUPSFXM (DH TEXT, XM TEXT, 收费类别 TEXT, 终止日期 TEXT);
CREATE TABLE 收款方式列表 (收款方式 TEXT);
CREATE TABLE 楼表 (L_ID INTEGER PRIMARY KEY, 管理处 TEXT, 地址1 TEXT, 字1 TEXT, 地址2 TEXT, 字2 TEXT, 地址3 TEXT, 字3 TEXT, 地址4 TEXT, 字4 TEXT);
CREATE TABLE 室表 (S_ID INTEGER PRIMARY KEY, L_ID INTEGER, 室 TEXT, 字 TEXT);
CREATE TABLE 业主表 (ZH_ID INTEGER PRIMARY KEY, S_ID INTEGER, 姓名 TEXT, 说明 TEXT);
CREATE TABLE 车位申请登记表 (登记ID INTEGER PRIMARY KEY, 管理处 TEXT, 车库编号 TEXT, 地址 TEXT, 车主姓名 TEXT, 牌照号 TEXT, 用户类型 TEXT);
CREATE TABLE 车位说明表 (ID INTEGER PRIMARY KEY, 管理处 TEXT, 产权人 TEXT);
CREATE TABLE WYZJ (ID INTEGER PRIMARY KEY, ZH_ID INTEGER, DJ_ID INTEGER, CW_ID INTEGER, ZJ_LX TEXT, ZJ_CNY TEXT, ZJ_JE REAL,
  收入 REAL, ZJ_SKRQ TEXT, 收款人 TEXT, 收款方式 TEXT, 票据入库单编号 TEXT, 发票号码 TEXT);
CREATE TABLE 票据 (ID INTEGER PRIMARY KEY, 入库单编号 TEXT, 票据编号 TEXT, 付款人 TEXT, 地址 TEXT, 开票日期 TEXT, 开票人 TEXT,
  收款日期 TEXT, 收款人 TEXT, 收款方式 TEXT, 备注 TEXT, 开票部门编号 TEXT, 管理处 TEXT, 退票日期 TEXT, 作废日期 TEXT,
  内换日期 TEXT, 内换票据编号 TEXT, 对应调换票据入库单 TEXT, 被换票票据编号 TEXT);
CREATE TABLE 票据开票数据 (ID INTEGER PRIMARY KEY, 票据id INTEGER, 收费项目代号 TEXT, 项目 TEXT, 摘要 TEXT, 金额 REAL, 税额 REAL,
  非日常 INTEGER);

INSERT INTO 员工档案 (ID, 工号, 姓名) VALUES (1,'E1','收款员甲'),(2,'E2','收款员乙'),(3,'E3','欧''阳'),(4,'E4','北区员工');
INSERT INTO 岗位信息new VALUES ('P3','出纳','D1','C1','E2'),('P1','收费员','D1','C1','E1'),('P2','收费员','D1','C1','E3'),
  ('P4','收费员','D2','C1','E4'),('P5','主管','D1','C2','E1');
INSERT INTO 设置管理处 VALUES ('01','南区','D1',NULL,0),('02','北区','D2',NULL,2),('03','商场','D3',NULL,1);
INSERT INTO SETUPSFXM VALUES ('01','物业费','物业类',NULL),('02','车位费','停车类',NULL),('03','水费','物业类','2019-12-31');
INSERT INTO 收款方式列表 VALUES ('现金'),('转账');

INSERT INTO 楼表 VALUES (1,'01','1号','楼',NULL,NULL,NULL,NULL,NULL,NULL),(2,'02','北','区','2','栋',NULL,NULL,NULL,NULL);
INSERT INTO 室表 VALUES (1,1,'101',NULL),(2,2,'202',NULL);
INSERT INTO 业主表 VALUES (1,1,'王五','新进户'),(2,2,'北区业主','新进户');
INSERT INTO 车位申请登记表 VALUES (1,'01','G1','地下车库','赵六','粤A1','业主');
INSERT INTO 车位说明表 VALUES (1,'01','孙七');

-- ID, ZH_ID, DJ_ID, CW_ID, ZJ_LX, ZJ_CNY, ZJ_JE, 收入, ZJ_SKRQ, 收款人, 收款方式, 票据入库单编号, 发票号码
INSERT INTO WYZJ VALUES
 (1,1,NULL,NULL,'01','202401',100,94.34,'2024-03-12','收款员乙','现金',NULL,NULL),
 (2,1,NULL,NULL,'01','202402',100,94.34,'2024-03-12','收款员乙','现金',NULL,NULL),
 (3,1,NULL,NULL,'01','202403',100,94.34,'2024-03-12','收款员乙','现金',NULL,NULL),
 (4,1,NULL,NULL,'01','202404',100,94.34,'2024-03-13','收款员乙','现金','',''),
 (5,1,NULL,NULL,'01','202405',100,94.34,'2024-03-12','收款员乙','现金','B1',NULL),
 (6,1,NULL,NULL,'01','202406',100,94.34,'2024-03-12','收款员乙','现金',NULL,'F1'),
 (7,NULL,1,NULL,'02','202403',150,141.51,'2024-03-15','收款员甲','现金',NULL,NULL),
 (8,NULL,NULL,1,'02','202402',80,80,'2024-03-15','收款员甲','现金',NULL,NULL),
 (9,NULL,NULL,1,'02','202403',80,80,'2024-03-15','收款员甲','现金',NULL,NULL),
 (10,1,NULL,NULL,'01','202407',100,94.34,'2024-04-02','收款员乙','现金',NULL,NULL),
 (11,2,NULL,NULL,'01','202403',90,90,'2024-03-12','北区员工','现金',NULL,NULL);

-- ID, 入库单编号, 票据编号, 付款人, 地址, 开票日期, 开票人, 收款日期, 收款人, 收款方式, 备注, 开票部门编号, 管理处,
-- 退票日期, 作废日期, 内换日期, 内换票据编号, 对应调换票据入库单, 被换票票据编号
INSERT INTO 票据 VALUES
 (1,'B1','N001','张三','A栋101','2024-03-05','开票员','2024-03-05 10:00:00','收款员甲','现金',NULL,'D1','01',NULL,NULL,NULL,NULL,NULL,NULL),
 (2,'B1','N002','李四','A栋102','2024-03-06','开票员','2024-03-06','收款员甲','现金',NULL,'D1','01',NULL,NULL,'2024-03-20','N003','B1',NULL),
 (3,'B1','N003','李四','A栋102','2024-03-20','开票员','2024-03-06','收款员甲','现金',NULL,'D1','01',NULL,NULL,NULL,NULL,NULL,'N002'),
 (4,'B1','N004','钱八','A栋104','2024-03-07','开票员','2024-03-07','收款员甲','现金',NULL,'D1','01',NULL,NULL,'2024-03-21 14:30:00',NULL,NULL,NULL),
 (5,'B1','N005','钱八','A栋104','2024-03-21','开票员','2024-03-07','收款员甲','现金',NULL,'D1','01',NULL,NULL,NULL,NULL,NULL,'N004'),
 (6,'B2','N006','钱八','A栋104','2024-03-21','开票员','2024-03-07','收款员甲','现金',NULL,'D1','01',NULL,NULL,NULL,NULL,NULL,'N004'),
 (7,'B1','N007','周九','A栋107','2024-02-20','开票员','2024-03-08','收款员甲','现金',NULL,'D1','01',NULL,NULL,'2024-03-22',NULL,NULL,NULL),
 (8,'B1','N008','周九','A栋107','2024-03-22','开票员','2024-03-08','收款员甲','现金',NULL,'D1','01',NULL,NULL,NULL,NULL,NULL,'N007'),
 (9,'B1','N009','吴十','A栋109','2024-03-09','开票员','2024-03-09','收款员甲','现金',NULL,'D1','01','2024-03-10',NULL,NULL,NULL,NULL,NULL),
 (10,'B1','N010','郑一','A栋110','2024-03-09','开票员','2024-03-09','收款员甲','现金',NULL,'D1','01',NULL,'2024-03-09',NULL,NULL,NULL,NULL),
 (11,'B1','N011','冯二','A栋111','2024-03-09','开票员','2024-03-09','收款员甲','现金',NULL,'D1','01',NULL,NULL,NULL,NULL,NULL,NULL),
 (12,'B1','N012','陈三','A栋112','2024-04-01','开票员','2024-04-01','收款员甲','现金',NULL,'D1','01',NULL,NULL,NULL,NULL,NULL,NULL),
 (13,'B3','N013','褚四',NULL,'2024-03-10','开票员','2024-03-10','欧''阳','转账',NULL,'D1',NULL,NULL,NULL,NULL,NULL,NULL,NULL),
 (14,'B1','N014','卫五','A栋114','2024-03-31','开票员','2024-03-31 23:59:59','收款员甲','现金','补开','D1','01',NULL,NULL,NULL,NULL,NULL,NULL),
 (15,'B9','N201','北区客户','北区','2024-03-11','开票员','2024-03-11','北区员工','现金',NULL,'D2','02',NULL,NULL,NULL,NULL,NULL,NULL);

-- ID, 票据id, 收费项目代号, 项目, 摘要, 金额, 税额, 非日常
INSERT INTO 票据开票数据 VALUES
 (1,1,'01','物业费','202401,202402,202403',300,16.98,0),
 (2,1,'02','车位费','202403',100,NULL,0),
 (3,2,'01','物业费','202403',120,6.79,0),
 (4,3,'01','物业费','202403',120,6.79,0),
 (5,4,'01','物业费','202311,202312,202401,202403',200,11.32,0),
 (6,5,'01','物业费','202311,202312,202401,202403',200,11.32,0),
 (7,6,'01','物业费','202311,202312,202401,202403',200,11.32,0),
 (8,7,'01','物业费','202404,202405,',240,13.58,0),
 (9,8,'01','物业费','202404,202405,',240,13.58,0),
 (10,9,'01','物业费','202403',50,2.83,0),
 (11,10,'01','物业费','202403',60,3.4,0),
 (12,11,'01','押金','押金',500,0,1),
 (13,12,'01','物业费','202404',70,3.96,0),
 (14,13,'01','物业费','202403',80.5,4.56,0),
 (15,14,'02','车位费','202403',2.675,0.005,0),
 (16,15,'01','物业费','202403',99,5.6,0);
)";

} // namespace

QString addDailyPageRows(const QString& path)
{
    QByteArray script = "BEGIN;\n";
    // Ledger receipts of 王五, one a day from 2024-05-01.
    const QDate first(2024, 5, 1);
    for (int day = 0; day < kDailyLedgerDays; ++day) {
        script += QStringLiteral("INSERT INTO WYZJ (ZH_ID, ZJ_LX, ZJ_CNY, ZJ_JE, 收入, ZJ_SKRQ, 收款人, 收款方式) "
                                 "VALUES (1, '01', '%1', 100, 94.34, '%2', '收款员乙', '现金');\n")
                      .arg(first.addDays(day).toString(QStringLiteral("yyyyMM")),
                          first.addDays(day).toString(QStringLiteral("yyyy-MM-dd")))
                      .toUtf8();
    }
    // N100: one invoice of many lines on 2024-06-20; N101.. one line each after it.
    const auto invoice = [&script](int id, const QString& number, const QString& date, const QString& remark) {
        script += QStringLiteral(
            "INSERT INTO 票据 (ID, 入库单编号, 票据编号, 付款人, 地址, 开票日期, 开票人, 收款日期, 收款人, "
            "收款方式, 备注, 开票部门编号, 管理处) VALUES (%1, 'B5', '%2', '蒋六', 'C栋%1', '%3', "
            "'开票员', '%3', '收款员甲', '现金', %4, 'D1', '01');\n")
                      .arg(id)
                      .arg(number, date,
                          remark.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + remark + QLatin1Char('\''))
                      .toUtf8();
    };
    const auto line = [&script](int invoiceId, int period) {
        script += QStringLiteral("INSERT INTO 票据开票数据 (票据id, 收费项目代号, 项目, 摘要, 金额, 税额, 非日常) "
                                 "VALUES (%1, '01', '物业费', '%2', 10.5, 0.59, 0);\n")
                      .arg(invoiceId)
                      .arg(period)
                      .toUtf8();
    };
    invoice(100, QStringLiteral("N100"), QStringLiteral("2024-06-20"), QString());
    for (int i = 0; i < kDailyLongInvoiceLines; ++i)
        line(100, 202001 + (i / 12) * 100 + i % 12);
    for (int i = 1; i <= 10; ++i) {
        invoice(100 + i, QStringLiteral("N1%1").arg(i, 2, 10, QLatin1Char('0')),
            QStringLiteral("2024-06-%1").arg(20 + i), QString());
        line(100 + i, 202406);
    }
    // July: one invoice whose remark no paper is wide enough for.
    invoice(200, QStringLiteral("N200"), QStringLiteral("2024-07-02"), QString(200, QChar(u'长')));
    line(200, 202407);
    script += "COMMIT;\n";
    return fee::testing::runSqliteScript(path, script);
}

QString createDailyFixture(const QString& path) { return fee::testing::createSqliteFixture(path, kSchema); }

QString dailyExchangeNumber(int i) { return QStringLiteral("X%1").arg(i, 3, 10, QLatin1Char('0')); }

QString dailyExchangeReplacements(int i)
{
    if (i % 5 == 0)
        return QString();
    const QString number = dailyExchangeNumber(i);
    return number + QStringLiteral("a ") + (i % 2 == 0 ? number + QStringLiteral("b ") : QString());
}

QString addDailyExchangeRows(const QString& path)
{
    QByteArray script = "BEGIN;\n";
    const auto invoice = [&script](int id, const QString& number, const QString& issued, const QString& received,
                             const QString& exchanged, const QString& replaced) {
        const auto text = [](const QString& v) {
            return v.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + v + QLatin1Char('\'');
        };
        script += QStringLiteral(
            "INSERT INTO 票据 (ID, 入库单编号, 票据编号, 付款人, 地址, 开票日期, 开票人, 收款日期, 收款人, "
            "收款方式, 开票部门编号, 管理处, 内换日期, 被换票票据编号) VALUES (%1, 'B7', '%2', '沈七', 'D栋', "
            "'%3', '开票员', '%4', '收款员甲', '现金', 'D1', '01', %5, %6);\n")
                      .arg(id)
                      .arg(number, issued, received, text(exchanged), text(replaced))
                      .toUtf8();
    };
    const auto line = [&script](int invoiceId, const char* item, const char* name) {
        script += QStringLiteral("INSERT INTO 票据开票数据 (票据id, 收费项目代号, 项目, 摘要, 金额, 税额, 非日常) "
                                 "VALUES (%1, '%2', '%3', '202408', 10, 0.5, 0);\n")
                      .arg(invoiceId)
                      .arg(QLatin1String(item), QString::fromUtf8(name))
                      .toUtf8();
    };
    for (int i = 0; i < kDailyExchangedInvoices; ++i) {
        const QString number = dailyExchangeNumber(i);
        const QString received = QStringLiteral("2024-08-%1").arg(1 + i % 28, 2, 10, QLatin1Char('0'));
        const QString issued = i % 7 == 0 ? QStringLiteral("2024-07-15") : received;
        invoice(5000 + i, number, issued, received, QStringLiteral("2024-09-02"), QString());
        line(5000 + i, "01", "物业费");
        if (i % 10 == 3)
            line(5000 + i, "02", "车位费");
        if (i % 5 != 0)
            invoice(6000 + i, number + QLatin1Char('a'), QStringLiteral("2024-09-02"), QStringLiteral("2024-09-02"),
                QString(), number);
        if (i % 5 != 0 && i % 2 == 0)
            invoice(7000 + i, number + QLatin1Char('b'), QStringLiteral("2024-09-02"), QStringLiteral("2024-09-02"),
                QString(), number);
    }
    script += "COMMIT;\n";
    return fee::testing::runSqliteScript(path, script);
}
