#include "readback.h"
#include "receiptsfixture.h"
#include "tests/support/clirun.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestReceiptsCli : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;

    using Result = fee::testing::CliResult;

    static Result run(const QStringList& args)
    {
        return fee::testing::runCli(QStringList { QStringLiteral("receipts") } + args);
    }

    QStringList base() const
    {
        return { "--connect", receiptsFixtureConnection(m_db), "--from", "2026-03-01", "--to", "2026-03-31" };
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("receipts.db"));
        const QString error = createReceiptsFixture(m_db);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    // Every row and column, the hidden ones too, cells as the grid holds them.
    void csvToStdout()
    {
        const Result r = run(base()
            + QStringList { "--month-from", "2026-03-01", "--month-to", "2026-03-31", "--year-from", "2026-01-01",
                "--year-to", "2026-03-31", "--offices", "02,01" });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QList<QStringList> rows;
        QVERIFY(fee::testing::parseCsv(r.out, rows));
        QCOMPARE(rows.size(), 12); // 2 headings, 01: 6 rows + 小计, 02: 1 row + 小计, 合计
        for (const QStringList& row : rows)
            QCOMPARE(row.size(), 27);
        QCOMPARE(rows.at(0).mid(0, 8).join(','),
            QStringLiteral("序,管理项目名称,项目类别,收费项目,收历年,收历年,收历年,收当年"));
        QCOMPARE(rows.at(1).mid(19, 8).join(','), QStringLiteral("金额,税额,收入,操作,月实收累计,年实收累计,,"));
        QCOMPARE(rows.at(6).join(','),
            QStringLiteral("5,甲区,C类其他,押金,,,,,,,,,,,,,1620.00,0.00,1620.00,1620.00,0.00,1620.00,明细,1620.00,"
                           "1650.00,1,01 21"));
        QCOMPARE(rows.at(8).mid(0, 2).join(','), QStringLiteral("7,小计"));
        QCOMPARE(rows.at(8).at(23), QStringLiteral("2685.00"));
        QCOMPARE(rows.at(9).at(26), QStringLiteral("02 21"));
        QCOMPARE(rows.at(11).mid(19, 6).join(','), QStringLiteral("3930.00,89.58,3840.42,,3485.00,3565.00"));
    }

    void modesAndMethods_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("deposit");
        QTest::newRow("by department") << QStringList { "--mode", "1", "--department", "D1" } << "1000.00";
        QTest::newRow("by office") << QStringList { "--mode", "2" } << "620.00";
        QTest::newRow("one method") << QStringList { "--method", "微信" } << "70.00";
        QTest::newRow("every method") << QStringList { "--method", "all" } << "1620.00";
    }
    void modesAndMethods()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, deposit);
        const Result r = run(base() + QStringList { "--offices", "01", "--fees", "21" } + args);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QList<QStringList> rows;
        QVERIFY(fee::testing::parseCsv(r.out, rows));
        QCOMPARE(rows.last().at(1), QStringLiteral("合计"));
        QCOMPARE(rows.last().at(16), deposit);
    }

    void csvFile()
    {
        const QString csv = m_dir.filePath(QStringLiteral("out.csv"));
        const Result r = run(base() + QStringList { "--offices", "03", "--csv", csv });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QList<QStringList> rows;
        QVERIFY(fee::testing::parseCsv(f.readAll(), rows));
        QCOMPARE(rows.size(), 5);
        QCOMPARE(rows.at(2).mid(0, 3).join(','), QStringLiteral("1,丙区,"));
    }

    void help()
    {
        QProcess p;
        p.start(QStringLiteral(FEE_CLI_PATH), { "receipts", "--help" });
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(out.contains("--connect CONN|--connect-file FILE --from D --to D [--month-from D --month-to D]"), qPrintable(out));
        p.start(QStringLiteral(FEE_CLI_PATH), { "--help" });
        QVERIFY(p.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains("receipts --connect CONN"));
    }

    // The workbook is written under the name given; LibreOffice opens it.
    void workbook_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("xlsx") << "summary.xlsx";
        QTest::newRow("no extension") << "summary";
        QTest::newRow("xls") << "summary.xls";
    }
    void workbook()
    {
        QFETCH(QString, name);
        QDir folder(m_dir.filePath(QStringLiteral("book-") + name));
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        const QString file = folder.filePath(name);
        const Result r = run(base()
            + QStringList {
                "--month-from", "2026-03-01", "--month-to", "2026-03-31", "--offices", "02,01", "--xlsx", file });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY(r.out.isEmpty()); // no CSV unless asked for
        QCOMPARE(folder.entryList(QDir::Files), QStringList { name });

        // openpyxl reads only what is named as a workbook.
        const QString copy = folder.filePath(QStringLiteral("copy.xlsx"));
        QVERIFY(QFile::copy(file, copy));
        const WorkbookReadback book = WorkbookReadback::read(copy);
        QVERIFY2(book.ok(), qPrintable(book.error()));
        QCOMPARE(book.cell("A1").value("value").toString(), QStringLiteral("收 款 汇 总 表"));
        QCOMPARE(book.cell("A3").value("value").toString(), QStringLiteral(" 收款日期: 2026-03-01 至 2026-03-31"));
        QCOMPARE(book.cell("B12").value("value").toString(), QStringLiteral("小计"));
        QCOMPARE(book.cell("X12").value("value").toDouble(), 2685.0);
        QCOMPARE(book.cell("T15").value("value").toDouble(), 3930.0);
        QCOMPARE(book.cell("T15").value("fill").toString(), QStringLiteral("C0C0FF"));
        QVERIFY(book.cell("A16").value("value").isNull());

        if (name != QStringLiteral("summary.xlsx"))
            return;
        QProcess office;
        office.start(QStringLiteral("soffice"),
            { QStringLiteral("--headless"),
                QStringLiteral("-env:UserInstallation=file://") + m_dir.filePath(QStringLiteral("office-profile")),
                QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"),
                QStringLiteral("--outdir"), folder.path(), file });
        if (!office.waitForStarted(10000))
            QSKIP("LibreOffice is not installed");
        QVERIFY(office.waitForFinished(300000));
        QFile csv(folder.filePath(QStringLiteral("summary.csv")));
        QVERIFY2(csv.open(QIODevice::ReadOnly), qPrintable(QString::fromUtf8(office.readAllStandardError())));
        QList<QStringList> rows;
        QVERIFY(fee::testing::parseCsv(csv.readAll().replace("\r\n", "\n"), rows));
        QCOMPARE(rows.size(), 15);
        QCOMPARE(rows.at(0).at(0), QStringLiteral("收 款 汇 总 表"));
        QCOMPARE(rows.at(14).mid(0, 2), QStringList({ "10", "合计" }));
        QCOMPARE(rows.at(14).at(19), QStringLiteral("3930.00"));
        QCOMPARE(rows.at(9).at(22), QStringLiteral("明细"));
    }

    // The printout on the demo database: every page with its title block,
    // both heading rows and its page number. The table is wider than
    // landscape A4: by default it is shrunk onto A3 landscape; on A4 it is
    // printed cut off and the command says so.
    void printout_data()
    {
        QTest::addColumn<QStringList>("paperArgs");
        QTest::addColumn<QString>("pageSize");
        QTest::addColumn<QString>("notice");
        QTest::newRow("auto") << QStringList {} << "1191 x 842 pts (A3)" << QString();
        QTest::newRow("A4") << QStringList { "--paper", "A4" } << "842 x 595 pts (A4)"
                            << "表格比横向A4纸的可打印宽度还宽";
        QTest::newRow("A4, fit") << QStringList { "--paper", "A4", "--fit" } << "842 x 595 pts (A4)" << QString();
    }
    void printout()
    {
        QFETCH(QStringList, paperArgs);
        QFETCH(QString, pageSize);
        QFETCH(QString, notice);
        const QString demo = m_dir.filePath(QStringLiteral("demo.db"));
        if (!QFileInfo::exists(demo)) {
            QProcess tool;
            tool.start(QStringLiteral(FEE_CLI_PATH), { QStringLiteral("demo-db"), demo });
            QVERIFY(tool.waitForFinished(120000));
            QCOMPARE(tool.exitCode(), 0);
        }
        const QString pdf = m_dir.filePath(QStringLiteral("summary.pdf"));
        const QString csv = m_dir.filePath(QStringLiteral("combined.csv"));
        const QString xlsx = m_dir.filePath(QStringLiteral("combined.xlsx"));
        const Result r = run(QStringList { "--connect", QStringLiteral("Provider=SQLite;Data Source=") + demo, "--from",
                                 "2026-01-01", "--to", "2026-06-30", "--offices", "03,01,02", "--pdf", pdf, "--csv",
                                 csv, "--xlsx", xlsx }
            + paperArgs);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        if (notice.isEmpty())
            QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        else
            QVERIFY2(r.err.contains(notice), qPrintable(r.err));
        QVERIFY(QFileInfo::exists(csv));
        QVERIFY(QFileInfo::exists(xlsx));

        QProcess info;
        info.start(QStringLiteral("pdfinfo"), { pdf });
        if (!info.waitForStarted(10000))
            QSKIP("poppler-utils are not installed");
        QVERIFY(info.waitForFinished(60000));
        QVERIFY(QString::fromUtf8(info.readAllStandardOutput()).contains(pageSize));

        QProcess text;
        text.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
        QVERIFY(text.waitForFinished(60000));
        QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f');
        if (pages.last().trimmed().isEmpty())
            pages.removeLast();
        QVERIFY(!pages.isEmpty());
        for (int n = 1; n <= pages.size(); ++n) {
            const QString& page = pages.at(n - 1);
            QVERIFY2(page.contains(QStringLiteral("zu**物业管理有限公司")), qPrintable(page.left(200)));
            // The first office of the list order names the printout.
            QVERIFY(page.contains(QStringLiteral("(阳光花园管理处)收款汇总统计表")));
            QVERIFY(page.contains(QStringLiteral("日期范围:2026年01月01日-2026年06月30日")));
            // Both heading rows on every page.
            QVERIFY(page.contains(QStringLiteral("收当年")));
            QVERIFY(page.contains(QStringLiteral("金额")));
            QVERIFY(page.contains(QStringLiteral("税额")));
            QCOMPARE(page.contains(QStringLiteral("管理项目名称")), notice.isEmpty());
            QVERIFY2(
                page.contains(QStringLiteral("第%1页 共%2页").arg(n).arg(pages.size())), qPrintable(page.right(200)));
        }
    }

    void errors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString conn = receiptsFixtureConnection(m_db);
        const QStringList dates { "--from", "2026-03-01", "--to", "2026-03-31" };
        QTest::newRow("no connection") << dates << 2 << "--connect";
        QTest::newRow("no start") << QStringList { "--connect", conn, "--to", "2026-03-31" } << 2 << "--from";
        QTest::newRow("bad date") << QStringList { "--connect", conn, "--from", "2026-02-30", "--to", "2026-03-31" }
                                  << 2 << "2026-02-30";
        QTest::newRow("start after end") << QStringList { "--connect", conn, "--from", "2026-04-01", "--to",
            "2026-03-31" } << 2 << "收款日期起始日期不能大于终止日期，请重新选择！";
        QTest::newRow("month range half")
            << QStringList { "--connect", conn, "--month-from", "2026-03-01" } + dates << 2 << "--month-to";
        QTest::newRow("year range half") << QStringList { "--connect", conn, "--year-to", "2026-03-01" } + dates << 2
                                         << "--year-from";
        QTest::newRow("bad mode") << QStringList { "--connect", conn, "--mode", "3" } + dates << 2 << "3";
        QTest::newRow("unknown office") << QStringList { "--connect", conn, "--offices", "01,09" } + dates << 2
                                        << "office 09 is not in the office list";
        // The window checks the offices, then the dates, then the fee items.
        QTest::newRow("unknown office before dates") << QStringList { "--connect", conn, "--offices", "09", "--from",
            "2026-04-01", "--to", "2026-03-31" } << 2 << "office 09 is not in the office list";
        QTest::newRow("dates before fee items")
            << QStringList { "--connect", conn, "--fees", "98", "--from", "2026-04-01", "--to", "2026-03-31" } << 2
            << "收款日期起始日期不能大于终止日期，请重新选择！";
        // Names the window's lists could not offer would give a silently
        // empty report.
        QTest::newRow("unknown method") << QStringList { "--connect", conn, "--method", "支票" } + dates << 2
                                        << "payment method 支票 is not in the payment method list";
        QTest::newRow("mode 1 without department") << QStringList { "--connect", conn, "--mode", "1" } + dates << 2
                                                   << "--department is required with --mode 1";
        QTest::newRow("mode 1 with an empty department")
            << QStringList { "--connect", conn, "--mode", "1", "--department", "" } + dates << 2
            << "--department is required with --mode 1";
        QTest::newRow("commercial office") << QStringList { "--connect", conn, "--offices", "05" } + dates << 2 << "05";
        QTest::newRow("ended fee item") << QStringList { "--connect", conn, "--fees", "99" } + dates << 2 << "99";
        QTest::newRow("workbook without a name")
            << QStringList { "--connect", conn, "--xlsx", "" } + dates << 2 << "--xlsx";
        QTest::newRow("printout without a name")
            << QStringList { "--connect", conn, "--pdf", "" } + dates << 2 << "--pdf";
        QTest::newRow("unwritable workbook")
            << QStringList { "--connect", conn, "--xlsx", m_dir.filePath("no/such/dir/x.xlsx") } + dates << 1
            << "x.xlsx";
        QTest::newRow("unwritable printout")
            << QStringList { "--connect", conn, "--pdf", m_dir.filePath("no/such/dir/x.pdf") } + dates << 1 << "x.pdf";
        QTest::newRow("missing database")
            << QStringList { "--connect", "Provider=SQLite;Data Source=" + m_dir.filePath("none.db") } + dates << 1
            << "none.db";
        QTest::newRow("unwritable csv") << QStringList {
            "--connect", conn, "--csv", m_dir.filePath("no/such/dir/x.csv")
        } + dates << 1 << "x.csv";
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
        // One refusal, the first the checks meet.
        QCOMPARE(r.err.count(QStringLiteral("receipts: ")), 1);
    }
};

QTEST_GUILESS_MAIN(TestReceiptsCli)
#include "tst_receiptscli.moc"
