#pragma once

#include <QColor>
#include <QHash>
#include <QRect>
#include <QString>
#include <QVector>
#include <functional>

namespace fee {

// Column alignment codes of the report grids.
enum GridAlign : int {
    AlignLeft = 1, // left, vertically centred
    AlignCenter = 4,
    AlignRight = 7,
    AlignGeneral = 9, // text left, numbers right
};

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

// Receives change notices; the on-screen model listens through it.
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

// The headless report grid: text cells addressed by (row, column), fixed
// heading rows and columns, widths and heights in twips, alignments, merge
// rules and cell colours. Screen, printing, workbooks and CSV all read it.
class GridModel {
public:
    GridModel();
    ~GridModel();
    // A copy has the same cells and settings but none of the observers.
    GridModel(const GridModel&) = default;
    // Takes the other grid's cells and settings; this grid's observers stay
    // and get one reset.
    GridModel& operator=(const GridModel& other);

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    void setRows(int rows); // cuts or appends empty rows
    void setCols(int cols);
    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    void setFixedRows(int n);
    void setFixedCols(int n);
    // Appends one empty row and returns its index.
    int appendRow();

    // The current cell (MSFlexGrid Row / Col): set by a click, or by code
    // before it addresses "the current cell". Starts at the first non-fixed cell.
    int currentRow() const { return m_currentRow; }
    void setCurrentRow(int row) { m_currentRow = row; }
    int currentCol() const { return m_currentCol; }
    void setCurrentCol(int col) { m_currentCol = col; }

    // Out-of-range addresses throw fee::Failure 381 ("Subscript out of range").
    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);

    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);
    static constexpr int kDefaultColWidth = 960;
    static constexpr int kDefaultRowHeight = 300;

    int colAlignment(int col) const; // non-fixed cells; AlignGeneral by default
    void setColAlignment(int col, int code);
    int fixedAlignment(int col) const; // fixed cells; AlignLeft by default
    void setFixedAlignment(int col, int code);

    int mergeCells() const { return m_mergeMode; }
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

    // Invalid colour = the default (window background / window text).
    QColor cellBackColor(int row, int col) const;
    void setCellBackColor(int row, int col, const QColor& color);
    QColor cellForeColor(int row, int col) const;
    void setCellForeColor(int row, int col, const QColor& color);
    QColor gridLineColor() const { return m_gridLineColor; }
    void setGridLineColor(const QColor& c);

    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on);

    // While drawing is off, changes are only collected; switching it on again
    // sends one reset.
    bool redraw() const { return m_redraw; }
    void setRedraw(bool on);

    QString fontName() const { return m_fontName; }
    void setFontName(const QString& name);
    double fontSize() const { return m_fontSize; }
    void setFontSize(double points);

    // Lays out the columns from a format string: "|" separates the columns,
    // each part starts with "<", "^" or ">" and the heading text follows.
    // Writes the heading texts into row 0, the column alignments and the first
    // widths (the measured heading text). Grows the grid to the number of parts.
    void setFormatString(const QString& format);
    static constexpr int kFormatPadding = 120; // twips added to a measured heading

    // Measures a text's width in twips in the grid's font. The program installs
    // a measurer that uses the real font; the default one counts a wide
    // (CJK) character as 180 twips and any other as 90.
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
    void checkCell(int row, int col) const;
    void checkCol(int col) const;
    void checkRow(int row) const;
    void notifyReset();
    void notifyRowsInserted(int first, int last);
    void notifyCells(int top, int left, int bottom, int right);
    void notifyLayout();
    int areaOf(int row, int col) const;
    bool textsMerge(int row, int col, int otherRow, int otherCol) const;
    bool mergesAcross(int row, int col) const; // (row, col - 1) with (row, col)
    bool mergesDown(int row, int col) const; // (row - 1, col) with (row, col)
    bool plainAcross(int row, int col) const;
    bool plainDown(int row, int col) const;
    int horizontalStart(int row, int col) const;
    int horizontalEnd(int row, int col) const;
    bool rowsJoin(int upperRow, int left, int right) const;
    static quint64 colorKey(int row, int col) { return (quint64(quint32(row)) << 32) | quint32(col); }

    int m_rows = 2;
    int m_cols = 2;
    int m_fixedRows = 1;
    int m_fixedCols = 1;
    QVector<QVector<QString>> m_cells; // [row][col]
    QHash<quint64, CellColors> m_colors; // few cells are coloured
    int m_currentRow = 1;
    int m_currentCol = 1;
    QVector<int> m_colWidth;
    QVector<int> m_rowHeight;
    QVector<int> m_colAlign;
    QVector<int> m_fixedAlign;
    QVector<bool> m_mergeRow;
    QVector<bool> m_mergeCol;
    int m_mergeMode = MergeNever;
    QColor m_gridLineColor { 192, 192, 192 };
    bool m_wordWrap = false;
    bool m_redraw = true;
    bool m_dirty = false;
    QString m_fontName = QStringLiteral("宋体");
    double m_fontSize = 9;
    // Observers belong to one grid object: copies start without any.
    struct ObserverList {
        QVector<GridObserver*> list;
        ObserverList() = default;
        ObserverList(const ObserverList&) { }
        ObserverList& operator=(const ObserverList&) { return *this; }
    };
    ObserverList m_observers;
};

} // namespace fee
