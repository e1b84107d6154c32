// The headless PDF: what pdftotext reads back from every page, what pdfinfo
// and pdffonts say about the file, and that pdftoppm renders it.
#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "print/gridpdf.h"
#include "print/pdftextmap.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace fee;

Q_DECLARE_METATYPE(fee::PrintPaper)

namespace {

const QString kTitle = QStringLiteral("(南区)收款日报表");
const QString kDateLine = QStringLiteral("日期范围:2024年01月05日-2024年01月31日");
const QString kLongRun = QStringLiteral("RUN-LONG");
constexpr int kRunFirst = 20;
constexpr int kRunLast = 79;
const QStringList kHeadings { QStringLiteral("序"), QStringLiteral("票据号码"), QStringLiteral("付款人"),
    QStringLiteral("收费项目"), QStringLiteral("金额"), QStringLiteral("备注") };

// A daily-like grid of 100 rows; column 1 (merge flag) holds short runs and
// one run over rows 20 to 79, longer than a page.
GridModel receiptsGrid(int columns = 6, int columnWidth = 0)
{
    GridModel grid;
    grid.setCols(columns);
    grid.setRows(101);
    grid.setFontName(QStringLiteral("微软雅黑"));
    grid.setFontSize(9);
    const int widths[] = { 700, 1600, 1600, 1600, 1400, 1600 };
    for (int c = 0; c < columns; ++c) {
        grid.setText(0, c, c < 6 ? kHeadings[c] : QStringLiteral("列%1").arg(c));
        grid.setColWidth(c, columnWidth > 0 ? columnWidth : widths[c % 6]);
        grid.setColAlignment(c, c == 4 ? AlignRight : AlignLeft);
    }
    grid.setMergeCol(1, true);
    for (int r = 1; r <= 100; ++r) {
        grid.setText(r, 0, QString::number(r));
        const bool inRun = r >= kRunFirst && r <= kRunLast;
        grid.setText(r, 1, inRun ? kLongRun : QStringLiteral("P%1").arg((r + 1) / 2, 4, 10, QLatin1Char('0')));
        grid.setText(r, 2, QStringLiteral("付款人%1").arg(r));
        grid.setText(r, 3, QStringLiteral("物业费"));
        grid.setText(r, 4, QStringLiteral("%1.50").arg(r * 3));
        grid.setText(r, 5, QStringLiteral("备注%1").arg(r));
        for (int c = 6; c < columns; ++c)
            grid.setText(r, c, QStringLiteral("x"));
    }
    return grid;
}

PrintGridOptions pdfOptions()
{
    PrintGridOptions o;
    o.title = kTitle;
    o.dateLine = kDateLine;
    o.printDate = QDate(2024, 2, 1);
    return o;
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString infoField(const QString& pdf, const QString& field)
{
    const QString info = run(QStringLiteral("pdfinfo"), { pdf });
    const QRegularExpression re(QStringLiteral("^%1:\\s*(.*)$").arg(field), QRegularExpression::MultilineOption);
    return re.match(info).captured(1).trimmed();
}

} // namespace

class TestGridPdf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pagesReadBack();
    void renders();
    void orientation_data();
    void orientation();
    void failureKeepsOldFile();
    void unwritableFolder();
    void textMapRepair();
    void radicalsOfTheFonts();

private:
    QTemporaryDir m_dir;
};

void TestGridPdf::initTestCase()
{
    QVERIFY(m_dir.isValid());
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("poppler-utils (pdftotext, pdfinfo, pdftoppm) are not installed");
}

void TestGridPdf::pagesReadBack()
{
    const QString pdf = m_dir.filePath(QStringLiteral("daily.pdf"));
    const GridPdfResult result = writeGridPdf(receiptsGrid(), pdf, pdfOptions());
    QVERIFY(result.pages >= 3);
    QCOMPARE(result.landscape, false);
    QCOMPARE(result.cutOff, false);
    QCOMPARE(infoField(pdf, QStringLiteral("Pages")), QString::number(result.pages));

    QStringList pages = run(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") })
                            .split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    QCOMPARE(pages.size(), result.pages);

    const QRegularExpression payer(QStringLiteral("付款人(\\d+)"));
    QList<int> seenRows;
    int pagesWithRun = 0;
    for (int n = 1; n <= pages.size(); ++n) {
        const QString& page = pages[n - 1];
        QVERIFY2(page.contains(QStringLiteral("zu**物业管理有限公司")), qPrintable(QStringLiteral("page %1").arg(n)));
        QVERIFY(page.contains(kTitle));
        QVERIFY(page.contains(kDateLine));
        for (const QString& heading : kHeadings)
            QVERIFY2(page.contains(heading), qPrintable(heading));
        QCOMPARE(page.count(QStringLiteral("第%1页 共%2页").arg(n).arg(result.pages)), 1);
        QCOMPARE(page.count(QStringLiteral("打印日期 2024-02-01")), 1);

        // The rows of this page, and the long run once if it reaches the page.
        QList<int> rows;
        for (auto it = payer.globalMatch(page); it.hasNext();)
            rows << it.next().captured(1).toInt();
        QVERIFY(!rows.isEmpty());
        seenRows += rows;
        const bool runHere
            = std::any_of(rows.begin(), rows.end(), [](int r) { return r >= kRunFirst && r <= kRunLast; });
        QCOMPARE(page.count(kLongRun), runHere ? 1 : 0);
        pagesWithRun += runHere ? 1 : 0;
        for (int r : rows) {
            QVERIFY(page.contains(QStringLiteral("备注%1").arg(r)));
            QVERIFY(page.contains(QStringLiteral("%1.50").arg(r * 3)));
            if (r < kRunFirst || r > kRunLast)
                QVERIFY(page.contains(QStringLiteral("P%1").arg((r + 1) / 2, 4, 10, QLatin1Char('0'))));
        }
    }
    QVERIFY(pagesWithRun >= 2);
    std::sort(seenRows.begin(), seenRows.end());
    QList<int> all;
    for (int r = 1; r <= 100; ++r)
        all << r;
    QCOMPARE(seenRows, all);

    // Real CJK faces are embedded: 宋体 by the serif one, 微软雅黑 by the sans one.
    const QString fonts = run(QStringLiteral("pdffonts"), { pdf });
    QVERIFY2(fonts.contains(QStringLiteral("NotoSerifCJK")), qPrintable(fonts));
    QVERIFY2(fonts.contains(QStringLiteral("NotoSansCJK")), qPrintable(fonts));
}

void TestGridPdf::renders()
{
    const QString pdf = m_dir.filePath(QStringLiteral("render.pdf"));
    const GridPdfResult result = writeGridPdf(receiptsGrid(), pdf, pdfOptions());
    const QString prefix = m_dir.filePath(QStringLiteral("page"));
    QProcess p;
    p.start(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"), pdf, prefix });
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QStringList pictures = QDir(m_dir.path()).entryList({ QStringLiteral("page-*.png") });
    QCOMPARE(pictures.size(), result.pages);
    for (const QString& name : pictures) {
        const QImage image(m_dir.filePath(name));
        QVERIFY(!image.isNull());
        QVERIFY(image.height() > image.width()); // portrait
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        QVERIFY2(dark > 500, qPrintable(name));
    }
}

void TestGridPdf::orientation_data()
{
    QTest::addColumn<int>("columns"); // 1200 twips each
    QTest::addColumn<PrintPaper>("paper");
    QTest::addColumn<bool>("fit");
    QTest::addColumn<QString>("paperName");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<double>("scale"); // 0: shrunk to the page's width
    QTest::addColumn<bool>("cutOff");
    QTest::addColumn<int>("parts");
    // Less quarter-inch margins, A4 is 11186 twips across in portrait and
    // 16118 in landscape; A3 16118 and 23091. At 9 points the text may
    // shrink to 8/9 of its size.
    const PrintPaper automatic = PrintPaper::Auto;
    const PrintPaper a4 = PrintPaper::A4;
    const PrintPaper a3 = PrintPaper::A3;
    QTest::newRow("auto: A4 portrait") << 9 << automatic << false << "A4" << false << 1.0 << false << 1; // 10800
    QTest::newRow("auto: A4 landscape") << 12 << automatic << false << "A4" << true << 1.0 << false << 1; // 14400
    QTest::newRow("auto: A3 landscape") << 14 << automatic << false << "A3" << true << 1.0 << false << 1; // 16800
    QTest::newRow("auto: A3 landscape shrunk") << 20 << automatic << false << "A3" << true << 0.0 << false << 1;
    QTest::newRow("auto: too wide to shrink so far, in parts")
        << 24 << automatic << false << "A3" << true << 8 / 9.0 << false << 2; // 28800
    QTest::newRow("auto, fit: shrunk below 8 points")
        << 24 << automatic << true << "A3" << true << 0.0 << false << 1;
    QTest::newRow("fit keeps a narrow table's size") << 9 << automatic << true << "A4" << false << 1.0 << false << 1;
    QTest::newRow("A4: landscape") << 12 << a4 << false << "A4" << true << 1.0 << false << 1;
    QTest::newRow("A4: too wide, cut off") << 14 << a4 << false << "A4" << true << 1.0 << true << 1;
    QTest::newRow("A4, fit") << 14 << a4 << true << "A4" << true << 0.0 << false << 1;
    QTest::newRow("A3: portrait") << 12 << a3 << false << "A3" << false << 1.0 << false << 1;
    QTest::newRow("A3: landscape") << 14 << a3 << false << "A3" << true << 1.0 << false << 1;
    QTest::newRow("A3: too wide, cut off") << 20 << a3 << false << "A3" << true << 1.0 << true << 1;
}

void TestGridPdf::orientation()
{
    QFETCH(int, columns);
    QFETCH(PrintPaper, paper);
    QFETCH(bool, fit);
    QFETCH(QString, paperName);
    QFETCH(bool, landscape);
    QFETCH(double, scale);
    QFETCH(bool, cutOff);
    QFETCH(int, parts);

    const QString pdf = m_dir.filePath(QStringLiteral("wide%1-%2-%3.pdf").arg(columns).arg(int(paper)).arg(fit));
    const GridModel grid = receiptsGrid(columns, 1200);
    const GridPdfResult result = writeGridPdf(grid, pdf, pdfOptions(), paper, fit);
    QCOMPARE(result.page.paperName, paperName);
    QCOMPARE(result.landscape, landscape);
    QCOMPARE(result.cutOff, cutOff);
    QCOMPARE(result.parts, parts);
    QCOMPARE(result.notice.isEmpty(), !cutOff && parts == 1);
    const double printable = result.page.layout.paintRect(QPageLayout::Point).width() * 20;
    if (scale > 0) {
        QCOMPARE(result.page.scale, scale);
    } else {
        // Shrunk to the page: no wider, and no narrower than it needs.
        QVERIFY(result.page.scale < 1);
        QVERIFY(columns * 1200 * result.page.scale <= printable);
        QVERIFY(columns * 1200 * (result.page.scale + 0.001) > printable);
    }
    QVERIFY(result.pages > 0);
    QCOMPARE(result.pages % parts, 0);

    const QRegularExpression size(QStringLiteral("([\\d.]+) x ([\\d.]+) pts"));
    const QRegularExpressionMatch m = size.match(infoField(pdf, QStringLiteral("Page size")));
    QVERIFY(m.hasMatch());
    QCOMPARE(m.captured(1).toDouble() > m.captured(2).toDouble(), landscape);
    const QSizeF points
        = QPageSize(paperName == QStringLiteral("A3") ? QPageSize::A3 : QPageSize::A4).size(QPageSize::Point);
    QCOMPARE(qRound(std::max(m.captured(1).toDouble(), m.captured(2).toDouble())),
        qRound(std::max(points.width(), points.height())));
    QCOMPARE(infoField(pdf, QStringLiteral("Pages")), QString::number(result.pages));

    const QString text = run(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    QCOMPARE(text.count(QStringLiteral("zu**物业管理有限公司")), result.pages);
    // Unless cut off, every column is on paper: its heading once for each
    // page of rows (序, the fixed column, on every page).
    if (!cutOff) {
        const int rowPages = result.pages / parts;
        QCOMPARE(text.count(QStringLiteral("序")), result.pages);
        for (int c = 6; c < columns; ++c)
            QCOMPARE(text.count(QRegularExpression(QStringLiteral("列%1(?!\\d)").arg(c))), rowPages);
    }
}

void TestGridPdf::failureKeepsOldFile()
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("old.pdf"));
    {
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old content");
    }
    GridModel grid = receiptsGrid();
    grid.setRowHeight(0, 20000); // no page holds a row this tall
    try {
        writeGridPdf(grid, pdf, pdfOptions());
        QFAIL("a page without room for one row was written");
    } catch (const Failure& f) {
        QCOMPARE(f.number(), kErrPrinter);
    }
    QFile old(pdf);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old content"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("old.pdf") });
}

void TestGridPdf::unwritableFolder()
{
    try {
        writeGridPdf(receiptsGrid(), m_dir.filePath(QStringLiteral("missing/folder/x.pdf")), pdfOptions());
        QFAIL("written into a folder that does not exist");
    } catch (const Failure& f) {
        QCOMPARE(f.number(), kErrFile);
    }
}

void TestGridPdf::textMapRepair()
{
    const QByteArray before = "<2F47> Tj\n"
                              "begincmap\n"
                              "2 beginbfchar\n"
                              "<2F47> <2F47>\n"
                              "<0003> <2EDA>\n"
                              "endbfchar\n"
                              "3 beginbfrange\n"
                              "<0001> <0002> [<2F47> <0041>]\n"
                              "<0005> <0005> <2EDA>\n"
                              "<0006> <0007> <2F47>\n"
                              "endbfrange\n"
                              "endcmap\n";
    // Targets are mended; sources, text outside the maps and a range of
    // consecutive targets are not.
    const QByteArray after = "<2F47> Tj\n"
                             "begincmap\n"
                             "2 beginbfchar\n"
                             "<2F47> <65E5>\n"
                             "<0003> <9875>\n"
                             "endbfchar\n"
                             "3 beginbfrange\n"
                             "<0001> <0002> [<65E5> <0041>]\n"
                             "<0005> <0005> <9875>\n"
                             "<0006> <0007> <2F47>\n"
                             "endbfrange\n"
                             "endcmap\n";
    QByteArray pdf = before;
    repairPdfTextMaps(pdf, { { 0x2F47, 0x65E5 }, { 0x2EDA, 0x9875 } });
    QCOMPARE(pdf, after);
}

void TestGridPdf::radicalsOfTheFonts()
{
    const QHash<char16_t, char16_t> map = radicalIdeographs({ QStringLiteral("Noto Sans CJK SC") });
    if (map.isEmpty())
        QSKIP("Noto Sans CJK SC is not installed");
    QCOMPARE(int(map.value(0x2F47)), 0x65E5); // 日
    QCOMPARE(int(map.value(0x2EDA)), 0x9875); // 页
    QCOMPARE(int(map.value(0x2F08)), 0x4EBA); // 人
}

QTEST_MAIN(TestGridPdf)
#include "tst_gridpdf.moc"
