#include "receiptsfixture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// RFC 4180 records; a CR outside quotes (a CRLF line end) makes the parse fail.
bool parseCsv(const QByteArray& data, QList<QStringList>& records)
{
    records.clear();
    const QString text = QString::fromUtf8(data);
    QStringList record;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            record << field;
            field.clear();
        } else if (c == QLatin1Char('\n')) {
            records << (record << field);
            record.clear();
            field.clear();
        } else if (c == QLatin1Char('\r')) {
            return false;
        } else {
            field += c;
        }
    }
    return !quoted && record.isEmpty() && field.isEmpty();
}

} // namespace

class TestReceiptsCli : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;

    struct Result {
        int exitCode;
        QByteArray out;
        QString err;
    };

    Result run(const QStringList& args)
    {
        QProcess p;
        p.start(QStringLiteral(FEE_CLI_PATH), QStringList { QStringLiteral("receipts") } + args);
        if (!p.waitForFinished(120000))
            return { -1, {}, QStringLiteral("did not finish") };
        return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError()) };
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
        QVERIFY(parseCsv(r.out, rows));
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
        QTest::newRow("department unknown") << QStringList { "--mode", "1" } << "";
        QTest::newRow("by office") << QStringList { "--mode", "2" } << "620.00";
        QTest::newRow("one method") << QStringList { "--method", "微信" } << "70.00";
        // A method is taken as the list would show it, without a check.
        QTest::newRow("method not in the table") << QStringList { "--method", "支票" } << "";
    }
    void modesAndMethods()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, deposit);
        const Result r = run(base() + QStringList { "--offices", "01", "--fees", "21" } + args);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QList<QStringList> rows;
        QVERIFY(parseCsv(r.out, rows));
        QCOMPARE(rows.last().at(1), QStringLiteral("合计"));
        QCOMPARE(rows.last().at(16), deposit.isEmpty() ? QStringLiteral("0.00") : deposit);
        if (deposit.isEmpty())
            QCOMPARE(rows.size(), 5); // headings, name-only row, 小计, 合计
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
        QVERIFY(parseCsv(f.readAll(), rows));
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
        QVERIFY2(out.contains("--connect CONN --from D --to D [--month-from D --month-to D]"), qPrintable(out));
        p.start(QStringLiteral(FEE_CLI_PATH), { "--help" });
        QVERIFY(p.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains("receipts --connect CONN"));
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
        QTest::newRow("unknown office") << QStringList { "--connect", conn, "--offices", "01,09" } + dates << 2 << "09";
        QTest::newRow("commercial office") << QStringList { "--connect", conn, "--offices", "05" } + dates << 2 << "05";
        QTest::newRow("ended fee item") << QStringList { "--connect", conn, "--fees", "99" } + dates << 2 << "99";
        QTest::newRow("workbook later") << QStringList { "--connect", conn, "--xlsx", "x.xlsx" } + dates << 2
                                        << "--xlsx";
        QTest::newRow("printout later") << QStringList { "--connect", conn, "--pdf", "x.pdf" } + dates << 2 << "--pdf";
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
    }
};

QTEST_GUILESS_MAIN(TestReceiptsCli)
#include "tst_receiptscli.moc"
