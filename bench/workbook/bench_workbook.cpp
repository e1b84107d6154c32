// Times the workbook component against libxlsxwriter writing the same cells
// directly (no sheet model, formats made once by hand).
#include "core/grid/gridmodel.h"
#include "core/textformat.h"
#include "workbook/gridsheetexport.h"
#include "workbook/workbook.h"
#include "reports/monthly/monthlycolumns.h"
#include "reports/monthly/monthlyengine.h"
#include "reports/monthly/monthlyexport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>
#include <xlsxwriter.h>

using namespace fee;

namespace {

constexpr int kRuns = 7; // the machine is shared: the best of several runs

double bestMs(const std::function<void()>& work)
{
    double best = 1e100;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

GridModel summaryOf(int offices)
{
    GridModel grid;
    monthly::layoutSummaryGrid(grid, QStringLiteral("2020"));
    for (int o = 0; o < offices; ++o) {
        const int r = grid.appendRow();
        grid.setText(r, 0, QString::number(o + 1));
        grid.setText(r, 1, QStringLiteral("管理处%1").arg(o + 1));
        for (int c = 2; c <= 37; ++c) {
            const bool rate = c == 6 || c == 7 || c == 25 || c == 26 || c == 36;
            grid.setText(r, c,
                rate          ? formatRate(12.5 + c)
                    : c == 32 ? QStringLiteral("3")
                              : formatNumber(100.25 * c + o, "0.00"));
        }
        grid.setText(r, 38, QStringLiteral("%1").arg(o, 4, 10, QLatin1Char('0')));
    }
    const int t = grid.appendRow();
    grid.setText(t, 1, QStringLiteral("合计"));
    for (int c = 2; c <= 37; ++c)
        grid.setText(t, c, c == 32 ? QString() : formatNumber(1000.5 * c, "0.00"));
    return grid;
}

// The summary cells written straight through the library.
void rawSummary(const GridModel& grid, const QString& file)
{
    lxw_workbook* wb = workbook_new(QFile::encodeName(file).constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    auto fmt = [&](bool money, bool rate, uint8_t align, bool fill) {
        lxw_format* f = workbook_add_format(wb);
        format_set_font_name(f, "微软雅黑");
        format_set_font_size(f, 10);
        format_set_border(f, LXW_BORDER_THIN);
        format_set_align(f, align);
        if (money)
            format_set_num_format(f, "#0.00");
        if (rate)
            format_set_num_format(f, "0.00%");
        if (fill)
            format_set_bg_color(f, 0xC0C0FF);
        return f;
    };
    lxw_format* title = workbook_add_format(wb);
    format_set_font_name(title, "楷体_GB2312");
    format_set_bold(title);
    format_set_align(title, LXW_ALIGN_CENTER);
    lxw_format* heading = fmt(false, false, LXW_ALIGN_CENTER, true);
    lxw_format* money = fmt(true, false, LXW_ALIGN_RIGHT, false);
    lxw_format* rate = fmt(false, true, LXW_ALIGN_RIGHT, false);
    lxw_format* left = fmt(false, false, LXW_ALIGN_LEFT, false);
    lxw_format* right = fmt(false, false, LXW_ALIGN_RIGHT, false);
    worksheet_merge_range(ws, 0, 0, 0, 37, "住宅物业费收缴率汇总表", title);
    for (int c = 0; c < 38; ++c) {
        worksheet_set_column(ws, c, c, grid.colWidth(c) / 110.0, nullptr);
        worksheet_write_string(ws, 3, c, grid.text(0, c).toUtf8().constData(), heading);
        worksheet_write_string(ws, 4, c, grid.text(1, c).toUtf8().constData(), heading);
    }
    for (int r = 2; r < grid.rows(); ++r) {
        const int row = r + 3;
        worksheet_write_number(ws, row, 0, r - 1, right);
        worksheet_write_string(ws, row, 1, grid.text(r, 1).toUtf8().constData(), left);
        for (int c = 2; c <= 37; ++c) {
            const QString text = grid.text(r, c);
            if (text.endsWith(u'%'))
                worksheet_write_number(ws, row, c, leadingNumber(text) / 100, rate);
            else if (!text.isEmpty())
                worksheet_write_number(ws, row, c, leadingNumber(text), money);
        }
        if (grid.text(r, 1) != QStringLiteral("合计")) {
            const QString rr = QString::number(row + 1);
            for (int c : { 5, 6, 7, 21, 24, 25, 26, 30, 31, 35, 36, 37 })
                worksheet_write_formula_num(
                    ws, row, c, QStringLiteral("=C%1-D%1-E%1").arg(rr).toUtf8().constData(), money, 1.0);
        }
    }
    workbook_close(wb);
}

void modelPlain(int rows, int cols, const QString& path)
{
    Workbook book;
    WorkbookSheet& s = book.worksheet(1);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            if (c % 4 == 0)
                s.cells(r, c).setValue(QStringLiteral("文本%1").arg(r));
            else
                s.cells(r, c).setNumber(r * 0.5 + c);
    s.range(s.cells(1, 1), s.cells(rows, cols)).setBorderLineStyle(1).setFontSize(10);
    book.saveAs(path);
}

void rawPlain(int rows, int cols, const QString& file)
{
    lxw_workbook* wb = workbook_new(QFile::encodeName(file).constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    lxw_format* f = workbook_add_format(wb);
    format_set_border(f, LXW_BORDER_THIN);
    format_set_font_size(f, 10);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            if ((c + 1) % 4 == 0)
                worksheet_write_string(ws, r, c, QStringLiteral("文本%1").arg(r + 1).toUtf8().constData(), f);
            else
                worksheet_write_number(ws, r, c, (r + 1) * 0.5 + c + 1, f);
    workbook_close(wb);
}

// A daily-report-like grid: one heading row and `rows` data rows of 18 columns.
GridModel dailyOf(int rows)
{
    GridModel grid;
    grid.setFormatString(QStringLiteral("^序号|^收款日期|^票据号|^房号|<业主|<收费项目|>应收金额|>实收金额|^收款方式|"
                                        "<收款人|^所属年月|>滞纳金|>减免|<备注|^凭证号|^管理处|^楼栋|^状态"));
    grid.setRows(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        const QString n = QString::number(r);
        const QString texts[18] = { n, QStringLiteral("2024-01-%1").arg(r % 28 + 1, 2, 10, QLatin1Char('0')),
            QStringLiteral("%1").arg(r, 8, 10, QLatin1Char('0')), QStringLiteral("A-%1").arg(r % 900),
            QStringLiteral("业主%1").arg(r % 5000), QStringLiteral("物业管理费"), formatNumber(r * 1.25, "0.00"),
            formatNumber(r * 1.25, "0.00"), QStringLiteral("现金"), QStringLiteral("收款员"), QStringLiteral("202401"),
            QStringLiteral("0.00"), QString(), QStringLiteral("备注%1").arg(r % 10), QStringLiteral("V%1").arg(r),
            QStringLiteral("0101"), QStringLiteral("%1栋").arg(r % 30), QStringLiteral("正常") };
        for (int c = 0; c < 18; ++c)
            grid.setText(r, c, texts[c]);
    }
    return grid;
}

// A user's workbook with two sheets of its own.
void makeExisting(const QString& path)
{
    Workbook book;
    book.worksheet(1).setName(QStringLiteral("封面"));
    book.worksheet(1).cells(1, 1).setValue(QStringLiteral("用户的封面"));
    WorkbookSheet& other = book.addWorksheet(QStringLiteral("其他"));
    for (int r = 1; r <= 2000; ++r)
        for (int c = 1; c <= 10; ++c)
            other.cells(r, c).setNumber(r * c);
    book.saveToFile(path);
}

void copyFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    QFile::copy(from, to);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : scratch.path();
    QTextStream out(stdout);

    const GridModel grid = summaryOf(500);
    const double ours = bestMs([&] {
        writeMonthlySummaryWorkbook(grid, { "住宅物业费收缴率汇总表", "澄岳物业", QDate(2020, 3, 31) }, dir + "/summary");
    });
    const double raw = bestMs([&] { rawSummary(grid, dir + "/summary-raw.xlsx"); });
    out << QStringLiteral("summary, 500 offices: component %1 ms, libxlsxwriter alone %2 ms, ratio %3\n")
               .arg(ours, 0, 'f', 1)
               .arg(raw, 0, 'f', 1)
               .arg(ours / raw, 0, 'f', 2);

    const double oursPlain = bestMs([&] { modelPlain(1000, 100, dir + "/plain"); });
    const double rawPlainMs = bestMs([&] { rawPlain(1000, 100, dir + "/plain-raw.xlsx"); });
    out << QStringLiteral("plain sheet, 100000 cells: component %1 ms, libxlsxwriter alone %2 ms, ratio %3\n")
               .arg(oursPlain, 0, 'f', 1)
               .arg(rawPlainMs, 0, 'f', 1)
               .arg(oursPlain / rawPlainMs, 0, 'f', 2);

    // The export dialog's sheet of 100,000 rows x 18 columns, every column ticked.
    const GridModel daily = dailyOf(100000);
    GridSheetOptions options;
    options.title = QStringLiteral("(南区) 收款日报表");
    options.tagText = QStringLiteral("日期范围:2024年01月01日至2024年01月31日");
    options.sheetName = QStringLiteral("收款日报表");
    options.columns = GridSheetExport::exportableColumns(daily);
    const QString existing = dir + "/existing.xlsx";
    makeExisting(existing);
    QElapsedTimer t;
    const auto timed = [&](const std::function<void()>& work) {
        t.start();
        work();
        return t.nsecsElapsed() / 1e6;
    };
    const double fillMs = timed([&] {
        Workbook book;
        book.worksheet(1).setName(options.sheetName);
        GridSheetExport::fill(book.worksheet(1), daily, options);
    });
    copyFile(existing, dir + "/daily-append.xlsx");
    const double appendMs = timed([&] { GridSheetExport::write(daily, options, dir + "/daily-append.xlsx"); });
    const double replaceMs = timed([&] { GridSheetExport::write(daily, options, dir + "/daily-append.xlsx"); });
    QFile::remove(dir + "/daily-new.xlsx");
    const double newMs = timed([&] { GridSheetExport::write(daily, options, dir + "/daily-new.xlsx"); });
    out << QStringLiteral(
        "dialog sheet, 100000 rows x 18 columns: filling the sheet model %1 ms; into a workbook of two "
        "other sheets: appended %2 ms, replaced %3 ms; as a new file %4 ms (%5 MB)\n")
               .arg(fillMs, 0, 'f', 0)
               .arg(appendMs, 0, 'f', 0)
               .arg(replaceMs, 0, 'f', 0)
               .arg(newMs, 0, 'f', 0)
               .arg(QFileInfo(dir + "/daily-append.xlsx").size() / 1e6, 0, 'f', 1);
    return 0;
}
