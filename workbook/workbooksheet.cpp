#include "workbook/workbooksheet.h"

#include "core/failure.h"
#include "workbook/workbookformattable.h"
#include "workbook/workbookinput.h"
#include "workbook/workbookrange.h"

#include <QRegularExpression>
#include <cmath>

namespace fee {

namespace {

    // The spreadsheet's own limit for the text of one cell.
    constexpr qsizetype kMaxCellText = 32767;

    void checkText(const QString& text)
    {
        if (text.size() > kMaxCellText)
            throw Failure(kErrWorkbook, QStringLiteral("单元格文本超过 %1 个字符").arg(kMaxCellText));
    }

    // A remapping of format indexes for one operation: most cells of a range
    // share a few formats, so each is changed and interned once.
    class FormatChanger {
    public:
        FormatChanger(WorkbookFormatTable& table, const std::function<void(WorkbookFormat&)>& change)
            : m_table(table)
            , m_change(change)
        {
        }
        int operator()(int index)
        {
            const auto it = m_done.constFind(index);
            if (it != m_done.constEnd())
                return it.value();
            WorkbookFormat f = m_table.at(index);
            m_change(f);
            const int changed = m_table.intern(f);
            m_done.insert(index, changed);
            return changed;
        }

    private:
        WorkbookFormatTable& m_table;
        const std::function<void(WorkbookFormat&)>& m_change;
        QHash<int, int> m_done;
    };

} // namespace

WorkbookSheet::WorkbookSheet(WorkbookFormatTable& formats, const QString& name)
    : m_formats(formats)
{
    setName(name);
}

void WorkbookSheet::setName(const QString& name)
{
    static const QRegularExpression forbidden(QStringLiteral(R"([\[\]:*?/\\])"));
    if (name.isEmpty() || name.size() > 31 || name.contains(forbidden) || name.startsWith(u'\'')
        || name.endsWith(u'\''))
        throw Failure(kErrWorkbook, QStringLiteral("无效的工作表名称: \"%1\"").arg(name));
    m_name = name;
}

WorkbookRange WorkbookSheet::cells(int row, int col) { return { *this, WorkbookArea::cell(row, col) }; }

WorkbookRange WorkbookSheet::range(const QString& address) { return { *this, WorkbookArea::parse(address) }; }

WorkbookRange WorkbookSheet::range(const WorkbookRange& first, const WorkbookRange& last)
{
    return { *this, WorkbookArea::span(first.area(), last.area()) };
}

WorkbookRange WorkbookSheet::rows(int first, int last)
{
    return { *this, WorkbookArea::rows(first, last > 0 ? last : first) };
}

WorkbookRange WorkbookSheet::columns(int first, int last)
{
    return { *this, WorkbookArea::columns(first, last > 0 ? last : first) };
}

const WorkbookCell* WorkbookSheet::cellAt(int row, int col) const
{
    if (row < 1 || row > m_rows.size())
        return nullptr;
    const QVector<WorkbookCell>& cells = m_rows.at(row - 1);
    if (col < 1 || col > cells.size())
        return nullptr;
    return &cells.at(col - 1);
}

QVariant WorkbookSheet::value(int row, int col) const
{
    const WorkbookCell* cell = cellAt(row, col);
    if (!cell)
        return {};
    switch (cell->kind) {
    case WorkbookCell::Number:
        return cell->number;
    case WorkbookCell::Text:
        return cell->text;
    case WorkbookCell::Formula:
        if (cell->result == WorkbookCell::NumberResult)
            return cell->number;
        if (cell->result == WorkbookCell::TextResult)
            return cell->resultText;
        return {};
    case WorkbookCell::Empty:
        break;
    }
    return {};
}

const WorkbookFormat& WorkbookSheet::formatAt(int row, int col) const
{
    const WorkbookCell* cell = cellAt(row, col);
    return m_formats.at(cell ? cell->format : rowFormat(row) ? rowFormat(row) : m_colFormats.value(col, 0));
}

bool WorkbookSheet::isEmpty() const
{
    for (const QVector<WorkbookCell>& cells : m_rows)
        for (const WorkbookCell& cell : cells)
            if (cell.kind != WorkbookCell::Empty || cell.format != 0)
                return false;
    return true;
}

WorkbookArea WorkbookSheet::usedRange() const
{
    int top = 0, left = 0, bottom = 0, right = 0;
    for (int r = 1; r <= m_rows.size(); ++r) {
        const QVector<WorkbookCell>& cells = m_rows.at(r - 1);
        for (int c = 1; c <= cells.size(); ++c) {
            const WorkbookCell& cell = cells.at(c - 1);
            if (cell.kind == WorkbookCell::Empty && cell.format == 0)
                continue;
            if (!top)
                top = r, left = c, right = c;
            bottom = r;
            left = std::min(left, c);
            right = std::max(right, c);
        }
    }
    return top ? WorkbookArea::cells(top, left, bottom, right) : WorkbookArea::cell(1, 1);
}

double WorkbookSheet::columnWidth(int col) const { return m_colWidths.value(col, -1.0); }

int WorkbookSheet::newCellFormat(int row, int col) const
{
    // A new cell in a formatted row (or column) starts with that row's format.
    if (const int f = m_rowFormats.value(row, 0))
        return f;
    return m_colFormats.value(col, 0);
}

WorkbookCell& WorkbookSheet::cellRef(int row, int col)
{
    if (m_rows.size() < row)
        m_rows.resize(row);
    QVector<WorkbookCell>& cells = m_rows[row - 1];
    const int had = int(cells.size());
    if (had < col) {
        cells.resize(col);
        if (!m_rowFormats.isEmpty() || !m_colFormats.isEmpty())
            for (int c = had + 1; c <= col; ++c)
                cells[c - 1].format = newCellFormat(row, c);
    }
    return cells[col - 1];
}

void WorkbookSheet::requireCells(const WorkbookArea& area, const char* what) const
{
    if (area.wholeRows || area.wholeCols)
        throw Failure(
            kErrWorkbook, QStringLiteral("不能对整行或整列%1: %2").arg(QString::fromUtf8(what), area.address()));
}

void WorkbookSheet::forEachCell(const WorkbookArea& area, const std::function<void(WorkbookCell&)>& visit)
{
    if (area.wholeRows || area.wholeCols) {
        // Only the cells that exist; the row or column format covers the rest.
        const int lastRow = std::min(area.bottom, int(m_rows.size()));
        for (int r = area.top; r <= lastRow; ++r) {
            QVector<WorkbookCell>& cells = m_rows[r - 1];
            const int lastCol = std::min(area.right, int(cells.size()));
            for (int c = area.left; c <= lastCol; ++c)
                visit(cells[c - 1]);
        }
        return;
    }
    for (int r = area.top; r <= area.bottom; ++r) {
        cellRef(r, area.right);
        QVector<WorkbookCell>& cells = m_rows[r - 1];
        for (int c = area.left; c <= area.right; ++c)
            visit(cells[c - 1]);
    }
}

void WorkbookSheet::storeText(WorkbookCell& cell, const QString& text)
{
    cell.kind = WorkbookCell::Text;
    cell.result = WorkbookCell::NoResult;
    cell.text = text;
    cell.resultText.clear();
}

void WorkbookSheet::writeTyped(const WorkbookArea& area, const QString& typed)
{
    requireCells(area, "写入");
    const WorkbookInput in = WorkbookInput::fromTyped(typed);
    switch (in.kind) {
    case WorkbookInput::Empty:
        forEachCell(area, [](WorkbookCell& cell) {
            cell.kind = WorkbookCell::Empty;
            cell.result = WorkbookCell::NoResult;
            cell.text.clear();
            cell.resultText.clear();
        });
        return;
    case WorkbookInput::Formula:
        writeFormula(area, in.text, {});
        return;
    case WorkbookInput::Number:
        writeNumber(area, in.number);
        if (!in.numberFormat.isEmpty()) {
            // Like typing "12.50%": a cell without a number format takes the percent format.
            changeFormat(area, [&](WorkbookFormat& f) {
                if (f.numberFormat.isEmpty())
                    f.numberFormat = in.numberFormat;
            });
        }
        return;
    case WorkbookInput::Text:
        break;
    }
    // A line break typed into a cell turns on wrapping, as in the spreadsheet.
    if (in.text.contains(u'\n') || in.text.contains(u'\r')) {
        QString text = in.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
        writeText(area, text);
        changeFormat(area, [](WorkbookFormat& f) { f.wrap = true; });
        return;
    }
    writeText(area, in.text);
}

void WorkbookSheet::writeNumber(const WorkbookArea& area, double value)
{
    requireCells(area, "写入");
    if (!std::isfinite(value))
        throw Failure(kErrWorkbook, QStringLiteral("无效的数值"));
    if (value == 0)
        value = 0; // no negative zero
    forEachCell(area, [&](WorkbookCell& cell) {
        cell.kind = WorkbookCell::Number;
        cell.result = WorkbookCell::NoResult;
        cell.number = value;
        cell.text.clear();
        cell.resultText.clear();
    });
}

void WorkbookSheet::writeText(const WorkbookArea& area, const QString& text)
{
    requireCells(area, "写入");
    checkText(text);
    if (text.isEmpty()) {
        writeTyped(area, QString());
        return;
    }
    forEachCell(area, [&](WorkbookCell& cell) { storeText(cell, text); });
}

void WorkbookSheet::writeFormula(const WorkbookArea& area, const QString& formula, const QVariant& result)
{
    requireCells(area, "写入");
    if (formula.size() < 2 || !formula.startsWith(u'='))
        throw Failure(kErrWorkbook, QStringLiteral("无效的公式: \"%1\"").arg(formula));
    checkText(formula);
    WorkbookCell::Result kind = WorkbookCell::NoResult;
    double number = 0;
    QString text;
    if (result.isValid()) {
        if (result.typeId() == QMetaType::QString) {
            kind = WorkbookCell::TextResult;
            text = result.toString();
            checkText(text);
        } else {
            bool ok = false;
            number = result.toDouble(&ok);
            if (!ok || !std::isfinite(number))
                throw Failure(kErrWorkbook, QStringLiteral("无效的公式结果: \"%1\"").arg(formula));
            kind = WorkbookCell::NumberResult;
            if (number == 0)
                number = 0;
        }
    }
    forEachCell(area, [&](WorkbookCell& cell) {
        cell.kind = WorkbookCell::Formula;
        cell.text = formula;
        cell.result = kind;
        cell.number = number;
        cell.resultText = text;
    });
}

void WorkbookSheet::changeFormat(const WorkbookArea& area, const std::function<void(WorkbookFormat&)>& change)
{
    if (area.isSingleCell() && !area.wholeRows && !area.wholeCols) {
        WorkbookCell& cell = cellRef(area.top, area.left);
        WorkbookFormat f = m_formats.at(cell.format);
        change(f);
        cell.format = m_formats.intern(f);
        return;
    }
    FormatChanger changer(m_formats, change);
    if (area.wholeRows) {
        for (int r = area.top; r <= area.bottom; ++r)
            m_rowFormats.insert(r, changer(m_rowFormats.value(r, 0)));
    } else if (area.wholeCols) {
        for (int c = area.left; c <= area.right; ++c)
            m_colFormats.insert(c, changer(m_colFormats.value(c, 0)));
    }
    forEachCell(area, [&](WorkbookCell& cell) { cell.format = changer(cell.format); });
}

void WorkbookSheet::merge(const WorkbookArea& area)
{
    requireCells(area, "合并");
    if (area.isSingleCell())
        return;
    // Merging over merged areas takes them in whole, as the spreadsheet does.
    WorkbookArea merged = area;
    for (bool grown = true; grown;) {
        grown = false;
        for (qsizetype i = 0; i < m_merges.size(); ++i) {
            if (m_merges.at(i).intersects(merged)) {
                merged = WorkbookArea::span(merged, m_merges.at(i));
                m_merges.removeAt(i);
                grown = true;
                break;
            }
        }
    }
    // Only the top-left value survives a merge.
    const WorkbookCell kept = cellRef(merged.top, merged.left);
    forEachCell(merged, [](WorkbookCell& cell) {
        cell.kind = WorkbookCell::Empty;
        cell.result = WorkbookCell::NoResult;
        cell.text.clear();
        cell.resultText.clear();
    });
    WorkbookCell& topLeft = cellRef(merged.top, merged.left);
    const int format = topLeft.format;
    topLeft = kept;
    topLeft.format = format;
    m_merges.append(merged);
}

void WorkbookSheet::unmerge(const WorkbookArea& area)
{
    m_merges.removeIf([&](const WorkbookArea& m) { return m.intersects(area); });
}

void WorkbookSheet::clear(const WorkbookArea& area)
{
    unmerge(area);
    if (area.wholeRows)
        for (int r = area.top; r <= area.bottom; ++r)
            m_rowFormats.remove(r);
    if (area.wholeCols)
        for (int c = area.left; c <= area.right; ++c)
            m_colFormats.remove(c);
    const int lastRow = std::min(area.bottom, int(m_rows.size()));
    for (int r = area.top; r <= lastRow; ++r) {
        QVector<WorkbookCell>& cells = m_rows[r - 1];
        const int lastCol = std::min(area.right, int(cells.size()));
        for (int c = area.left; c <= lastCol; ++c)
            cells[c - 1] = WorkbookCell {};
    }
}

void WorkbookSheet::setColumnWidth(const WorkbookArea& area, double width)
{
    if (!std::isfinite(width) || width < 0 || width > 255)
        throw Failure(kErrWorkbook, QStringLiteral("无效的列宽: %1").arg(width));
    for (int c = area.left; c <= area.right; ++c)
        m_colWidths.insert(c, width);
}

void WorkbookSheet::setPrintLayout(int titleFirstRow, int titleLastRow)
{
    const bool none = titleFirstRow == 0 && titleLastRow == 0;
    if (!none && (titleFirstRow < 1 || titleLastRow < titleFirstRow || titleLastRow > WorkbookArea::kMaxRows))
        throw Failure(kErrWorkbook, QStringLiteral("无效的打印标题行: %1:%2").arg(titleFirstRow).arg(titleLastRow));
    m_printLayout.enabled = true;
    m_printLayout.titleFirstRow = titleFirstRow;
    m_printLayout.titleLastRow = titleLastRow;
}

void WorkbookSheet::setRowHeight(int row, double points)
{
    if (row < 1 || row > WorkbookArea::kMaxRows || points < 0 || points > 409)
        throw Failure(kErrWorkbook, QStringLiteral("行高无效：第 %1 行，%2 磅").arg(row).arg(points));
    m_rowHeights.insert(row, points);
}

} // namespace fee
