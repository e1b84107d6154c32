#include "readback.h"

#include "core/failure.h"
#include "workbook/workbook.h"
#include "workbook/workbookformattable.h"
#include "workbook/workbookinput.h"
#include "workbook/workbookprintlayout.h"
#include "workbook/workbooksavepath.h"
#include "tests/support/filebytes.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <functional>

using namespace fee;
using fee::testing::fileBytes;
using fee::testing::writeBytes;

namespace {

struct BadOperation {
    const char* name;
    std::function<void(WorkbookSheet&)> run;
};

// A sheet with every kind of value and format the model holds.
void fillVariedSheet(Workbook& book)
{
    WorkbookSheet& s = book.worksheet(1);
    s.range(QStringLiteral("A1:F1"))
        .merge()
        .setHorizontalAlignment(-4108)
        .setFontName(QStringLiteral("楷体_GB2312"))
        .setFontBold(true);
    s.cells(1, 1).setValue(QStringLiteral("标题"));
    s.cells(2, 1).setValue(QStringLiteral("12.50%"));
    s.cells(2, 2).setValue(QStringLiteral("'0101"));
    s.cells(2, 3)
        .setNumberFormat(QStringLiteral("#0.00"))
        .setValue(QStringLiteral("-1234.5"))
        .setHorizontalAlignment(-4152);
    s.cells(2, 4).setFormula(QStringLiteral("=C2*2"), -2469.0);
    s.cells(2, 5).setFormula(QStringLiteral("=IF(C2,\"\",1)"), QString());
    s.cells(2, 6).setDate(QDate(2020, 12, 31)).setNumberFormat(QStringLiteral("yyyy-mm-dd"));
    s.cells(3, 1).setValue(QStringLiteral("两行\r\n文本")).setVerticalAlignment(5);
    s.cells(3, 2).setValue(QStringLiteral("12%"));
    s.range(QStringLiteral("A2:F4")).setBorderLineStyle(1).setFontSize(9);
    s.range(QStringLiteral("B4:C4")).merge().setInteriorColor(16761024);
    s.cells(4, 4).setInteriorColor(0);
    s.columns(1).setColumnWidth(500 / 110.0);
    s.columns(2, 3).setColumnWidth(2400 / 110.0);
    book.addWorksheet(QStringLiteral("明细")).cells(1, 1).setValue(QStringLiteral("第二页"));
    book.addWorksheet(QStringLiteral("隐藏")).setVisible(false);
}

const QVector<BadOperation>& badOperations()
{
    static const QVector<BadOperation> ops {
        { "horizontal alignment code 99", [](WorkbookSheet& s) { s.cells(1, 1).setHorizontalAlignment(99); } },
        { "vertical alignment code -1", [](WorkbookSheet& s) { s.cells(1, 1).setVerticalAlignment(-1); } },
        { "line style 7", [](WorkbookSheet& s) { s.cells(1, 1).setBorderLineStyle(7); } },
        { "negative colour", [](WorkbookSheet& s) { s.cells(1, 1).setInteriorColor(-1); } },
        { "colour above 0xFFFFFF", [](WorkbookSheet& s) { s.cells(1, 1).setInteriorColor(0x1000000); } },
        { "row 0", [](WorkbookSheet& s) { s.cells(0, 1); } },
        { "column past XFD", [](WorkbookSheet& s) { s.cells(1, 16385); } },
        { "address A0", [](WorkbookSheet& s) { s.range(QStringLiteral("A0")); } },
        { "address XFE1", [](WorkbookSheet& s) { s.range(QStringLiteral("XFE1")); } },
        { "address A1:", [](WorkbookSheet& s) { s.range(QStringLiteral("A1:")); } },
        { "address 1A", [](WorkbookSheet& s) { s.range(QStringLiteral("1A")); } },
        { "empty address", [](WorkbookSheet& s) { s.range(QString()); } },
        { "not-a-number", [](WorkbookSheet& s) { s.cells(1, 1).setNumber(std::nan("")); } },
        { "value into whole rows", [](WorkbookSheet& s) { s.rows(2).setValue(QStringLiteral("x")); } },
        { "merge whole columns", [](WorkbookSheet& s) { s.columns(1, 2).merge(); } },
        { "font size 0", [](WorkbookSheet& s) { s.cells(1, 1).setFontSize(0); } },
        { "text of 32768 characters", [](WorkbookSheet& s) { s.cells(1, 1).setValue(QString(32768, u'x')); } },
        { "formula without =", [](WorkbookSheet& s) { s.cells(1, 1).setFormula(QStringLiteral("A1+1"), 1.0); } },
        { "column width 256", [](WorkbookSheet& s) { s.columns(1).setColumnWidth(256); } },
        { "sheet name with /", [](WorkbookSheet& s) { s.setName(QStringLiteral("a/b")); } },
        { "sheet name of 32 characters", [](WorkbookSheet& s) { s.setName(QString(32, u'x')); } },
        { "date before March 1900", [](WorkbookSheet& s) { s.cells(1, 1).setDate(QDate(1900, 1, 1)); } },
    };
    return ops;
}

} // namespace

class TestWorkbook : public QObject {
    Q_OBJECT

private slots:
    void typedInput_data();
    void typedInput();
    void address_data();
    void address();
    void mergeKeepsTopLeftAndTakesOverlapsWhole();
    void rangeFormatsAccumulatePerCell();
    void typedPercentKeepsAnExistingNumberFormat();
    void rowFormatReachesLaterCells();
    void badOperationThrows_data();
    void badOperationThrows();
    void savedFileReadsBack_data();
    void savedFileReadsBack();
    void savedFileMergesWidthsSheets();
    void failedSave_data();
    void failedSave();
    void loadReadsBackWhatWasSaved_data();
    void loadReadsBackWhatWasSaved();
    void failedLoadKeepsWorkbook_data();
    void failedLoadKeepsWorkbook();
    void printLayoutOrientation_data();
    void printLayoutOrientation();
    void savedPrintLayout();
    void savePath_data();
    void savePath();
};

void TestWorkbook::typedInput_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("numberFormat");

    const int N = WorkbookInput::Number, T = WorkbookInput::Text, F = WorkbookInput::Formula, E = WorkbookInput::Empty;
    QTest::newRow("money") << "1234.00" << N << 1234.0 << ""
                           << "";
    QTest::newRow("negative") << "-5" << N << -5.0 << ""
                              << "";
    QTest::newRow("negative zero") << "-0.00" << N << 0.0 << ""
                                   << "";
    QTest::newRow("blanks around") << " 7 " << N << 7.0 << ""
                                   << "";
    QTest::newRow("exponent") << "1e3" << N << 1000.0 << ""
                              << "";
    QTest::newRow("leading point") << ".5" << N << 0.5 << ""
                                   << "";
    QTest::newRow("rate with decimals") << "12.50%" << N << 0.125 << ""
                                        << "0.00%";
    QTest::newRow("whole rate") << "12%" << N << 0.12 << ""
                                << "0%";
    QTest::newRow("leading zeros become a number") << "0101" << N << 101.0 << ""
                                                   << "";
    QTest::newRow("apostrophe keeps text") << "'0101" << T << 0.0 << "0101"
                                           << "";
    QTest::newRow("apostrophe alone") << "'" << E << 0.0 << ""
                                      << "";
    QTest::newRow("formula") << "=C6-D6" << F << 0.0 << "=C6-D6"
                             << "";
    QTest::newRow("equals sign alone") << "=" << T << 0.0 << "="
                                       << "";
    QTest::newRow("date stays text") << "2020-12-31" << T << 0.0 << "2020-12-31"
                                     << "";
    QTest::newRow("inf is text") << "inf" << T << 0.0 << "inf"
                                 << "";
    QTest::newRow("nan is text") << "nan" << T << 0.0 << "nan"
                                 << "";
    QTest::newRow("thousands separator") << "1,234" << T << 0.0 << "1,234"
                                         << "";
    QTest::newRow("two points") << "1.2.3" << T << 0.0 << "1.2.3"
                                << "";
    QTest::newRow("percent sign alone") << "%" << T << 0.0 << "%"
                                        << "";
    QTest::newRow("month count heading") << "1-本月应收数" << T << 0.0 << "1-本月应收数"
                                         << "";
    QTest::newRow("empty") << "" << E << 0.0 << ""
                           << "";
    QTest::newRow("plus sign") << "+5" << N << 5.0 << ""
                               << "";
    QTest::newRow("blank before percent") << " 5 % " << N << 0.05 << ""
                                          << "0%";
    QTest::newRow("exponent without digits") << "1e" << T << 0.0 << "1e"
                                             << "";
    QTest::newRow("too large") << "1e400" << T << 0.0 << "1e400"
                               << "";
    QTest::newRow("too small reads as zero") << "1e-400" << N << 0.0 << ""
                                             << "";
    QTest::newRow("trailing point") << "3." << N << 3.0 << ""
                                    << "";
    QTest::newRow("full-width digits stay text") << "１２" << T << 0.0 << "１２"
                                                 << "";
    QTest::newRow("long run of digits") << (QString(100, u'0') + QStringLiteral("12.5")) << N << 12.5 << ""
                                        << "";
}

void TestWorkbook::typedInput()
{
    QFETCH(QString, typed);
    QFETCH(int, kind);
    QFETCH(double, number);
    QFETCH(QString, text);
    QFETCH(QString, numberFormat);
    const WorkbookInput in = WorkbookInput::fromTyped(typed);
    QCOMPARE(int(in.kind), kind);
    QCOMPARE(in.number, number);
    if (number == 0)
        QVERIFY(!std::signbit(in.number)); // never "-0"
    QCOMPARE(in.text, text);
    QCOMPARE(in.numberFormat, numberFormat);
}

void TestWorkbook::address_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("bottom");
    QTest::addColumn<int>("right");
    QTest::addColumn<QString>("normalised");

    QTest::newRow("cell") << "A1" << 1 << 1 << 1 << 1 << "A1";
    QTest::newRow("heading block") << "A4:AL5" << 4 << 1 << 5 << 38 << "A4:AL5";
    QTest::newRow("absolute lower case") << "$b$2:$ab$10" << 2 << 2 << 10 << 28 << "B2:AB10";
    QTest::newRow("reversed corners") << "AL5:A4" << 4 << 1 << 5 << 38 << "A4:AL5";
    QTest::newRow("last cell") << "XFD1048576" << 1048576 << 16384 << 1048576 << 16384 << "XFD1048576";
    QTest::newRow("whole rows") << "4:5" << 4 << 1 << 5 << 16384 << "4:5";
    QTest::newRow("whole columns") << "A:C" << 1 << 1 << 1048576 << 3 << "A:C";
}

void TestWorkbook::address()
{
    QFETCH(QString, text);
    QFETCH(int, top);
    QFETCH(int, left);
    QFETCH(int, bottom);
    QFETCH(int, right);
    QFETCH(QString, normalised);
    const WorkbookArea a = WorkbookArea::parse(text);
    QCOMPARE(a.top, top);
    QCOMPARE(a.left, left);
    QCOMPARE(a.bottom, bottom);
    QCOMPARE(a.right, right);
    QCOMPARE(a.address(), normalised);
}

void TestWorkbook::mergeKeepsTopLeftAndTakesOverlapsWhole()
{
    Workbook book;
    WorkbookSheet& s = book.worksheet(1);
    s.cells(1, 1).setValue(QStringLiteral("top-left"));
    s.cells(1, 2).setValue(QStringLiteral("7"));
    s.range(QStringLiteral("A1:B1")).merge();
    QCOMPARE(s.value(1, 1), QVariant(QStringLiteral("top-left")));
    QVERIFY(!s.value(1, 2).isValid());

    // A merge over part of an existing one takes that one in whole.
    s.range(QStringLiteral("B1:C2")).merge();
    QCOMPARE(s.merges().size(), 1);
    QCOMPARE(s.merges().first().address(), QStringLiteral("A1:C2"));
    QCOMPARE(s.value(1, 1), QVariant(QStringLiteral("top-left")));

    s.range(QStringLiteral("E5:F5")).merge();
    s.range(QStringLiteral("B2")).unmerge();
    QCOMPARE(s.merges().size(), 1);
    QCOMPARE(s.merges().first().address(), QStringLiteral("E5:F5"));
}

void TestWorkbook::rangeFormatsAccumulatePerCell()
{
    Workbook book;
    WorkbookSheet& s = book.worksheet(1);
    s.range(QStringLiteral("A1:B2")).setInteriorColor(16761024);
    s.range(s.cells(2, 2), s.cells(3, 3)).setBorderLineStyle(1);
    s.range(QStringLiteral("A1:C1")).setFontBold(true);

    QCOMPARE(s.formatAt(1, 1).fill, 0xC0C0FF);
    QVERIFY(s.formatAt(1, 1).bold);
    QCOMPARE(s.formatAt(1, 1).border, quint8(WorkbookFormat::BorderNone));
    QCOMPARE(s.formatAt(2, 2).fill, 0xC0C0FF);
    QCOMPARE(s.formatAt(2, 2).border, quint8(WorkbookFormat::BorderThin));
    QVERIFY(!s.formatAt(2, 2).bold);
    QCOMPARE(s.formatAt(3, 3).fill, -1);
    QCOMPARE(s.formatAt(3, 3).border, quint8(WorkbookFormat::BorderThin));
    QVERIFY(s.formatAt(1, 3).bold);
    // Values written later keep the cell's format.
    s.cells(2, 2).setValue(QStringLiteral("5"));
    QCOMPARE(s.formatAt(2, 2).fill, 0xC0C0FF);

    // One format per distinct combination, however many cells share it.
    const int before = s.formatTable().size();
    s.range(QStringLiteral("A10:CV109")).setFontName(QStringLiteral("微软雅黑")).setFontSize(10);
    QCOMPARE(s.formatTable().size(), before + 2);
}

void TestWorkbook::typedPercentKeepsAnExistingNumberFormat()
{
    Workbook book;
    WorkbookSheet& s = book.worksheet(1);
    s.cells(1, 1).setNumberFormat(QStringLiteral("#0.00")).setValue(QStringLiteral("12.50%"));
    s.cells(1, 2).setValue(QStringLiteral("12.50%"));
    QCOMPARE(s.value(1, 1), QVariant(0.125));
    QCOMPARE(s.formatAt(1, 1).numberFormat, QStringLiteral("#0.00"));
    QCOMPARE(s.formatAt(1, 2).numberFormat, QStringLiteral("0.00%"));
}

void TestWorkbook::rowFormatReachesLaterCells()
{
    Workbook book;
    WorkbookSheet& s = book.worksheet(1);
    s.cells(5, 1).setValue(QStringLiteral("a"));
    s.rows(5).setFontSize(14).setHorizontalAlignment(3);
    s.cells(5, 30).setValue(QStringLiteral("b"));
    QCOMPARE(s.formatAt(5, 1).fontSize, 14.0);
    QCOMPARE(s.formatAt(5, 30).fontSize, 14.0);
    QCOMPARE(s.formatAt(5, 30).hAlign, quint8(WorkbookFormat::HCenter));
    QCOMPARE(s.formatAt(6, 1).fontSize, 0.0);
    // Clearing takes values and formats.
    s.rows(5).clear();
    QCOMPARE(s.formatAt(5, 30).fontSize, 0.0);
    QVERIFY(!s.value(5, 1).isValid());
}

void TestWorkbook::badOperationThrows_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < badOperations().size(); ++i)
        QTest::newRow(badOperations().at(i).name) << i;
}

void TestWorkbook::badOperationThrows()
{
    QFETCH(int, index);
    Workbook book;
    try {
        badOperations().at(index).run(book.worksheet(1));
        QFAIL("no failure");
    } catch (const Failure& f) {
        QCOMPARE(f.number(), kErrWorkbook);
        QVERIFY(!f.description().isEmpty());
    }
}

void TestWorkbook::savedFileReadsBack_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QString>("numberFormat");
    QTest::addColumn<QString>("fill");
    QTest::addColumn<QString>("horizontal");

    const QVariant none;
    QTest::newRow("rate") << "A1"
                          << "number" << QVariant(0.125) << ""
                          << "0.00%"
                          << ""
                          << "";
    QTest::newRow("apostrophe text") << "B1"
                                     << "text" << QVariant("0101") << ""
                                     << "General"
                                     << ""
                                     << "";
    QTest::newRow("money number") << "C1"
                                  << "number" << QVariant(1234) << ""
                                  << "#0.00"
                                  << ""
                                  << "right";
    QTest::newRow("negative") << "D1"
                              << "number" << QVariant(-5) << ""
                              << "General"
                              << ""
                              << "";
    QTest::newRow("date text") << "E1"
                               << "text" << QVariant("2020-12-31") << ""
                               << "General"
                               << ""
                               << "";
    QTest::newRow("numeric result") << "A2"
                                    << "formula" << QVariant(0.25) << "=A1*2"
                                    << "General"
                                    << ""
                                    << "";
    QTest::newRow("empty-text result") << "B2"
                                       << "formula" << none << "=IF(0,1,\"\")"
                                       << "General"
                                       << ""
                                       << "";
    QTest::newRow("date value") << "C2"
                                << "date" << QVariant("2020-12-31") << ""
                                << "yyyy-mm-dd"
                                << ""
                                << "center";
    QTest::newRow("heading colour") << "A3"
                                    << "empty" << none << ""
                                    << "General"
                                    << "C0C0FF"
                                    << "";
    QTest::newRow("red given as BGR") << "B3"
                                      << "empty" << none << ""
                                      << "General"
                                      << "FF0000"
                                      << "";
    QTest::newRow("covered merge cell keeps style") << "C4"
                                                    << "empty" << none << ""
                                                    << "General"
                                                    << "C0C0FF"
                                                    << "center";
    QTest::newRow("merge top-left") << "A4"
                                    << "text" << QVariant("合并") << ""
                                    << "General"
                                    << "C0C0FF"
                                    << "center";
    QTest::newRow("untouched") << "Z9"
                               << "" << none << ""
                               << ""
                               << ""
                               << "";
}

void TestWorkbook::savedFileReadsBack()
{
    QFETCH(QString, cell);
    QFETCH(QString, type);
    QFETCH(QVariant, value);
    QFETCH(QString, formula);
    QFETCH(QString, numberFormat);
    QFETCH(QString, fill);
    QFETCH(QString, horizontal);

    static QTemporaryDir dir;
    static WorkbookReadback back;
    if (!back.ok()) {
        Workbook book;
        WorkbookSheet& s = book.worksheet(1);
        s.cells(1, 1).setValue(QStringLiteral("12.50%"));
        s.cells(1, 2).setValue(QStringLiteral("'0101"));
        s.cells(1, 3)
            .setNumberFormat(QStringLiteral("#0.00"))
            .setValue(QStringLiteral("1234.00"))
            .setHorizontalAlignment(-4152);
        s.cells(1, 4).setValue(QStringLiteral("-5"));
        s.cells(1, 5).setValue(QStringLiteral("2020-12-31"));
        s.cells(2, 1).setFormula(QStringLiteral("=A1*2"), 0.25);
        s.cells(2, 2).setFormula(QStringLiteral("=IF(0,1,\"\")"), QString());
        s.cells(2, 3)
            .setDate(QDate(2020, 12, 31))
            .setNumberFormat(QStringLiteral("yyyy-mm-dd"))
            .setHorizontalAlignment(-4108);
        s.cells(3, 1).setInteriorColor(16761024);
        s.cells(3, 2).setInteriorColor(255);
        s.range(QStringLiteral("A4:C4")).merge().setHorizontalAlignment(-4108).setInteriorColor(16761024);
        s.cells(4, 1).setValue(QStringLiteral("合并"));
        book.saveAs(dir.filePath(QStringLiteral("values")));
        back = WorkbookReadback::read(dir.filePath(QStringLiteral("values.xlsx")));
        QVERIFY2(back.ok(), qPrintable(back.error()));
    }

    const QJsonObject c = back.cell(cell);
    if (type.isEmpty()) {
        QVERIFY(c.isEmpty());
        return;
    }
    QCOMPARE(c.value("type").toString(), type);
    QCOMPARE(c.value("value").isNull() ? QVariant() : c.value("value").toVariant(), value);
    QCOMPARE(c.value("formula").toString(), formula);
    QCOMPARE(c.value("numberFormat").toString(), numberFormat);
    QCOMPARE(c.value("fill").toString(), fill);
    QCOMPARE(c.value("horizontal").toString(), horizontal);
}

void TestWorkbook::savedFileMergesWidthsSheets()
{
    QTemporaryDir dir;
    Workbook book;
    WorkbookSheet& s = book.worksheet(1);
    s.range(QStringLiteral("A1:D1")).merge().setBorderLineStyle(1);
    s.range(QStringLiteral("B3:B4")).merge();
    s.columns(1).setColumnWidth(500 / 110.0);
    s.columns(2, 3).setColumnWidth(2400 / 110.0);
    s.cells(5, 1).setValue(QStringLiteral("往年欠费\r\n+本年累计欠费")).setVerticalAlignment(5);
    book.addWorksheet(QStringLiteral("明细"));
    QCOMPARE(book.addWorksheet().name(), QStringLiteral("Sheet3"));
    book.saveAs(dir.filePath(QStringLiteral("layout")));

    const WorkbookReadback back = WorkbookReadback::read(dir.filePath(QStringLiteral("layout.xlsx")));
    QVERIFY2(back.ok(), qPrintable(back.error()));
    QCOMPARE(back.merges(), QStringList({ "A1:D1", "B3:B4" }));
    QCOMPARE(back.sheets(), QStringList({ "Sheet1", "明细", "Sheet3" }));
    QCOMPARE(back.width("A"), WorkbookReadback::storedWidth(500 / 110.0));
    QCOMPARE(back.width("B"), WorkbookReadback::storedWidth(2400 / 110.0));
    QCOMPARE(back.width("C"), WorkbookReadback::storedWidth(2400 / 110.0));
    QCOMPARE(back.width("D"), -1.0);
    QCOMPARE(back.cell("D1").value("border").toString(), QStringLiteral("thin"));
    QVERIFY(back.cell("D1").value("borderAll").toBool());
    const QJsonObject wrapped = back.cell("A5");
    QCOMPARE(wrapped.value("value").toString(), QStringLiteral("往年欠费\n+本年累计欠费"));
    QVERIFY(wrapped.value("wrap").toBool());
}

void TestWorkbook::failedSave_data()
{
    QTest::addColumn<QString>("folder"); // relative to a scratch folder
    QTest::addColumn<bool>("refusedSheet");
    QTest::addColumn<int>("number");

    // A regular file as folder fails even for root.
    QTest::newRow("folder is a file") << "plain.txt" << false << kErrFile;
    QTest::newRow("folder missing") << "missing/deeper" << false << kErrFile;
    QTest::newRow("workbook refused while writing") << "." << true << kErrWorkbook;
    QTest::newRow("success replaces the file") << "." << false << 0;
}

void TestWorkbook::failedSave()
{
    QFETCH(QString, folder);
    QFETCH(bool, refusedSheet);
    QFETCH(int, number);

    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("plain.txt")), "not a folder");
    const QByteArray old = "an older workbook";
    writeBytes(dir.filePath(QStringLiteral("report.xlsx")), old);
    const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);

    Workbook book;
    book.worksheet(1).cells(1, 1).setValue(QStringLiteral("new"));
    if (refusedSheet) // two sheets of one name pass the model but not the file format
        book.addWorksheet(QStringLiteral("Other")).setName(QStringLiteral("Sheet1"));
    const QString target = QDir(dir.filePath(folder)).filePath(QStringLiteral("report"));
    try {
        book.saveAs(target);
        QCOMPARE(0, number);
        QVERIFY(fileBytes(dir.filePath(QStringLiteral("report.xlsx"))).startsWith("PK"));
    } catch (const Failure& f) {
        QCOMPARE(f.number(), number);
        QVERIFY(!f.description().isEmpty());
        QCOMPARE(fileBytes(dir.filePath(QStringLiteral("report.xlsx"))), old);
    }
    // No scratch file is left behind, whatever happened.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), before);
}

void TestWorkbook::loadReadsBackWhatWasSaved_data()
{
    QTest::addColumn<bool>("throughLibreOffice");
    QTest::newRow("own file") << false;
    QTest::newRow("saved again by LibreOffice") << true;
}

void TestWorkbook::loadReadsBackWhatWasSaved()
{
    QFETCH(bool, throughLibreOffice);
    QTemporaryDir dir;
    Workbook original;
    fillVariedSheet(original);
    original.saveAs(dir.filePath(QStringLiteral("varied")));
    QString file = dir.filePath(QStringLiteral("varied.xlsx"));
    if (throughLibreOffice) {
        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QDir().mkpath(dir.filePath(QStringLiteral("out")));
        QProcess office;
        office.start(QStringLiteral("soffice"),
            { QStringLiteral("--headless"),
                QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
                QStringLiteral("--convert-to"), QStringLiteral("xlsx:Calc MS Excel 2007 XML"),
                QStringLiteral("--outdir"), dir.filePath(QStringLiteral("out")), file });
        QVERIFY(office.waitForFinished(300000));
        file = dir.filePath(QStringLiteral("out/varied.xlsx"));
        QVERIFY2(QFile::exists(file), office.readAllStandardError().constData());
    }

    Workbook loaded;
    loaded.load(file);
    QCOMPARE(loaded.worksheetCount(), 3);
    QCOMPARE(loaded.worksheet(2).name(), QStringLiteral("明细"));
    QCOMPARE(loaded.worksheet(2).value(1, 1), QVariant(QStringLiteral("第二页")));
    QCOMPARE(loaded.worksheet(3).visible(), false);

    const WorkbookSheet& a = original.worksheet(1);
    const WorkbookSheet& b = loaded.worksheet(1);
    QStringList merges;
    for (const WorkbookArea& m : b.merges())
        merges << m.address();
    merges.sort();
    QCOMPARE(merges, QStringList({ "A1:F1", "B4:C4" }));
    for (int col = 1; col <= 3; ++col) // a width comes back to the pixel
        QVERIFY2(
            qAbs(b.columnWidth(col) - a.columnWidth(col)) < 1.0 / 7, qPrintable(QString::number(b.columnWidth(col))));
    for (int row = 1; row <= 4; ++row) {
        for (int col = 1; col <= 6; ++col) {
            const QByteArray where = WorkbookArea::cell(row, col).address().toLatin1();
            if (a.value(row, col).typeId() == QMetaType::Double)
                QVERIFY2(b.value(row, col).toDouble() == a.value(row, col).toDouble(), where);
            else
                QVERIFY2(b.value(row, col).toString() == a.value(row, col).toString(), where);
            const WorkbookCell* ca = a.cellAt(row, col);
            const WorkbookCell* cb = b.cellAt(row, col);
            QVERIFY2(bool(cb) == bool(ca) || !ca || ca->kind == WorkbookCell::Empty, where);
            if (ca && ca->kind == WorkbookCell::Formula)
                QVERIFY2(cb && cb->text == ca->text, where);
            WorkbookFormat fa = a.formatAt(row, col);
            WorkbookFormat fb = b.formatAt(row, col);
            if (throughLibreOffice) {
                // LibreOffice writes fonts in full (substituting missing ones), the vertical alignment
                // and its own spelling of the date format; the rest must come through.
                fb.fontName = fa.fontName;
                fb.fontSize = fa.fontSize;
                if (fa.vAlign == WorkbookFormat::VNone && fb.vAlign == WorkbookFormat::VBottom)
                    fb.vAlign = WorkbookFormat::VNone;
                if (fa.numberFormat == QStringLiteral("yyyy-mm-dd"))
                    fb.numberFormat = fb.numberFormat.toLower().remove(u'\\');
            }
            QVERIFY2(fb == fa,
                where + " " + fb.numberFormat.toUtf8() + "|" + fb.fontName.toUtf8() + "|"
                    + QByteArray::number(fb.fontSize) + "|" + QByteArray::number(fb.fill) + "|"
                    + QByteArray::number(fb.border) + "|" + QByteArray::number(fb.hAlign)
                    + QByteArray::number(fb.vAlign) + QByteArray::number(fb.wrap) + QByteArray::number(fb.bold));
        }
    }
}

void TestWorkbook::failedLoadKeepsWorkbook_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::newRow("missing file") << QByteArray();
    QTest::newRow("not a zip") << QByteArray("plain text, no workbook");
    // A zip archive (the empty-archive record) without workbook parts.
    QTest::newRow("zip without workbook") << QByteArray("PK\x05\x06" + QByteArray(18, '\0'));
}

void TestWorkbook::failedLoadKeepsWorkbook()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("in.xlsx"));
    if (!content.isEmpty())
        writeBytes(file, content);
    Workbook book;
    book.worksheet(1).cells(1, 1).setValue(QStringLiteral("kept"));
    try {
        book.load(file);
        QFAIL("no failure");
    } catch (const Failure& f) {
        QCOMPARE(f.number(), kErrFile);
        QVERIFY(!f.description().isEmpty());
    }
    QCOMPARE(book.worksheetCount(), 1);
    QCOMPARE(book.worksheet(1).value(1, 1), QVariant(QStringLiteral("kept")));
}

void TestWorkbook::printLayoutOrientation_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<double>("width"); // characters, every column
    QTest::addColumn<bool>("landscape");

    // Columns of 10 characters are 56.25 points wide; rows 15 points tall.
    QTest::newRow("three rows of four columns: wider than tall") << 3 << 4 << 10.0 << true;
    QTest::newRow("twenty rows of four columns: taller than wide") << 20 << 4 << 10.0 << false;
    QTest::newRow("long list of eight columns: narrower than a page is long") << 5000 << 8 << 10.0 << false;
    QTest::newRow("long list of eighteen columns: wider than a page is long") << 5000 << 18 << 10.0 << true;
    QTest::newRow("narrow columns of a long list") << 5000 << 18 << 3.0 << false;
}

void TestWorkbook::printLayoutOrientation()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(double, width);
    QFETCH(bool, landscape);
    Workbook book;
    WorkbookSheet& s = book.worksheet(1);
    s.cells(rows, cols).setValue(QStringLiteral("x"));
    s.columns(1, cols).setColumnWidth(width);
    QCOMPARE(WorkbookPrintLayout::landscapeFor(s), landscape);
}

void TestWorkbook::savedPrintLayout()
{
    QTemporaryDir dir;
    Workbook book;
    WorkbookSheet& s = book.worksheet(1);
    s.cells(40, 3).setValue(QStringLiteral("x"));
    s.setPrintLayout(4, 5);
    book.addWorksheet(QStringLiteral("无设置")).cells(1, 1).setValue(QStringLiteral("y"));
    book.saveAs(dir.filePath(QStringLiteral("layout")));

    const WorkbookReadback first = WorkbookReadback::read(dir.filePath(QStringLiteral("layout.xlsx")));
    QVERIFY2(first.ok(), qPrintable(first.error()));
    QCOMPARE(first.page().value("orientation").toString(), QStringLiteral("portrait"));
    QCOMPARE(first.page().value("fitToPage").toBool(), true);
    QCOMPARE(first.page().value("fitToWidth").toInt(), 1);
    QCOMPARE(first.page().value("fitToHeight").toInt(), 0);
    QCOMPARE(first.page().value("titleRows").toString(), QStringLiteral("$4:$5"));

    // A sheet that asks for nothing keeps the spreadsheet's defaults.
    const WorkbookReadback second
        = WorkbookReadback::read(dir.filePath(QStringLiteral("layout.xlsx")), QStringLiteral("无设置"));
    QVERIFY2(second.ok(), qPrintable(second.error()));
    QCOMPARE(second.page().value("fitToPage").toBool(), false);
    QVERIFY(second.page().value("titleRows").isNull());
}
void TestWorkbook::savePath_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("savePath");

    QTest::newRow("xls") << "/home/u/汇总表_20200331.xls"
                         << "/home/u/汇总表_20200331";
    QTest::newRow("xlsx") << "/home/u/report.xlsx"
                          << "/home/u/report";
    QTest::newRow("several dots") << "/home/u/report.v2.final.xlsx"
                                  << "/home/u/report.v2.final";
    QTest::newRow("dotted folder") << "/home/u.name/reports.2020/summary.xls"
                                   << "/home/u.name/reports.2020/summary";
    QTest::newRow("dotted folder, no extension") << "/home/u.name/summary"
                                                 << "/home/u.name/summary";
    QTest::newRow("no extension") << "/home/u/summary"
                                  << "/home/u/summary";
    QTest::newRow("backslashes") << "C:\\a.b\\summary.xls"
                                 << "C:\\a.b\\summary";
    QTest::newRow("hidden name") << "/home/u/.summary"
                                 << "/home/u/.summary";
    QTest::newRow("trailing dot") << "/home/u/summary."
                                  << "/home/u/summary";
    QTest::newRow("bare name") << "summary.xls"
                               << "summary";
}

void TestWorkbook::savePath()
{
    QFETCH(QString, chosen);
    QFETCH(QString, savePath);
    QCOMPARE(savePathFromChosenName(chosen), savePath);
}

QTEST_GUILESS_MAIN(TestWorkbook)
#include "test_workbook.moc"
