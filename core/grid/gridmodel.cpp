#include "core/grid/gridmodel.h"

#include "core/failure.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <mutex>

namespace fee {

namespace {

    constexpr int kErrSubscript = 381;

    // The installed measure, swapped whole so a thread measuring keeps the one
    // it started with while another installs a new one.
    struct MeasureSlot {
        std::mutex mutex;
        std::shared_ptr<const GridModel::TextMeasure> measure;
    };

    MeasureSlot& measureSlot()
    {
        static MeasureSlot slot;
        return slot;
    }

    bool isWide(char32_t u)
    {
        return (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0x303E) || (u >= 0x3041 && u <= 0x33FF)
            || (u >= 0x3400 && u <= 0x4DBF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xA000 && u <= 0xA4CF)
            || (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F)
            || (u >= 0xFF00 && u <= 0xFF60) || (u >= 0xFFE0 && u <= 0xFFE6) || (u >= 0x20000 && u <= 0x3FFFD);
    }

    // Character-count measure used without a screen: half-width characters are
    // 90 twips (a 9-point character cell), wide ones twice that. A text with
    // line breaks is as wide as its widest line.
    int defaultMeasure(const QString& text)
    {
        int widest = 0;
        int current = 0;
        for (char32_t u : text.toUcs4()) {
            if (u == '\n') {
                widest = std::max(widest, current);
                current = 0;
            } else if (u != '\r') {
                current += isWide(u) ? 180 : 90;
            }
        }
        return std::max(widest, current);
    }

    [[noreturn]] void outOfRange() { throw Failure(kErrSubscript, QStringLiteral("Subscript out of range")); }

} // namespace

GridModel::GridModel()
{
    m_cells.reset(m_rows, m_cols);
    m_rowKinds.assign(size_t(m_rows), RowKind::Data);
    m_colWidth = QVector<int>(m_cols, kDefaultColWidth);
    m_colAlign = QVector<int>(m_cols, AlignGeneral);
    m_fixedAlign = QVector<int>(m_cols, AlignLeft);
    m_mergeCol = QVector<bool>(m_cols, false);
}

GridModel::GridModel(const GridModel& other)
{
    std::lock_guard lock(other.m_mutex);
    copyContents(other);
    m_redraw = other.m_redraw;
    m_dirty = other.m_dirty;
}

GridModel::~GridModel()
{
    std::lock_guard lock(m_noticeMutex);
    const QVector<GridObserver*> observers = m_observers;
    for (GridObserver* o : observers) {
        if (m_observers.contains(o))
            o->gridDestroyed();
    }
}

void GridModel::copyContents(const GridModel& other)
{
    m_rows = other.m_rows;
    m_cols = other.m_cols;
    m_fixedRows = other.m_fixedRows;
    m_fixedCols = other.m_fixedCols;
    m_cells = other.m_cells;
    m_rowKinds = other.m_rowKinds;
    m_rowKeys = other.m_rowKeys;
    m_colors = other.m_colors;
    m_currentRow = other.m_currentRow;
    m_currentCol = other.m_currentCol;
    m_colWidth = other.m_colWidth;
    m_rowHeights = other.m_rowHeights;
    m_colAlign = other.m_colAlign;
    m_fixedAlign = other.m_fixedAlign;
    m_mergeRows = other.m_mergeRows;
    m_mergeCol = other.m_mergeCol;
    m_mergeMode = other.m_mergeMode;
    m_gridLineColor = other.m_gridLineColor;
    m_wordWrap = other.m_wordWrap;
    m_fontName = other.m_fontName;
    m_fontSize = other.m_fontSize;
}

GridModel& GridModel::operator=(const GridModel& other)
{
    if (this == &other)
        return *this;
    Notice n;
    {
        std::scoped_lock lock(m_mutex, other.m_mutex);
        copyContents(other);
        n = notice(Notice::Reset);
    }
    deliver(n);
    return *this;
}

void GridModel::checkRow(int row) const
{
    if (row < 0 || row >= m_rows)
        outOfRange();
}

void GridModel::checkCol(int col) const
{
    if (col < 0 || col >= m_cols)
        outOfRange();
}

void GridModel::checkCell(int row, int col) const
{
    checkRow(row);
    checkCol(col);
}

int GridModel::rows() const
{
    std::lock_guard lock(m_mutex);
    return m_rows;
}

int GridModel::cols() const
{
    std::lock_guard lock(m_mutex);
    return m_cols;
}

int GridModel::fixedRows() const
{
    std::lock_guard lock(m_mutex);
    return m_fixedRows;
}

int GridModel::fixedCols() const
{
    std::lock_guard lock(m_mutex);
    return m_fixedCols;
}

void GridModel::setRows(int rows)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        if (rows < 0)
            outOfRange();
        const int old = m_rows;
        if (rows == old)
            return;
        m_cells.setRows(rows);
        m_rowKinds.resize(size_t(rows), RowKind::Data);
        m_rows = rows;
        if (rows > old) {
            n = notice(Notice::RowsInserted, old, 0, rows - 1, 0);
        } else {
            if (m_fixedRows > rows)
                m_fixedRows = rows;
            for (auto it = m_colors.begin(); it != m_colors.end();) {
                if (int(it.key() >> 32) >= rows)
                    it = m_colors.erase(it);
                else
                    ++it;
            }
            if (m_rowKeys.rows() > rows)
                m_rowKeys.setRows(rows);
            m_rowHeights.erase(m_rowHeights.lower_bound(rows), m_rowHeights.end());
            m_mergeRows.erase(m_mergeRows.lower_bound(rows), m_mergeRows.end());
            n = notice(Notice::Reset);
        }
    }
    deliver(n);
}

int GridModel::appendRow() { return appendRow(QVector<QString>()); }

int GridModel::appendRow(QVector<QString> cells)
{
    Notice n;
    int row = 0;
    {
        std::lock_guard lock(m_mutex);
        if (cells.size() > m_cols)
            outOfRange();
        row = m_rows;
        m_cells.appendRow(cells);
        m_rowKinds.push_back(RowKind::Data);
        ++m_rows;
        n = notice(Notice::RowsInserted, row, 0, row, 0);
    }
    deliver(n);
    return row;
}

int GridModel::appendRow(const QVector<CellValue>& cells, RowKind kind, const RowKey& key)
{
    Notice n;
    int row = 0;
    {
        std::lock_guard lock(m_mutex);
        if (cells.size() > m_cols)
            outOfRange();
        row = m_rows;
        m_cells.appendRow(cells);
        m_rowKinds.push_back(kind);
        if (!key.isEmpty())
            storeRowKey(row, key);
        ++m_rows;
        n = notice(Notice::RowsInserted, row, 0, row, 0);
    }
    deliver(n);
    return row;
}

void GridModel::setCols(int cols)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        if (cols < 0)
            outOfRange();
        const int old = m_cols;
        if (cols == old)
            return;
        m_cells.setCols(cols);
        m_colWidth.resize(cols);
        m_colAlign.resize(cols);
        m_fixedAlign.resize(cols);
        m_mergeCol.resize(cols);
        for (int c = old; c < cols; ++c) {
            m_colWidth[c] = kDefaultColWidth;
            m_colAlign[c] = AlignGeneral;
            m_fixedAlign[c] = AlignLeft;
            m_mergeCol[c] = false;
        }
        m_cols = cols;
        if (m_fixedCols > cols)
            m_fixedCols = cols;
        if (cols < old) {
            for (auto it = m_colors.begin(); it != m_colors.end();) {
                if (int(quint32(it.key())) >= cols)
                    it = m_colors.erase(it);
                else
                    ++it;
            }
        }
        n = notice(Notice::Reset);
    }
    deliver(n);
}

void GridModel::setFixedRows(int n)
{
    if (n < 0)
        outOfRange();
    if (n > rows())
        setRows(n);
    Notice change;
    {
        std::lock_guard lock(m_mutex);
        if (n == m_fixedRows)
            return;
        m_fixedRows = n;
        change = notice(Notice::Reset);
    }
    deliver(change);
}

void GridModel::setFixedCols(int n)
{
    if (n < 0)
        outOfRange();
    if (n > cols())
        setCols(n);
    Notice change;
    {
        std::lock_guard lock(m_mutex);
        if (n == m_fixedCols)
            return;
        m_fixedCols = n;
        change = notice(Notice::Reset);
    }
    deliver(change);
}

int GridModel::currentRow() const
{
    std::lock_guard lock(m_mutex);
    return m_currentRow;
}

void GridModel::setCurrentRow(int row)
{
    std::lock_guard lock(m_mutex);
    m_currentRow = row;
}

int GridModel::currentCol() const
{
    std::lock_guard lock(m_mutex);
    return m_currentCol;
}

void GridModel::setCurrentCol(int col)
{
    std::lock_guard lock(m_mutex);
    m_currentCol = col;
}

QString GridModel::text(int row, int col) const
{
    std::lock_guard lock(m_mutex);
    checkCell(row, col);
    return m_cells.text(row, col);
}

void GridModel::setText(int row, int col, const QString& text)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        checkCell(row, col);
        m_cells.setText(row, col, text);
        n = notice(Notice::Cells, row, col, row, col);
    }
    deliver(n);
}

QVector<QString> GridModel::rowTexts(int row) const
{
    std::lock_guard lock(m_mutex);
    checkRow(row);
    return m_cells.rowTexts(row);
}

CellValue GridModel::value(int row, int col) const
{
    std::lock_guard lock(m_mutex);
    checkCell(row, col);
    return m_cells.value(row, col);
}

void GridModel::setValue(int row, int col, const CellValue& value)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        checkCell(row, col);
        m_cells.setValue(row, col, value);
        n = notice(Notice::Cells, row, col, row, col);
    }
    deliver(n);
}

QVector<CellValue> GridModel::rowValues(int row) const
{
    std::lock_guard lock(m_mutex);
    checkRow(row);
    return m_cells.rowValues(row);
}

RowKind GridModel::rowKind(int row) const
{
    std::lock_guard lock(m_mutex);
    checkRow(row);
    return row < m_fixedRows ? RowKind::Heading : m_rowKinds[size_t(row)];
}

void GridModel::setRowKind(int row, RowKind kind)
{
    std::lock_guard lock(m_mutex);
    checkRow(row);
    m_rowKinds[size_t(row)] = kind;
}

RowKey GridModel::rowKey(int row) const
{
    std::lock_guard lock(m_mutex);
    checkRow(row);
    if (row >= m_rowKeys.rows())
        return {};
    return RowKey { m_rowKeys.text(row, 0), m_rowKeys.text(row, 1), m_rowKeys.text(row, 2), m_rowKeys.text(row, 3),
        int(m_rowKeys.value(row, 4).count()) };
}

void GridModel::setRowKey(int row, const RowKey& key)
{
    std::lock_guard lock(m_mutex);
    checkRow(row);
    if (key.isEmpty() && row >= m_rowKeys.rows())
        return;
    storeRowKey(row, key);
}

void GridModel::storeRowKey(int row, const RowKey& key)
{
    if (m_rowKeys.cols() == 0)
        m_rowKeys.reset(0, 5);
    if (m_rowKeys.rows() < row)
        m_rowKeys.setRows(row);
    const QVector<CellValue> parts { CellValue::fromText(key.office), CellValue::fromText(key.category),
        CellValue::fromText(key.item), CellValue::fromText(key.invoice),
        key.kind == 0 ? CellValue() : CellValue::fromCount(key.kind) };
    if (m_rowKeys.rows() == row) {
        m_rowKeys.appendRow(parts); // a run appending its rows
        return;
    }
    for (int part = 0; part < 5; ++part)
        m_rowKeys.setValue(row, part, parts[part]);
}

QVector<int> GridModel::rowsOfKind(RowKind kind) const
{
    std::lock_guard lock(m_mutex);
    QVector<int> rows;
    for (int r = m_fixedRows; r < m_rows; ++r)
        if (m_rowKinds[size_t(r)] == kind)
            rows.append(r);
    return rows;
}

std::optional<GridCell> GridModel::cell(int row, int col) const
{
    std::lock_guard lock(m_mutex);
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        return std::nullopt;
    GridCell cell;
    cell.value = m_cells.value(row, col);
    cell.text = cell.value.text();
    cell.rowKind = row < m_fixedRows ? RowKind::Heading : m_rowKinds[size_t(row)];
    const auto colors = m_colors.constFind(colorKey(row, col));
    if (colors != m_colors.constEnd()) {
        cell.back = colors->back;
        cell.fore = colors->fore;
    }
    cell.fixed = row < m_fixedRows || col < m_fixedCols;
    cell.alignment = cell.fixed ? m_fixedAlign[col] : m_colAlign[col];
    cell.width = m_colWidth[col];
    cell.height = rowHeightOf(row);
    cell.wordWrap = m_wordWrap;
    return cell;
}

int GridModel::colWidth(int col) const
{
    std::lock_guard lock(m_mutex);
    checkCol(col);
    return m_colWidth[col];
}

void GridModel::setColWidth(int col, int twips)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        checkCol(col);
        // A negative width restores the default, as the grid control does.
        const int width = twips < 0 ? kDefaultColWidth : twips;
        if (m_colWidth[col] == width)
            return;
        m_colWidth[col] = width;
        n = notice(Notice::Layout);
    }
    deliver(n);
}

QVector<int> GridModel::colWidths() const
{
    std::lock_guard lock(m_mutex);
    return m_colWidth;
}

int GridModel::rowHeightOf(int row) const
{
    const auto it = m_rowHeights.find(row);
    return it == m_rowHeights.end() ? kDefaultRowHeight : it->second;
}

int GridModel::rowHeight(int row) const
{
    std::lock_guard lock(m_mutex);
    checkRow(row);
    return rowHeightOf(row);
}

void GridModel::setRowHeight(int row, int twips)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        checkRow(row);
        const int height = twips < 0 ? kDefaultRowHeight : twips;
        if (rowHeightOf(row) == height)
            return;
        if (height == kDefaultRowHeight)
            m_rowHeights.erase(row);
        else
            m_rowHeights[row] = height;
        n = notice(Notice::Layout);
    }
    deliver(n);
}

QMap<int, int> GridModel::customRowHeights() const
{
    std::lock_guard lock(m_mutex);
    QMap<int, int> heights;
    for (const auto& [row, height] : m_rowHeights)
        heights.insert(row, height);
    return heights;
}

int GridModel::colAlignment(int col) const
{
    std::lock_guard lock(m_mutex);
    checkCol(col);
    return m_colAlign[col];
}

void GridModel::setColAlignment(int col, int code)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        checkCol(col);
        if (m_colAlign[col] == code)
            return;
        m_colAlign[col] = code;
        if (m_rows > 0)
            n = notice(Notice::Cells, 0, col, m_rows - 1, col);
    }
    deliver(n);
}

int GridModel::fixedAlignment(int col) const
{
    std::lock_guard lock(m_mutex);
    checkCol(col);
    return m_fixedAlign[col];
}

void GridModel::setFixedAlignment(int col, int code)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        checkCol(col);
        if (m_fixedAlign[col] == code)
            return;
        m_fixedAlign[col] = code;
        if (m_rows > 0)
            n = notice(Notice::Cells, 0, col, m_rows - 1, col);
    }
    deliver(n);
}

int GridModel::mergeCells() const
{
    std::lock_guard lock(m_mutex);
    return m_mergeMode;
}

void GridModel::setMergeCells(int mode)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        if (mode == m_mergeMode)
            return;
        m_mergeMode = mode;
        n = notice(Notice::Layout);
    }
    deliver(n);
}

bool GridModel::mergeRow(int row) const
{
    std::lock_guard lock(m_mutex);
    checkRow(row);
    return isMergeRow(row);
}

void GridModel::setMergeRow(int row, bool merge)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        checkRow(row);
        if (isMergeRow(row) == merge)
            return;
        if (merge)
            m_mergeRows.insert(row);
        else
            m_mergeRows.erase(row);
        n = notice(Notice::Layout);
    }
    deliver(n);
}

bool GridModel::mergeCol(int col) const
{
    std::lock_guard lock(m_mutex);
    checkCol(col);
    return m_mergeCol[col];
}

void GridModel::setMergeCol(int col, bool merge)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        checkCol(col);
        if (m_mergeCol[col] == merge)
            return;
        m_mergeCol[col] = merge;
        n = notice(Notice::Layout);
    }
    deliver(n);
}

// Merging rules.
//
// Cells merge only within one area: the corner (fixed rows x fixed columns),
// the heading rows, the fixed columns and the body never merge with each other.
// Two neighbours merge when their texts are equal. An empty text merges only in
// the heading rows (a heading laid out with blank neighbours is meant as one
// cell); below them an empty cell means "no value" and never merges, so runs
// of missing figures do not turn into one tall blank block.
//
// Across (row flag on): a cell merges with its left neighbour. Under
// restrict-rows (2, 4) only where, in every merge-flagged row above it in its
// area, the same two cells merge too.
// Down (column flag on): a cell merges with the cell above. Under
// restrict-columns (3, 4) only where, in every merge-flagged column left of it
// in its area, the same two rows merge too; columns without the flag do not
// take part in the restriction.
//
// The merged rectangle of a cell is its run across, extended up and down over
// rows whose run across covers exactly the same columns and whose every
// column merges down. That makes the rectangles a partition of the grid.
// Whether two neighbouring rows join depends on those two rows alone, so the
// blocks seen through a band of rows are the true blocks cut to the band.

int GridModel::areaOf(int row, int col) const { return (row < m_fixedRows ? 2 : 0) + (col < m_fixedCols ? 1 : 0); }

bool GridModel::textsMerge(int row, int col, int otherRow, int otherCol) const
{
    if (areaOf(row, col) != areaOf(otherRow, otherCol))
        return false;
    if (!m_cells.sameValue(row, col, otherRow, otherCol))
        return false;
    if (m_cells.isEmpty(row, col))
        return row < m_fixedRows && otherRow < m_fixedRows;
    return true;
}

bool GridModel::plainAcross(int row, int col) const
{
    return col > 0 && isMergeRow(row) && textsMerge(row, col - 1, row, col);
}

bool GridModel::plainDown(int row, int col) const
{
    return row > 0 && m_mergeCol[col] && textsMerge(row - 1, col, row, col);
}

bool GridModel::mergesAcross(int row, int col) const
{
    if (m_mergeMode == MergeNever || !plainAcross(row, col))
        return false;
    if (m_mergeMode == MergeRestrictRows || m_mergeMode == MergeRestrictAll) {
        const int first = row < m_fixedRows ? 0 : m_fixedRows;
        for (auto it = m_mergeRows.lower_bound(first); it != m_mergeRows.end() && *it < row; ++it) {
            if (!plainAcross(*it, col))
                return false;
        }
    }
    return true;
}

bool GridModel::mergesDown(int row, int col) const
{
    if (m_mergeMode == MergeNever || !plainDown(row, col))
        return false;
    if (m_mergeMode == MergeRestrictColumns || m_mergeMode == MergeRestrictAll) {
        const int first = col < m_fixedCols ? 0 : m_fixedCols;
        for (int c = first; c < col; ++c) {
            if (m_mergeCol[c] && !plainDown(row, c))
                return false;
        }
    }
    return true;
}

int GridModel::horizontalStart(int row, int col) const
{
    while (col > 0 && mergesAcross(row, col))
        --col;
    return col;
}

int GridModel::horizontalEnd(int row, int col) const
{
    while (col + 1 < m_cols && mergesAcross(row, col + 1))
        ++col;
    return col;
}

bool GridModel::rowsJoin(int upperRow, int left, int right) const
{
    const int lower = upperRow + 1;
    if (horizontalStart(upperRow, left) != left || horizontalEnd(upperRow, left) != right)
        return false;
    if (horizontalStart(lower, left) != left || horizontalEnd(lower, left) != right)
        return false;
    for (int c = left; c <= right; ++c) {
        if (!mergesDown(lower, c))
            return false;
    }
    return true;
}

QRect GridModel::spanWithin(int row, int col, int firstRow, int lastRow) const
{
    if (m_mergeMode == MergeNever)
        return QRect(col, row, 1, 1);
    const int left = horizontalStart(row, col);
    const int right = horizontalEnd(row, col);
    int top = row;
    while (top > firstRow && rowsJoin(top - 1, left, right))
        --top;
    int bottom = row;
    while (bottom < lastRow && rowsJoin(bottom, left, right))
        ++bottom;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QRect GridModel::mergedSpan(int row, int col) const
{
    std::lock_guard lock(m_mutex);
    checkCell(row, col);
    return spanWithin(row, col, 0, m_rows - 1);
}

QVector<QRect> GridModel::blocksWithin(int firstRow, int lastRow) const
{
    QVector<QRect> blocks;
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, m_rows - 1);
    if (m_mergeMode == MergeNever || firstRow > lastRow)
        return blocks;
    QSet<quint64> seen;
    auto keep = [&](const QRect& span) {
        if (span.width() * span.height() > 1) {
            const quint64 key = colorKey(span.top(), span.left());
            if (!seen.contains(key)) {
                seen.insert(key);
                blocks.append(span);
            }
        }
    };
    for (int c = 0; c < m_cols; ++c) {
        if (!m_mergeCol[c])
            continue;
        for (int r = firstRow; r <= lastRow;) {
            const QRect span = spanWithin(r, c, firstRow, lastRow);
            keep(span);
            r = span.bottom() + 1;
        }
    }
    for (auto it = m_mergeRows.lower_bound(firstRow); it != m_mergeRows.end() && *it <= lastRow; ++it) {
        for (int c = 0; c < m_cols;) {
            const QRect span = spanWithin(*it, c, firstRow, lastRow);
            keep(span);
            c = span.right() + 1;
        }
    }
    return blocks;
}

QVector<QRect> GridModel::mergedBlocks() const
{
    std::lock_guard lock(m_mutex);
    return blocksWithin(0, m_rows - 1);
}

QVector<QRect> GridModel::mergedBlocks(int firstRow, int lastRow) const
{
    std::lock_guard lock(m_mutex);
    return blocksWithin(firstRow, lastRow);
}

QColor GridModel::cellBackColor(int row, int col) const
{
    std::lock_guard lock(m_mutex);
    checkCell(row, col);
    auto it = m_colors.constFind(colorKey(row, col));
    return it == m_colors.constEnd() ? QColor() : it->back;
}

void GridModel::setCellBackColor(int row, int col, const QColor& color)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        checkCell(row, col);
        m_colors[colorKey(row, col)].back = color;
        n = notice(Notice::Cells, row, col, row, col);
    }
    deliver(n);
}

void GridModel::setRowBackColor(int row, int firstCol, int lastCol, const QColor& color)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        checkCell(row, firstCol);
        checkCell(row, lastCol);
        for (int c = firstCol; c <= lastCol; ++c)
            m_colors[colorKey(row, c)].back = color;
        n = notice(Notice::Cells, row, firstCol, row, lastCol);
    }
    deliver(n);
}

QColor GridModel::cellForeColor(int row, int col) const
{
    std::lock_guard lock(m_mutex);
    checkCell(row, col);
    auto it = m_colors.constFind(colorKey(row, col));
    return it == m_colors.constEnd() ? QColor() : it->fore;
}

void GridModel::setCellForeColor(int row, int col, const QColor& color)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        checkCell(row, col);
        m_colors[colorKey(row, col)].fore = color;
        n = notice(Notice::Cells, row, col, row, col);
    }
    deliver(n);
}

QColor GridModel::gridLineColor() const
{
    std::lock_guard lock(m_mutex);
    return m_gridLineColor;
}

void GridModel::setGridLineColor(const QColor& c)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        if (c == m_gridLineColor)
            return;
        m_gridLineColor = c;
        n = notice(Notice::Layout);
    }
    deliver(n);
}

bool GridModel::wordWrap() const
{
    std::lock_guard lock(m_mutex);
    return m_wordWrap;
}

void GridModel::setWordWrap(bool on)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        if (on == m_wordWrap)
            return;
        m_wordWrap = on;
        n = notice(Notice::Layout);
    }
    deliver(n);
}

QString GridModel::fontName() const
{
    std::lock_guard lock(m_mutex);
    return m_fontName;
}

void GridModel::setFontName(const QString& name)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        if (name == m_fontName)
            return;
        m_fontName = name;
        n = notice(Notice::Layout);
    }
    deliver(n);
}

double GridModel::fontSize() const
{
    std::lock_guard lock(m_mutex);
    return m_fontSize;
}

void GridModel::setFontSize(double points)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        if (points == m_fontSize)
            return;
        m_fontSize = points;
        n = notice(Notice::Layout);
    }
    deliver(n);
}

bool GridModel::redraw() const
{
    std::lock_guard lock(m_mutex);
    return m_redraw;
}

void GridModel::setRedraw(bool on)
{
    Notice n;
    {
        std::lock_guard lock(m_mutex);
        if (on == m_redraw)
            return;
        m_redraw = on;
        if (on && m_dirty) {
            m_dirty = false;
            n = notice(Notice::Reset);
        }
    }
    deliver(n);
}

void GridModel::setFormatString(const QString& format)
{
    const QStringList parts = format.split(QLatin1Char('|'));
    if (parts.size() > cols())
        setCols(int(parts.size()));
    if (rows() == 0)
        setRows(1);
    for (int c = 0; c < parts.size(); ++c) {
        const QString& part = parts[c];
        int align = AlignGeneral;
        QString heading = part;
        if (!part.isEmpty()) {
            const QChar mark = part.at(0);
            if (mark == QLatin1Char('<'))
                align = AlignLeft;
            else if (mark == QLatin1Char('^'))
                align = AlignCenter;
            else if (mark == QLatin1Char('>'))
                align = AlignRight;
            if (align != AlignGeneral)
                heading = part.mid(1);
        }
        setColAlignment(c, align);
        setText(0, c, heading);
        setColWidth(c, measureText(heading) + kFormatPadding);
    }
}

void GridModel::setTextMeasure(TextMeasure measure)
{
    // The old measure is released after the lock, by whichever thread drops it last.
    std::shared_ptr<const TextMeasure> installed
        = measure ? std::make_shared<const TextMeasure>(std::move(measure)) : nullptr;
    MeasureSlot& slot = measureSlot();
    std::lock_guard lock(slot.mutex);
    slot.measure.swap(installed);
}

int GridModel::measureText(const QString& text) const
{
    std::shared_ptr<const TextMeasure> measure;
    {
        MeasureSlot& slot = measureSlot();
        std::lock_guard lock(slot.mutex);
        measure = slot.measure;
    }
    if (!measure)
        return defaultMeasure(text);
    QString fontName;
    double fontSize = 0;
    {
        std::lock_guard lock(m_mutex);
        fontName = m_fontName;
        fontSize = m_fontSize;
    }
    return (*measure)(text, fontName, fontSize);
}

void GridModel::addObserver(GridObserver* observer)
{
    std::lock_guard lock(m_noticeMutex);
    if (observer && !m_observers.contains(observer))
        m_observers.append(observer);
}

void GridModel::removeObserver(GridObserver* observer)
{
    std::lock_guard lock(m_noticeMutex);
    m_observers.removeAll(observer);
}

GridModel::Notice GridModel::notice(Notice::Kind kind, int top, int left, int bottom, int right)
{
    if (!m_redraw) {
        m_dirty = true;
        return Notice();
    }
    return Notice { kind, top, left, bottom, right };
}

void GridModel::deliver(const Notice& n)
{
    if (n.kind == Notice::None)
        return;
    std::lock_guard lock(m_noticeMutex);
    const QVector<GridObserver*> observers = m_observers;
    for (GridObserver* o : observers) {
        // An observer removed by an earlier one in this round is not told.
        if (!m_observers.contains(o))
            continue;
        switch (n.kind) {
        case Notice::Reset:
            o->gridReset();
            break;
        case Notice::RowsInserted:
            o->gridRowsInserted(n.top, n.bottom);
            break;
        case Notice::Cells:
            o->gridCellsChanged(n.top, n.left, n.bottom, n.right);
            break;
        case Notice::Layout:
            o->gridLayoutChanged();
            break;
        case Notice::None:
            break;
        }
    }
}

} // namespace fee
