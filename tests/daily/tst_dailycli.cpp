#include "dailyfixture.h"
#include "tests/support/clirun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The daily command of the command-line tool over the hand-made database:
// the CSV byte for byte, the options, the checks and the exit codes.
class TestDailyCli : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;

    using Result = fee::testing::CliResult;
    static Result run(const QStringList& args)
    {
        return fee::testing::runCli(QStringList { QStringLiteral("daily") } + args);
    }

    QStringList base(
        const QString& from = QStringLiteral("2024-03-01"), const QString& to = QStringLiteral("2024-03-31"))
    {
        return { QStringLiteral("--connect"), dailyFixtureConnectionString(m_db), QStringLiteral("--office"),
            QStringLiteral("01"), QStringLiteral("--from"), from, QStringLiteral("--to"), to };
    }

    static QByteArray heading()
    {
        return QByteArrayLiteral(
            "序   ,票据簿编号  ,票据号码     ,付款人        ,付款人地址        ,收费项目        ,"
            "摘要             ,金额              ,税额         ,收入              ,开票日期      ,"
            "开票人      ,收款日期        ,收款人      ,收款方式      ,备注          ,换票日期      ,"
            "换票号码 \n");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("daily.db"));
        const QString error = createDailyFixture(m_db);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    // UTF-8 without BOM, LF line ends, RFC 4180 quoting (the 摘要 with a comma).
    void csvBytes()
    {
        const Result r = run(base(QStringLiteral("2024-03-07"), QStringLiteral("2024-03-13")));
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QByteArray expected = heading()
            + QByteArrayLiteral(
                "1,B1,N004,钱八,A栋104,物业费,\"202311-202401,202403\",200.00,11.32,188.68,2024-03-07,"
                "开票员,2024-03-07,收款员甲,现金,,2024-03-21 14:30:00,N005 N006 \n"
                "2,B1,N007(预开收款),周九,A栋107,物业费,202404-202405,240.00,13.58,226.42,2024-02-20,"
                "开票员,2024-03-08,收款员甲,现金,,2024-03-22,N008 \n"
                "3,B3,N013,褚四,,物业费,202403,80.50,4.56,75.94,2024-03-10,开票员,2024-03-10,欧'阳,"
                "转账,,,\n"
                "4,,不记录票据信息,王五,1号楼101室,物业费,202401-202403,300.00,16.98,283.02,,,2024-03-12,"
                "收款员乙,现金,,,\n"
                "5,,不记录票据信息,王五,1号楼101室,物业费,202404-202404,100.00,5.66,94.34,,,2024-03-13,"
                "收款员乙,现金,,,\n"
                ",合计,,,,,,920.50,52.10,868.40,,,,,,,,\n");
        QCOMPARE(QString::fromUtf8(r.out), QString::fromUtf8(expected));
    }

    void filtersAndFile_data()
    {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<int>("lines");
        QTest::newRow("all") << QStringList {} << 13;
        QTest::newRow("method") << QStringList { "--method", "转账" } << 3;
        QTest::newRow("payee") << QStringList { "--payee", "欧'阳" } << 3;
        QTest::newRow("method and payee all") << QStringList { "--method", "all", "--payee", "all" } << 13;
        QTest::newRow("payee of the department") << QStringList { "--payee", "欧'阳", "--department", "D1" } << 3;
        QTest::newRow("scope 1") << QStringList { "--scope", "1", "--department", "D1" } << 3;
        QTest::newRow("scope 2") << QStringList { "--scope", "2" } << 12;
        QTest::newRow("one fee item") << QStringList { "--fees", "02" } << 6;
    }
    void filtersAndFile()
    {
        QFETCH(QStringList, extra);
        QFETCH(int, lines);
        const QString csv = m_dir.filePath(QStringLiteral("out.csv"));
        QFile::remove(csv);
        const Result r = run(base() + extra + QStringList { QStringLiteral("--csv"), csv });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith(heading()));
        QCOMPARE(int(bytes.count('\n')), lines);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString conn
            = QStringLiteral("Provider=SQLite;Data Source=") + m_dir.filePath(QStringLiteral("daily.db"));
        const QStringList ok { "--connect", conn, "--office", "01", "--from", "2024-03-01", "--to", "2024-03-31" };
        QTest::newRow("start after end") << QStringList { "--connect", conn, "--office", "01", "--from", "2024-04-01",
            "--to", "2024-03-31" } << 2 << QStringLiteral("收款日期起始日期不能大于终止日期，请重新选择！");
        QTest::newRow("no office") << QStringList { "--connect", conn, "--from", "2024-03-01", "--to", "2024-03-31" }
                                   << 2 << QStringLiteral("--office");
        QTest::newRow("commercial office is not on the list")
            << QStringList { "--connect", conn, "--office", "03", "--from", "2024-03-01", "--to", "2024-03-31" } << 2
            << QStringLiteral("03");
        QTest::newRow("bad date") << QStringList { "--connect", conn, "--office", "01", "--from", "2024-3-1", "--to",
            "2024-03-31" } << 2 << QStringLiteral("--from");
        QTest::newRow("bad scope") << ok + QStringList { "--scope", "3" } << 2 << QStringLiteral("--scope");
        QTest::newRow("unknown fee item") << ok + QStringList { "--fees", "01,99" } << 2 << QStringLiteral("99");
        // Names the window's lists could not offer would give a silently
        // empty list; so would scope 1 without a department.
        QTest::newRow("unknown method") << ok + QStringList { "--method", "支票" } << 2
                                        << QStringLiteral("payment method 支票 is not in the payment method list");
        QTest::newRow("payee of another department")
            << ok + QStringList { "--payee", "北区员工", "--department", "D1" } << 2
            << QStringLiteral("payee 北区员工 is not in the payee list of department D1");
        QTest::newRow("payee on no list") << ok + QStringList { "--payee", "无名氏" } << 2
                                          << QStringLiteral("payee 无名氏 is not in any department's payee list");
        QTest::newRow("scope 1 without department")
            << ok + QStringList { "--scope", "1" } << 2 << QStringLiteral("--department is required with --scope 1");
        QTest::newRow("scope 1 with an empty department")
            << ok + QStringList { "--scope", "1", "--department", "" } << 2
            << QStringLiteral("--department is required with --scope 1");
        QTest::newRow("sheet without workbook")
            << ok + QStringList { "--sheet", "三月" } << 2 << QStringLiteral("--sheet goes with --xlsx");
        QTest::newRow("empty sheet name") << ok + QStringList { "--xlsx", m_dir.filePath("a.xlsx"), "--sheet", "" } << 2
                                          << QStringLiteral("--sheet needs");
        QTest::newRow("empty workbook name")
            << ok + QStringList { "--xlsx", "" } << 2 << QStringLiteral("--xlsx needs");
        QTest::newRow("empty pdf name") << ok + QStringList { "--pdf", "" } << 2 << QStringLiteral("--pdf needs");
        QTest::newRow("unknown paper") << ok + QStringList { "--pdf", m_dir.filePath("a.pdf"), "--paper", "A5" } << 2
                                       << QStringLiteral("A5");
        QTest::newRow("paper without pdf") << ok + QStringList { "--paper", "A3" } << 2
                                           << QStringLiteral("--paper goes with --pdf");
        QTest::newRow("fit without pdf") << ok + QStringList { "--fit" } << 2 << QStringLiteral("--fit goes with --pdf");
        QTest::newRow("workbook folder missing")
            << ok + QStringList { "--xlsx", m_dir.filePath("missing/a.xlsx") } << 1 << QStringLiteral("daily: error");
        QTest::newRow("pdf folder missing")
            << ok + QStringList { "--pdf", m_dir.filePath("missing/a.pdf") } << 1 << QStringLiteral("daily: error");
        QTest::newRow("missing database")
            << QStringList { "--connect", QStringLiteral("Provider=SQLite;Data Source=") + m_dir.filePath("none.db"),
                   "--office", "01", "--from", "2024-03-01", "--to", "2024-03-31" }
            << 1 << QStringLiteral("daily: error");
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Result r = run(args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }

    void help()
    {
        const Result r = run({ QStringLiteral("--help") });
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("--department"));
    }
};

QTEST_GUILESS_MAIN(TestDailyCli)
#include "tst_dailycli.moc"
