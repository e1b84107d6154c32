#include "ledgerfixture.h"
#include "tests/support/clirun.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestMonthlyCli : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;

    using Result = fee::testing::CliResult;

    static Result run(const QStringList& args)
    {
        return fee::testing::runCli(QStringList { QStringLiteral("monthly") } + args);
    }

    QStringList base() const
    {
        return { QStringLiteral("--connect"), fixtureConnectionString(m_db), QStringLiteral("--date"),
            QStringLiteral("2020-03-15") };
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("ledger.db"));
        const QString error = createLedgerFixture(m_db);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void csvToStdout()
    {
        const Result r = run(base() + QStringList { QStringLiteral("--fees"), QStringLiteral("01,02") });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QList<QStringList> rows;
        QVERIFY(fee::testing::parseCsv(r.out, rows));
        QCOMPARE(rows.size(), 8); // 2 headings, 5 offices, totals
        for (const QStringList& row : rows)
            QCOMPARE(row.size(), 39);
        QCOMPARE(rows.at(0).mid(0, 9).join(QLatin1Char(',')),
            QStringLiteral("序,项目名称,往年欠费,往年欠费,往年欠费,往年欠费,往年欠费,往年欠费,2020年物业费"));
        QCOMPARE(rows.at(1).at(6), QStringLiteral("清欠率\r\n(含减免)"));
        QCOMPARE(rows.at(1).at(29), QStringLiteral("预收2023年\r\n及以后"));
        QCOMPARE(rows.at(2).join(QLatin1Char(',')),
            QStringLiteral(
                "1,A区花园,2765.25,355.25,50.00,2360.00,14.66%,13.08%,921.25,165.50,70.00,160.00,110.00,,,,,,,,,"
                "505.50,30.00,145.75,240.00,73.95%,67.81%,1200.00,1300.00,1400.00,3900.00,4760.75,3,571.25,"
                "395.50,175.75,69.23%,2535.75,01"));
        QCOMPARE(rows.at(4).join(QLatin1Char(',')),
            QStringLiteral("3,C区,,,,0.00,,,,,,,,,,,,,,,,0.00,,,0.00,,,,,,0.00,0.00,3,,,0.00,,0.00,03"));
        QCOMPARE(rows.at(7).mid(0, 6).join(QLatin1Char(',')), QStringLiteral(",合计,3669.56,1234.56,75.00,2360.00"));
        QCOMPARE(rows.at(7).at(38), QString());
    }

    // "all" takes every office of the kind and every fee item, ended ones included.
    void allAndFiles()
    {
        const QString csv = m_dir.filePath(QStringLiteral("out.csv"));
        const Result r = run(base()
            + QStringList { QStringLiteral("--kind"), QStringLiteral("commercial"), QStringLiteral("--csv"), csv });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QList<QStringList> rows;
        QVERIFY(fee::testing::parseCsv(f.readAll(), rows));
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows.at(2).mid(0, 2), (QStringList { "1", "D商场" }));
        QCOMPARE(rows.at(2).at(38), QStringLiteral("04"));
        QCOMPARE(rows.at(3).at(1), QStringLiteral("合计"));
    }

    void chosenOffices()
    {
        // Chosen offices run in list order, each once, whatever order they were named in.
        const Result r = run(base() + QStringList { QStringLiteral("--offices"), QStringLiteral("06,02,06") });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QList<QStringList> rows;
        QVERIFY(fee::testing::parseCsv(r.out, rows));
        QCOMPARE(rows.size(), 5);
        QCOMPARE(rows.at(2).mid(0, 3), (QStringList { "1", "B区", "879.31" }));
        QCOMPARE(rows.at(3).mid(0, 3), (QStringList { "2", "F区", "25.00" }));

        // Every item by default, the ended 水费 (8888.00 due in 2020) too.
        const Result all = run(base() + QStringList { QStringLiteral("--offices"), QStringLiteral("01") });
        QVERIFY(fee::testing::parseCsv(all.out, rows));
        QCOMPARE(rows.at(2).at(8), QStringLiteral("9809.25"));
    }

    void workbook()
    {
        const QString path = m_dir.filePath(QStringLiteral("summary.xlsx"));
        const Result r = run(base() + QStringList { QStringLiteral("--xlsx"), path });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QVERIFY(QFileInfo(path).size() > 0);
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".xlsx")));
    }

    // Each command explains itself and exits 0; the tool's own help lists
    // every command from the same table.
    void help_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("shows");
        QTest::newRow("monthly") << QStringList { "monthly", "--help" } << "--connect CONN|--connect-file FILE --date YYYY-MM-DD";
        QTest::newRow("monthly -h") << QStringList { "monthly", "-h" } << "--fees CODES";
        QTest::newRow("demo-db") << QStringList { "demo-db", "--help" } << "--plain-collation";
        QTest::newRow("tool") << QStringList { "--help" } << "monthly --connect CONN";
    }
    void help()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, shows);
        QProcess p;
        p.start(QStringLiteral(FEE_CLI_PATH), args);
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(out.contains(shows), qPrintable(out));
        QCOMPARE(p.readAllStandardError(), QByteArray());
    }

    void errors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString conn = fixtureConnectionString(m_db);
        QTest::newRow("no connection") << QStringList { "--date", "2020-03-15" } << 2 << "--connect";
        QTest::newRow("no date") << QStringList { "--connect", conn } << 2 << "--date";
        QTest::newRow("bad date") << QStringList { "--connect", conn, "--date", "2020-02-30" } << 2 << "2020-02-30";
        QTest::newRow("bad kind") << QStringList { "--connect", conn, "--date", "2020-03-15", "--kind", "shops" } << 2
                                  << "shops";
        QTest::newRow("unknown option") << QStringList { "--connect", conn, "--date", "2020-03-15", "--colour" } << 2
                                        << "colour";
        QTest::newRow("office of the other kind")
            << QStringList { "--connect", conn, "--date", "2020-03-15", "--offices", "01,04" } << 2 << "04";
        QTest::newRow("closed office") << QStringList { "--connect", conn, "--date", "2020-03-15", "--offices", "05" }
                                       << 2 << "05";
        QTest::newRow("unknown fee item")
            << QStringList { "--connect", conn, "--date", "2020-03-15", "--fees", "01,99" } << 2 << "99";
        QTest::newRow("missing database") << QStringList { "--connect",
            "Provider=SQLite;Data Source=" + m_dir.filePath("none.db"), "--date", "2020-03-15" }
                                          << 1 << "none.db";
        QTest::newRow("unwritable csv") << QStringList { "--connect", conn, "--date", "2020-03-15", "--csv",
            m_dir.filePath("no/such/dir/x.csv") }
                                        << 1 << "x.csv";
        QTest::newRow("unwritable pdf") << QStringList { "--connect", conn, "--date", "2020-03-15", "--pdf",
            m_dir.filePath("no/such/dir/x.pdf") }
                                        << 1 << "x.pdf";
        QTest::newRow("fit without pdf") << QStringList { "--connect", conn, "--date", "2020-03-15", "--fit" } << 2
                                         << "--fit goes with --pdf";
    }
    void errors()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Result r = run(args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMonthlyCli)
#include "tst_monthlycli.moc"
