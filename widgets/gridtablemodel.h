#pragma once

#include "core/grid/gridmodel.h"

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <functional>
#include <mutex>

namespace fee {

// Shows a GridModel to Qt's item views. Keeps its own published row and
// column counts, updated only through the grid's notices, so a view never
// sees the grid change under it while drawing is suspended or while another
// thread fills the grid.
//
// Notices from the model's own (GUI) thread are applied at once. Notices
// from a run's thread are collected and published on the GUI thread at most
// every kPublishIntervalMs: appended rows as one beginInsertRows/endInsertRows
// batch, a reset (a cut, new columns, drawing switched back on) as one model
// reset, changed cells as one dataChanged, layout changes as one
// layoutSettingsChanged. data() reads the grid live but never past the
// published counts, and answers nothing (no failure) for cells the writer has
// just cut.
class GridTableModel : public QAbstractTableModel, public GridObserver {
    Q_OBJECT
public:
    static constexpr int kPublishIntervalMs = 100;

    explicit GridTableModel(GridModel* grid, QObject* parent = nullptr);
    ~GridTableModel() override;

    GridModel* grid() const { return m_grid; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Qt alignment of a grid alignment code (0 to 9; 9 = general).
    static Qt::Alignment alignmentOf(int code, const QString& text);

    // Publishes now what other threads have changed (GUI thread).
    void publishPending();

    void gridReset() override;
    void gridRowsInserted(int first, int last) override;
    void gridCellsChanged(int top, int left, int bottom, int right) override;
    void gridLayoutChanged() override;
    void gridDestroyed() override;

signals:
    // Widths, heights, merge settings, fonts or colours of the grid changed.
    void layoutSettingsChanged();
    // Rows were appended or cells rewritten (merged blocks may have changed).
    void contentChanged();

private:
    // What a run's thread changed since the last publication.
    struct Pending {
        bool reset = false;
        bool layout = false;
        bool destroyed = false;
        int rowsTo = 0; // rows announced as appended end before this row
        QRect cells; // x = column, y = row
    };

    bool onOtherThread() const;
    void collect(const std::function<void(Pending&)>& change);
    void schedulePublish();
    void resetNow();
    void insertUpTo(int rows);
    void cellsChangedNow(QRect cells);
    void forgetGrid();

    GridModel* m_grid;
    std::atomic_bool m_gridGone { false }; // destroyed on another thread, not yet published
    int m_rows = 0;
    int m_cols = 0;

    std::mutex m_pendingMutex;
    Pending m_pending;
    std::atomic_bool m_publishQueued { false };
    QTimer m_publishTimer;
    QElapsedTimer m_sincePublish;
};

} // namespace fee
