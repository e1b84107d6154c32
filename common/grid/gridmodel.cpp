#include "common/grid/gridmodel.h"

#include "common/failure.h"

#include <QSet>
#include <QStringList>
#include <algorithm>

namespace fee {

namespace {

    constexpr int kErrSubscript = 381;

    GridModel::TextMeasure& installedMeasure()
    {
        static GridModel::TextMeasure measure;
        return measure;
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
    m_cells = QVector<QVector<QString>>(m_rows, QVector<QString>(m_cols));
    m_colWidth = QVector<int>(m_cols, kDefaultColWidth);
    m_rowHeight = QVector<int>(m_rows, kDefaultRowHeight);
    m_colAlign = QVector<int>(m_cols, AlignGeneral);
    m_fixedAlign = QVector<int>(m_cols, AlignLeft);
    m_mergeRow = QVector<bool>(m_rows, false);
    m_mergeCol = QVector<bool>(m_cols, false);
}

GridModel::~GridModel()
{
    const QVector<GridObserver*> observers = m_observers.list;
    for (GridObserver* o : observers)
        o->gridDestroyed();
}

GridModel& GridModel::operator=(const GridModel& other)
{
    if (this == &other)
        return *this;
    m_rows = other.m_rows;
    m_cols = other.m_cols;
    m_fixedRows = other.m_fixedRows;
    m_fixedCols = other.m_fixedCols;
    m_cells = other.m_cells;
    m_colors = other.m_colors;
    m_currentRow = other.m_currentRow;
    m_currentCol = other.m_currentCol;
    m_colWidth = other.m_colWidth;
    m_rowHeight = other.m_rowHeight;
    m_colAlign = other.m_colAlign;
    m_fixedAlign = other.m_fixedAlign;
    m_mergeRow = other.m_mergeRow;
    m_mergeCol = other.m_mergeCol;
    m_mergeMode = other.m_mergeMode;
    m_gridLineColor = other.m_gridLineColor;
    m_wordWrap = other.m_wordWrap;
    m_fontName = other.m_fontName;
    m_fontSize = other.m_fontSize;
    notifyReset();
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

void GridModel::setRows(int rows)
{
    if (rows < 0)
        outOfRange();
    const int old = m_rows;
    if (rows == old)
        return;
    m_cells.resize(rows);
    for (int r = old; r < rows; ++r)
        m_cells[r] = QVector<QString>(m_cols);
    m_rowHeight.resize(rows);
    m_mergeRow.resize(rows);
    for (int r = old; r < rows; ++r) {
        m_rowHeight[r] = kDefaultRowHeight;
        m_mergeRow[r] = false;
    }
    m_rows = rows;
    if (rows > old) {
        notifyRowsInserted(old, rows - 1);
        return;
    }
    if (m_fixedRows > rows)
        m_fixedRows = rows;
    for (auto it = m_colors.begin(); it != m_colors.end();) {
        if (int(it.key() >> 32) >= rows)
            it = m_colors.erase(it);
        else
            ++it;
    }
    notifyReset();
}

int GridModel::appendRow()
{
    const int row = m_rows;
    m_cells.append(QVector<QString>(m_cols));
    m_rowHeight.append(kDefaultRowHeight);
    m_mergeRow.append(false);
    ++m_rows;
    notifyRowsInserted(row, row);
    return row;
}

void GridModel::setCols(int cols)
{
    if (cols < 0)
        outOfRange();
    const int old = m_cols;
    if (cols == old)
        return;
    for (auto& row : m_cells)
        row.resize(cols);
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
    notifyReset();
}

void GridModel::setFixedRows(int n)
{
    if (n < 0)
        outOfRange();
    if (n > m_rows)
        setRows(n);
    if (n == m_fixedRows)
        return;
    m_fixedRows = n;
    notifyReset();
}

void GridModel::setFixedCols(int n)
{
    if (n < 0)
        outOfRange();
    if (n > m_cols)
        setCols(n);
    if (n == m_fixedCols)
        return;
    m_fixedCols = n;
    notifyReset();
}

QString GridModel::text(int row, int col) const
{
    checkCell(row, col);
    return m_cells[row][col];
}

void GridModel::setText(int row, int col, const QString& text)
{
    checkCell(row, col);
    m_cells[row][col] = text;
    notifyCells(row, col, row, col);
}

int GridModel::colWidth(int col) const
{
    checkCol(col);
    return m_colWidth[col];
}

void GridModel::setColWidth(int col, int twips)
{
    checkCol(col);
    // A negative width restores the default, as the grid control does.
    const int width = twips < 0 ? kDefaultColWidth : twips;
    if (m_colWidth[col] == width)
        return;
    m_colWidth[col] = width;
    notifyLayout();
}

int GridModel::rowHeight(int row) const
{
    checkRow(row);
    return m_rowHeight[row];
}

void GridModel::setRowHeight(int row, int twips)
{
    checkRow(row);
    const int height = twips < 0 ? kDefaultRowHeight : twips;
    if (m_rowHeight[row] == height)
        return;
    m_rowHeight[row] = height;
    notifyLayout();
}

int GridModel::colAlignment(int col) const
{
    checkCol(col);
    return m_colAlign[col];
}

void GridModel::setColAlignment(int col, int code)
{
    checkCol(col);
    if (m_colAlign[col] == code)
        return;
    m_colAlign[col] = code;
    if (m_rows > 0)
        notifyCells(0, col, m_rows - 1, col);
}

int GridModel::fixedAlignment(int col) const
{
    checkCol(col);
    return m_fixedAlign[col];
}

void GridModel::setFixedAlignment(int col, int code)
{
    checkCol(col);
    if (m_fixedAlign[col] == code)
        return;
    m_fixedAlign[col] = code;
    if (m_rows > 0)
        notifyCells(0, col, m_rows - 1, col);
}

void GridModel::setMergeCells(int mode)
{
    if (mode == m_mergeMode)
        return;
    m_mergeMode = mode;
    notifyLayout();
}

bool GridModel::mergeRow(int row) const
{
    checkRow(row);
    return m_mergeRow[row];
}

void GridModel::setMergeRow(int row, bool merge)
{
    checkRow(row);
    if (m_mergeRow[row] == merge)
        return;
    m_mergeRow[row] = merge;
    notifyLayout();
}

bool GridModel::mergeCol(int col) const
{
    checkCol(col);
    return m_mergeCol[col];
}

void GridModel::setMergeCol(int col, bool merge)
{
    checkCol(col);
    if (m_mergeCol[col] == merge)
        return;
    m_mergeCol[col] = merge;
    notifyLayout();
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

int GridModel::areaOf(int row, int col) const { return (row < m_fixedRows ? 2 : 0) + (col < m_fixedCols ? 1 : 0); }

bool GridModel::textsMerge(int row, int col, int otherRow, int otherCol) const
{
    if (areaOf(row, col) != areaOf(otherRow, otherCol))
        return false;
    const QString& a = m_cells[row][col];
    if (a != m_cells[otherRow][otherCol])
        return false;
    if (a.isEmpty())
        return row < m_fixedRows && otherRow < m_fixedRows;
    return true;
}

bool GridModel::plainAcross(int row, int col) const
{
    return col > 0 && m_mergeRow[row] && textsMerge(row, col - 1, row, col);
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
        for (int r = first; r < row; ++r) {
            if (m_mergeRow[r] && !plainAcross(r, col))
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

QRect GridModel::mergedSpan(int row, int col) const
{
    checkCell(row, col);
    if (m_mergeMode == MergeNever)
        return QRect(col, row, 1, 1);
    const int left = horizontalStart(row, col);
    const int right = horizontalEnd(row, col);
    int top = row;
    while (top > 0 && rowsJoin(top - 1, left, right))
        --top;
    int bottom = row;
    while (bottom + 1 < m_rows && rowsJoin(bottom, left, right))
        ++bottom;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QVector<QRect> GridModel::mergedBlocks() const
{
    QVector<QRect> blocks;
    if (m_mergeMode == MergeNever)
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
        for (int r = 0; r < m_rows;) {
            const QRect span = mergedSpan(r, c);
            keep(span);
            r = span.bottom() + 1;
        }
    }
    for (int r = 0; r < m_rows; ++r) {
        if (!m_mergeRow[r])
            continue;
        for (int c = 0; c < m_cols;) {
            const QRect span = mergedSpan(r, c);
            keep(span);
            c = span.right() + 1;
        }
    }
    return blocks;
}

QColor GridModel::cellBackColor(int row, int col) const
{
    checkCell(row, col);
    auto it = m_colors.constFind(colorKey(row, col));
    return it == m_colors.constEnd() ? QColor() : it->back;
}

void GridModel::setCellBackColor(int row, int col, const QColor& color)
{
    checkCell(row, col);
    m_colors[colorKey(row, col)].back = color;
    notifyCells(row, col, row, col);
}

QColor GridModel::cellForeColor(int row, int col) const
{
    checkCell(row, col);
    auto it = m_colors.constFind(colorKey(row, col));
    return it == m_colors.constEnd() ? QColor() : it->fore;
}

void GridModel::setCellForeColor(int row, int col, const QColor& color)
{
    checkCell(row, col);
    m_colors[colorKey(row, col)].fore = color;
    notifyCells(row, col, row, col);
}

void GridModel::setGridLineColor(const QColor& c)
{
    if (c == m_gridLineColor)
        return;
    m_gridLineColor = c;
    notifyLayout();
}

void GridModel::setWordWrap(bool on)
{
    if (on == m_wordWrap)
        return;
    m_wordWrap = on;
    notifyLayout();
}

void GridModel::setFontName(const QString& name)
{
    if (name == m_fontName)
        return;
    m_fontName = name;
    notifyLayout();
}

void GridModel::setFontSize(double points)
{
    if (points == m_fontSize)
        return;
    m_fontSize = points;
    notifyLayout();
}

void GridModel::setRedraw(bool on)
{
    if (on == m_redraw)
        return;
    m_redraw = on;
    if (on && m_dirty) {
        m_dirty = false;
        notifyReset();
    }
}

void GridModel::setFormatString(const QString& format)
{
    const QStringList parts = format.split(QLatin1Char('|'));
    if (parts.size() > m_cols)
        setCols(int(parts.size()));
    if (m_rows == 0)
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

void GridModel::setTextMeasure(TextMeasure measure) { installedMeasure() = std::move(measure); }

int GridModel::measureText(const QString& text) const
{
    const TextMeasure& measure = installedMeasure();
    if (measure)
        return measure(text, m_fontName, m_fontSize);
    return defaultMeasure(text);
}

void GridModel::addObserver(GridObserver* observer)
{
    if (observer && !m_observers.list.contains(observer))
        m_observers.list.append(observer);
}

void GridModel::removeObserver(GridObserver* observer) { m_observers.list.removeAll(observer); }

void GridModel::notifyReset()
{
    if (!m_redraw) {
        m_dirty = true;
        return;
    }
    for (GridObserver* o : QVector<GridObserver*>(m_observers.list))
        o->gridReset();
}

void GridModel::notifyRowsInserted(int first, int last)
{
    if (!m_redraw) {
        m_dirty = true;
        return;
    }
    for (GridObserver* o : QVector<GridObserver*>(m_observers.list))
        o->gridRowsInserted(first, last);
}

void GridModel::notifyCells(int top, int left, int bottom, int right)
{
    if (!m_redraw) {
        m_dirty = true;
        return;
    }
    for (GridObserver* o : QVector<GridObserver*>(m_observers.list))
        o->gridCellsChanged(top, left, bottom, right);
}

void GridModel::notifyLayout()
{
    if (!m_redraw) {
        m_dirty = true;
        return;
    }
    for (GridObserver* o : QVector<GridObserver*>(m_observers.list))
        o->gridLayoutChanged();
}

} // namespace fee
