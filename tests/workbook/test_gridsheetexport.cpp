#include "readback.h"

#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "workbook/gridsheetexport.h"
#include "workbook/workbooksheetxml.h"
#include "workbook/workbookxmltext.h"
#include "tests/support/filebytes.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>
#include <zip.h>

using namespace fee;
using fee::testing::fileBytes;
using fee::testing::writeBytes;

namespace {

const QString kSheet = QStringLiteral("收款日报表");
const QString kTitle = QStringLiteral("(南区) 收款日报表");
const QString kTag = QStringLiteral("日期范围:2024年01月05日至2024年01月31日");
const QDate kPrinted(2024, 2, 1);

QString fixture(const QString& name) { return QStringLiteral(FEE_TEST_DATA_DIR "/") + name; }

// The content of every entry of a zip package, as a hash, by entry name.
QMap<QString, QByteArray> entryHashes(const QString& path)
{
    QMap<QString, QByteArray> hashes;
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!z)
        return hashes;
    for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
        zip_file_t* f = zip_fopen_index(z, zip_uint64_t(i), 0);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        char buffer[8192];
        zip_int64_t n;
        while (f && (n = zip_fread(f, buffer, sizeof buffer)) > 0)
            hash.addData(QByteArrayView(buffer, qsizetype(n)));
        if (f)
            zip_fclose(f);
        hashes.insert(QString::fromUtf8(zip_get_name(z, zip_uint64_t(i), 0)), hash.result().toHex());
    }
    zip_discard(z);
    return hashes;
}

QByteArray entry(const QString& path, const QString& name)
{
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!z)
        return {};
    QByteArray data;
    if (zip_file_t* f = zip_fopen(z, name.toUtf8().constData(), 0)) {
        char buffer[8192];
        zip_int64_t n;
        while ((n = zip_fread(f, buffer, sizeof buffer)) > 0)
            data.append(buffer, qsizetype(n));
        zip_fclose(f);
    }
    zip_discard(z);
    return data;
}

// A daily-report-like grid: one heading row, codes in columns 2 and 5.
GridModel dailyGrid()
{
    GridModel grid;
    grid.setFormatString(QStringLiteral("^序号|^日期|^编号|<户名|>金额|^票号"));
    grid.setRows(1);
    const int widths[] = { 600, 1500, 1200, 2000, 1300, 1100 };
    for (int c = 0; c < 6; ++c)
        grid.setColWidth(c, widths[c]);
    const QStringList rows[] = {
        { "1", "2024-01-05", "0101", "张三", "1234.50", "000123" },
        { "2", "2024-01-06", "0102", "=SUM(A1)", "12.50%", "007" },
        { "", "", "", "合计", "1247.00", "" },
    };
    for (const QStringList& values : rows) {
        const int r = grid.appendRow();
        for (int c = 0; c < values.size(); ++c)
            grid.setText(r, c, values.at(c));
    }
    return grid;
}

// Two heading rows: A, A, A, B over x, y, z, B.
GridModel twoLevelGrid(const QString& lastSubHeading = QStringLiteral("z"))
{
    GridModel grid;
    grid.setRows(3);
    grid.setCols(4);
    grid.setFixedRows(2);
    grid.setFixedCols(0);
    const QStringList top { "A", "A", "A", "B" };
    const QStringList sub { "x", "y", lastSubHeading, "B" };
    for (int c = 0; c < 4; ++c) {
        grid.setText(0, c, top.at(c));
        grid.setText(1, c, sub.at(c));
        grid.setText(2, c, QString::number(c + 1));
    }
    return grid;
}

GridSheetOptions options(const QVector<int>& columns)
{
    GridSheetOptions o;
    o.title = kTitle;
    o.tagText = kTag;
    o.sheetName = kSheet;
    o.columns = columns;
    o.printDate = kPrinted;
    return o;
}

// Where the export goes: a new file, or a copy of a fixture.
QString prepareTarget(const QTemporaryDir& dir, const QString& fixtureName)
{
    const QString target = dir.filePath(QStringLiteral("target.xlsx"));
    if (!fixtureName.isEmpty())
        QFile::copy(fixture(fixtureName), target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

// Makes a folder or file unwritable, also for root (immutable flag), and undoes it.
class Unwritable {
public:
    explicit Unwritable(const QString& path)
        : m_path(path)
    {
        m_permissions = QFile::permissions(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser);
        if (geteuid() == 0)
            m_immutable = QProcess::execute(QStringLiteral("chattr"), { QStringLiteral("+i"), path }) == 0;
    }
    ~Unwritable()
    {
        if (m_immutable)
            QProcess::execute(QStringLiteral("chattr"), { QStringLiteral("-i"), m_path });
        QFile::setPermissions(m_path, m_permissions);
    }
    bool effective() const { return geteuid() != 0 || m_immutable; }

private:
    QString m_path;
    QFileDevice::Permissions m_permissions;
    bool m_immutable = false;
};

// The children of each styles section, as text, in order.
QMap<QString, QStringList> styleSections(const QByteArray& styles)
{
    const QString text = QString::fromUtf8(styles);
    const QVector<XmlSpan> spans = scanXml(text, QStringLiteral("styles"));
    QMap<QString, QStringList> sections;
    QString current;
    for (const XmlSpan& span : spans) {
        if (span.depth == 2)
            current = span.name;
        else if (span.depth == 3)
            sections[current] << text.mid(span.start, span.end - span.start);
    }
    return sections;
}

void writePackage(const QString& path, const QMap<QString, QByteArray>& parts)
{
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(z);
    for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
        zip_source_t* src = zip_source_buffer(z, it.value().constData(), zip_uint64_t(it.value().size()), 0);
        QVERIFY(zip_file_add(z, it.key().toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) >= 0);
    }
    QCOMPARE(zip_close(z), 0);
}

const char* const kMain = "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
const char* const kRels = "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

// A package written by hand as other programs may write one: no styles part,
// a calculation chain, a hidden window, the reused sheet hidden with a print
// area, a user's name on it, and (optionally) a chart sheet.
QMap<QString, QByteArray> handWrittenPackage(bool withChartSheet)
{
    const QByteArray rt = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    const QByteArray ct = "application/vnd.openxmlformats-officedocument.spreadsheetml.";
    QMap<QString, QByteArray> parts;
    parts["[Content_Types].xml"] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                   "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                                   "<Default Extension=\"rels\" ContentType=\"application/"
                                   "vnd.openxmlformats-package.relationships+xml\"/>"
                                   "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                                   "<Override PartName=\"/xl/workbook.xml\" ContentType=\""
        + ct + "sheet.main+xml\"/><Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"" + ct
        + "worksheet+xml\"/><Override PartName=\"/xl/worksheets/sheet2.xml\" ContentType=\"" + ct
        + "worksheet+xml\"/><Override PartName=\"/xl/calcChain.xml\" ContentType=\"" + ct + "calcChain+xml\"/></Types>";
    parts["_rels/.rels"] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                           "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                           "<Relationship Id=\"rId1\" Type=\""
        + rt + "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    QByteArray sheets = "<sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/>"
                        "<sheet name=\"收款日报表\" sheetId=\"5\" state=\"hidden\" r:id=\"rId2\"/>";
    if (withChartSheet)
        sheets += "<sheet name=\"图\" sheetId=\"6\" r:id=\"rId9\"/>";
    parts["xl/workbook.xml"] = QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook ") + kMain + " " + kRels
        + "><bookViews><workbookView visibility=\"hidden\" activeTab=\"0\"/></bookViews><sheets>" + sheets
        + "</sheets><definedNames><definedName name=\"_xlnm.Print_Area\" localSheetId=\"1\">'收款日报表'!$A$1:$B$2"
          "</definedName><definedName name=\"MyName\" localSheetId=\"1\">'收款日报表'!$A$1</definedName>"
          "</definedNames></workbook>";
    QByteArray rels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                      "<Relationship Id=\"rId1\" Type=\""
        + rt + "worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" + rt
        + "worksheet\" Target=\"/xl/worksheets/sheet2.xml\"/><Relationship Id=\"rId3\" Type=\"" + rt
        + "calcChain\" Target=\"calcChain.xml\"/>";
    if (withChartSheet)
        rels += "<Relationship Id=\"rId9\" Type=\"" + rt + "chartsheet\" Target=\"chartsheets/sheet1.xml\"/>";
    parts["xl/_rels/workbook.xml.rels"] = rels + "</Relationships>";
    parts["xl/worksheets/sheet1.xml"] = QByteArray("<worksheet ") + kMain
        + "><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><f>A1+1</f><v>2</v></c></row>"
          "</sheetData></worksheet>";
    parts["xl/worksheets/sheet2.xml"] = QByteArray("<worksheet ") + kMain
        + "><sheetData><row r=\"1\"><c r=\"A1\"><v>7</v></c><c r=\"B1\"><f>A1*2</f><v>14</v></c></row>"
          "</sheetData></worksheet>";
    parts["xl/calcChain.xml"]
        = QByteArray("<calcChain ") + kMain + "><c r=\"B1\" i=\"1\"/><c r=\"B1\" i=\"5\"/></calcChain>";
    return parts;
}

} // namespace

class TestGridSheetExport : public QObject {
    Q_OBJECT

private slots:
    void columnHeading_data();
    void columnHeading();
    void workbookFileName_data();
    void workbookFileName();
    void sheetContent_data();
    void sheetContent();
    void untickedLeadingColumnsKeepCodesAsText();
    void twoLevelHeadingsMerge_data();
    void twoLevelHeadingsMerge();
    void existingWorkbook_data();
    void existingWorkbook();
    void stylesOnlyGrow_data();
    void stylesOnlyGrow();
    void missingFileHoldsOnlyTheSheet();
    void libreOfficeOpensWhatWeWrite();
    void handWrittenPackage();
    void sheetNameTakenByAnotherSheet_data();
    void sheetNameTakenByAnotherSheet();
    void hostilePackageIsRefused_data();
    void hostilePackageIsRefused();
    void failedWriteLeavesFileAsItWas_data();
    void failedWriteLeavesFileAsItWas();
};

void TestGridSheetExport::columnHeading_data()
{
    QTest::addColumn<int>("fixedRows");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("sub");
    QTest::addColumn<QString>("heading");

    QTest::newRow("two rows differing") << 2 << "金额"
                                        << "本月"
                                        << "金额(本月)";
    QTest::newRow("two rows equal") << 2 << "合计"
                                    << "合计"
                                    << "合计";
    QTest::newRow("equal but for blanks: top kept as it is") << 2 << " 合计 "
                                                             << "合计"
                                                             << " 合计 ";
    QTest::newRow("sub-heading inserted untrimmed") << 2 << "金额"
                                                    << " 本月 "
                                                    << "金额( 本月 )";
    QTest::newRow("sub-heading under an empty heading") << 2 << ""
                                                        << "x"
                                                        << "(x)";
    QTest::newRow("one heading row: row 1 is data") << 1 << "金额"
                                                    << "100.00"
                                                    << "金额";
    QTest::newRow("empty heading") << 1 << ""
                                   << "x"
                                   << "";
    QTest::newRow("both empty") << 2 << ""
                                << ""
                                << "";
}

void TestGridSheetExport::columnHeading()
{
    QFETCH(int, fixedRows);
    QFETCH(QString, top);
    QFETCH(QString, sub);
    QFETCH(QString, heading);
    GridModel grid;
    grid.setRows(3);
    grid.setCols(2);
    grid.setFixedRows(fixedRows);
    grid.setText(0, 0, QStringLiteral("序号"));
    grid.setText(0, 1, top);
    grid.setText(1, 1, sub);
    QCOMPARE(GridSheetExport::columnHeading(grid, 1), heading);
    const QVector<int> expected = heading.isEmpty() ? QVector<int> { 0 } : QVector<int> { 0, 1 };
    QCOMPARE(GridSheetExport::exportableColumns(grid), expected);
}

void TestGridSheetExport::workbookFileName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("written");

    QTest::newRow("new .xls becomes .xlsx") << "报表.xls" << false << "报表.xlsx";
    QTest::newRow("new .XLS becomes .xlsx") << "报表.XLS" << false << "报表.xlsx";
    QTest::newRow("no extension") << "报表" << false << "报表.xlsx";
    QTest::newRow("other extension kept before it") << "报表.2024" << false << "报表.2024.xlsx";
    QTest::newRow(".xlsx as chosen") << "报表.xlsx" << false << "报表.xlsx";
    QTest::newRow("existing file as chosen") << "旧.xls" << true << "旧.xls";
}

void TestGridSheetExport::workbookFileName()
{
    QFETCH(QString, chosen);
    QFETCH(bool, exists);
    QFETCH(QString, written);
    QTemporaryDir dir;
    if (exists)
        writeBytes(dir.filePath(chosen), "x");
    QCOMPARE(GridSheetExport::workbookFileName(dir.filePath(chosen)), dir.filePath(written));
}

void TestGridSheetExport::sheetContent_data()
{
    QTest::addColumn<QString>("fixtureName"); // empty: a new file

    QTest::newRow("new file") << "";
    QTest::newRow("replacing a sheet of a workbook") << "existing.xlsx";
    QTest::newRow("replacing a sheet of a workbook saved by LibreOffice") << "existing-lo.xlsx";
}

void TestGridSheetExport::sheetContent()
{
    QFETCH(QString, fixtureName);
    QTemporaryDir dir;
    const QString target = prepareTarget(dir, fixtureName);
    const GridModel grid = dailyGrid();
    QCOMPARE(GridSheetExport::write(grid, options({ 0, 1, 2, 3, 4, 5 }), target), target);
    const WorkbookReadback book = WorkbookReadback::read(target, kSheet);
    QVERIFY2(book.ok(), qPrintable(book.error()));

    struct Expect {
        const char* cell;
        QVariant value;
        const char* type;
        double size;
        const char* horizontal;
        bool border;
    };
    const Expect expected[] = {
        { "A1", kTitle, "text", 14, "center", false },
        { "A2", kTag, "text", 10, "center", false },
        { "A3", QStringLiteral("打印日期：2024年02月01日"), "text", 10, "right", false },
        { "A4", QStringLiteral("序号"), "text", 10.5, "center", true },
        { "F4", QStringLiteral("票号"), "text", 10.5, "center", true },
        { "A5", 1.0, "number", 10.5, nullptr, true },
        { "B5", QStringLiteral("2024-01-05"), "text", 10.5, nullptr, true },
        { "C5", QStringLiteral("0101"), "text", 10.5, nullptr, true }, // source column 2
        { "E5", 1234.5, "number", 10.5, nullptr, true },
        { "F5", QStringLiteral("000123"), "text", 10.5, nullptr, true }, // source column 5
        { "D6", QStringLiteral("=SUM(A1)"), "text", 10.5, nullptr, true }, // grid text, no formula
        { "E6", 0.125, "number", 10.5, nullptr, true },
        { "F6", QStringLiteral("007"), "text", 10.5, nullptr, true },
        { "A7", QVariant(), "empty", 10.5, nullptr, true },
        { "D7", QStringLiteral("合计"), "text", 10.5, nullptr, true },
    };
    for (const Expect& e : expected) {
        const QJsonObject c = book.cell(QString::fromLatin1(e.cell));
        const QByteArray where = e.cell;
        QVERIFY2(
            c.value("type").toString() == QLatin1String(e.type), where + " " + c.value("type").toString().toUtf8());
        if (e.value.isValid())
            QVERIFY2(c.value("value").toVariant() == e.value,
                where + " " + c.value("value").toVariant().toString().toUtf8());
        QVERIFY2(c.value("size").toDouble() == e.size, where);
        QVERIFY2(c.value("horizontal").toString() == QLatin1String(e.horizontal), where);
        QVERIFY2((c.value("border").toString() == QLatin1String("thin") && c.value("borderAll").toBool()) == e.border,
            where);
    }
    // Rows 1 to 4 are vertically distributed as whole rows.
    for (const char* cell : { "A1", "A3", "C4" })
        QCOMPARE(book.cell(QString::fromLatin1(cell)).value("vertical").toString(), QStringLiteral("distributed"));
    QCOMPARE(book.cell("A8").value("type").toString(), QString()); // nothing below the grid
    QCOMPARE(book.merges(), QStringList({ "A1:F1", "A2:F2", "A3:F3" }));
    // Widths: the grid's twips / 100.
    for (int c = 0; c < 6; ++c)
        QCOMPARE(book.width(QString(QChar(u'A' + c))), WorkbookSheetXml::storedWidth(grid.colWidth(c) / 100.0));
    QCOMPARE(book.width("G"), -1.0);

    const QJsonObject page = book.page();
    QCOMPARE(page.value("orientation").toString(), QStringLiteral("landscape"));
    QCOMPARE(page.value("fitToPage").toBool(), true);
    QCOMPARE(page.value("fitToWidth").toInt(), 1);
    QCOMPARE(page.value("fitToHeight").toInt(), 0);
    QCOMPARE(page.value("titleRows").toString(), QStringLiteral("$4:$4"));
}

void TestGridSheetExport::untickedLeadingColumnsKeepCodesAsText()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("codes.xlsx"));
    const GridModel grid = dailyGrid();
    GridSheetExport::write(grid, options({ 2, 3, 4, 5 }), target);
    const WorkbookReadback book = WorkbookReadback::read(target);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    QCOMPARE(book.cell("A5").value("value").toString(), QStringLiteral("0101"));
    QCOMPARE(book.cell("A5").value("type").toString(), QStringLiteral("text"));
    QCOMPARE(book.cell("D5").value("value").toString(), QStringLiteral("000123"));
    QCOMPARE(book.cell("D5").value("type").toString(), QStringLiteral("text"));
    QCOMPARE(book.cell("E5").value("type").toString(), QString());
    QCOMPARE(book.width("A"), WorkbookSheetXml::storedWidth(12));
    QCOMPARE(book.merges(), QStringList({ "A1:D1", "A2:D2", "A3:D3" }));
}

void TestGridSheetExport::twoLevelHeadingsMerge_data()
{
    QTest::addColumn<QString>("lastSubHeading");
    QTest::addColumn<QString>("fixtureName");
    QTest::addColumn<QStringList>("merges");
    QTest::addColumn<QStringList>("row5");

    const QStringList lines { "A1:D1", "A2:D2", "A3:D3" };
    QTest::newRow("A,A,A,B over x,y,z,B")
        << "z"
        << "" << (lines + QStringList { "A4:C4", "D4:D5" }) << QStringList { "x", "y", "z", "" };
    QTest::newRow("the same put into a workbook")
        << "z"
        << "existing.xlsx" << (lines + QStringList { "A4:C4", "D4:D5" }) << QStringList { "x", "y", "z", "" };
    // The run's last column is not merged down as well: that would swallow x and y.
    QTest::newRow("empty last sub-heading of a run")
        << ""
        << "" << (lines + QStringList { "A4:C4", "D4:D5" }) << QStringList { "x", "y", "", "" };
}

void TestGridSheetExport::twoLevelHeadingsMerge()
{
    QFETCH(QString, lastSubHeading);
    QFETCH(QString, fixtureName);
    QFETCH(QStringList, merges);
    QFETCH(QStringList, row5);
    QTemporaryDir dir;
    const QString target = prepareTarget(dir, fixtureName);
    GridSheetExport::write(twoLevelGrid(lastSubHeading), options({ 0, 1, 2, 3 }), target);
    const WorkbookReadback book = WorkbookReadback::read(target, kSheet);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    QStringList expectedMerges = merges;
    expectedMerges.sort();
    QCOMPARE(book.merges(), expectedMerges);
    QCOMPARE(book.cell("A4").value("value").toString(), QStringLiteral("A"));
    QVERIFY(book.cell("B4").value("value").isNull());
    QVERIFY(book.cell("C4").value("value").isNull());
    QCOMPARE(book.cell("D4").value("value").toString(), QStringLiteral("B"));
    for (int c = 0; c < 4; ++c)
        QCOMPARE(book.cell(QString(QChar(u'A' + c)) + u'5').value("value").toString(), row5.at(c));
    QCOMPARE(book.page().value("titleRows").toString(), QStringLiteral("$4:$5"));
}

void TestGridSheetExport::existingWorkbook_data()
{
    QTest::addColumn<QString>("fixtureName");
    QTest::addColumn<QString>("sheetName");
    QTest::addColumn<QStringList>("sheets");
    QTest::addColumn<QStringList>("changed"); // entries that may change; all others stay byte for byte
    QTest::addColumn<QStringList>("removed");
    QTest::addColumn<QStringList>("added");

    const QStringList three { "封面", "收款日报表", "图表" };
    const QStringList listing { "[Content_Types].xml", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
        "xl/styles.xml" };
    for (const char* name : { "existing.xlsx", "existing-lo.xlsx" }) {
        QTest::addRow("%s: same sheet replaced in place", name)
            << name << kSheet << three << (listing + QStringList { "xl/worksheets/sheet2.xml" })
            << QStringList { "xl/worksheets/_rels/sheet2.xml.rels" } << QStringList {};
        QTest::addRow("%s: new sheet appended after the last", name)
            << name << "新表" << (three + QStringList { "新表" }) << listing << QStringList {}
            << QStringList { "xl/worksheets/sheet4.xml" };
    }
}

void TestGridSheetExport::existingWorkbook()
{
    QFETCH(QString, fixtureName);
    QFETCH(QString, sheetName);
    QFETCH(QStringList, sheets);
    QFETCH(QStringList, changed);
    QFETCH(QStringList, removed);
    QFETCH(QStringList, added);

    QTemporaryDir dir;
    const QString target = prepareTarget(dir, fixtureName);
    const QMap<QString, QByteArray> before = entryHashes(target);
    QVERIFY(!before.isEmpty());
    GridSheetOptions o = options({ 0, 1, 2, 3, 4, 5 });
    o.sheetName = sheetName;
    GridSheetExport::write(dailyGrid(), o, target);
    const QMap<QString, QByteArray> after = entryHashes(target);

    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const QByteArray name = it.key().toUtf8();
        if (removed.contains(it.key()))
            QVERIFY2(!after.contains(it.key()), name);
        else if (!changed.contains(it.key()))
            QVERIFY2(after.value(it.key()) == it.value(), name);
        else
            QVERIFY2(after.contains(it.key()), name);
    }
    QStringList newEntries;
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (!before.contains(it.key()))
            newEntries << it.key();
    QCOMPARE(newEntries, added);

    const WorkbookReadback ours = WorkbookReadback::read(target, sheetName);
    QVERIFY2(ours.ok(), qPrintable(ours.error()));
    QCOMPARE(ours.sheets(), sheets);
    QCOMPARE(ours.cell("A1").value("value").toString(), kTitle);
    QCOMPARE(ours.cell("C5").value("value").toString(), QStringLiteral("0101"));
    // The old content is gone, also past the new one.
    QCOMPARE(ours.cell("H40").value("type").toString(), QString());
    QCOMPARE(ours.cell("G5").value("type").toString(), QString());
    QCOMPARE(ours.page().value("titleRows").toString(), QStringLiteral("$4:$4"));
    // The other sheets' print titles still point at their own sheets.
    QCOMPARE(WorkbookReadback::read(target, QStringLiteral("封面")).page().value("titleRows").toString(),
        QStringLiteral("1:2"));
    QCOMPARE(WorkbookReadback::read(target, QStringLiteral("图表")).page().value("titleRows").toString(),
        QStringLiteral("1:1"));
}

void TestGridSheetExport::stylesOnlyGrow_data()
{
    QTest::addColumn<QString>("fixtureName");
    QTest::newRow("workbook by openpyxl") << "existing.xlsx";
    QTest::newRow("workbook by LibreOffice") << "existing-lo.xlsx";
}

void TestGridSheetExport::stylesOnlyGrow()
{
    QFETCH(QString, fixtureName);
    QTemporaryDir dir;
    const QString target = prepareTarget(dir, fixtureName);
    const QMap<QString, QStringList> before = styleSections(entry(target, QStringLiteral("xl/styles.xml")));
    GridSheetExport::write(dailyGrid(), options({ 0, 1, 2, 3, 4, 5 }), target);
    const QByteArray once = entry(target, QStringLiteral("xl/styles.xml"));
    const QMap<QString, QStringList> after = styleSections(once);
    QCOMPARE(after.keys(), before.keys());
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        // Every entry other sheets may refer to stays at its index, unchanged.
        const QStringList grown = after.value(it.key());
        QVERIFY2(grown.size() >= it.value().size(), qPrintable(it.key()));
        QCOMPARE(grown.mid(0, it.value().size()), it.value());
    }
    QVERIFY(after.value("cellXfs").size() > before.value("cellXfs").size());
    // The same export again finds its formats and adds nothing.
    GridSheetExport::write(dailyGrid(), options({ 0, 1, 2, 3, 4, 5 }), target);
    QCOMPARE(entry(target, QStringLiteral("xl/styles.xml")), once);
}

void TestGridSheetExport::missingFileHoldsOnlyTheSheet()
{
    QTemporaryDir dir;
    const QString written
        = GridSheetExport::write(dailyGrid(), options({ 0, 1 }), dir.filePath(QStringLiteral("新.xls")));
    QCOMPARE(written, dir.filePath(QStringLiteral("新.xlsx")));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("新.xls"))));
    const WorkbookReadback book = WorkbookReadback::read(written);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    QCOMPARE(book.sheets(), QStringList { kSheet });
    QCOMPARE(book.cell("B5").value("value").toString(), QStringLiteral("2024-01-05"));
}

void TestGridSheetExport::libreOfficeOpensWhatWeWrite()
{
    QTemporaryDir dir;
    const QString target = prepareTarget(dir, QStringLiteral("existing.xlsx"));
    GridSheetOptions o = options({ 0, 1, 2, 3, 4, 5 });
    o.sheetName = QStringLiteral("新表");
    GridSheetExport::write(dailyGrid(), o, target);
    const QString created = GridSheetExport::write(dailyGrid(), options({ 0, 1, 2 }), dir.filePath("new.xlsx"));

    QProcess office;
    office.start(QStringLiteral("soffice"),
        { QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=file://") + dir.filePath("profile"),
            QStringLiteral("--convert-to"), QStringLiteral("ods"), QStringLiteral("--outdir"), dir.filePath("out"),
            target, created });
    QVERIFY(office.waitForFinished(300000));
    QCOMPARE(office.exitCode(), 0);
    const QString content = QString::fromUtf8(entry(dir.filePath("out/target.ods"), QStringLiteral("content.xml")));
    QVERIFY2(!content.isEmpty(), "LibreOffice did not open the workbook");
    for (const char* table : { "封面", "收款日报表", "图表", "新表" })
        QVERIFY2(content.contains(QStringLiteral("table:name=\"%1\"").arg(QString::fromUtf8(table))), table);
    // The chart and the picture of sheet 图表.
    const qsizetype chartSheet = content.indexOf(QStringLiteral("table:name=\"图表\""));
    const qsizetype nextSheet = content.indexOf(QStringLiteral("table:name=\"新表\""));
    const QString charts = content.mid(chartSheet, nextSheet - chartSheet);
    QVERIFY(charts.contains(QStringLiteral("<draw:object")));
    QVERIFY(charts.contains(QStringLiteral("<draw:image")));
    QVERIFY(content.mid(nextSheet).contains(kTitle));

    // A workbook we create is read as well.
    const QString fresh = QString::fromUtf8(entry(dir.filePath("out/new.ods"), QStringLiteral("content.xml")));
    QVERIFY(fresh.contains(QStringLiteral("table:name=\"收款日报表\"")));
    QVERIFY(fresh.contains(kTitle));
    QVERIFY(fresh.contains(QStringLiteral(">0101<")));
}

void TestGridSheetExport::handWrittenPackage()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("hand.xlsx"));
    writePackage(target, ::handWrittenPackage(false));
    GridSheetExport::write(dailyGrid(), options({ 0, 1, 2, 3, 4, 5 }), target);

    const QString workbook = QString::fromUtf8(entry(target, QStringLiteral("xl/workbook.xml")));
    // The reused sheet is shown again; its old print area goes, the user's name stays, the print titles come.
    QVERIFY2(!workbook.contains(QStringLiteral("state=")), qPrintable(workbook));
    QVERIFY(workbook.contains(QStringLiteral("<workbookView activeTab=\"0\"/>"))); // the window shows too
    QVERIFY(!workbook.contains(QStringLiteral("_xlnm.Print_Area")));
    QVERIFY(workbook.contains(
        QStringLiteral("<definedName name=\"MyName\" localSheetId=\"1\">'收款日报表'!$A$1</definedName>")));
    QVERIFY(workbook.contains(QStringLiteral(
        "<definedName name=\"_xlnm.Print_Titles\" localSheetId=\"1\">'收款日报表'!$4:$4</definedName>")));
    // The calculation chain listed the old sheet's formulas: it goes, with its relationship and content type.
    const QMap<QString, QByteArray> after = entryHashes(target);
    QVERIFY(!after.contains(QStringLiteral("xl/calcChain.xml")));
    QVERIFY(!entry(target, QStringLiteral("xl/_rels/workbook.xml.rels")).contains("calcChain"));
    QVERIFY(!entry(target, QStringLiteral("[Content_Types].xml")).contains("calcChain"));
    // A styles part is made for a package without one.
    QVERIFY(after.contains(QStringLiteral("xl/styles.xml")));
    QVERIFY(entry(target, QStringLiteral("xl/_rels/workbook.xml.rels")).contains("Target=\"styles.xml\""));
    QVERIFY(entry(target, QStringLiteral("[Content_Types].xml")).contains("PartName=\"/xl/styles.xml\""));
    QCOMPARE(entry(target, QStringLiteral("xl/worksheets/sheet1.xml")),
        ::handWrittenPackage(false).value(QStringLiteral("xl/worksheets/sheet1.xml")));

    const WorkbookReadback book = WorkbookReadback::read(target, kSheet);
    QVERIFY2(book.ok(), qPrintable(book.error()));
    QCOMPARE(book.sheets(), QStringList({ "Data", kSheet }));
    QCOMPARE(book.cell("A1").value("value").toString(), kTitle);
    QCOMPARE(book.cell("A1").value("size").toDouble(), 14.0);
    QCOMPARE(book.cell("B1").value("type").toString(), QStringLiteral("empty")); // the old formula is gone
    QCOMPARE(book.cell("C5").value("value").toString(), QStringLiteral("0101"));
}

void TestGridSheetExport::sheetNameTakenByAnotherSheet_data()
{
    QTest::addColumn<QString>("sheetName");
    QTest::newRow("a chart sheet's name") << "图";
    QTest::newRow("a worksheet's name in other letter case") << "DATA";
}

void TestGridSheetExport::sheetNameTakenByAnotherSheet()
{
    QFETCH(QString, sheetName);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("hand.xlsx"));
    writePackage(target, ::handWrittenPackage(true));
    const QByteArray old = fileBytes(target);
    GridSheetOptions o = options({ 0, 1 });
    o.sheetName = sheetName;
    try {
        GridSheetExport::write(dailyGrid(), o, target);
        QFAIL("the name is taken");
    } catch (const Failure& f) {
        QCOMPARE(f.number(), kErrWorkbook);
    }
    QCOMPARE(fileBytes(target), old);
}

// A damaged or hostile package is refused and left as it was where putting
// the sheet into it would go wrong: the reused sheet pointed at a part the
// patch rewrites itself (the sheet was lost under it while the export
// reported success) or out of the package, its relationship Id given twice
// (the sheet went to one part, a spreadsheet may read the other), or no Id
// on the sheet (it was matched with a relationship without one).
void TestGridSheetExport::hostilePackageIsRefused_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("workbookOutside");
    QTest::addColumn<int>("number");
    const QString rels = QStringLiteral("xl/_rels/workbook.xml.rels");
    const QString sheet = QStringLiteral("Target=\"/xl/worksheets/sheet2.xml\"");
    QTest::newRow("onto the content types") << rels << sheet << "Target=\"/[Content_Types].xml\"" << false << kErrFile;
    QTest::newRow("onto the workbook") << rels << sheet << "Target=\"workbook.xml\"" << false << kErrFile;
    QTest::newRow("onto the workbook's relationships")
        << rels << sheet << "Target=\"_rels/workbook.xml.rels\"" << false << kErrFile;
    QTest::newRow("onto the package relationships") << rels << sheet << "Target=\"/_rels/.rels\"" << false << kErrFile;
    QTest::newRow("out of the package") << rels << sheet << "Target=\"../../outside.xml\"" << false << kErrFile;
    QTest::newRow("the workbook out of the package") << rels << sheet << sheet << true << kErrFile;
    QTest::newRow("one relationship Id twice") << rels << "Id=\"rId3\""
                                               << "Id=\"rId2\"" << false << kErrFile;
    QTest::newRow("no Id on the sheet nor on its relationship") << "xl/workbook.xml"
                                                                << "r:id=\"rId2\""
                                                                << "id=\"rId2\"" << false << kErrWorkbook;
}

void TestGridSheetExport::hostilePackageIsRefused()
{
    QFETCH(QString, part);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, workbookOutside);
    QFETCH(int, number);
    QMap<QString, QByteArray> parts = ::handWrittenPackage(false);
    parts[part].replace(from.toUtf8(), to.toUtf8());
    if (number == kErrWorkbook)
        parts["xl/_rels/workbook.xml.rels"].replace("Id=\"rId2\"", "");
    if (workbookOutside) {
        parts["../xl/workbook.xml"] = parts.take(QStringLiteral("xl/workbook.xml"));
        parts["../xl/_rels/workbook.xml.rels"] = parts.take(QStringLiteral("xl/_rels/workbook.xml.rels"));
        parts["_rels/.rels"].replace("Target=\"xl/workbook.xml\"", "Target=\"../xl/workbook.xml\"");
    }
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("hand.xlsx"));
    writePackage(target, parts);
    const QByteArray old = fileBytes(target);
    try {
        GridSheetExport::write(dailyGrid(), options({ 0, 1 }), target);
        QFAIL("the package is refused");
    } catch (const Failure& f) {
        QCOMPARE(f.number(), number);
    }
    QCOMPARE(fileBytes(target), old);
}

void TestGridSheetExport::failedWriteLeavesFileAsItWas_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("message"); // a part of the description

    QTest::newRow("read-only folder") << "read-only folder" << kErrFile << "";
    QTest::newRow("read-only file") << "read-only file" << kErrFile << "";
    QTest::newRow("damaged workbook") << "damaged" << kErrFile << "";
    QTest::newRow("file that is not a zip") << "not a zip" << kErrFile << "不是 Excel 工作簿";
    QTest::newRow("legacy .xls workbook") << "legacy" << kErrFile << ".xls";
    QTest::newRow("sheet name the workbook refuses") << "bad sheet name" << kErrWorkbook << "";
    QTest::newRow("no column chosen") << "no column" << kErrInvalidArgument << "";
}

void TestGridSheetExport::failedWriteLeavesFileAsItWas()
{
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QString, message);

    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("folder"));
    QDir().mkpath(folder);
    const QString target = folder + QStringLiteral("/book.xls");
    QByteArray old = fileBytes(fixture(QStringLiteral("existing.xlsx")));
    if (kind == u"damaged")
        old = old.left(old.size() / 2);
    else if (kind == u"not a zip")
        old = "序号,日期\n1,2024-01-05\n";
    else if (kind == u"legacy")
        old = QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0');
    writeBytes(target, old);
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    std::unique_ptr<Unwritable> guard;
    if (kind == u"read-only folder")
        guard = std::make_unique<Unwritable>(folder);
    else if (kind == u"read-only file")
        guard = std::make_unique<Unwritable>(target);
    if (guard && !guard->effective())
        QSKIP("cannot make the file unwritable here");

    GridSheetOptions o = options({ 0, 1, 2, 3, 4, 5 });
    if (kind == u"bad sheet name")
        o.sheetName = QStringLiteral("a/b");
    if (kind == u"no column")
        o.columns.clear();
    try {
        GridSheetExport::write(dailyGrid(), o, target);
        QFAIL("the export should have failed");
    } catch (const Failure& f) {
        QCOMPARE(f.number(), number);
        QVERIFY(!f.description().isEmpty());
        QVERIFY2(f.description().contains(message), qPrintable(f.description()));
    }
    guard.reset();
    QCOMPARE(fileBytes(target), old);
    // No temporary file is left beside it.
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), entries);
}

QTEST_GUILESS_MAIN(TestGridSheetExport)
#include "test_gridsheetexport.moc"
