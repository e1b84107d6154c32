#pragma once

#include "common/grid/gridmodel.h"

#include <QAbstractTableModel>

namespace fee {

// Shows a GridModel to Qt's item views. Keeps its own row and column counts,
// updated only through the grid's notices, so a view never sees the grid
// change under it while drawing is suspended.
class GridTableModel : public QAbstractTableModel, public GridObserver {
    Q_OBJECT
public:
    explicit GridTableModel(GridModel* grid, QObject* parent = nullptr);
    ~GridTableModel() override;

    GridModel* grid() const { return m_grid; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Qt alignment of a grid alignment code (0 to 9; 9 = general).
    static Qt::Alignment alignmentOf(int code, const QString& text);
    static int twipsToPixels(int twips, int dpi);

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
    GridModel* m_grid;
    int m_rows = 0;
    int m_cols = 0;
};

} // namespace fee
