// The printed table's layout, checked call by call on a recording surface.
// Its fixed metrics make every position an exact figure: at 9 points a line
// is 270 twips high and a Chinese character 180 wide, at 16 points 480 and 320.
#include "common/failure.h"
#include "common/grid/gridmodel.h"
#include "common/messages.h"
#include "common/print/printgrid.h"
#include "common/print/recordingsurface.h"

#include <QtTest>
#include <optional>

using namespace fee;

Q_DECLARE_METATYPE(fee::PaperWidthAnswer)

namespace {

constexpr double kPageWidth = 6000;
constexpr double kBodyLine = 270; // 9 pt
constexpr double kTitleLine = 480; // 16 pt
constexpr double kRowHeight = 300;
const QVector<double> kWidths { 600, 1500, 1200 };
constexpr double kTableWidth = 3300;
constexpr double kLeft = (kPageWidth - kTableWidth) / 2;
// Top of the first data row: company line, half a line, title, blank line,
// one body line, heading row; a date line adds one body line.
constexpr double kYBase = kTitleLine + kTitleLine / 2 + kTitleLine + kTitleLine + kBodyLine + kRowHeight;
constexpr double kYBaseDated = kYBase + kBodyLine;
const QDate kPrintDate(2024, 1, 5);

// A page height on which R = capacity (R - 1 data rows a page).
double pageHeightFor(int capacity, bool dateLine = false, bool signature = false, double slack = 100)
{
    const double header = 1.5 * kTitleLine + kTitleLine + (dateLine ? 2 * kBodyLine : 0);
    const double footer = (signature ? 3 : 2) * kBodyLine;
    return header + footer + 4 * kBodyLine + capacity * (kRowHeight + 45) + slack;
}

// Three columns: 序 (row numbers), 票据号码 (merge flag), 金额 (right-aligned).
GridModel tableGrid(int dataRows)
{
    GridModel grid;
    grid.setCols(3);
    grid.setRows(dataRows + 1);
    const QStringList headings { QStringLiteral("序"), QStringLiteral("票据号码"), QStringLiteral("金额") };
    for (int c = 0; c < 3; ++c) {
        grid.setText(0, c, headings[c]);
        grid.setColWidth(c, int(kWidths[c]));
    }
    grid.setRowHeight(0, int(kRowHeight));
    grid.setColAlignment(0, AlignCenter);
    grid.setColAlignment(1, AlignLeft);
    grid.setColAlignment(2, AlignRight);
    grid.setMergeCol(1, true);
    for (int r = 1; r <= dataRows; ++r) {
        grid.setText(r, 0, QString::number(r));
        grid.setText(r, 1, QStringLiteral("N%1").arg(r));
        grid.setText(r, 2, QStringLiteral("1.00"));
    }
    return grid;
}

PrintGridOptions options(const QString& dateLine = QString())
{
    PrintGridOptions o;
    o.title = QStringLiteral("(南区)收款日报表");
    o.dateLine = dateLine;
    o.printDate = kPrintDate;
    o.paperWidth = PaperWidthAnswer::No;
    return o;
}

double columnLeft(int col)
{
    double x = kLeft;
    for (int c = 0; c < col; ++c)
        x += kWidths[c];
    return x;
}

// The texts drawn inside a column below the heading row (the footer's aside).
QVector<SurfaceRecord> cellTexts(const RecordingSurface& s, int page, int col, double yBase = kYBase)
{
    QVector<SurfaceRecord> found;
    for (const SurfaceRecord& r : s.texts(page)) {
        if (r.x1 >= columnLeft(col) && r.x1 < columnLeft(col) + kWidths[col] && r.y1 >= yBase
            && !r.text.startsWith(QStringLiteral("打印日期")) && !r.text.startsWith(QStringLiteral("第")))
            found.append(r);
    }
    return found;
}

QStringList textsOf(const QVector<SurfaceRecord>& records)
{
    QStringList texts;
    for (const SurfaceRecord& r : records)
        texts << r.text;
    return texts;
}

std::optional<SurfaceRecord> findText(const RecordingSurface& s, int page, const QString& prefix)
{
    for (const SurfaceRecord& r : s.texts(page)) {
        if (r.text.startsWith(prefix))
            return r;
    }
    return std::nullopt;
}

bool hasLine(const RecordingSurface& s, int page, double x1, double y1, double x2, double y2)
{
    for (const SurfaceRecord& r : s.lines(page)) {
        if (qFuzzyCompare(1 + r.x1, 1 + x1) && qFuzzyCompare(1 + r.y1, 1 + y1) && qFuzzyCompare(1 + r.x2, 1 + x2)
            && qFuzzyCompare(1 + r.y2, 1 + y2))
            return true;
    }
    return false;
}

// The tops of the horizontal borders drawn across a column below the heading.
QList<double> cellTops(const RecordingSurface& s, int page, int col)
{
    QList<double> tops;
    const double x = columnLeft(col);
    for (const SurfaceRecord& r : s.lines(page)) {
        if (r.y1 == r.y2 && r.x1 == x && r.x2 == x + kWidths[col] && r.y1 >= kYBase)
            tops << r.y1;
    }
    return tops;
}

int countKind(const RecordingSurface& s, SurfaceRecord::Kind kind)
{
    int n = 0;
    for (const SurfaceRecord& r : s.records())
        n += r.kind == kind ? 1 : 0;
    return n;
}

bool drewAnything(const RecordingSurface& s)
{
    return countKind(s, SurfaceRecord::Text) + countKind(s, SurfaceRecord::Line) + countKind(s, SurfaceRecord::NewPage)
        + countKind(s, SurfaceRecord::EndJob)
        > 0;
}

double width9(const QString& text)
{
    double w = 0;
    for (QChar ch : text)
        w += ch.unicode() >= 0x2E80 ? 180 : 90;
    return w;
}

} // namespace

class TestPrintGrid : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void pagination_data();
    void pagination();
    void footerFollowsLastRow_data();
    void footerFollowsLastRow();
    void titleBlock_data();
    void titleBlock();
    void mergedRuns();
    void textPlacement_data();
    void textPlacement();
    void paperWidth_data();
    void paperWidth();
    void emptyGrid();
    void pageTooShort_data();
    void pageTooShort();
    void signatureAndSkip();
    void printDateIsToday();
    void surfaceUnits();

private:
    QList<BoxRequest> m_boxes;
    BoxAnswer m_answer = BoxAnswer::No;
};

void TestPrintGrid::init()
{
    m_boxes.clear();
    setBoxHandler([this](const BoxRequest& r) {
        m_boxes.append(r);
        return m_answer;
    });
}

void TestPrintGrid::cleanup() { setBoxHandler({}); }

void TestPrintGrid::pagination_data()
{
    QTest::addColumn<int>("dataRows");
    QTest::addColumn<double>("pageHeight");
    QTest::addColumn<QList<int>>("rowsPerPage");

    QTest::newRow("10 rows, R = 5") << 10 << pageHeightFor(5) << QList<int> { 4, 4, 2 };
    QTest::newRow("R - 1 rows") << 4 << pageHeightFor(5) << QList<int> { 4 };
    QTest::newRow("R rows") << 5 << pageHeightFor(5) << QList<int> { 4, 1 };
    QTest::newRow("one row") << 1 << pageHeightFor(5) << QList<int> { 1 };
    QTest::newRow("exact fit") << 8 << pageHeightFor(5, false, false, 0) << QList<int> { 4, 4 };
    QTest::newRow("one twip short of R = 5") << 8 << pageHeightFor(5, false, false, -1) << QList<int> { 3, 3, 2 };
    QTest::newRow("R = 2") << 3 << pageHeightFor(2) << QList<int> { 1, 1, 1 };
}

void TestPrintGrid::pagination()
{
    QFETCH(int, dataRows);
    QFETCH(double, pageHeight);
    QFETCH(QList<int>, rowsPerPage);

    RecordingSurface surface(kPageWidth, pageHeight);
    const PrintGridResult result = PrintGrid(surface, tableGrid(dataRows), options());

    const int pages = rowsPerPage.size();
    QCOMPARE(result.printed, true);
    QCOMPARE(result.pages, pages);
    QCOMPARE(surface.pageCount(), pages);
    QCOMPARE(countKind(surface, SurfaceRecord::NewPage), pages - 1);
    QCOMPARE(countKind(surface, SurfaceRecord::EndJob), 1);
    QCOMPARE(surface.records().last().kind, SurfaceRecord::EndJob);

    int row = 0;
    for (int page = 1; page <= pages; ++page) {
        QStringList expected;
        for (int k = 0; k < rowsPerPage[page - 1]; ++k)
            expected << QString::number(++row);
        QCOMPARE(textsOf(cellTexts(surface, page, 0)), expected);

        QVERIFY(findText(surface, page, QString::fromUtf8(kPrintCompanyLine)));
        QVERIFY(findText(surface, page, QStringLiteral("票据号码")));
        const QString numbered = QStringLiteral("第%1页 共%2页").arg(page).arg(pages);
        const std::optional<SurfaceRecord> footer = findText(surface, page, QStringLiteral("第"));
        QVERIFY(footer);
        QCOMPARE(footer->text, numbered);
        QCOMPARE(footer->x1, (kPageWidth - width9(numbered)) / 2);
        QCOMPARE(footer->y1, pageHeight - kBodyLine);

        // The table closes right under the page's last row.
        const double bottom = kYBase + kRowHeight * rowsPerPage[page - 1];
        QVERIFY(hasLine(surface, page, kLeft, bottom, kLeft + kTableWidth, bottom));
        const std::optional<SurfaceRecord> dated = findText(surface, page, QStringLiteral("打印日期"));
        QVERIFY(dated);
        QCOMPARE(dated->text, QStringLiteral("打印日期 2024-01-05"));
        QCOMPARE(dated->x1 + width9(dated->text), kLeft + kTableWidth);
        QCOMPARE(dated->y1, bottom + kBodyLine);
    }
}

void TestPrintGrid::footerFollowsLastRow_data()
{
    QTest::addColumn<int>("dataRows");
    QTest::newRow("R - 1 rows: footer printed in the loop") << 4;
    QTest::newRow("R - 2 rows: footer after the loop") << 3;
}

void TestPrintGrid::footerFollowsLastRow()
{
    QFETCH(int, dataRows);
    RecordingSurface surface(kPageWidth, pageHeightFor(5));
    PrintGrid(surface, tableGrid(dataRows), options());

    // One footer, after the last row's cells, and then the end of the job.
    QVector<SurfaceRecord> texts = surface.texts(1);
    const int lastCell = int(std::find_if(texts.begin(), texts.end(), [&](const SurfaceRecord& r) {
        return r.text == QString::number(dataRows);
    }) - texts.begin());
    QVERIFY(lastCell < texts.size());
    QCOMPARE(texts.size() - lastCell - 1, 4); // 票据号码, 金额, 打印日期, 第1页 共1页
    QCOMPARE(texts.last().text, QStringLiteral("第1页 共1页"));
    QCOMPARE(countKind(surface, SurfaceRecord::NewPage), 0);
    QCOMPARE(surface.records().last().kind, SurfaceRecord::EndJob);
}

void TestPrintGrid::titleBlock_data()
{
    QTest::addColumn<QString>("dateLine");
    QTest::addColumn<double>("yBase");
    QTest::newRow("no date line") << QString() << kYBase;
    QTest::newRow("date line") << QStringLiteral("日期范围:2024年01月05日-2024年01月31日") << kYBaseDated;
}

void TestPrintGrid::titleBlock()
{
    QFETCH(QString, dateLine);
    QFETCH(double, yBase);

    RecordingSurface surface(kPageWidth, pageHeightFor(5, !dateLine.isEmpty()));
    PrintGrid(surface, tableGrid(2), options(dateLine));
    const QVector<SurfaceRecord> texts = surface.texts(1);

    const SurfaceRecord& company = texts[0];
    QCOMPARE(company.text, QStringLiteral("zu**物业管理有限公司"));
    QCOMPARE(company.font.name, QStringLiteral("宋体"));
    QCOMPARE(company.font.size, 16.0);
    QCOMPARE(company.font.bold, true);
    QCOMPARE(company.x1, (kPageWidth - (4 * 160 + 8 * 320)) / 2);
    QCOMPARE(company.y1, 0.0);

    const SurfaceRecord& title = texts[1];
    QCOMPARE(title.text, QStringLiteral("(南区)收款日报表"));
    QCOMPARE(title.font.bold, false);
    QCOMPARE(title.font.size, 16.0);
    QCOMPARE(title.x1, (kPageWidth - (2 * 160 + 7 * 320)) / 2);
    QCOMPARE(title.y1, kTitleLine * 1.5);

    int next = 2;
    if (!dateLine.isEmpty()) {
        const SurfaceRecord& dated = texts[next++];
        QCOMPARE(dated.text, dateLine);
        QCOMPARE(dated.font.size, 9.0);
        QCOMPARE(dated.x1, (kPageWidth - width9(dateLine)) / 2);
        QCOMPARE(dated.y1, kTitleLine * 3.5);
    }

    // The heading row: ruled on top and at both ends, texts centred.
    const double tableTop = yBase - kRowHeight;
    QVERIFY(hasLine(surface, 1, kLeft, tableTop, kLeft + kWidths[0], tableTop));
    QVERIFY(hasLine(surface, 1, kLeft, tableTop, kLeft, yBase));
    QVERIFY(hasLine(surface, 1, kLeft + kTableWidth, tableTop, kLeft + kTableWidth, yBase));
    const QStringList headings { QStringLiteral("序"), QStringLiteral("票据号码"), QStringLiteral("金额") };
    for (int c = 0; c < 3; ++c) {
        const SurfaceRecord& heading = texts[next + c];
        QCOMPARE(heading.text, headings[c]);
        QCOMPARE(heading.x1, columnLeft(c) + (kWidths[c] - width9(headings[c])) / 2);
        QCOMPARE(heading.y1, tableTop + (kRowHeight - kBodyLine) / 2);
    }
    QCOMPARE(textsOf(cellTexts(surface, 1, 0, yBase)), (QStringList { "1", "2" }));
}

void TestPrintGrid::mergedRuns()
{
    // Rows 3 to 6 carry one invoice number across the end of page 1 (R = 5:
    // four rows a page); rows 7 and 8 are empty; rows 9 and 10 end the grid.
    GridModel grid = tableGrid(10);
    const QStringList numbers { "A1", "A2", "B", "B", "B", "B", "", "", "C", "C" };
    for (int r = 1; r <= 10; ++r) {
        grid.setText(r, 1, numbers[r - 1]);
        grid.setText(r, 2, QStringLiteral("5.00")); // equal, but no merge flag
    }
    RecordingSurface surface(kPageWidth, pageHeightFor(5));
    PrintGrid(surface, grid, options());

    const auto top = [](int pageRow) { return kYBase + kRowHeight * (pageRow - 1); };
    const auto textY
        = [&](int first, int last) { return top(first) + (kRowHeight * (last - first + 1) - kBodyLine) / 2; };
    const double x = columnLeft(1);

    // Page 1: two single cells, then the run's first block (page rows 3-4).
    QVector<SurfaceRecord> cells = cellTexts(surface, 1, 1);
    QCOMPARE(textsOf(cells), (QStringList { "A1", "A2", "B" }));
    QCOMPARE(cells[2].y1, textY(3, 4));
    QCOMPARE(cellTops(surface, 1, 1), (QList<double> { top(1), top(2), top(3) }));
    QVERIFY(hasLine(surface, 1, x, top(3), x, top(5)));

    // Page 2: the run's second block (page rows 1-2), then two empty cells,
    // each a cell of its own.
    cells = cellTexts(surface, 2, 1);
    QCOMPARE(textsOf(cells), (QStringList { "B" }));
    QCOMPARE(cells[0].y1, textY(1, 2));
    QCOMPARE(cellTops(surface, 2, 1), (QList<double> { top(1), top(3), top(4) }));
    QVERIFY(hasLine(surface, 2, x, top(1), x, top(3)));
    QVERIFY(hasLine(surface, 2, x, top(3), x, top(4)));
    QVERIFY(hasLine(surface, 2, x, top(4), x, top(5)));

    // Page 3: the run closed by the last data row.
    cells = cellTexts(surface, 3, 1);
    QCOMPARE(textsOf(cells), (QStringList { "C" }));
    QCOMPARE(cells[0].y1, textY(1, 2));
    QCOMPARE(cellTops(surface, 3, 1), (QList<double> { top(1) }));

    // A column without the merge flag prints every cell.
    QCOMPARE(cellTexts(surface, 1, 2).size(), 4);
    QCOMPARE(cellTops(surface, 1, 2).size(), 4);
}

void TestPrintGrid::textPlacement_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("offset"); // from the cell's left border

    QTest::newRow("right") << int(AlignRight) << "12.50" << 1200 - 5 * 90.0 - 45;
    QTest::newRow("right, Chinese") << int(AlignRight) << "合计" << 1200 - 2 * 180.0 - 45;
    QTest::newRow("left") << int(AlignLeft) << "12.50" << 45.0;
    QTest::newRow("centre prints from the left") << int(AlignCenter) << "12.50" << 45.0;
    QTest::newRow("general") << int(AlignGeneral) << "12.50" << 45.0;
}

void TestPrintGrid::textPlacement()
{
    QFETCH(int, alignment);
    QFETCH(QString, text);
    QFETCH(double, offset);

    GridModel grid = tableGrid(1);
    grid.setColAlignment(2, alignment);
    grid.setText(1, 2, text);
    RecordingSurface surface(kPageWidth, pageHeightFor(5));
    PrintGrid(surface, grid, options());

    const QVector<SurfaceRecord> cells = cellTexts(surface, 1, 2);
    QCOMPARE(cells.size(), 1);
    QCOMPARE(cells[0].text, text);
    QCOMPARE(cells[0].x1 - columnLeft(2), offset);
    QCOMPARE(cells[0].y1, kYBase + (kRowHeight - kBodyLine) / 2);
    // The last column closes the row on the right.
    QVERIFY(hasLine(surface, 1, kLeft + kTableWidth, kYBase, kLeft + kTableWidth, kYBase + kRowHeight));
}

void TestPrintGrid::paperWidth_data()
{
    QTest::addColumn<double>("tableWidth");
    QTest::addColumn<PaperWidthAnswer>("mode");
    QTest::addColumn<int>("boxAnswer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("printed");

    const int yes = int(BoxAnswer::Yes);
    const int no = int(BoxAnswer::No);
    QTest::newRow("fits") << 3300.0 << PaperWidthAnswer::Ask << yes << false << true;
    QTest::newRow("exactly the page") << 6000.0 << PaperWidthAnswer::Ask << yes << false << true;
    QTest::newRow("too wide, Yes") << 8000.0 << PaperWidthAnswer::Ask << yes << true << false;
    QTest::newRow("too wide, No") << 8000.0 << PaperWidthAnswer::Ask << no << true << true;
    QTest::newRow("too wide, answered Yes") << 8000.0 << PaperWidthAnswer::Yes << no << false << false;
    QTest::newRow("too wide, answered No") << 8000.0 << PaperWidthAnswer::No << yes << false << true;
}

void TestPrintGrid::paperWidth()
{
    QFETCH(double, tableWidth);
    QFETCH(PaperWidthAnswer, mode);
    QFETCH(int, boxAnswer);
    QFETCH(bool, asked);
    QFETCH(bool, printed);

    GridModel grid = tableGrid(2);
    grid.setColWidth(1, int(tableWidth - kWidths[0] - kWidths[2]));
    PrintGridOptions o = options();
    o.paperWidth = mode;
    m_answer = BoxAnswer(boxAnswer);
    RecordingSurface surface(kPageWidth, pageHeightFor(5));
    const PrintGridResult result = PrintGrid(surface, grid, o);

    QCOMPARE(m_boxes.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(m_boxes[0].text,
            QStringLiteral("纸张宽度不够，请设置更宽的纸张或把纸张改成横向打印\r\n是否要修改打印设置？"));
        QCOMPARE(m_boxes[0].title, programTitle());
        QCOMPARE(m_boxes[0].icon, BoxIcon::None);
        QCOMPARE(m_boxes[0].buttons, BoxButtons::YesNo);
    }
    QCOMPARE(result.printed, printed);
    QCOMPARE(result.cutOff, tableWidth > kPageWidth);
    QCOMPARE(drewAnything(surface), printed);
    if (printed) {
        // The table stays centred: a table wider than the page starts left of it.
        const double left = (kPageWidth - tableWidth) / 2;
        const double tableTop = kYBase - kRowHeight;
        QVERIFY(hasLine(surface, 1, left, tableTop, left + kWidths[0], tableTop));
        QVERIFY(hasLine(surface, 1, left, kYBase + 2 * kRowHeight, left + tableWidth, kYBase + 2 * kRowHeight));
    }
}

void TestPrintGrid::emptyGrid()
{
    RecordingSurface surface(kPageWidth, pageHeightFor(5));
    const PrintGridResult result = PrintGrid(surface, tableGrid(0), options());

    QCOMPARE(result.printed, true);
    QCOMPARE(result.pages, 1);
    QCOMPARE(surface.pageCount(), 1);
    QCOMPARE(textsOf(surface.texts(1)),
        (QStringList { "zu**物业管理有限公司", "(南区)收款日报表", "序", "票据号码", "金额", "打印日期 2024-01-05",
            "第1页 共1页" }));
    // The table ends under its heading row.
    QVERIFY(hasLine(surface, 1, kLeft, kYBase, kLeft + kTableWidth, kYBase));
    QCOMPARE(surface.records().last().kind, SurfaceRecord::EndJob);
}

void TestPrintGrid::pageTooShort_data()
{
    QTest::addColumn<int>("dataRows");
    QTest::addColumn<double>("pageHeight");
    QTest::newRow("R = 1") << 3 << pageHeightFor(1);
    QTest::newRow("R = 0") << 3 << pageHeightFor(0);
    QTest::newRow("shorter than the title block") << 3 << 1000.0;
    QTest::newRow("no data rows") << 0 << pageHeightFor(1);
}

void TestPrintGrid::pageTooShort()
{
    QFETCH(int, dataRows);
    QFETCH(double, pageHeight);

    RecordingSurface surface(kPageWidth, pageHeight);
    try {
        PrintGrid(surface, tableGrid(dataRows), options());
        QFAIL("a page without room for one data row was printed");
    } catch (const Failure& f) {
        QCOMPARE(f.number(), kErrPrinter);
        QVERIFY(f.description().contains(QStringLiteral("纸张高度不够")));
    }
    QCOMPARE(drewAnything(surface), false);
}

void TestPrintGrid::signatureAndSkip()
{
    PrintGridOptions o = options();
    o.signature = true;
    o.skip = 1;
    // With the signature line the footer takes one more line: this height
    // holds R = 5 with it.
    const double pageHeight = pageHeightFor(5, false, true);
    RecordingSurface surface(kPageWidth, pageHeight);
    const PrintGridResult result = PrintGrid(surface, tableGrid(8), o);
    QCOMPARE(result.pages, 2);

    const double width = kWidths[0] + kWidths[1];
    const double left = (kPageWidth - width) / 2;
    const double bottom = kYBase + 4 * kRowHeight;
    const QString names = QStringLiteral("审核                制单              ");
    const std::optional<SurfaceRecord> signature = findText(surface, 1, QStringLiteral("审核"));
    QVERIFY(signature);
    QCOMPARE(signature->text, names);
    QCOMPARE(signature->x1, (kPageWidth - width9(names)) / 2.5);
    QCOMPARE(signature->y1, bottom + kBodyLine);
    // The left-out column is not printed; the last printed one closes the rows.
    QVERIFY(!findText(surface, 1, QStringLiteral("金额")));
    QVERIFY(!findText(surface, 1, QStringLiteral("1.00")));
    QVERIFY(hasLine(surface, 1, left + width, kYBase, left + width, kYBase + kRowHeight));
    QVERIFY(hasLine(surface, 1, left, bottom, left + width, bottom));
}

void TestPrintGrid::printDateIsToday()
{
    PrintGridOptions o = options();
    o.printDate = QDate();
    RecordingSurface surface(kPageWidth, pageHeightFor(5));
    PrintGrid(surface, tableGrid(1), o);
    const std::optional<SurfaceRecord> dated = findText(surface, 1, QStringLiteral("打印日期"));
    QVERIFY(dated);
    QCOMPARE(dated->text, QStringLiteral("打印日期 ") + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
}

void TestPrintGrid::surfaceUnits()
{
    RecordingSurface surface(14400, 7200); // 10 by 5 inches
    surface.setUnit(UnitInches);
    QCOMPARE(surface.printableWidth(), 10.0);
    surface.drawLine(1, 1, 2, 1);
    surface.setUnit(UnitMillimetres);
    QCOMPARE(surface.printableHeight(), 127.0);
    surface.setFontSize(9);
    QCOMPARE(surface.textHeight(QStringLiteral("的")), 270 / 1440.0 * 25.4);
    QVERIFY(hasLine(surface, 1, 1440, 1440, 2880, 1440));
    QVERIFY_THROWS_EXCEPTION(Failure, surface.setUnit(4));
}

QTEST_GUILESS_MAIN(TestPrintGrid)
#include "tst_printgrid.moc"
