// The printed table's layout, checked call by call on a recording surface.
// Its fixed metrics make every position an exact figure: at 9 points a line
// is 270 twips high and a Chinese character 180 wide, at 16 points 480 and 320.
#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "core/messages.h"
#include "print/printgrid.h"
#include "print/recordingsurface.h"
#include "widgets/gridprinter.h"

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
    void headingRowsOnEveryPage();
    void textsNeverOverlap_data();
    void textsNeverOverlap();
    void scaledPage();
    void columnsInParts();
    void progressAndStop();
    void columnsOfNoWidth();

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

    // The printout itself shows no box: it hands the question back and
    // draws nothing until it is answered.
    RecordingSurface unanswered(kPageWidth, pageHeightFor(5));
    const PrintGridResult handedBack = PrintGrid(unanswered, grid, o);
    QVERIFY(m_boxes.isEmpty());
    QCOMPARE(handedBack.question.has_value(), asked);
    if (asked) {
        QCOMPARE(handedBack.question->text, paperWidthQuestion().text);
        QVERIFY(!handedBack.printed);
        QVERIFY(!drewAnything(unanswered));
    }

    // The window's side asks it and prints by the answer.
    RecordingSurface surface(kPageWidth, pageHeightFor(5));
    const PrintGridResult result = printGridAsking(surface, grid, o);

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

// A receipts-like grid: two fixed heading rows, row 0 merged across the three
// parts of a money group, 序 and 名称 merged down both rows.
GridModel twoHeadingGrid(int dataRows)
{
    GridModel grid;
    grid.setCols(5);
    grid.setRows(2 + dataRows);
    grid.setFixedRows(2);
    const QVector<int> widths { 600, 1500, 1000, 1000, 1000 };
    const QStringList top { "序", "名称", "收当年", "收当年", "收当年" };
    const QStringList second { "序", "名称", "金额", "税额", "收入" };
    for (int c = 0; c < 5; ++c) {
        grid.setColWidth(c, widths[c]);
        grid.setText(0, c, top[c]);
        grid.setText(1, c, second[c]);
    }
    grid.setMergeCells(MergeFree);
    grid.setMergeRow(0, true);
    grid.setMergeCol(0, true);
    grid.setMergeCol(1, true);
    for (int r = 2; r < grid.rows(); ++r) {
        grid.setText(r, 0, QString::number(r - 1));
        grid.setText(r, 1, QStringLiteral("名%1").arg(r - 1));
        for (int c = 2; c < 5; ++c)
            grid.setText(r, c, QStringLiteral("%1.00").arg(r));
    }
    return grid;
}

// The visible box of a drawn text: its box cut to its clip.
QRectF visibleBox(const SurfaceRecord& r)
{
    const QRectF box(QPointF(r.x1, r.y1), QPointF(r.x2, r.y2));
    return r.clip.isNull() ? box : box.intersected(r.clip);
}

void TestPrintGrid::headingRowsOnEveryPage()
{
    const GridModel grid = twoHeadingGrid(10);
    // Room for R = 5 with the second heading row (300 twips and its allowance).
    const double pageHeight = pageHeightFor(5) + 345;
    RecordingSurface surface(kPageWidth, pageHeight);
    const PrintGridResult result = PrintGrid(surface, grid, options());
    QCOMPARE(result.pages, 3);

    const double width = 5100;
    const double left = (kPageWidth - width) / 2;
    const double tableTop = kYBase - kRowHeight;
    const double yBase = tableTop + 600;
    const QList<int> rowsPerPage { 4, 4, 2 };
    int row = 0;
    for (int page = 1; page <= 3; ++page) {
        QMap<QString, SurfaceRecord> headings;
        for (const SurfaceRecord& r : surface.texts(page)) {
            if (r.y1 >= tableTop && r.y1 < yBase) {
                QVERIFY2(!headings.contains(r.text), qPrintable(r.text)); // each heading once
                headings.insert(r.text, r);
            }
        }
        QCOMPARE(headings.keys(), (QStringList { "名称", "序", "收入", "收当年", "税额", "金额" }));
        // Merged across: centred over the three columns, in row 0.
        QCOMPARE(headings["收当年"].x1, left + 2100 + (3000 - width9("收当年")) / 2);
        QCOMPARE(headings["收当年"].y1, tableTop + (kRowHeight - kBodyLine) / 2);
        // Merged down: centred over both rows.
        QCOMPARE(headings["序"].y1, tableTop + (600 - kBodyLine) / 2);
        QCOMPARE(headings["名称"].x1, left + 600 + (1500 - width9("名称")) / 2);
        QCOMPARE(headings["税额"].x1, left + 3100 + (1000 - width9("税额")) / 2);
        QCOMPARE(headings["税额"].y1, tableTop + kRowHeight + (kRowHeight - kBodyLine) / 2);
        // The merged heading has no inner borders; the second row has its own.
        QVERIFY(hasLine(surface, page, left + 2100, tableTop, left + 5100, tableTop));
        QVERIFY(!hasLine(surface, page, left + 3100, tableTop, left + 3100, tableTop + kRowHeight));
        QVERIFY(hasLine(surface, page, left + 3100, tableTop + kRowHeight, left + 3100, yBase));
        QVERIFY(!hasLine(surface, page, left, tableTop + kRowHeight, left + 600, tableTop + kRowHeight));

        // The data rows start under both heading rows.
        QStringList numbers;
        for (const SurfaceRecord& r : surface.texts(page)) {
            if (r.y1 >= yBase && r.x1 >= left && r.x1 < left + 600)
                numbers << r.text;
        }
        QStringList expected;
        for (int k = 0; k < rowsPerPage[page - 1]; ++k)
            expected << QString::number(++row);
        QCOMPARE(numbers, expected);
        QCOMPARE(findText(surface, page, QStringLiteral("第"))->text, QStringLiteral("第%1页 共3页").arg(page));
    }
}

void TestPrintGrid::textsNeverOverlap_data()
{
    QTest::addColumn<QStringList>("headings");
    QTest::addColumn<int>("rowHeight");
    QTest::addColumn<bool>("shrunk"); // the middle heading is drawn smaller
    QTest::addColumn<bool>("clipped"); // ... and still cut to its cell
    QTest::newRow("fits") << QStringList { "金额", "税额", "收入" } << 300 << false << false;
    QTest::newRow("wider than its cell: shrunk") << QStringList { "金额", "预收明年后", "收入" } << 300 << true
                                                 << false;
    QTest::newRow("far wider: shrunk and clipped")
        << QStringList { "金额", "其他费用(无应收)合计", "收入" } << 300 << true << true;
    QTest::newRow("two lines in a tall row")
        << QStringList { "金额", "清欠率\r\n(含减免)", "收入" } << 600 << false << false;
    QTest::newRow("two lines in a short row") << QStringList { "金额", "清欠率\r\n(含减免)", "收入" } << 300 << true
                                              << false;
}

// Neighbouring texts never share a point of the page: a heading (or a cell
// text) too wide is shrunk inside its cell, and what still does not fit is
// cut to it. Headings stay centred, cell texts where their alignment puts
// them.
void TestPrintGrid::textsNeverOverlap()
{
    QFETCH(QStringList, headings);
    QFETCH(int, rowHeight);
    QFETCH(bool, shrunk);
    QFETCH(bool, clipped);

    GridModel grid;
    grid.setCols(3);
    grid.setRows(2);
    for (int c = 0; c < 3; ++c) {
        grid.setColWidth(c, 900);
        grid.setText(0, c, headings[c]);
        grid.setText(1, c, QString(headings[c]).replace(QStringLiteral("\r\n"), QString()));
    }
    grid.setRowHeight(0, rowHeight);
    grid.setColAlignment(1, AlignRight);
    RecordingSurface surface(kPageWidth, pageHeightFor(5) + 300);
    PrintGrid(surface, grid, options());

    const double left = (kPageWidth - 2700) / 2;
    const double tableTop = kYBase - kRowHeight;
    for (const double top : { tableTop, tableTop + rowHeight }) {
        const bool headingRow = top == tableTop;
        QVector<SurfaceRecord> drawn;
        for (const SurfaceRecord& r : surface.texts(1)) {
            const double middle = (r.y1 + r.y2) / 2;
            if (middle >= top && middle < top + rowHeight)
                drawn.append(r);
        }
        for (const SurfaceRecord& r : drawn) {
            const int c = int(((r.x1 + r.x2) / 2 - left) / 900);
            const QRectF cell(left + 900 * qBound(0, c, 2), top, 900, rowHeight);
            QVERIFY2(cell.contains(visibleBox(r)), qPrintable(r.text));
            for (const SurfaceRecord& other : drawn) {
                if (&other != &r && other.text != r.text)
                    QVERIFY2(!visibleBox(r).intersects(visibleBox(other)), qPrintable(r.text + " / " + other.text));
            }
        }
        // The middle text, all its lines.
        QStringList middle;
        for (const SurfaceRecord& r : drawn) {
            const double centre = (r.x1 + r.x2) / 2;
            if (centre >= left + 900 && centre < left + 1800)
                middle << r.text;
        }
        if (!headingRow) {
            QCOMPARE(middle, QStringList { grid.text(1, 1) });
            continue;
        }
        QCOMPARE(middle.join(QStringLiteral("\r\n")), headings[1]);
        for (const SurfaceRecord& r : drawn) {
            if (!middle.contains(r.text))
                continue;
            QCOMPARE(r.font.size < 9, shrunk);
            QCOMPARE(r.x2 - r.x1 > 900, clipped);
            QCOMPARE(r.x1 + (r.x2 - r.x1) / 2, left + 900 + 450); // centred
        }
    }
}

// A scale draws the whole page smaller: the layout sees a page 1/scale as
// large, so more rows fit, and nothing leaves the paper.
void TestPrintGrid::scaledPage()
{
    const double pageHeight = pageHeightFor(5);
    RecordingSurface full(kPageWidth, pageHeight);
    const PrintGridResult atFullSize = PrintGrid(full, tableGrid(30), options());
    PrintGridOptions o = options();
    o.scale = 0.5;
    RecordingSurface half(kPageWidth, pageHeight);
    const PrintGridResult atHalf = PrintGrid(half, tableGrid(30), o);

    QVERIFY(atHalf.pages < atFullSize.pages);
    const QVector<SurfaceRecord> texts = half.texts(1);
    QCOMPARE(texts[0].text, QString::fromUtf8(kPrintCompanyLine));
    QCOMPARE(texts[0].font.size, 8.0);
    QCOMPARE(texts[0].x1, (2 * kPageWidth - (4 * 160 + 8 * 320)) / 2 * 0.5);
    const std::optional<SurfaceRecord> heading = findText(half, 1, QStringLiteral("票据号码"));
    QVERIFY(heading);
    QCOMPARE(heading->font.size, 4.5);
    const double left = (2 * kPageWidth - kTableWidth) / 2;
    QCOMPARE(heading->x1, (left + 600 + (1500 - width9("票据号码")) / 2) * 0.5);
    for (const SurfaceRecord& r : half.records()) {
        if (r.kind == SurfaceRecord::Text || r.kind == SurfaceRecord::Line) {
            QVERIFY(std::max(r.x1, r.x2) <= kPageWidth);
            QVERIFY(std::max(r.y1, r.y2) <= pageHeight);
        }
    }
    // The surface is back at full size for whatever comes next.
    QCOMPARE(half.scale(), 1.0);
}

// A table wider than the page prints in parts of columns, 序 (the fixed
// column) repeated in each; the parts of the same rows follow each other.
void TestPrintGrid::columnsInParts()
{
    PrintGridOptions o = options();
    o.paperWidth = PaperWidthAnswer::Split;
    const double pageWidth = 2500;
    RecordingSurface surface(pageWidth, pageHeightFor(5));
    const PrintGridResult result = PrintGrid(surface, tableGrid(10), o);

    QCOMPARE(m_boxes.size(), 0);
    QCOMPARE(result.printed, true);
    QCOMPARE(result.cutOff, false);
    QCOMPARE(result.parts, 2);
    QCOMPARE(result.pages, 6);
    QCOMPARE(surface.pageCount(), 6);
    const QList<QStringList> headingsOf { { "序", "票据号码" }, { "序", "金额" } };
    const QList<double> lefts { (pageWidth - 2100) / 2, (pageWidth - 1800) / 2 };
    for (int page = 1; page <= 6; ++page) {
        const int part = (page - 1) % 2;
        const int firstRow = (page - 1) / 2 * 4 + 1;
        const int rows = std::min(4, 10 - firstRow + 1);
        QStringList headings;
        QStringList numbers;
        for (const SurfaceRecord& r : surface.texts(page)) {
            if (r.y1 > kYBase - kRowHeight && r.y1 < kYBase)
                headings << r.text;
            else if (r.y1 >= kYBase && r.x1 < lefts[part] + 600 && r.x1 >= lefts[part]
                && !r.text.startsWith(QStringLiteral("第")) && !r.text.startsWith(QStringLiteral("打印日期")))
                numbers << r.text;
        }
        QCOMPARE(headings, headingsOf[part]);
        QStringList expected;
        for (int k = 0; k < rows; ++k)
            expected << QString::number(firstRow + k);
        QCOMPARE(numbers, expected);
        QCOMPARE(findText(surface, page, QStringLiteral("第"))->text, QStringLiteral("第%1页 共6页").arg(page));
        const double width = part == 0 ? 2100 : 1800;
        QVERIFY(hasLine(surface, page, lefts[part] + width, kYBase, lefts[part] + width, kYBase + kRowHeight));
        const std::optional<SurfaceRecord> dated = findText(surface, page, QStringLiteral("打印日期"));
        QCOMPARE(dated->x1 + width9(dated->text), lefts[part] + width);
    }
}

void TestPrintGrid::progressAndStop()
{
    QList<QPair<int, int>> calls;
    PrintGridOptions o = options();
    o.progress = [&calls](int page, int pageCount) {
        calls.append({ page, pageCount });
        return true;
    };
    RecordingSurface surface(kPageWidth, pageHeightFor(5));
    PrintGrid(surface, tableGrid(10), o);
    QCOMPARE(calls, (QList<QPair<int, int>> { { 1, 3 }, { 2, 3 }, { 3, 3 } }));

    o.progress = [](int page, int) { return page < 2; };
    RecordingSurface stopped(kPageWidth, pageHeightFor(5));
    const PrintGridResult result = PrintGrid(stopped, tableGrid(10), o);
    QCOMPARE(result.stopped, true);
    QCOMPARE(result.printed, false);
    QCOMPARE(stopped.pageCount(), 1);
    QVERIFY(findText(stopped, 1, QStringLiteral("第1页 共3页")));
    QVERIFY(stopped.ended());
}

// A column of no width (hidden on screen) is not printed.
void TestPrintGrid::columnsOfNoWidth()
{
    GridModel grid = tableGrid(2);
    grid.setCols(4);
    grid.setColWidth(3, 0);
    grid.setText(0, 3, QStringLiteral("HIDDEN"));
    grid.setText(1, 3, QStringLiteral("04 01"));
    RecordingSurface surface(kPageWidth, pageHeightFor(5));
    PrintGrid(surface, grid, options());
    for (const SurfaceRecord& r : surface.texts(1))
        QVERIFY2(r.text != QStringLiteral("HIDDEN") && r.text != QStringLiteral("04 01"), qPrintable(r.text));
    QVERIFY(hasLine(surface, 1, kLeft + kTableWidth, kYBase, kLeft + kTableWidth, kYBase + kRowHeight));
}

QTEST_GUILESS_MAIN(TestPrintGrid)
#include "tst_printgrid.moc"
