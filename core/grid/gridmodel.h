#pragma once

#include "core/grid/gridalign.h"
#include "core/grid/gridcell.h"
#include "core/grid/gridcells.h"
#include "core/grid/rowkind.h"

#include <QColor>
#include <QHash>
#include <QMap>
#include <QRect>
#include <QRecursiveMutex>
#include <QString>
#include <QVector>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>

namespace fee {

// Merge modes of the report grids.
enum GridMerge : int {
    MergeNever = 0,
    MergeFree = 1,
    MergeRestrictRows = 2,
    // A cell merges with the equal cell above only where the cells to its left
    // merge too (the merge-flagged columns of its own area: headings, fixed
    // columns or body).
    MergeRestrictColumns = 3,
    MergeRestrictAll = 4,
};

// Receives change notices; the on-screen model listens through it. Notices
// arrive on the thread that made the change, after the grid has released its
// lock, so an observer may read the grid (and may find it already a step
// further than the notice says).
class GridObserver {
public:
    virtual ~GridObserver() = default;
    virtual void gridReset() = 0; // shape or many cells changed
    virtual void gridRowsInserted(int first, int last) = 0; // rows appended at the end
    virtual void gridCellsChanged(int top, int left, int bottom, int right) = 0;
    // Widths, heights, merge settings, word wrap or the grid-line colour
    // changed; observers that do not track these simply reset.
    virtual void gridLayoutChanged() { gridReset(); }
    // The grid is being destroyed; the observer must forget it.
    virtual void gridDestroyed() { }
};

// The headless report grid: cells of typed values (CellValue) addressed by
// (row, column), each row of a kind (RowKind) with what it stands for
// (RowKey), fixed heading rows and columns, widths and heights in twips,
// alignments, merge rules and cell colours. Engines write values; the one
// presentation of a value is its text (text()), which screen, CSV and
// printing show, while workbooks, charts, sorting and copying read the
// values and the row kinds. Nothing reads a figure back from its text.
//
// Threads. A report run fills its grid on the run's own thread while the
// window shows the same grid on the GUI thread:
// - One thread at a time writes: the run's thread while a run is going, the
//   GUI thread otherwise. Every other thread (in practice the GUI thread)
//   only reads meanwhile; the one exception is the current cell, which a
//   click sets at any time.
// - Every public method takes an internal lock for its own duration, so each
//   call sees and leaves the grid whole. A sequence of calls is not atomic: a
//   reader may find rows the writer has appended but not yet filled, or a
//   cell read a moment ago already gone after a cut. Readers that must not
//   fail for that use cell(), rowTexts() or mergedBlocks(first, last), which
//   never throw for rows that have just been cut.
// - Observers are told on the writer's thread, outside the grid's lock (see
//   GridObserver). addObserver() and removeObserver() may be called from any
//   thread; once removeObserver() returns, the observer is never called again
//   (it waits for a notice in progress on another thread).
// - The grid is destroyed on the thread that owns it, once no run writes it
//   any more; its observers get gridDestroyed() there.
// - The text measure (setTextMeasure) is called on the thread that measures:
//   it must be safe to call from any thread.
class GridModel {
public:
    GridModel();
    ~GridModel();
    // A copy has the same cells and settings but none of the observers.
    GridModel(const GridModel& other);
    // Takes the other grid's cells and settings; this grid's observers stay
    // and get one reset.
    GridModel& operator=(const GridModel& other);

    int rows() const;
    int cols() const;
    void setRows(int rows); // cuts or appends empty rows
    void setCols(int cols);
    int fixedRows() const;
    int fixedCols() const;
    void setFixedRows(int n);
    void setFixedCols(int n);
    // Appends one empty row and returns its index.
    int appendRow();
    // Appends one row holding the given texts in columns 0, 1, ... (missing
    // ones empty) with one lock and one notice, and returns its index. More
    // texts than columns fail with 381 and append nothing.
    int appendRow(QVector<QString> cells);
    // The same with values, a row kind and a key.
    int appendRow(const QVector<CellValue>& cells, RowKind kind = RowKind::Data, const RowKey& key = {});

    // The current cell (MSFlexGrid Row / Col): set by a click, or by code
    // before it addresses "the current cell". Starts at the first non-fixed cell.
    int currentRow() const;
    void setCurrentRow(int row);
    int currentCol() const;
    void setCurrentCol(int col);

    // Out-of-range addresses throw fee::Failure 381 ("Subscript out of range").
    // A cell's text is its value's presentation (CellValue::text());
    // setText stores a text value (an empty text empties the cell).
    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    CellValue value(int row, int col) const;
    void setValue(int row, int col, const CellValue& value);
    // The texts of one row, one per column.
    QVector<QString> rowTexts(int row) const;
    QVector<CellValue> rowValues(int row) const;

    // What a row is: fixed rows are headings; any other row is Data until
    // set otherwise. Out-of-range rows throw 381.
    RowKind rowKind(int row) const;
    void setRowKind(int row, RowKind kind);
    // What a row stands for; empty unless set.
    RowKey rowKey(int row) const;
    void setRowKey(int row, const RowKey& key);
    // The rows of a kind, in order (below the fixed rows).
    QVector<int> rowsOfKind(RowKind kind) const;
    // Everything drawing needs of one cell; nothing (no failure) outside the grid.
    std::optional<GridCell> cell(int row, int col) const;

    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    QVector<int> colWidths() const; // every column's width, in column order
    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);
    // The rows whose height is not the default, with their heights.
    QMap<int, int> customRowHeights() const;
    static constexpr int kDefaultColWidth = 960;
    static constexpr int kDefaultRowHeight = 300;

    int colAlignment(int col) const; // non-fixed cells; AlignGeneral by default
    void setColAlignment(int col, int code);
    int fixedAlignment(int col) const; // fixed cells; AlignLeft by default
    void setFixedAlignment(int col, int code);

    int mergeCells() const;
    void setMergeCells(int mode);
    bool mergeRow(int row) const;
    void setMergeRow(int row, bool merge);
    bool mergeCol(int col) const;
    void setMergeCol(int col, bool merge);
    // The rectangle of cells that (row, col) is merged into; a single cell
    // when it merges with nothing.
    // QRect x = column, y = row.
    QRect mergedSpan(int row, int col) const;
    // Every merged rectangle of more than one cell, each once; the cells of
    // rows and columns without a merge flag are not visited.
    QVector<QRect> mergedBlocks() const;
    // The merged rectangles as seen through rows firstRow to lastRow: each
    // block that reaches into those rows, cut to them, when more than one
    // cell remains. Costs time in proportion to the rows asked for, however
    // tall the grid or its blocks; rows outside the grid are left out.
    QVector<QRect> mergedBlocks(int firstRow, int lastRow) const;

    // Invalid colour = the default (window background / window text).
    QColor cellBackColor(int row, int col) const;
    void setCellBackColor(int row, int col, const QColor& color);
    // The cells firstCol to lastCol of one row, with one notice: how a window
    // marks the row a user picked.
    void setRowBackColor(int row, int firstCol, int lastCol, const QColor& color);
    QColor cellForeColor(int row, int col) const;
    void setCellForeColor(int row, int col, const QColor& color);
    QColor gridLineColor() const;
    void setGridLineColor(const QColor& c);

    bool wordWrap() const;
    void setWordWrap(bool on);

    // While drawing is off, changes are only collected; switching it on again
    // sends one reset.
    bool redraw() const;
    void setRedraw(bool on);

    QString fontName() const;
    void setFontName(const QString& name);
    double fontSize() const;
    void setFontSize(double points);

    // Lays out the columns from a format string: "|" separates the columns,
    // each part starts with "<", "^" or ">" and the heading text follows.
    // Writes the heading texts into row 0, the column alignments and the first
    // widths (the measured heading text). Grows the grid to the number of parts.
    void setFormatString(const QString& format);
    static constexpr int kFormatPadding = 120; // twips added to a measured heading

    // Measures a text's width in twips in the grid's font. The program installs
    // a measurer that uses the real font; the default one counts a wide
    // (CJK) character as 180 twips and any other as 90. Installing may happen
    // while other threads measure: a measurement uses the measurer installed
    // when it started.
    using TextMeasure = std::function<int(const QString& text, const QString& fontName, double fontSize)>;
    static void setTextMeasure(TextMeasure measure);
    int measureText(const QString& text) const;

    void addObserver(GridObserver* observer);
    void removeObserver(GridObserver* observer);

private:
    struct CellColors {
        QColor back;
        QColor fore;
    };
    // A change notice decided under the lock and sent after it is released.
    struct Notice {
        enum Kind { None, Reset, RowsInserted, Cells, Layout } kind = None;
        int top = 0;
        int left = 0;
        int bottom = 0;
        int right = 0;
    };

    // Every helper below expects m_mutex held.
    void storeRowKey(int row, const RowKey& key);
    void copyContents(const GridModel& other);
    void checkCell(int row, int col) const;
    void checkCol(int col) const;
    void checkRow(int row) const;
    Notice notice(Notice::Kind kind, int top = 0, int left = 0, int bottom = 0, int right = 0);
    int rowHeightOf(int row) const;
    bool isMergeRow(int row) const { return m_mergeRows.count(row) != 0; }
    int areaOf(int row, int col) const;
    bool textsMerge(int row, int col, int otherRow, int otherCol) const;
    bool mergesAcross(int row, int col) const; // (row, col - 1) with (row, col)
    bool mergesDown(int row, int col) const; // (row - 1, col) with (row, col)
    bool plainAcross(int row, int col) const;
    bool plainDown(int row, int col) const;
    int horizontalStart(int row, int col) const;
    int horizontalEnd(int row, int col) const;
    bool rowsJoin(int upperRow, int left, int right) const;
    QRect spanWithin(int row, int col, int firstRow, int lastRow) const;
    QVector<QRect> blocksWithin(int firstRow, int lastRow) const;
    static quint64 colorKey(int row, int col) { return (quint64(quint32(row)) << 32) | quint32(col); }

    // Called without m_mutex held.
    void deliver(const Notice& notice);

    mutable std::mutex m_mutex; // guards every member below except the observers
    int m_rows = 2;
    int m_cols = 2;
    int m_fixedRows = 1;
    int m_fixedCols = 1;
    GridCells m_cells;
    std::vector<RowKind> m_rowKinds; // one per row
    // The rows' keys packed as cells (office, category, item, invoice, kind),
    // made with the first key: a long list keeps a key per row for little
    // more than its characters.
    GridCells m_rowKeys;
    QHash<quint64, CellColors> m_colors; // few cells are coloured
    int m_currentRow = 1;
    int m_currentCol = 1;
    QVector<int> m_colWidth;
    std::map<int, int> m_rowHeights; // rows whose height is not the default
    QVector<int> m_colAlign;
    QVector<int> m_fixedAlign;
    std::set<int> m_mergeRows; // rows with the merge flag: few
    QVector<bool> m_mergeCol;
    int m_mergeMode = MergeNever;
    QColor m_gridLineColor { 192, 192, 192 };
    bool m_wordWrap = false;
    bool m_redraw = true;
    bool m_dirty = false;
    QString m_fontName = QStringLiteral("宋体");
    double m_fontSize = 9;

    // Guards the observer list and keeps notices one at a time; recursive
    // because an observer may add or remove observers while it is told.
    std::recursive_mutex m_noticeMutex;
    QVector<GridObserver*> m_observers; // belong to this grid object: copies start without any
};

} // namespace fee
