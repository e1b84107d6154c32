#include "widgets/gridtablemodel.h"

#include "core/grid/celltextplacement.h"
#include "core/grid/twips.h"
#include "widgets/gridcelldelegate.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>
#include <QSize>
#include <QThread>

namespace fee {

GridTableModel::GridTableModel(GridModel* grid, QObject* parent)
    : QAbstractTableModel(parent)
    , m_grid(grid)
{
    m_publishTimer.setSingleShot(true);
    connect(&m_publishTimer, &QTimer::timeout, this, &GridTableModel::publishPending);
    m_sincePublish.start();
    if (m_grid) {
        m_grid->addObserver(this);
        m_rows = m_grid->rows();
        m_cols = m_grid->cols();
    }
}

GridTableModel::~GridTableModel()
{
    // Returns only once no notice to this model is in progress on a run's thread.
    if (m_grid && !m_gridGone)
        m_grid->removeObserver(this);
}

int GridTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int GridTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_cols; }

Qt::Alignment GridTableModel::alignmentOf(int code, const QString& text)
{
    return GridCellDelegate::qtAlignment(cellTextPlace(code, text));
}

QVariant GridTableModel::data(const QModelIndex& index, int role) const
{
    if (!m_grid || m_gridGone || !index.isValid() || index.row() >= m_rows || index.column() >= m_cols)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::TextAlignmentRole:
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
    case Qt::SizeHintRole:
        break;
    default:
        return QVariant();
    }
    const std::optional<GridCell> cell = m_grid->cell(index.row(), index.column());
    if (!cell)
        return QVariant(); // cut by the writer; the reset is on its way
    switch (role) {
    case Qt::DisplayRole: {
        QString text = cell->text;
        if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'))) {
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            if (!cell->wordWrap)
                text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        }
        return text;
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignmentOf(cell->alignment, cell->text));
    case Qt::BackgroundRole:
        if (cell->back.isValid())
            return QBrush(cell->back);
        if (cell->fixed)
            return QBrush(QGuiApplication::palette().color(QPalette::Button));
        return QVariant();
    case Qt::ForegroundRole:
        return cell->fore.isValid() ? QVariant(QBrush(cell->fore)) : QVariant();
    case Qt::SizeHintRole:
        return QSize(twipsToPixels(cell->width), twipsToPixels(cell->height));
    default:
        return QVariant();
    }
}

Qt::ItemFlags GridTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool GridTableModel::onOtherThread() const { return QThread::currentThread() != thread(); }

void GridTableModel::collect(const std::function<void(Pending&)>& change)
{
    {
        std::lock_guard lock(m_pendingMutex);
        change(m_pending);
    }
    if (!m_publishQueued.exchange(true))
        QMetaObject::invokeMethod(this, &GridTableModel::schedulePublish, Qt::QueuedConnection);
}

void GridTableModel::schedulePublish()
{
    if (m_publishTimer.isActive())
        return;
    const qint64 since = m_sincePublish.elapsed();
    m_publishTimer.start(int(std::max<qint64>(0, kPublishIntervalMs - since)));
}

void GridTableModel::publishPending()
{
    if (!m_publishQueued)
        return; // nothing came from another thread
    m_publishTimer.stop();
    m_publishQueued = false;
    Pending pending;
    {
        std::lock_guard lock(m_pendingMutex);
        std::swap(pending, m_pending);
    }
    m_sincePublish.restart();
    if (pending.destroyed) {
        forgetGrid();
        return;
    }
    if (!m_grid)
        return;
    if (pending.reset)
        resetNow();
    else if (pending.rowsTo > m_rows)
        insertUpTo(std::min(pending.rowsTo, m_grid->rows()));
    if (!pending.cells.isNull())
        cellsChangedNow(pending.cells);
    if (pending.layout)
        emit layoutSettingsChanged();
}

void GridTableModel::resetNow()
{
    beginResetModel();
    m_rows = m_grid ? m_grid->rows() : 0;
    m_cols = m_grid ? m_grid->cols() : 0;
    endResetModel();
    emit layoutSettingsChanged();
}

void GridTableModel::insertUpTo(int rows)
{
    if (rows <= m_rows)
        return;
    if (!m_grid || m_grid->cols() != m_cols) {
        resetNow(); // columns changed without their reset reaching us yet
        return;
    }
    beginInsertRows(QModelIndex(), m_rows, rows - 1);
    m_rows = rows;
    endInsertRows();
    emit contentChanged();
}

void GridTableModel::cellsChangedNow(QRect cells)
{
    cells &= QRect(0, 0, m_cols, m_rows);
    if (cells.isEmpty())
        return;
    emit dataChanged(index(cells.top(), cells.left()), index(cells.bottom(), cells.right()));
    emit contentChanged();
}

void GridTableModel::forgetGrid()
{
    beginResetModel();
    m_grid = nullptr;
    m_rows = 0;
    m_cols = 0;
    endResetModel();
    emit layoutSettingsChanged();
}

void GridTableModel::gridReset()
{
    if (onOtherThread()) {
        collect([](Pending& p) { p.reset = true; });
        return;
    }
    publishPending();
    resetNow();
}

void GridTableModel::gridRowsInserted(int first, int last)
{
    if (onOtherThread()) {
        collect([last](Pending& p) { p.rowsTo = std::max(p.rowsTo, last + 1); });
        return;
    }
    publishPending();
    if (!m_grid || first > m_rows || last >= m_grid->rows()) {
        resetNow();
        return;
    }
    insertUpTo(last + 1);
}

void GridTableModel::gridCellsChanged(int top, int left, int bottom, int right)
{
    const QRect cells(QPoint(std::max(left, 0), std::max(top, 0)), QPoint(right, bottom));
    if (onOtherThread()) {
        collect([cells](Pending& p) { p.cells = p.cells.isNull() ? cells : p.cells.united(cells); });
        return;
    }
    publishPending();
    cellsChangedNow(cells);
}

void GridTableModel::gridLayoutChanged()
{
    if (onOtherThread()) {
        collect([](Pending& p) { p.layout = true; });
        return;
    }
    publishPending();
    emit layoutSettingsChanged();
}

void GridTableModel::gridDestroyed()
{
    if (onOtherThread()) {
        // A grid shown on screen should go on the GUI thread; if it does not,
        // at least stop asking it anything once the GUI thread hears of it.
        m_gridGone = true;
        collect([](Pending& p) { p.destroyed = true; });
        return;
    }
    publishPending();
    forgetGrid();
}

} // namespace fee
