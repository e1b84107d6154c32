// The daily command's workbook and PDF outputs, read back by independent
// readers: openpyxl for the workbook, pdftotext and pdfinfo for the PDF.
#include "dailyfixture.h"
#include "tests/support/clirun.h"

#include "../workbook/readback.h"

#include <QDate>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

fee::testing::CliResult runDaily(const QStringList& args)
{
    return fee::testing::runCli(QStringList { QStringLiteral("daily") } + args);
}

const QString kCompanyLine = QStringLiteral("zu**物业管理有限公司");

QString columnLetter(int col) { return QString(QChar(u'A' + col)); }

// A grid text as the sheet keeps it: numbers as numbers, dates as dates.
bool sheetHolds(const QJsonObject& cell, const QString& text)
{
    const QString type = cell.value(QStringLiteral("type")).toString();
    const QJsonValue value = cell.value(QStringLiteral("value"));
    if (text.isEmpty())
        return value.isNull() || value.toString().isEmpty();
    if (type == QStringLiteral("number"))
        return qFuzzyCompare(value.toDouble(), text.toDouble());
    if (type == QStringLiteral("date"))
        return text.startsWith(value.toString());
    return value.toString() == text;
}

QString runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Every entry of a zip package, hashed, by name.
QMap<QString, QString> entryHashes(const QString& path)
{
    const QString script = QStringLiteral("import hashlib, json, sys, zipfile\n"
                                          "z = zipfile.ZipFile(sys.argv[1])\n"
                                          "print(json.dumps({n: hashlib.sha256(z.read(n)).hexdigest() "
                                          "for n in z.namelist()}))\n");
    const QJsonObject object = QJsonDocument::fromJson(
        runTool(QStringLiteral("/usr/bin/python3"), { QStringLiteral("-c"), script, path }).toUtf8())
                                   .object();
    QMap<QString, QString> hashes;
    for (auto it = object.begin(); it != object.end(); ++it)
        hashes.insert(it.key(), it.value().toString());
    return hashes;
}

} // namespace

class TestDailyOutputs : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;

    QStringList base(const QString& from, const QString& to) const
    {
        return { QStringLiteral("--connect"), dailyFixtureConnectionString(m_db), QStringLiteral("--office"),
            QStringLiteral("01"), QStringLiteral("--from"), from, QStringLiteral("--to"), to };
    }

    // The CSV of a range, as the grid of the other outputs holds it.
    QVector<QStringList> gridRows(const QString& from, const QString& to) const
    {
        const fee::testing::CliResult r = runDaily(base(from, to));
        return r.exitCode == 0 ? fee::testing::csvRecords(r.out) : QList<QStringList> {};
    }

    // The sheet holds the three heading lines and every grid row from row 4.
    static void compareSheet(const WorkbookReadback& book, const QVector<QStringList>& rows, const QString& dateLine)
    {
        QVERIFY2(book.ok(), qPrintable(book.error()));
        QCOMPARE(book.cell(QStringLiteral("A1")).value("value").toString(), QStringLiteral("(南区) 收款日报表"));
        QCOMPARE(book.cell(QStringLiteral("A2")).value("value").toString(), dateLine);
        QCOMPARE(book.cell(QStringLiteral("A3")).value("value").toString(),
            QStringLiteral("打印日期：") + QDate::currentDate().toString(QStringLiteral("yyyy年MM月dd日")));
        QVERIFY(!rows.isEmpty());
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows.at(r).size(); ++c) {
                const QString address = columnLetter(c) + QString::number(r + 4);
                QVERIFY2(sheetHolds(book.cell(address), rows.at(r).at(c)),
                    qPrintable(address + QStringLiteral(": ") + rows.at(r).at(c) + QStringLiteral(" / ")
                        + QString::fromUtf8(QJsonDocument(book.cell(address)).toJson(QJsonDocument::Compact))));
            }
        }
        // Nothing below the totals row.
        QCOMPARE(book.cell(QStringLiteral("B") + QString::number(rows.size() + 4)).value("type").toString(), QString());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("daily.db"));
        QString error = createDailyFixture(m_db);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        error = addDailyPageRows(m_db);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void newWorkbook_data()
    {
        QTest::addColumn<QStringList>("sheetArgs");
        QTest::addColumn<QString>("sheet");
        QTest::newRow("default sheet") << QStringList {} << QStringLiteral("收款日报表");
        QTest::newRow("named sheet") << QStringList { QStringLiteral("--sheet"), QStringLiteral("三月") }
                                     << QStringLiteral("三月");
    }
    void newWorkbook()
    {
        QFETCH(QStringList, sheetArgs);
        QFETCH(QString, sheet);
        const QString xlsx = m_dir.filePath(QStringLiteral("new-%1.xlsx").arg(QTest::currentDataTag()));
        const QString csv = m_dir.filePath(QStringLiteral("new.csv"));
        const fee::testing::CliResult r = runDaily(base(QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31"))
            + QStringList { QStringLiteral("--xlsx"), xlsx, QStringLiteral("--csv"), csv } + sheetArgs);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QVector<QStringList> rows = fee::testing::csvRecords(file.readAll());
        QCOMPARE(rows.size(), 13);
        const WorkbookReadback book = WorkbookReadback::read(xlsx, sheet);
        QCOMPARE(book.sheets(), QStringList { sheet });
        compareSheet(book, rows, QStringLiteral("日期范围:2024年03月01日至2024年03月31日"));
        // The heading row keeps the grid's headings, trailing blanks included.
        QCOMPARE(book.cell(QStringLiteral("B4")).value("value").toString(), QStringLiteral("票据簿编号  "));
        QCOMPARE(book.cell(QStringLiteral("C5")).value("type").toString(), QStringLiteral("text"));
    }

    // A workbook with two sheets of its own gets the daily sheet added, then
    // replaced in place; its own sheets stay byte for byte.
    void existingWorkbook()
    {
        const QString xlsx = m_dir.filePath(QStringLiteral("existing.xlsx"));
        const QString make = QStringLiteral("import openpyxl, sys\n"
                                            "wb = openpyxl.Workbook()\n"
                                            "ws = wb.active\n"
                                            "ws.title = '封面'\n"
                                            "ws['A1'] = '二〇二四年报表'\n"
                                            "ws2 = wb.create_sheet('明细')\n"
                                            "for r in range(1, 20):\n"
                                            "    ws2.cell(row=r, column=2, value=r * 1.5)\n"
                                            "wb.save(sys.argv[1])\n");
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"), { QStringLiteral("-c"), make, xlsx });
        QVERIFY(python.waitForFinished(60000));
        QCOMPARE(python.exitCode(), 0);
        const QMap<QString, QString> original = entryHashes(xlsx);
        QVERIFY(original.contains(QStringLiteral("xl/worksheets/sheet1.xml")));
        QVERIFY(original.contains(QStringLiteral("xl/worksheets/sheet2.xml")));
        // The package's lists of sheets, styles and strings may change; every
        // other entry is copied as it was.
        const QStringList listings { "[Content_Types].xml", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
            "xl/styles.xml", "xl/sharedStrings.xml", "docProps/app.xml" };
        // The entries that differ from the original, listings aside.
        const auto changedEntries = [&] {
            const QMap<QString, QString> now = entryHashes(xlsx);
            QStringList changed;
            for (auto it = original.cbegin(); it != original.cend(); ++it) {
                if (!listings.contains(it.key()) && now.value(it.key()) != it.value())
                    changed << it.key();
            }
            return changed;
        };

        const QStringList sheets { QStringLiteral("封面"), QStringLiteral("明细"), QStringLiteral("收款日报表") };
        fee::testing::CliResult r = runDaily(
            base(QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31")) + QStringList { "--xlsx", xlsx });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(changedEntries(), QStringList {});
        const int entries = int(entryHashes(xlsx).size());
        QCOMPARE(entries, int(original.size()) + 1); // the daily sheet's part
        WorkbookReadback book = WorkbookReadback::read(xlsx, QStringLiteral("收款日报表"));
        QCOMPARE(book.sheets(), sheets);
        compareSheet(book, gridRows(QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31")),
            QStringLiteral("日期范围:2024年03月01日至2024年03月31日"));

        r = runDaily(base(QStringLiteral("2024-03-07"), QStringLiteral("2024-03-13")) + QStringList { "--xlsx", xlsx });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(changedEntries(), QStringList {});
        QCOMPARE(int(entryHashes(xlsx).size()), entries);
        book = WorkbookReadback::read(xlsx, QStringLiteral("收款日报表"));
        QCOMPARE(book.sheets(), sheets);
        compareSheet(book, gridRows(QStringLiteral("2024-03-07"), QStringLiteral("2024-03-13")),
            QStringLiteral("日期范围:2024年03月07日至2024年03月13日"));
        QCOMPARE(
            WorkbookReadback::read(xlsx, QStringLiteral("封面")).cell(QStringLiteral("A1")).value("value").toString(),
            QStringLiteral("二〇二四年报表"));
        QCOMPARE(
            WorkbookReadback::read(xlsx, QStringLiteral("明细")).cell(QStringLiteral("B19")).value("value").toDouble(),
            28.5);
    }

    // Every page carries the title block, the heading row and its page
    // number; the runs of equal 票据号码 print once on each page they reach.
    // The list's design widths are wider than landscape A4: by default the
    // paper is A3 landscape, where the whole table fits; on A4 the pages lose
    // the table's edges (序 on the left, 换票号码 on the right) and the
    // command says so.
    void pdfPages_data()
    {
        QTest::addColumn<QStringList>("paperArgs");
        QTest::addColumn<bool>("cutOff");
        QTest::addColumn<int>("firstHeading"); // the headings printed whole
        QTest::addColumn<int>("lastHeading");
        QTest::newRow("auto: A3") << QStringList {} << false << 0 << 17;
        QTest::newRow("A4, cut off") << QStringList { QStringLiteral("--paper"), QStringLiteral("A4") } << true << 2
                                     << 15;
        QTest::newRow("A3") << QStringList { QStringLiteral("--paper"), QStringLiteral("A3") } << false << 0 << 17;
    }
    void pdfPages()
    {
        QFETCH(QStringList, paperArgs);
        QFETCH(bool, cutOff);
        QFETCH(int, firstHeading);
        QFETCH(int, lastHeading);
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("poppler-utils (pdftotext, pdfinfo) are not installed");
        const QString pdf = m_dir.filePath(QStringLiteral("pages.pdf"));
        const fee::testing::CliResult r = runDaily(base(QStringLiteral("2024-05-01"), QStringLiteral("2024-06-30"))
            + QStringList { QStringLiteral("--pdf"), pdf } + paperArgs);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(r.err.contains(QStringLiteral("表格比横向")), cutOff);
        QVERIFY(r.out.isEmpty());
        const QVector<QStringList> rows = gridRows(QStringLiteral("2024-05-01"), QStringLiteral("2024-06-30"));
        const int dataRows = kDailyLedgerDays + kDailyLongInvoiceLines + 10;
        QCOMPARE(rows.size(), 1 + dataRows + 1);

        // Wider than portrait: the command turns the paper.
        const QString info = runTool(QStringLiteral("pdfinfo"), { pdf });
        QVERIFY2(info.contains(cutOff ? QStringLiteral("842 x 595") : QStringLiteral("1191 x 842")), qPrintable(info));
        QStringList pages
            = runTool(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") })
                  .split(QLatin1Char('\f'));
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        const int pageCount = pages.size();
        QVERIFY2(pageCount >= 3, qPrintable(QString::number(pageCount)));

        QStringList headingWords;
        for (int c = firstHeading; c <= lastHeading; ++c)
            headingWords << QRegularExpression::escape(rows.first().at(c).trimmed());
        const QRegularExpression headingRow(headingWords.join(QStringLiteral("\\s+")));
        // What tells the rows apart on a page: a ledger row's receipt date,
        // an invoice line's 摘要 or the invoice number, as a word of its own.
        const auto token = [&](int row) {
            const QStringList& cells = rows.at(row);
            if (row <= kDailyLedgerDays)
                return cells.at(12);
            if (row <= kDailyLedgerDays + kDailyLongInvoiceLines)
                return cells.at(6);
            return cells.at(2);
        };
        QString all;
        int rowsSeen = 0;
        for (int n = 1; n <= pageCount; ++n) {
            const QString& page = pages.at(n - 1);
            const QByteArray where = QByteArray::number(n);
            all += page;
            QVERIFY2(page.contains(kCompanyLine), where);
            QVERIFY2(page.contains(QStringLiteral("(南区)收款日报表")), where);
            QVERIFY2(page.contains(QStringLiteral("日期范围:2024年05月01日-2024年06月30日")), where);
            QVERIFY2(page.contains(headingRow), qPrintable(page));
            QVERIFY2(page.contains(QStringLiteral("第%1页 共%2页").arg(n).arg(pageCount)), qPrintable(page));

            QList<int> onThisPage;
            for (int row = 1; row <= dataRows; ++row) {
                const QRegularExpression word(
                    QStringLiteral("(?<!\\S)") + QRegularExpression::escape(token(row)) + QStringLiteral("(?!\\S)"));
                if (page.contains(word))
                    onThisPage << row;
            }
            QVERIFY(!onThisPage.isEmpty());
            rowsSeen += onThisPage.size();
            const auto reaches = [&](int first, int last) {
                return std::any_of(
                    onThisPage.cbegin(), onThisPage.cend(), [&](int row) { return row >= first && row <= last; });
            };
            QCOMPARE(int(page.count(QStringLiteral("不记录票据信息"))), reaches(1, kDailyLedgerDays) ? 1 : 0);
            QCOMPARE(int(page.count(QRegularExpression(QStringLiteral("N100(?!\\S)")))),
                reaches(kDailyLedgerDays + 1, kDailyLedgerDays + kDailyLongInvoiceLines) ? 1 : 0);
        }
        QCOMPARE(rowsSeen, dataRows);
        for (int row = 1; row <= dataRows; ++row)
            QVERIFY2(all.contains(rows.at(row).at(2)), qPrintable(rows.at(row).at(2)));
    }

    // A remark no paper is wide enough for: by default the columns print in
    // parts and the remark's own part is cut off; on paper given, the table
    // is cut off; fit to width shrinks it onto the page. The command says
    // what became of the table.
    void pdfTooWide_data()
    {
        QTest::addColumn<QStringList>("paperArgs");
        QTest::addColumn<QStringList>("notice");
        QTest::newRow("auto") << QStringList {} << QStringList { "分成左右", "超出的部分打印不出来" };
        QTest::newRow("A3") << QStringList { "--paper", "A3" } << QStringList { "表格比横向A3纸", "打印不出来" };
        QTest::newRow("fit") << QStringList { "--fit" } << QStringList {};
        QTest::newRow("A4, fit") << QStringList { "--paper", "A4", "--fit" } << QStringList {};
    }
    void pdfTooWide()
    {
        QFETCH(QStringList, paperArgs);
        QFETCH(QStringList, notice);
        const QString pdf = m_dir.filePath(QStringLiteral("wide.pdf"));
        QFile::remove(pdf);
        const fee::testing::CliResult r = runDaily(
            base(QStringLiteral("2024-07-01"), QStringLiteral("2024-07-31")) + QStringList { "--pdf", pdf } + paperArgs);
        QCOMPARE(r.exitCode, 0);
        for (const QString& words : notice)
            QVERIFY2(r.err.contains(words), qPrintable(r.err));
        if (notice.isEmpty())
            QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QVERIFY(QFile::exists(pdf));
    }

    // The outputs combine; the CSV goes to standard output only when none is named.
    void combined()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("both.pdf"));
        const QString xlsx = m_dir.filePath(QStringLiteral("both.xlsx"));
        const fee::testing::CliResult r = runDaily(base(QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31"))
            + QStringList { "--pdf", pdf, "--xlsx", xlsx, "--csv", "-" });
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(fee::testing::csvRecords(r.out), gridRows(QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31")));
        QVERIFY(QFile::exists(pdf));
        QVERIFY(QFile::exists(xlsx));
    }
};

QTEST_GUILESS_MAIN(TestDailyOutputs)
#include "tst_dailyoutputs.moc"
