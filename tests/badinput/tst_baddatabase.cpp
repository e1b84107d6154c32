#include "badfixture.h"
#include "tests/support/tdstestserver.h"
#include "tests/support/roads.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace badinput;

// Bad input as a user or a site's database would give it, on both roads (the
// embedded database and SQL Server through the stand-in): apostrophes,
// semicolons, braces, quotes and very long texts in data and options; NULL in
// the columns the reports read; empty tables; a missing table or column. No
// run may crash, break a statement or lose a value.
class TestBadDatabase : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_demo;
    QString m_served;
    fee::testing::TdsTestServer m_server;
    bool m_serverUp = false;

    static const QString& longName()
    {
        static const QString name = QStringLiteral("O'Brien\"; {x} ") + QString(10000, QChar(u'长'));
        return name;
    }

    // The original texts of the demo database and what the spoilt copy holds instead.
    static QList<QPair<QString, QString>> renames()
    {
        return { { QStringLiteral("阳光花园管理处"), longName() }, { QStringLiteral("01"), QStringLiteral("0'1;}") },
            { QStringLiteral("01"), QStringLiteral("';") },
            { QStringLiteral("物业管理费"), QStringLiteral("物业'费;{}\"") },
            { QStringLiteral("现金"), QStringLiteral("现'金;{}\"") },
            { QStringLiteral("0201"), QStringLiteral("02'01{") } };
    }

    // The office 01 becomes '; (two characters, as the lists sort offices by
    // length first) with the long name; the fee item 01 becomes 0'1;} (its name 物业'费;{}"); the method 现金 and the
    // department 0201 change everywhere they are stored.
    static QString hostileScript()
    {
        QString s = QStringLiteral(
            "UPDATE 设置管理处 SET GYD_Name='%1' WHERE GYD_DH='01';"
            "UPDATE 设置管理处 SET GYD_DH=''';' WHERE GYD_DH='01';"
            "UPDATE 楼表 SET 管理处=''';' WHERE 管理处='01';"
            "UPDATE 票据 SET 管理处=''';' WHERE 管理处='01';"
            "UPDATE 车位申请登记表 SET 管理处=''';' WHERE 管理处='01';"
            "UPDATE 车位说明表 SET 管理处=''';' WHERE 管理处='01';"
            "UPDATE 车库名 SET 管理处=''';' WHERE 管理处='01';"
            "UPDATE SETUPSFXM SET DH='0''1;}', XM='物业''费;{}\"' WHERE DH='01';"
            "UPDATE SETUPSFXM SET 收费类别='物业''费;{}\"' WHERE 收费类别='物业管理费';"
            "UPDATE WYZJ SET ZJ_LX='0''1;}' WHERE ZJ_LX='01';"
            "UPDATE 票据开票数据 SET 收费项目代号='0''1;}', 项目='物业''费;{}\"' WHERE 收费项目代号='01';"
            "UPDATE 收款方式列表 SET 收款方式='现''金;{}\"' WHERE 收款方式='现金';"
            "UPDATE WYZJ SET 收款方式='现''金;{}\"' WHERE 收款方式='现金';"
            "UPDATE 票据 SET 收款方式='现''金;{}\"' WHERE 收款方式='现金';"
            "UPDATE 票据 SET 开票部门编号='02''01{' WHERE 开票部门编号='0201';"
            "UPDATE 设置管理处 SET 对应部门代号='02''01{' WHERE 对应部门代号='0201';"
            "UPDATE 职能部门new SET 职能部门编号='02''01{' WHERE 职能部门编号='0201';");
        return s.arg(QString(longName()).replace(QLatin1Char('\''), QStringLiteral("''")));
    }

    // The hostile texts of a CSV put back to the originals, quoted or not.
    static QByteArray restored(QByteArray csv)
    {
        for (const auto& [original, hostile] : renames()) {
            QByteArray quoted = hostile.toUtf8();
            quoted.replace("\"", "\"\"");
            csv.replace("\"" + quoted + "\"", original.toUtf8());
            csv.replace(hostile.toUtf8(), original.toUtf8());
        }
        return csv;
    }

    // The connection string of `db` on a road; the server road serves a copy.
    QString connectionTo(const QString& road, const QString& db)
    {
        if (road == QLatin1String("sqlite"))
            return sqliteConnection(db);
        QFile from(db);
        QFile to(m_served);
        if (!from.open(QIODevice::ReadOnly) || !to.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QString();
        to.write(from.readAll());
        return m_server.oleDbString();
    }

    void addRoads(const std::function<void(const QString&)>& add)
    {
        add(QStringLiteral("sqlite"));
        add(QStringLiteral("sqlserver"));
    }

    void skipWithoutServer(const QString& road)
    {
        if (road == QLatin1String("sqlserver") && !m_serverUp)
            FEE_REQUIRE_ROAD(fee::testing::TdsTestServer::missingReason().isEmpty()
                    ? QStringLiteral("the SQL Server stand-in did not start")
                    : fee::testing::TdsTestServer::missingReason());
    }

    QString spoilt(const QString& name, const QString& script)
    {
        const QString path = m_dir.filePath(name);
        const QString error = copyWith(m_demo, path, script);
        return error.isEmpty() ? path : QString();
    }

    static QStringList runs()
    {
        return { QStringLiteral("monthly --date 2025-06-30"),
            QStringLiteral("receipts --from 2025-01-01 --to 2025-06-30 --month-from 2025-06-01 --month-to 2025-06-30 "
                           "--year-from 2025-01-01 --year-to 2025-06-30"),
            QStringLiteral("receipts --from 2025-01-01 --to 2025-06-30 --mode 2"),
            QStringLiteral("daily --office 01 --from 2024-01-01 --to 2025-12-31"),
            QStringLiteral("daily --office 03 --from 2024-01-01 --to 2025-12-31") };
    }

    CliRun run(const QString& args, const QString& connection)
    {
        return runCli(args.split(QLatin1Char(' ')) + QStringList { QStringLiteral("--connect"), connection });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_demo = m_dir.filePath(QStringLiteral("demo.db"));
        const QString error = buildSmallDemo(m_demo);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        // Receipts of department 0201 that belong to no office, for the
        // department scope.
        const QString demo = m_dir.filePath(QStringLiteral("generated.db"));
        QVERIFY(QFile::rename(m_demo, demo));
        QCOMPARE(copyWith(demo, m_demo,
                     QStringLiteral("UPDATE 票据 SET 管理处=NULL WHERE 开票部门编号='0201' AND ID % 4 = 0;")),
            QString());
        m_served = m_dir.filePath(QStringLiteral("served.db"));
        QVERIFY(QFile::copy(m_demo, m_served));
        if (fee::testing::TdsTestServer::missingReason().isEmpty())
            m_serverUp = m_server.start(m_served, m_dir.path()) > 0;
    }

    void cleanupTestCase() { m_server.stop(); }

    // Hostile texts in the data and in every typed option give the same
    // report as the plain ones, once the texts are put back.
    void hostileValues_data()
    {
        QTest::addColumn<QString>("road");
        QTest::addColumn<QStringList>("plain");
        QTest::addColumn<QStringList>("hostile");
        addRoads([](const QString& road) {
            const auto row = [&road](const char* name, const QStringList& plain, const QStringList& hostile) {
                QTest::addRow("%s %s", qPrintable(road), name) << road << plain << hostile;
            };
            const QStringList monthly { "monthly", "--date", "2025-06-30" };
            row("monthly", monthly, monthly);
            row("monthly chosen", monthly + QStringList { "--offices", "01", "--fees", "01" },
                monthly + QStringList { "--offices", "';", "--fees", "0'1;}" });
            const QStringList receipts { "receipts", "--from", "2025-01-01", "--to", "2025-06-30" };
            row("receipts", receipts, receipts);
            row("receipts chosen", receipts + QStringList { "--offices", "01", "--fees", "01", "--method", "现金" },
                receipts + QStringList { "--offices", "';", "--fees", "0'1;}", "--method", "现'金;{}\"" });
            row("receipts department", receipts + QStringList { "--mode", "1", "--department", "0201" },
                receipts + QStringList { "--mode", "1", "--department", "02'01{" });
            const QStringList daily { "daily", "--from", "2024-01-01", "--to", "2025-12-31" };
            row("daily", daily + QStringList { "--office", "01" }, daily + QStringList { "--office", "';" });
            row("daily chosen", daily + QStringList { "--office", "01", "--fees", "01", "--method", "现金" },
                daily + QStringList { "--office", "';", "--fees", "0'1;}", "--method", "现'金;{}\"" });
            row("daily department", daily + QStringList { "--office", "02", "--scope", "1", "--department", "0201" },
                daily + QStringList { "--office", "02", "--scope", "1", "--department", "02'01{" });
        });
    }
    void hostileValues()
    {
        QFETCH(QString, road);
        QFETCH(QStringList, plain);
        QFETCH(QStringList, hostile);
        skipWithoutServer(road);
        const QString hostileDb = spoilt(QStringLiteral("hostile.db"), hostileScript());
        QVERIFY(!hostileDb.isEmpty());
        const CliRun expected = runCli(plain + QStringList { "--connect", connectionTo(road, m_demo) });
        QVERIFY2(expected.exitCode == 0, qPrintable(expected.err));
        QVERIFY(expected.out.count('\n') > 2);
        const CliRun got = runCli(hostile + QStringList { "--connect", connectionTo(road, hostileDb) });
        QVERIFY2(got.exitCode == 0, qPrintable(got.err.left(300)));
        QCOMPARE(QString::fromUtf8(restored(got.out)), QString::fromUtf8(expected.out));
    }

    // A hostile text that matches nothing gives an empty report or a usage
    // message naming it (a method or payee the lists do not hold is named),
    // never a broken statement.
    void unmatchedOptions_data()
    {
        QTest::addColumn<QString>("road");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString bad = QStringLiteral("x'; DROP TABLE WYZJ; --{\"}") + QString(10000, QLatin1Char('z'));
        addRoads([&bad](const QString& road) {
            const QStringList receipts { "receipts", "--from", "2025-01-01", "--to", "2025-06-30" };
            const QStringList daily { "daily", "--office", "01", "--from", "2025-01-01", "--to", "2025-06-30" };
            const auto row = [&road](const char* name, const QStringList& args, int code, const QString& message) {
                QTest::addRow("%s %s", qPrintable(road), name) << road << args << code << message;
            };
            row("monthly office", { "monthly", "--date", "2025-06-30", "--offices", bad }, 2, bad.left(20));
            row("monthly fee", { "monthly", "--date", "2025-06-30", "--fees", bad }, 2, bad.left(20));
            row("receipts method", receipts + QStringList { "--method", bad }, 2, bad.left(20));
            row("receipts department", receipts + QStringList { "--mode", "1", "--department", bad }, 0, QString());
            row("daily office", { "daily", "--office", bad, "--from", "2025-01-01", "--to", "2025-06-30" }, 2,
                bad.left(20));
            row("daily payee", daily + QStringList { "--payee", bad }, 2, bad.left(20));
            row("daily method", daily + QStringList { "--method", bad }, 2, bad.left(20));
            row("daily department", daily + QStringList { "--scope", "1", "--department", bad }, 0, QString());
            row("daily date", { "daily", "--office", "01", "--from", bad, "--to", "2025-06-30" }, 2,
                QStringLiteral("--from"));
        });
    }
    void unmatchedOptions()
    {
        QFETCH(QString, road);
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        skipWithoutServer(road);
        const CliRun r = runCli(args + QStringList { "--connect", connectionTo(road, m_demo) });
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(message), qPrintable(r.err.left(300)));
        if (exitCode == 0)
            QVERIFY(r.out.count('\n') >= 1);
        // The database is still whole.
        const CliRun after = runCli({ "daily", "--office", "01", "--from", "2025-01-01", "--to", "2025-06-30",
            "--connect", connectionTo(road, m_demo) });
        QVERIFY2(after.exitCode == 0 && after.out.count('\n') > 2, qPrintable(after.err));
    }

    // NULL in a column the reports read: each run ends with its report or
    // with "Invalid use of Null" naming the column it had to turn into text;
    // both roads end alike.
    void nullColumns_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("stop"); // the message a run may stop with, or ""
        QTest::addColumn<bool>("bothRoads");
        // The SQL Server road takes a sample: each run there costs a login.
        const QStringList onServer { "GYD_DH", "GYD_Name", "XM", "地址2", "车主姓名", "产权人", "ZJ_JE", "收入",
            "ZJ_CNY", "付款人", "备注", "退票日期", "内换票据编号", "摘要", "税额" };
        const auto row = [&onServer](const char* table, const char* column, const QString& stop = QString()) {
            QTest::addRow("%s.%s", table, column) << QString::fromUtf8(table) << QString::fromUtf8(column) << stop
                                                  << onServer.contains(QString::fromUtf8(column));
        };
        const auto null = [](const char* field) {
            return QStringLiteral(": error 94: Invalid use of Null (field %1)").arg(QString::fromUtf8(field));
        };
        row("设置管理处", "GYD_DH", null("GYD_DH"));
        row("设置管理处", "GYD_Name");
        row("设置管理处", "对应部门代号");
        // An office of no kind is on no office list.
        row("设置管理处", "商用物业", QStringLiteral("daily: office 01 is not in the office list"));
        row("SETUPSFXM", "DH", null("DH"));
        row("SETUPSFXM", "XM");
        row("SETUPSFXM", "收费类别");
        row("收款方式列表", "收款方式");
        for (const char* c : { "管理处", "地址1", "字1", "地址2", "字2", "地址3", "字3", "地址4", "字4" })
            row("楼表", c);
        row("室表", "L_ID");
        row("室表", "室");
        row("业主表", "S_ID");
        row("业主表", "姓名");
        row("业主表", "说明");
        row("车库名", "管理处");
        row("车库名", "车库编号");
        for (const char* c : { "管理处", "车库编号", "地址", "车主姓名", "牌照号", "用户类型" })
            row("车位申请登记表", c);
        row("车位说明表", "管理处");
        row("车位说明表", "产权人");
        for (const char* c : { "ZH_ID", "DJ_ID", "CW_ID", "ZJ_LX", "ZJ_CNY", "ZJ_JE", "收入", "ZJ_SKRQ", "zj_tkrq",
                 "zj_bdrq", "zj_jzrq", "zj_tzrq", "ZJ_BZ", "收款人", "收款方式", "票据入库单编号", "发票号码" })
            row("WYZJ", c);
        for (const char* c : { "入库单编号", "票据编号", "付款人", "地址", "开票日期", "开票人", "收款日期", "收款人",
                 "收款方式", "备注", "开票部门编号", "管理处", "退票日期", "作废日期", "内换日期", "内换票据编号",
                 "对应调换票据入库单", "被换票票据编号" })
            row("票据", c);
        for (const char* c : { "票据id", "收费项目代号", "项目", "摘要", "金额", "税额", "非日常" })
            row("票据开票数据", c);
    }
    void nullColumns()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(QString, stop);
        QFETCH(bool, bothRoads);
        const QString db = spoilt(
            QStringLiteral("null.db"), QStringLiteral("UPDATE %1 SET %2=NULL WHERE rowid % 3 = 1;").arg(table, column));
        QVERIFY(!db.isEmpty());
        for (const QString& args : runs()) {
            const CliRun embedded = run(args, sqliteConnection(db));
            if (embedded.exitCode != 0) {
                QVERIFY2(
                    !stop.isEmpty() && embedded.err.contains(stop), qPrintable(args + QLatin1Char(' ') + embedded.err));
                QVERIFY(embedded.exitCode == 1 || embedded.exitCode == 2);
            } else {
                QVERIFY(embedded.out.count('\n') >= 1);
            }
            if (!m_serverUp || !bothRoads)
                continue;
            const CliRun server = run(args, connectionTo(QStringLiteral("sqlserver"), db));
            QCOMPARE(server.exitCode, embedded.exitCode);
            QCOMPARE(server.err, embedded.err);
        }
    }

    // Where the reports' rules make a NULL text an empty one, the report over
    // NULLs is the report over empty texts.
    void nullAsEmpty_data()
    {
        QTest::addColumn<QString>("road");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        addRoads([](const QString& road) {
            for (const auto& [table, column] : QList<QPair<const char*, const char*>> { { "楼表", "字1" },
                     { "楼表", "地址2" }, { "票据", "地址" }, { "票据", "备注" }, { "SETUPSFXM", "XM" },
                     { "设置管理处", "GYD_Name" }, { "收款方式列表", "收款方式" } })
                QTest::addRow("%s %s.%s", qPrintable(road), table, column)
                    << road << QString::fromUtf8(table) << QString::fromUtf8(column);
        });
    }
    void nullAsEmpty()
    {
        QFETCH(QString, road);
        QFETCH(QString, table);
        QFETCH(QString, column);
        skipWithoutServer(road);
        const QString update = QStringLiteral("UPDATE %1 SET %2=%3 WHERE rowid % 3 = 1;");
        const QString nulls = spoilt(QStringLiteral("nulls.db"), update.arg(table, column, QStringLiteral("NULL")));
        const QString empty = spoilt(QStringLiteral("empty.db"), update.arg(table, column, QStringLiteral("''")));
        QVERIFY(!nulls.isEmpty() && !empty.isEmpty());
        for (const QString& args : runs()) {
            const CliRun expected = run(args, connectionTo(road, empty));
            QVERIFY2(expected.exitCode == 0, qPrintable(args + QLatin1Char(' ') + expected.err));
            const CliRun got = run(args, connectionTo(road, nulls));
            QVERIFY2(got.exitCode == 0, qPrintable(args + QLatin1Char(' ') + got.err));
            QCOMPARE(QString::fromUtf8(got.out), QString::fromUtf8(expected.out));
        }
    }

    // A missing table or column: the message that reaches the user names it.
    void missingObjects_data()
    {
        QTest::addColumn<QString>("road");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("name");
        addRoads([](const QString& road) {
            const bool server = road == QLatin1String("sqlserver");
            const auto table = [server](const char* t) {
                return server ? QStringLiteral("Invalid object name '%1'.").arg(QString::fromUtf8(t))
                              : QStringLiteral("no such table: %1").arg(QString::fromUtf8(t));
            };
            const auto column = [server](const char* c) {
                return server ? QStringLiteral("Invalid column name '%1'.").arg(QString::fromUtf8(c))
                              : QStringLiteral("no such column: %1").arg(QString::fromUtf8(c));
            };
            const auto row = [&road](const char* name, const QString& script, const QString& args, const QString& msg) {
                QTest::addRow("%s %s", qPrintable(road), name) << road << script << args << msg;
            };
            const QString monthly = QStringLiteral("monthly --date 2025-06-30");
            const QString receipts = QStringLiteral("receipts --from 2025-01-01 --to 2025-06-30");
            const QString daily = QStringLiteral("daily --office 01 --from 2024-01-01 --to 2025-12-31");
            row("monthly WYZJ", "DROP TABLE WYZJ;", monthly, table("WYZJ"));
            row("receipts 票据开票数据", "DROP TABLE 票据开票数据;", receipts, table("票据开票数据"));
            row("daily 车位说明表", "DROP TABLE 车位说明表;", daily, table("车位说明表"));
            row("monthly zj_tzrq", "ALTER TABLE WYZJ DROP COLUMN zj_tzrq;", monthly, column("zj_tzrq"));
            row("receipts 非日常", "ALTER TABLE 票据开票数据 DROP COLUMN 非日常;", receipts, column("非日常"));
            // SQL Server names a qualified column it cannot find this way.
            row("daily 备注", "ALTER TABLE 票据 DROP COLUMN 备注;", daily,
                server ? QStringLiteral("The multi-part identifier \"票据.备注\" could not be bound.")
                       : column("票据.备注"));
        });
    }
    void missingObjects()
    {
        QFETCH(QString, road);
        QFETCH(QString, script);
        QFETCH(QString, args);
        QFETCH(QString, name);
        skipWithoutServer(road);
        QString all = script;
        // Indexes over the column go first, or it cannot be dropped.
        all.prepend(QStringLiteral("DROP INDEX IF EXISTS ix_WYZJ_ZH_ID; DROP INDEX IF EXISTS ix_WYZJ_DJ_ID; "
                                   "DROP INDEX IF EXISTS ix_票据开票数据_票据id; "));
        const QString db = spoilt(QStringLiteral("missing.db"), all);
        QVERIFY(!db.isEmpty());
        const CliRun r = run(args, connectionTo(road, db));
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(name), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }

    // Empty tables: the reports end with their headings (or the usage message
    // saying what is missing), never with a crash.
    void emptyTables_data()
    {
        QTest::addColumn<QString>("road");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("messages");
        addRoads([](const QString& road) {
            QTest::addRow("%s ledger and receipts", qPrintable(road))
                << road << QStringLiteral("DELETE FROM WYZJ; DELETE FROM 票据; DELETE FROM 票据开票数据;")
                << QStringList();
            // "选择全部" over an empty method list is the invalid-argument error.
            QTest::addRow("%s payment methods", qPrintable(road))
                << road << QStringLiteral("DELETE FROM 收款方式列表;")
                << QStringList { "error 5: Invalid procedure call or argument" };
            QTest::addRow("%s fee items", qPrintable(road))
                << road << QStringLiteral("DELETE FROM SETUPSFXM;")
                << QStringList { "请选择收费项目！", "请勾选收费项目！", "no fee item" };
            QTest::addRow("%s offices", qPrintable(road))
                << road << QStringLiteral("DELETE FROM 设置管理处;")
                << QStringList { "is not in the office list", "请勾选管理处！", "管理处列表为空,请检查登录者身份!" };
        });
    }
    void emptyTables()
    {
        QFETCH(QString, road);
        QFETCH(QString, script);
        QFETCH(QStringList, messages);
        skipWithoutServer(road);
        const QString db = spoilt(QStringLiteral("emptied.db"), script);
        QVERIFY(!db.isEmpty());
        for (const QString& args : runs()) {
            const CliRun r = run(args, connectionTo(road, db));
            if (r.exitCode == 0) {
                QVERIFY2(r.out.count('\n') >= 1, qPrintable(args));
                continue;
            }
            QVERIFY2(r.exitCode == 1 || r.exitCode == 2, qPrintable(args + QLatin1Char(' ') + r.err));
            QVERIFY(r.out.isEmpty());
            QVERIFY2(
                std::any_of(messages.cbegin(), messages.cend(), [&r](const QString& m) { return r.err.contains(m); }),
                qPrintable(args + QLatin1Char(' ') + r.err));
        }
    }
};

QTEST_GUILESS_MAIN(TestBadDatabase)
#include "tst_baddatabase.moc"
