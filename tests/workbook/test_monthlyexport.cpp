#include "readback.h"

#include "core/failure.h"
#include "core/grid/gridmodel.h"
#include "core/textformat.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/monthly/monthlyexport.h"
#include "tests/support/filebytes.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace fee;
using fee::testing::fileBytes;

namespace {

// One summary row as the statistics run writes it: grid columns 0 to 38.
using GridRow = QStringList;

// An office without arrears (C empty, so G and H compute to the empty text).
const GridRow kOfficeNoArrears { "1", "第一管理处", "", "", "", "0.00", "", "", "1000.00", "100.00", "50.50", "",
    "25.25", "", "", "", "", "", "", "", "", "175.75", "50.00", "31.11", "743.14", "25.69%", "19.13%", "200.00", "",
    "10.00", "210.00", "385.75", "3", "800.00", "600.00", "200.00", "75.00%", "200.00", "0101" };

// An office with arrears, receipts and waivers, and no cumulative figures (AK empty).
const GridRow kOfficeWithArrears { "2", "第二管理处", "500.00", "200.00", "100.00", "200.00", "60.00%", "50.00%",
    "2000.00", "300.00", "", "", "", "", "", "", "", "", "", "", "", "300.00", "", "", "1700.00", "15.00%", "15.00%",
    "", "", "", "0.00", "500.00", "3", "", "", "0.00", "", "200.00", "0102" };

// The totals row of the one-office grid: every money column the office's figure to the cent.
const GridRow kTotalsOneOffice { "", "合计", "0.00", "0.00", "0.00", "0.00", "", "", "1000.00", "100.00", "50.50", "0.00",
    "25.25", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "175.75", "50.00", "31.11", "743.14",
    "25.69%", "19.13%", "200.00", "0.00", "10.00", "210.00", "385.75", "", "800.00", "600.00", "200.00", "75.00%",
    "200.00", "" };

// A figure of the fixture ("1000.00", "25.69%") in hundredths: cents or hundredths of a percent.
qint64 hundredths(QString text)
{
    text.remove(u'%');
    return qRound64(text.toDouble() * 100);
}

// The summary grid the engine writes for these rows: typed cells, 合计 the Total row.
GridModel summaryGrid(const QList<GridRow>& rows)
{
    GridModel grid;
    monthly::layoutSummaryGrid(grid, QStringLiteral("2020"));
    for (const GridRow& texts : rows) {
        QVector<CellValue> cells(monthly::kColumnCount);
        for (int c = 0; c < texts.size(); ++c) {
            const QString& text = texts.at(c);
            if (text.isEmpty())
                continue;
            if (c == monthly::kSerial || c == monthly::kMonthCount)
                cells[c] = CellValue::fromCount(text.toLongLong());
            else if (c == monthly::kName || c == monthly::kOfficeCode)
                cells[c] = CellValue::fromText(text);
            else if (monthly::isRateOrCount(c))
                cells[c] = CellValue::fromRateHundredths(hundredths(text));
            else
                cells[c] = CellValue::fromMoney(hundredths(text));
        }
        const bool total = texts.at(monthly::kName) == QStringLiteral("合计");
        grid.appendRow(cells, total ? RowKind::Total : RowKind::Data,
            total ? RowKey() : RowKey { texts.at(monthly::kOfficeCode) });
    }
    return grid;
}

SummaryWorkbookInfo summaryInfo()
{
    return { QStringLiteral("住宅物业费收缴率汇总表"), QStringLiteral("澄岳物业"), QDate(2020, 3, 31) };
}

GridModel detailGrid()
{
    namespace col = MonthlyDetailColumn;
    GridModel grid;
    grid.setFormatString(QStringLiteral("^序 |<地址  |<姓名  |<收费项目  |<应收年月 |>应收金额  |<收款日期  "));
    grid.setRows(1);
    const auto row = [](int serial, const char* address, const char* name, const char* item, const char* period,
                         qint64 cents, const QDate& collected) {
        QVector<CellValue> cells(col::kColumnCount);
        cells[col::kSerial] = CellValue::fromCount(serial);
        cells[col::kAddress] = CellValue::fromText(QString::fromUtf8(address));
        cells[col::kName] = CellValue::fromText(QString::fromUtf8(name));
        cells[col::kItem] = CellValue::fromText(QString::fromUtf8(item));
        cells[col::kPeriod] = CellValue::fromText(QString::fromUtf8(period));
        cells[col::kAmount] = CellValue::fromMoney(cents);
        cells[col::kCollected] = CellValue::fromDate(collected);
        return cells;
    };
    grid.appendRow(row(1, "1栋101室", "张三", "物业费", "202001", 12340, QDate(2020, 12, 31)));
    grid.appendRow(row(2, "车位A-01", "0101", "停车费", "202002", 8000, QDate()));
    QVector<CellValue> total(col::kColumnCount);
    total[col::kAddress] = CellValue::fromText(QStringLiteral("合计"));
    total[col::kAmount] = CellValue::fromMoney(20340);
    grid.appendRow(total, RowKind::Total);
    grid.setColWidth(1, 2000);
    return grid;
}

// The texts LibreOffice shows for the first sheet after recalculating every formula.
QList<QStringList> recalculatedTexts(const QString& xlsx, const QString& scratch, QString& error)
{
    // A private profile that recalculates on load instead of trusting saved results.
    const QString profile = scratch + QStringLiteral("/profile");
    QDir().mkpath(profile + QStringLiteral("/user"));
    QFile xcu(profile + QStringLiteral("/user/registrymodifications.xcu"));
    if (!xcu.open(QIODevice::WriteOnly)) {
        error = xcu.errorString();
        return {};
    }
    xcu.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="OOXMLRecalcMode" oor:op="fuse"><value>0</value></prop></item>
</oor:items>
)");
    xcu.close();
    QProcess office;
    office.start(QStringLiteral("soffice"),
        { QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=file://") + profile,
            QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"),
            QStringLiteral("--outdir"), scratch, xlsx });
    if (!office.waitForFinished(300000) || office.exitCode() != 0) {
        error = QString::fromUtf8(office.readAllStandardError());
        return {};
    }
    const QByteArray csv = fileBytes(scratch + u'/' + QFileInfo(xlsx).completeBaseName() + QStringLiteral(".csv"));
    // The cells checked hold no commas, quotes or line breaks past the heading rows.
    QList<QStringList> lines;
    for (const QByteArray& line : csv.split('\n')) {
        QStringList fields = QString::fromUtf8(line).split(u',');
        for (QString& f : fields)
            if (f.size() >= 2 && f.startsWith(u'"') && f.endsWith(u'"'))
                f = f.mid(1, f.size() - 2);
        lines << fields;
    }
    return lines;
}

// A saved formula result as the grid would show it in that column.
QString resultAsGridText(const QJsonValue& value, bool rate)
{
    if (value.isNull() || (value.isString() && value.toString().isEmpty()))
        return QString();
    return rate ? formatRate(value.toDouble() * 100) : formatNumber(value.toDouble(), QStringLiteral("0.00"));
}

} // namespace

class TestMonthlyExport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void summaryCells_data();
    void summaryCells();
    void summaryOfficeFormulas_data();
    void summaryOfficeFormulas();
    void summaryLayout();
    void bothWorkbooksPrintFittedWithHeadingsRepeated();
    void detailCells_data();
    void detailCells();
    void failedExportKeepsExistingFile_data();
    void failedExportKeepsExistingFile();
    void formulasRecalculateToGridFigures();

private:
    QTemporaryDir m_dir;
    WorkbookReadback m_summary;
    WorkbookReadback m_detail;
    QVector<int> m_progress;
    GridModel m_summaryGrid;
};

// A cell as read back: its kind, stored value and number format; an empty
// kind means the cell must be empty.
static void compareStored(const QJsonObject& c, const QString& type, const QVariant& value, const QString& numberFormat)
{
    if (type.isEmpty()) {
        QVERIFY(c.isEmpty());
        return;
    }
    QCOMPARE(c.value("type").toString(), type);
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Int)
        QCOMPARE(c.value("value").toDouble(), value.toDouble());
    else
        QCOMPARE(c.value("value").isNull() ? QVariant() : c.value("value").toVariant(), value);
    QCOMPARE(c.value("numberFormat").toString(), numberFormat);
}

void TestMonthlyExport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_summaryGrid = summaryGrid({ kOfficeNoArrears, kTotalsOneOffice });
    writeMonthlySummaryWorkbook(m_summaryGrid, summaryInfo(), m_dir.filePath(QStringLiteral("summary")),
        [this](int row) { m_progress << row; });
    m_summary = WorkbookReadback::read(m_dir.filePath(QStringLiteral("summary.xlsx")));
    QVERIFY2(m_summary.ok(), qPrintable(m_summary.error()));

    writeMonthlyDetailWorkbook(detailGrid(),
        { QStringLiteral("【第一管理处 01月已收】明细"), QStringLiteral("澄岳物业"), QStringLiteral("2020"),
            QStringLiteral("03") },
        m_dir.filePath(QStringLiteral("detail")));
    m_detail = WorkbookReadback::read(m_dir.filePath(QStringLiteral("detail.xlsx")));
    QVERIFY2(m_detail.ok(), qPrintable(m_detail.error()));
}

void TestMonthlyExport::summaryCells_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("numberFormat");
    QTest::addColumn<QString>("horizontal");

    const QVariant none;
    QTest::newRow("title") << "A1"
                           << "text" << QVariant("住宅物业费收缴率汇总表") << "General"
                           << "center";
    QTest::newRow("company") << "A2"
                             << "text" << QVariant(" 统计单位 : 澄岳物业") << "General"
                             << "left";
    QTest::newRow("date") << "A3"
                          << "text" << QVariant(" 统计日期 : 2020-03-31") << "General"
                          << "left";
    QTest::newRow("serial heading") << "A4"
                                    << "text" << QVariant("序") << "General"
                                    << "center";
    QTest::newRow("year heading") << "I4"
                                  << "text" << QVariant("2020年物业费") << "General"
                                  << "center";
    QTest::newRow("wrapped heading") << "G5"
                                     << "text" << QVariant("清欠率\n(含减免)") << "General"
                                     << "center";
    QTest::newRow("month count heading") << "AH5"
                                         << "text" << QVariant("1-本月应收数") << "General"
                                         << "center";
    QTest::newRow("serial") << "A6"
                            << "number" << QVariant(1) << "General"
                            << "right";
    QTest::newRow("office name") << "B6"
                                 << "text" << QVariant("第一管理处") << "General"
                                 << "left";
    QTest::newRow("empty money stays empty") << "C6"
                                             << "empty" << none << "#0.00"
                                             << "right";
    QTest::newRow("money") << "I6"
                           << "number" << QVariant(1000) << "#0.00"
                           << "right";
    QTest::newRow("month") << "K6"
                           << "number" << QVariant(50.5) << "#0.00"
                           << "right";
    QTest::newRow("month count typed") << "AG6"
                                       << "number" << QVariant(3) << "General"
                                       << "right";
    QTest::newRow("office code not exported") << "AM6"
                                              << "" << none << ""
                                              << "";
    QTest::newRow("totals label") << "B7"
                                  << "text" << QVariant("合计") << "General"
                                  << "left";
    QTest::newRow("arrears collected total as money") << "D7"
                                                      << "number" << QVariant(0) << "#0.00"
                                                      << "right";
    QTest::newRow("zero total") << "F7"
                                << "number" << QVariant(0) << "#0.00"
                                << "right";
    QTest::newRow("total rate as percentage") << "Z7"
                                              << "number" << QVariant(0.2569) << "0.00%"
                                              << "right";
    QTest::newRow("total of a derived column, no formula") << "V7"
                                                           << "number" << QVariant(175.75) << "#0.00"
                                                           << "right";
    QTest::newRow("empty month count on totals") << "AG7"
                                                 << "empty" << none << "General"
                                                 << "right";
    QTest::newRow("below the font range") << "A9"
                                          << "" << none << ""
                                          << "";
}

void TestMonthlyExport::summaryCells()
{
    QFETCH(QString, cell);
    QFETCH(QString, type);
    QFETCH(QVariant, value);
    QFETCH(QString, numberFormat);
    QFETCH(QString, horizontal);

    const QJsonObject c = m_summary.cell(cell);
    compareStored(c, type, value, numberFormat);
    if (QTest::currentTestFailed() || type.isEmpty())
        return;
    QCOMPARE(c.value("horizontal").toString(), horizontal);
}

void TestMonthlyExport::summaryOfficeFormulas_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("formula");
    QTest::addColumn<QVariant>("result"); // invalid: the empty text
    QTest::addColumn<QString>("numberFormat");

    const QVariant empty;
    QTest::newRow("F") << "F"
                       << "=C6-D6-E6" << QVariant(0.0) << "#0.00";
    QTest::newRow("G") << "G"
                       << "=IF(C6,(D6+E6)/C6,\"\")" << empty << "General";
    QTest::newRow("H") << "H"
                       << "=IF((C6-E6),D6/(C6-E6),\"\")" << empty << "General";
    QTest::newRow("V") << "V"
                       << "=SUM(J6:U6)" << QVariant(175.75) << "#0.00";
    QTest::newRow("Y") << "Y"
                       << "=I6-V6-W6-X6" << QVariant(743.14) << "#0.00";
    QTest::newRow("Z") << "Z"
                       << "=IF(I6,(V6+W6+X6)/I6,\"\")" << QVariant(0.25686) << "0.00%";
    QTest::newRow("AA") << "AA"
                        << "=IF((I6-W6-X6),V6/(I6-W6-X6),\"\")" << QVariant(175.75 / 918.89) << "0.00%";
    QTest::newRow("AE") << "AE"
                        << "=AB6+AC6+AD6" << QVariant(210.0) << "#0.00";
    QTest::newRow("AF") << "AF"
                        << "=D6+V6+AE6" << QVariant(385.75) << "#0.00";
    QTest::newRow("AJ") << "AJ"
                        << "=AH6-AI6" << QVariant(200.0) << "#0.00";
    QTest::newRow("AK") << "AK"
                        << "=IF(AH6,AI6/AH6,\"\")" << QVariant(0.75) << "0.00%";
    QTest::newRow("AL") << "AL"
                        << "=F6+AJ6" << QVariant(200.0) << "#0.00";
}

void TestMonthlyExport::summaryOfficeFormulas()
{
    QFETCH(QString, column);
    QFETCH(QString, formula);
    QFETCH(QVariant, result);
    QFETCH(QString, numberFormat);

    const QJsonObject office = m_summary.cell(column + u'6');
    QCOMPARE(office.value("type").toString(), QStringLiteral("formula"));
    QCOMPARE(office.value("formula").toString(), formula);
    QCOMPARE(office.value("numberFormat").toString(), numberFormat);
    QCOMPARE(office.value("horizontal").toString(), QStringLiteral("right"));
    if (result.isValid())
        QVERIFY2(qAbs(office.value("value").toDouble() - result.toDouble()) < 1e-9,
            qPrintable(QString::number(office.value("value").toDouble(), 'g', 17)));
    else
        QVERIFY(office.value("value").isNull() || office.value("value").toString().isEmpty());
    // The totals row keeps the grid's figures.
    QVERIFY(m_summary.cell(column + u'7').value("type").toString() != QStringLiteral("formula"));
}

void TestMonthlyExport::summaryLayout()
{
    QCOMPARE(m_summary.merges(),
        QStringList({ "A1:AL1", "A2:D2", "A3:D3", "A4:A5", "AB4:AE4", "AF4:AF5", "AG4:AK4", "AL4:AL5", "B4:B5", "C4:H4",
            "I4:AA4" }));
    QCOMPARE(m_progress, QVector<int>({ 2, 3 }));

    // Widths: the grid's twips / 110, for the 38 exported columns only.
    for (int c = 0; c < 38; ++c) {
        const QString letters = c < 26 ? QString(QChar(u'A' + c)) : QStringLiteral("A") + QChar(u'A' + c - 26);
        QCOMPARE(m_summary.width(letters), WorkbookReadback::storedWidth(m_summaryGrid.colWidth(c) / 110.0));
    }
    QCOMPARE(m_summary.width("AM"), -1.0);
    // The two-line headings keep the grid's 600-twip heading row.
    QCOMPARE(m_summary.height(5), 30.0);
    QCOMPARE(m_summary.height(6), -1.0);

    struct Look {
        const char* cell;
        const char* font;
        double size;
        bool bold;
        const char* fill;
        bool border;
    };
    const Look looks[] = {
        { "A1", "楷体_GB2312", 11, true, "", false },
        { "AL1", "楷体_GB2312", 11, true, "", false },
        { "A2", "微软雅黑", 10, false, "", false },
        { "E3", "微软雅黑", 10, false, "", false },
        { "A4", "微软雅黑", 10, false, "C0C0FF", true },
        { "AL5", "微软雅黑", 10, false, "C0C0FF", true },
        { "A6", "微软雅黑", 10, false, "", true },
        { "AL6", "微软雅黑", 10, false, "", true },
        { "A7", "微软雅黑", 10, false, "C0C0FF", true },
        { "AL7", "微软雅黑", 10, false, "C0C0FF", true },
        { "A8", "微软雅黑", 10, false, "", false },
        { "AL8", "微软雅黑", 10, false, "", false },
    };
    for (const Look& look : looks) {
        const QJsonObject c = m_summary.cell(QString::fromLatin1(look.cell));
        const QByteArray where = look.cell;
        QVERIFY2(c.value("font").toString() == QString::fromUtf8(look.font), where);
        QVERIFY2(c.value("size").toDouble() == look.size, where);
        QVERIFY2(c.value("bold").toBool() == look.bold, where);
        QVERIFY2(c.value("fill").toString() == QString::fromLatin1(look.fill), where);
        QVERIFY2(
            (c.value("border").toString() == QStringLiteral("thin") && c.value("borderAll").toBool()) == look.border,
            where);
    }
    QVERIFY(m_summary.cell("G5").value("wrap").toBool());
}

void TestMonthlyExport::bothWorkbooksPrintFittedWithHeadingsRepeated()
{
    const QJsonObject summary = m_summary.page();
    QCOMPARE(summary.value("orientation").toString(), QStringLiteral("landscape")); // 38 columns, 7 rows
    QCOMPARE(summary.value("fitToPage").toBool(), true);
    QCOMPARE(summary.value("fitToWidth").toInt(), 1);
    QCOMPARE(summary.value("fitToHeight").toInt(), 0);
    QCOMPARE(summary.value("titleRows").toString(), QStringLiteral("$4:$5"));

    const QJsonObject detail = m_detail.page();
    QCOMPARE(detail.value("fitToPage").toBool(), true);
    QCOMPARE(detail.value("fitToWidth").toInt(), 1);
    QCOMPARE(detail.value("fitToHeight").toInt(), 0);
    QCOMPARE(detail.value("titleRows").toString(), QStringLiteral("$4:$4"));
}

void TestMonthlyExport::detailCells_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("numberFormat");
    QTest::addColumn<QString>("fill");
    QTest::addColumn<bool>("border");

    const QVariant none;
    QTest::newRow("title") << "A1"
                           << "text" << QVariant("月报 【第一管理处 01月已收】明细") << "General"
                           << "" << false;
    QTest::newRow("company") << "A2"
                             << "text" << QVariant(" 统计单位 : 澄岳物业") << "General"
                             << "" << false;
    QTest::newRow("year and month") << "A3"
                                    << "text" << QVariant(" 统计年月 : 2020 年 03 月") << "General"
                                    << "" << false;
    QTest::newRow("heading") << "B4"
                             << "text" << QVariant("地址  ") << "General"
                             << "C0C0FF" << true;
    QTest::newRow("serial") << "A5"
                            << "number" << QVariant(1) << "General"
                            << "" << true;
    QTest::newRow("period stays text") << "E5"
                                       << "text" << QVariant("202001") << "General"
                                       << "" << true;
    QTest::newRow("amount") << "F5"
                            << "number" << QVariant(123.4) << "#0.00"
                            << "" << true;
    QTest::newRow("collection date") << "G5"
                                     << "date" << QVariant("2020-12-31") << "yyyy-mm-dd"
                                     << "" << true;
    QTest::newRow("name typed like input") << "C6"
                                           << "number" << QVariant(101) << "General"
                                           << "" << true;
    QTest::newRow("second period") << "E6"
                                   << "text" << QVariant("202002") << "General"
                                   << "" << true;
    QTest::newRow("no date") << "G6"
                             << "empty" << none << "yyyy-mm-dd"
                             << "" << true;
    QTest::newRow("totals filled") << "B7"
                                   << "text" << QVariant("合计") << "General"
                                   << "C0C0FF" << true;
    QTest::newRow("total amount") << "F7"
                                  << "number" << QVariant(203.4) << "#0.00"
                                  << "C0C0FF" << true;
    QTest::newRow("font row below") << "G8"
                                    << "empty" << none << "General"
                                    << "" << false;
    QTest::newRow("past the last column") << "H5"
                                          << "" << none << ""
                                          << "" << false;
}

void TestMonthlyExport::detailCells()
{
    QFETCH(QString, cell);
    QFETCH(QString, type);
    QFETCH(QVariant, value);
    QFETCH(QString, numberFormat);
    QFETCH(QString, fill);
    QFETCH(bool, border);

    const QJsonObject c = m_detail.cell(cell);
    compareStored(c, type, value, numberFormat);
    if (QTest::currentTestFailed() || type.isEmpty())
        return;
    QCOMPARE(c.value("fill").toString(), fill);
    QCOMPARE(c.value("border").toString() == QStringLiteral("thin"), border);
    QCOMPARE(c.value("font").toString(), QStringLiteral("微软雅黑"));
    QCOMPARE(c.value("size").toDouble(), cell == QStringLiteral("A1") ? 11.0 : 9.0);
}

void TestMonthlyExport::failedExportKeepsExistingFile_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("oversizedName");
    QTest::addColumn<int>("number");

    // A regular file used as folder fails even for root.
    QTest::newRow("folder is a file") << "existing.xlsx" << false << kErrFile;
    QTest::newRow("cell the workbook refuses") << "." << true << kErrWorkbook;
}

void TestMonthlyExport::failedExportKeepsExistingFile()
{
    QFETCH(QString, folder);
    QFETCH(bool, oversizedName);
    QFETCH(int, number);

    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("existing.xlsx"));
    {
        QFile f(existing);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("the workbook of last month");
    }
    GridRow office = kOfficeNoArrears;
    if (oversizedName)
        office[1] = QString(40000, u'名');
    const GridModel grid = summaryGrid({ office, kTotalsOneOffice });
    try {
        writeMonthlySummaryWorkbook(grid, summaryInfo(), QDir(dir.filePath(folder)).filePath(QStringLiteral("existing")));
        QFAIL("the export did not fail");
    } catch (const Failure& f) {
        QCOMPARE(f.number(), number);
        QVERIFY(!f.description().isEmpty());
    }
    QCOMPARE(fileBytes(existing), QByteArray("the workbook of last month"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "existing.xlsx" });
}

void TestMonthlyExport::formulasRecalculateToGridFigures()
{
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    QTemporaryDir dir;
    const GridModel grid = summaryGrid({ kOfficeNoArrears, kOfficeWithArrears });
    const QString xlsx = dir.filePath(QStringLiteral("offices.xlsx"));
    writeMonthlySummaryWorkbook(grid, summaryInfo(), dir.filePath(QStringLiteral("offices")));
    const WorkbookReadback saved = WorkbookReadback::read(xlsx);
    QVERIFY2(saved.ok(), qPrintable(saved.error()));
    QString error;
    const QList<QStringList> shown = recalculatedTexts(xlsx, dir.path(), error);
    QVERIFY2(!shown.isEmpty(), qPrintable(error));

    // Grid column -> sheet letter of the twelve derived columns; rates show as percentages.
    const struct {
        int col;
        const char* letter;
        bool rate;
    } derived[] = { { 5, "F", false }, { 6, "G", true }, { 7, "H", true }, { 21, "V", false }, { 24, "Y", false },
        { 25, "Z", true }, { 26, "AA", true }, { 30, "AE", false }, { 31, "AF", false }, { 35, "AJ", false },
        { 36, "AK", true }, { 37, "AL", false } };
    // The CSV lines: a heading text with a line break adds lines, so find the office rows by their names.
    for (int r = 2; r < grid.rows(); ++r) {
        const QString name = grid.text(r, 1);
        const auto line = std::find_if(
            shown.begin(), shown.end(), [&](const QStringList& l) { return l.size() > 1 && l.at(1) == name; });
        QVERIFY2(line != shown.end(), qPrintable(name));
        for (const auto& d : derived) {
            const QString where = name + u' ' + QLatin1String(d.letter);
            QCOMPARE(line->value(d.col), grid.text(r, d.col));
            const QJsonObject cached = saved.cell(QLatin1String(d.letter) + QString::number(r + 4));
            QVERIFY2(cached.value("type").toString() == QStringLiteral("formula"), qPrintable(where));
            QCOMPARE(resultAsGridText(cached.value("value"), d.rate), grid.text(r, d.col));
        }
    }
}

QTEST_GUILESS_MAIN(TestMonthlyExport)
#include "test_monthlyexport.moc"
