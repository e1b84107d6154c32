#include "workbook/workbookwriter.h"

#include "core/failure.h"
#include "workbook/workbookchart.h"
#include "workbook/workbookformattable.h"
#include "workbook/workbooksheet.h"

#include <QFile>
#include <xlsxwriter.h>

namespace fee {

namespace {

    uint8_t libraryHAlign(quint8 align)
    {
        switch (align) {
        case WorkbookFormat::HLeft:
            return LXW_ALIGN_LEFT;
        case WorkbookFormat::HCenter:
            return LXW_ALIGN_CENTER;
        case WorkbookFormat::HRight:
            return LXW_ALIGN_RIGHT;
        default:
            return LXW_ALIGN_NONE;
        }
    }

    uint8_t libraryVAlign(quint8 align)
    {
        switch (align) {
        case WorkbookFormat::VTop:
            return LXW_ALIGN_VERTICAL_TOP;
        case WorkbookFormat::VCenter:
            return LXW_ALIGN_VERTICAL_CENTER;
        case WorkbookFormat::VBottom:
            return LXW_ALIGN_VERTICAL_BOTTOM;
        case WorkbookFormat::VJustify:
            return LXW_ALIGN_VERTICAL_JUSTIFY;
        case WorkbookFormat::VDistributed:
            return LXW_ALIGN_VERTICAL_DISTRIBUTED;
        default:
            return LXW_ALIGN_NONE;
        }
    }

    uint8_t libraryBorder(quint8 border)
    {
        switch (border) {
        case WorkbookFormat::BorderThin:
            return LXW_BORDER_THIN;
        case WorkbookFormat::BorderDashed:
            return LXW_BORDER_DASHED;
        case WorkbookFormat::BorderDotted:
            return LXW_BORDER_DOTTED;
        case WorkbookFormat::BorderDouble:
            return LXW_BORDER_DOUBLE;
        case WorkbookFormat::BorderDashDot:
            return LXW_BORDER_DASH_DOT;
        case WorkbookFormat::BorderDashDotDot:
            return LXW_BORDER_DASH_DOT_DOT;
        default:
            return LXW_BORDER_NONE;
        }
    }

    // Owns the library's workbook; closing also frees it, so it is closed on
    // every road out (a failed one writes into the scratch file only).
    class LibraryWorkbook {
    public:
        explicit LibraryWorkbook(const QByteArray& fileName)
            : m_workbook(workbook_new(fileName.constData()))
        {
        }
        ~LibraryWorkbook()
        {
            if (m_workbook)
                workbook_close(m_workbook);
        }
        lxw_workbook* get() const { return m_workbook; }
        lxw_error close()
        {
            lxw_workbook* wb = m_workbook;
            m_workbook = nullptr;
            return workbook_close(wb);
        }

    private:
        lxw_workbook* m_workbook;
    };

    void check(lxw_error error, const WorkbookSheet& sheet, int row, int col)
    {
        if (error != LXW_NO_ERROR)
            throw Failure(kErrWorkbook,
                QStringLiteral("写入 %1!%2 失败: %3")
                    .arg(sheet.name(), WorkbookArea::cell(row, col).address(), QString::fromUtf8(lxw_strerror(error))));
    }

    class FormatCache {
    public:
        FormatCache(lxw_workbook* workbook, const WorkbookFormatTable& table)
            : m_workbook(workbook)
            , m_table(table)
            , m_made(size_t(table.size()), nullptr)
        {
        }
        lxw_format* operator()(int index)
        {
            if (index == 0)
                return nullptr;
            lxw_format*& made = m_made[size_t(index)];
            if (!made)
                made = make(m_table.at(index));
            return made;
        }

    private:
        lxw_format* make(const WorkbookFormat& f)
        {
            lxw_format* format = workbook_add_format(m_workbook);
            if (!format)
                throw Failure(kErrWorkbook, QStringLiteral("内存不足"));
            if (!f.numberFormat.isEmpty())
                format_set_num_format(format, f.numberFormat.toUtf8().constData());
            if (!f.fontName.isEmpty())
                format_set_font_name(format, f.fontName.toUtf8().constData());
            if (f.fontSize > 0)
                format_set_font_size(format, f.fontSize);
            if (f.bold)
                format_set_bold(format);
            if (f.wrap)
                format_set_text_wrap(format);
            if (f.hAlign != WorkbookFormat::HNone)
                format_set_align(format, libraryHAlign(f.hAlign));
            if (f.vAlign != WorkbookFormat::VNone)
                format_set_align(format, libraryVAlign(f.vAlign));
            if (f.border != WorkbookFormat::BorderNone)
                format_set_border(format, libraryBorder(f.border));
            if (f.fill >= 0) {
                format_set_pattern(format, LXW_PATTERN_SOLID);
                // The library reads 0 as "no colour"; black has its own value.
                format_set_bg_color(format, f.fill == 0 ? lxw_color_t(LXW_COLOR_BLACK) : lxw_color_t(f.fill));
            }
            return format;
        }

        lxw_workbook* m_workbook;
        const WorkbookFormatTable& m_table;
        std::vector<lxw_format*> m_made;
    };

    void writeSheet(lxw_workbook* workbook, const WorkbookSheet& sheet, FormatCache& format)
    {
        lxw_worksheet* ws = workbook_add_worksheet(workbook, sheet.name().toUtf8().constData());
        if (!ws)
            throw Failure(kErrWorkbook, QStringLiteral("无效的工作表名称: \"%1\"").arg(sheet.name()));
        if (!sheet.visible())
            worksheet_hide(ws);
        if (const WorkbookPrintLayout& layout = sheet.printLayout(); layout.enabled) {
            if (WorkbookPrintLayout::landscapeFor(sheet))
                worksheet_set_landscape(ws);
            else
                worksheet_set_portrait(ws);
            worksheet_fit_to_pages(ws, 1, 0);
            if (layout.titleFirstRow > 0)
                check(
                    worksheet_repeat_rows(ws, lxw_row_t(layout.titleFirstRow - 1), lxw_row_t(layout.titleLastRow - 1)),
                    sheet, layout.titleFirstRow, 1);
        }

        QMap<int, double> widths = sheet.columnWidths();
        for (auto it = sheet.columnFormats().cbegin(); it != sheet.columnFormats().cend(); ++it)
            if (!widths.contains(it.key()))
                widths.insert(it.key(), LXW_DEF_COL_WIDTH);
        for (auto it = widths.cbegin(); it != widths.cend(); ++it) {
            const int c = it.key();
            check(worksheet_set_column(
                      ws, lxw_col_t(c - 1), lxw_col_t(c - 1), it.value(), format(sheet.columnFormats().value(c, 0))),
                sheet, 1, c);
        }
        QMap<int, double> rowHeights = sheet.rowHeights();
        for (auto it = sheet.rowFormats().cbegin(); it != sheet.rowFormats().cend(); ++it)
            if (!rowHeights.contains(it.key()))
                rowHeights.insert(it.key(), LXW_DEF_ROW_HEIGHT);
        for (auto it = rowHeights.cbegin(); it != rowHeights.cend(); ++it)
            check(worksheet_set_row(ws, lxw_row_t(it.key() - 1), it.value(), format(sheet.rowFormat(it.key()))), sheet,
                it.key(), 1);

        for (const WorkbookArea& m : sheet.merges()) {
            const WorkbookCell* topLeft = sheet.cellAt(m.top, m.left);
            check(worksheet_merge_range(ws, lxw_row_t(m.top - 1), lxw_col_t(m.left - 1), lxw_row_t(m.bottom - 1),
                      lxw_col_t(m.right - 1), "", format(topLeft ? topLeft->format : 0)),
                sheet, m.top, m.left);
        }

        QByteArray utf8;
        for (int r = 1; r <= sheet.lastRow(); ++r) {
            const QVector<WorkbookCell>& cells = sheet.row(r);
            const auto row = lxw_row_t(r - 1);
            for (int c = 1; c <= cells.size(); ++c) {
                const WorkbookCell& cell = cells.at(c - 1);
                const auto col = lxw_col_t(c - 1);
                lxw_format* f = format(cell.format);
                lxw_error error = LXW_NO_ERROR;
                switch (cell.kind) {
                case WorkbookCell::Empty:
                    if (f)
                        error = worksheet_write_blank(ws, row, col, f);
                    break;
                case WorkbookCell::Number:
                    error = worksheet_write_number(ws, row, col, cell.number, f);
                    break;
                case WorkbookCell::Text:
                    utf8 = cell.text.toUtf8();
                    error = worksheet_write_string(ws, row, col, utf8.constData(), f);
                    break;
                case WorkbookCell::Formula:
                    utf8 = cell.text.toUtf8();
                    if (cell.result == WorkbookCell::NumberResult) {
                        error = worksheet_write_formula_num(ws, row, col, utf8.constData(), f, cell.number);
                    } else {
                        // An empty text result also makes readers that trust saved results calculate the cell.
                        const QByteArray result = cell.resultText.toUtf8();
                        error = worksheet_write_formula_str(ws, row, col, utf8.constData(), f, result.constData());
                    }
                    break;
                }
                check(error, sheet, r, c);
            }
        }
    }

    void writeChartSheet(lxw_workbook* workbook, const WorkbookChart& chart)
    {
        lxw_chartsheet* sheet = workbook_add_chartsheet(workbook, chart.sheetName.toUtf8().constData());
        lxw_chart* made
            = workbook_add_chart(workbook, chart.kind == WorkbookChart::Kind::StackedBar ? LXW_CHART_BAR_STACKED : LXW_CHART_BAR);
        if (!sheet || !made)
            throw Failure(kErrWorkbook, QStringLiteral("无法添加图表 \"%1\"").arg(chart.sheetName));
        // The library copies every text it is given.
        for (const WorkbookChartSeries& one : chart.series) {
            lxw_chart_series* series = chart_add_series(made, nullptr, nullptr);
            const QByteArray sheetName = one.sheet.toUtf8();
            chart_series_set_categories(series, sheetName.constData(), lxw_row_t(one.firstRow - 1),
                lxw_col_t(one.categoryColumn - 1), lxw_row_t(one.lastRow - 1), lxw_col_t(one.categoryColumn - 1));
            chart_series_set_values(series, sheetName.constData(), lxw_row_t(one.firstRow - 1),
                lxw_col_t(one.valueColumn - 1), lxw_row_t(one.lastRow - 1), lxw_col_t(one.valueColumn - 1));
            chart_series_set_name(series, one.name.toUtf8().constData());
        }
        if (!chart.title.isEmpty())
            chart_title_set_name(made, chart.title.toUtf8().constData());
        // In a bar chart the library's y axis holds the categories. Bars read
        // top-down in the order of the rows, as on the sheet, with the values
        // along the bottom.
        chart_axis_set_reverse(made->y_axis);
        chart_axis_set_crossing_max(made->y_axis);
        if (!chart.valueFormat.isEmpty())
            chart_axis_set_num_format(made->x_axis, chart.valueFormat.toUtf8().constData());
        chart_legend_set_position(made, LXW_CHART_LEGEND_TOP);
        if (chartsheet_set_chart(sheet, made) != LXW_NO_ERROR)
            throw Failure(kErrWorkbook, QStringLiteral("无法添加图表 \"%1\"").arg(chart.sheetName));
    }

} // namespace

WorkbookWriter::WorkbookWriter(
    const WorkbookFormatTable& formats, const std::vector<std::unique_ptr<WorkbookSheet>>& sheets,
    const std::vector<WorkbookChart>& charts)
    : m_formats(formats)
    , m_sheets(sheets)
    , m_charts(charts)
{
}

void WorkbookWriter::write(const QString& fileName) const
{
    LibraryWorkbook workbook(QFile::encodeName(fileName));
    if (!workbook.get())
        throw Failure(kErrFile, QStringLiteral("无法创建工作簿 \"%1\"").arg(fileName));
    FormatCache format(workbook.get(), m_formats);
    for (const auto& sheet : m_sheets)
        writeSheet(workbook.get(), *sheet, format);
    for (const WorkbookChart& chart : m_charts)
        writeChartSheet(workbook.get(), chart);
    const lxw_error error = workbook.close();
    if (error != LXW_NO_ERROR)
        throw Failure(kErrFile,
            QStringLiteral("无法写入工作簿 \"%1\": %2").arg(fileName, QString::fromUtf8(lxw_strerror(error))));
}

} // namespace fee
