// The printouts of the three reports as the command line writes them on the
// demo database with the default options, read back as a person would
// check them: every page with the company line, the title, the date line,
// every heading row, "第n页 共m页" and the print date; every cell of the grid
// (the CSV of the same run) on paper in its column's order; no text drawn
// over another. One page of each is rendered for a person to look at.
#include "core/grid/gridmodel.h"
#include "reports/daily/dailygrid.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/receipts_summary/receiptscolumns.h"
#include "tests/support/clirun.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace fee;

namespace {

QString tool(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList pagesOf(const QString& text)
{
    QStringList pages = text.split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// The lines of a cell or heading text as printed (blanks at the ends do not
// show).
QStringList printedLines(const QString& text)
{
    QStringList lines;
    for (QString line : QString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

QRegularExpression word(const QString& text)
{
    return QRegularExpression(QStringLiteral("(?<!\\S)") + QRegularExpression::escape(text) + QStringLiteral("(?!\\S)"));
}

struct WordBox {
    QRectF box;
    QString text;
};

// The words of every page with their boxes (pdftotext -bbox).
QList<QList<WordBox>> wordBoxes(const QString& pdf)
{
    const QString html = tool(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") });
    const QRegularExpression re(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<QList<WordBox>> pages;
    for (const QString& page : html.split(QStringLiteral("<page ")).mid(1)) {
        QList<WordBox> words;
        for (auto it = re.globalMatch(page); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            words.append({ QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                               QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())),
                m.captured(5) });
        }
        pages.append(words);
    }
    return pages;
}

// What the test needs of a report's grid: its heading rows, the columns not
// shown (no width) and the columns whose runs print as one cell.
struct GridShape {
    int headingRows = 1;
    QSet<int> hidden;
    QSet<int> merged;
};

GridShape shapeOf(const GridModel& grid)
{
    GridShape shape;
    shape.headingRows = grid.fixedRows();
    for (int c = 0; c < grid.cols(); ++c) {
        if (grid.colWidth(c) == 0)
            shape.hidden.insert(c);
        if (grid.mergeCol(c))
            shape.merged.insert(c);
    }
    return shape;
}

} // namespace

Q_DECLARE_METATYPE(GridShape)

class TestReportPdfs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void printout_data();
    void printout();

private:
    QTemporaryDir m_dir;
    QString m_connect;
    QString m_pictures;
};

void TestReportPdfs::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("poppler-utils (pdftotext, pdfinfo, pdftoppm) are not installed");
    QVERIFY(m_dir.isValid());
    const QString demo = m_dir.filePath(QStringLiteral("demo.db"));
    const fee::testing::CliResult made = fee::testing::runCli({ QStringLiteral("demo-db"), demo });
    QVERIFY2(made.exitCode == 0, qPrintable(made.err));
    m_connect = QStringLiteral("Provider=SQLite;Data Source=") + demo;
    m_pictures = QStringLiteral(FEE_BINARY_DIR "/test-output/print");
    QVERIFY(QDir().mkpath(m_pictures));
}

void TestReportPdfs::printout_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<GridShape>("shape");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("dateLine");
    QTest::addColumn<int>("parts"); // parts of columns side by side
    QTest::addColumn<int>("pictured"); // the page rendered for a person

    GridModel daily;
    DailyGrid::layout(daily);
    DailyGrid::applyMergeSettings(daily);
    QTest::newRow("daily") << QStringList { "daily", "--office", "01", "--from", "2026-01-01", "--to", "2026-01-31" }
                           << shapeOf(daily) << "(阳光花园管理处)收款日报表"
                           << "日期范围:2026年01月01日-2026年01月31日" << 1 << 1;
    GridModel receipts;
    layoutReceiptsSummaryGrid(receipts);
    QTest::newRow("receipts") << QStringList { "receipts", "--from", "2026-01-01", "--to", "2026-03-31" }
                              << shapeOf(receipts) << "(阳光花园管理处)收款汇总统计表"
                              << "日期范围:2026年01月01日-2026年03月31日" << 1 << 2;
    GridModel monthly;
    monthly::layoutSummaryGrid(monthly, QStringLiteral("2026"));
    // 38 columns: shrunk to 8-point text on A3 landscape, they still take
    // two parts.
    QTest::newRow("monthly") << QStringList { "monthly", "--date", "2026-12-10" } << shapeOf(monthly)
                             << "住宅物业费收缴率汇总表"
                             << " 统计日期 : 2026-12-10" << 2 << 2;
}

void TestReportPdfs::printout()
{
    QFETCH(QStringList, args);
    QFETCH(GridShape, shape);
    QFETCH(QString, title);
    QFETCH(QString, dateLine);
    QFETCH(int, parts);
    QFETCH(int, pictured);

    const QString name = args.front();
    const QString pdf = m_dir.filePath(name + QStringLiteral(".pdf"));
    const QString csv = m_dir.filePath(name + QStringLiteral(".csv"));
    const fee::testing::CliResult r = fee::testing::runCli(
        args + QStringList { QStringLiteral("--connect"), m_connect, QStringLiteral("--pdf"), pdf, "--csv", csv });
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    // Every column is on paper: nothing is cut off; a table split in parts says so.
    QVERIFY2(!r.err.contains(QStringLiteral("打印不出来")), qPrintable(r.err));
    QCOMPARE(r.err.contains(QStringLiteral("分成左右 %1 部分打印").arg(parts)), parts > 1);
    QFile csvFile(csv);
    QVERIFY(csvFile.open(QIODevice::ReadOnly));
    const QList<QStringList> grid = fee::testing::csvRecords(csvFile.readAll());
    QVERIFY(grid.size() > shape.headingRows + 1);

    const QString info = tool(QStringLiteral("pdfinfo"), { pdf });
    QVERIFY2(info.contains(QStringLiteral("1191 x 842 pts (A3)")), qPrintable(info));
    const QStringList pages = pagesOf(tool(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, "-" }));
    const int pageCount = pages.size();
    QVERIFY(pageCount >= 2);
    QCOMPARE(pageCount % parts, 0);

    // The heading texts, and those of the fixed first column (序) that every
    // part repeats.
    QStringList headings;
    for (int row = 0; row < shape.headingRows; ++row) {
        for (int c = 0; c < grid.front().size(); ++c) {
            if (!shape.hidden.contains(c))
                headings += printedLines(grid.at(row).at(c));
        }
    }
    headings.removeDuplicates();
    const QString printed = QStringLiteral("打印日期 ") + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    for (int n = 1; n <= pageCount; ++n) {
        const QString& page = pages.at(n - 1);
        const QByteArray where = name.toUtf8() + " page " + QByteArray::number(n);
        QVERIFY2(page.contains(QStringLiteral("zu**物业管理有限公司")), where);
        QVERIFY2(page.contains(title), where);
        QVERIFY2(page.contains(dateLine.trimmed()), where);
        QVERIFY2(page.contains(word(QStringLiteral("序"))), where);
        QCOMPARE(int(page.count(QStringLiteral("第%1页 共%2页").arg(n).arg(pageCount))), 1);
        QCOMPARE(int(page.count(QRegularExpression(QStringLiteral("第\\d+页 共\\d+页")))), 1);
        QCOMPARE(int(page.count(printed)), 1);
    }
    // Every heading row on every page: each group of the parts of the same
    // rows carries every heading.
    for (int first = 0; first < pageCount; first += parts) {
        const QString group = pages.mid(first, parts).join(QLatin1Char('\n'));
        for (const QString& heading : headings)
            QVERIFY2(group.contains(heading), qPrintable(QStringLiteral("%1 page %2: %3").arg(name).arg(first + 1).arg(heading)));
    }

    // Every cell text on paper, each column's texts in the order of its rows
    // (a run of equal texts in a merge column prints once a page).
    const QString stream = tool(QStringLiteral("pdftotext"), { QStringLiteral("-raw"), pdf, QStringLiteral("-") });
    int cells = 0;
    for (int c = 0; c < grid.front().size(); ++c) {
        if (shape.hidden.contains(c))
            continue;
        qsizetype at = 0;
        QString previous;
        for (int row = shape.headingRows; row < grid.size(); ++row) {
            const QString text = grid.at(row).at(c);
            if (text.isEmpty() || (shape.merged.contains(c) && text == previous))
                continue;
            previous = text;
            for (const QString& line : printedLines(text)) {
                const QRegularExpressionMatch m = word(line).match(stream, at);
                QVERIFY2(m.hasMatch(),
                    qPrintable(QStringLiteral("%1: row %2, column %3: %4").arg(name).arg(row).arg(c).arg(line)));
                at = m.capturedEnd();
                ++cells;
            }
        }
    }
    QVERIFY(cells > 100);

    // No word drawn over another: merged headings once over their span,
    // headings too wide for their cells shrunk inside them.
    const QList<QList<WordBox>> boxes = wordBoxes(pdf);
    QCOMPARE(boxes.size(), pageCount);
    for (int n = 0; n < boxes.size(); ++n) {
        const QList<WordBox>& words = boxes.at(n);
        for (int i = 0; i < words.size(); ++i) {
            for (int j = i + 1; j < words.size(); ++j) {
                const QRectF common = words.at(i).box.intersected(words.at(j).box);
                QVERIFY2(common.width() < 0.5 || common.height() < 0.5,
                    qPrintable(QStringLiteral("%1 page %2: %3 over %4")
                                   .arg(name)
                                   .arg(n + 1)
                                   .arg(words.at(i).text, words.at(j).text)));
            }
        }
    }

    // One page for a person to look at.
    const QString prefix = QDir(m_pictures).filePath(name);
    QFile::remove(prefix + QStringLiteral("-%1.png").arg(pictured));
    QVERIFY(tool(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-png"), QStringLiteral("-f"),
            QString::number(pictured), QStringLiteral("-l"), QString::number(pictured), pdf, prefix })
                .isEmpty());
    const QStringList written = QDir(m_pictures).entryList({ name + QStringLiteral("-*%1.png").arg(pictured) });
    QVERIFY2(!written.isEmpty(), qPrintable(prefix));
    qInfo("%s", qPrintable(QStringLiteral("page %1 of %2 rendered to %3/%4").arg(pictured).arg(name, m_pictures, written.front())));
}

QTEST_GUILESS_MAIN(TestReportPdfs)
#include "tst_reportpdfs.moc"
