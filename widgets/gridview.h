#pragma once

#include "core/grid/gridmodel.h"

#include <QTableView>
#include <memory>

namespace fee {

class GridTableModel;

// The on-screen report grid: shows a GridModel with its fixed heading rows
// and fixed columns frozen while the rest scrolls, merged cells drawn as one,
// widths and heights taken from the grid's twips. Fixed parts are overlay
// views over this one, sharing its model and selection and following its
// scroll bars.
//
// The grid may be filled by a run's thread while the view shows it (see
// GridModel and GridTableModel): the view lives on the GUI thread and only
// reads the grid. Merged blocks are laid out for the rows in sight (the fixed
// rows and about a screenful above and below the visible body), so a grid of
// any length costs the same to keep merged; scrolling or resizing past that
// band lays them out again.
class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(QWidget* parent = nullptr);
    ~GridView() override;

    // The grid shown: the view's own one unless another was set.
    GridModel& grid() { return *m_grid; }
    const GridModel& grid() const { return *m_grid; }
    // Shows another grid (not owned; it may be destroyed before the view).
    // nullptr goes back to the view's own grid.
    void setGrid(GridModel* grid);
    GridTableModel* tableModel() const { return m_model; }

    QTableView* fixedRowsView() const { return m_top; }
    QTableView* fixedColsView() const { return m_left; }
    QTableView* cornerView() const { return m_corner; }

    // The rectangle of a grid cell (merged block) in this widget's coordinates.
    QRect cellRect(int row, int col) const;
    // Publishes what a run's thread has changed and applies pending widths,
    // heights and merged blocks now.
    void refreshLayout();
    // The rows whose merged blocks are laid out (first, last); empty when none.
    QPair<int, int> mergedRowBand() const { return { m_bandTop, m_bandBottom }; }

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

signals:
    // Grid row and column of a click (fixed cells included); the grid's
    // current cell is already set to it.
    void cellClicked(int row, int col);
    void cellDoubleClicked(int row, int col);

protected:
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableView* makeOverlay(const QString& name);
    void attachModel();
    void scheduleLayout();
    void scheduleSpans();
    void flushPending();
    void applyLayout();
    void applySpans();
    void followVisibleRows();
    void forgetSpans();
    QPair<int, int> visibleRows() const;
    void positionOverlays();
    QTableView* viewFor(int row, int col) const;
    QList<QTableView*> views() const;
    void reportClick(const QModelIndex& index, bool doubleClick);

    std::unique_ptr<GridModel> m_ownGrid;
    GridModel* m_grid = nullptr;
    GridTableModel* m_model = nullptr;
    QTableView* m_top = nullptr;
    QTableView* m_left = nullptr;
    QTableView* m_corner = nullptr;
    QVector<int> m_customRows; // rows whose height differs from the default
    QVector<QRect> m_appliedBlocks; // merged blocks set as spans
    bool m_layoutPending = false;
    bool m_spansPending = false;
    bool m_flushQueued = false;
    int m_bandTop = 0; // rows whose merged blocks are laid out
    int m_bandBottom = -1;
    QString m_appliedStyle;
};

} // namespace fee
