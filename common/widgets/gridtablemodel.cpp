#include "common/widgets/gridtablemodel.h"

#include <QBrush>
#include <QGuiApplication>
#include <QPalette>
#include <QSize>

namespace fee {

GridTableModel::GridTableModel(GridModel* grid, QObject* parent)
    : QAbstractTableModel(parent)
    , m_grid(grid)
{
    if (m_grid) {
        m_rows = m_grid->rows();
        m_cols = m_grid->cols();
        m_grid->addObserver(this);
    }
}

GridTableModel::~GridTableModel()
{
    if (m_grid)
        m_grid->removeObserver(this);
}

int GridTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int GridTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_cols; }

Qt::Alignment GridTableModel::alignmentOf(int code, const QString& text)
{
    Qt::Alignment horizontal;
    Qt::Alignment vertical;
    switch (code) {
    case 0:
        horizontal = Qt::AlignLeft;
        vertical = Qt::AlignTop;
        break;
    case 1:
        horizontal = Qt::AlignLeft;
        vertical = Qt::AlignVCenter;
        break;
    case 2:
        horizontal = Qt::AlignLeft;
        vertical = Qt::AlignBottom;
        break;
    case 3:
        horizontal = Qt::AlignHCenter;
        vertical = Qt::AlignTop;
        break;
    case 4:
        horizontal = Qt::AlignHCenter;
        vertical = Qt::AlignVCenter;
        break;
    case 5:
        horizontal = Qt::AlignHCenter;
        vertical = Qt::AlignBottom;
        break;
    case 6:
        horizontal = Qt::AlignRight;
        vertical = Qt::AlignTop;
        break;
    case 7:
        horizontal = Qt::AlignRight;
        vertical = Qt::AlignVCenter;
        break;
    case 8:
        horizontal = Qt::AlignRight;
        vertical = Qt::AlignBottom;
        break;
    default: {
        // General: numbers to the right, any other text to the left.
        bool number = false;
        text.trimmed().toDouble(&number);
        horizontal = number ? Qt::AlignRight : Qt::AlignLeft;
        vertical = Qt::AlignVCenter;
    }
    }
    return horizontal | vertical;
}

int GridTableModel::twipsToPixels(int twips, int dpi) { return int((qint64(twips) * dpi + 720) / 1440); }

QVariant GridTableModel::data(const QModelIndex& index, int role) const
{
    if (!m_grid || !index.isValid())
        return QVariant();
    const int row = index.row();
    const int col = index.column();
    if (row >= m_grid->rows() || col >= m_grid->cols())
        return QVariant();
    const bool fixed = row < m_grid->fixedRows() || col < m_grid->fixedCols();
    switch (role) {
    case Qt::DisplayRole: {
        QString text = m_grid->text(row, col);
        if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'))) {
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            if (!m_grid->wordWrap())
                text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        }
        return text;
    }
    case Qt::TextAlignmentRole: {
        const int code = fixed ? m_grid->fixedAlignment(col) : m_grid->colAlignment(col);
        return QVariant::fromValue(alignmentOf(code, m_grid->text(row, col)));
    }
    case Qt::BackgroundRole: {
        const QColor color = m_grid->cellBackColor(row, col);
        if (color.isValid())
            return QBrush(color);
        if (fixed)
            return QBrush(QGuiApplication::palette().color(QPalette::Button));
        return QVariant();
    }
    case Qt::ForegroundRole: {
        const QColor color = m_grid->cellForeColor(row, col);
        return color.isValid() ? QVariant(QBrush(color)) : QVariant();
    }
    case Qt::SizeHintRole:
        return QSize(twipsToPixels(m_grid->colWidth(col), 96), twipsToPixels(m_grid->rowHeight(row), 96));
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

void GridTableModel::gridReset()
{
    beginResetModel();
    m_rows = m_grid ? m_grid->rows() : 0;
    m_cols = m_grid ? m_grid->cols() : 0;
    endResetModel();
    emit layoutSettingsChanged();
}

void GridTableModel::gridRowsInserted(int first, int last)
{
    if (!m_grid || first != m_rows || m_cols != m_grid->cols() || last + 1 != m_grid->rows()) {
        gridReset();
        return;
    }
    beginInsertRows(QModelIndex(), first, last);
    m_rows = last + 1;
    endInsertRows();
    emit contentChanged();
}

void GridTableModel::gridCellsChanged(int top, int left, int bottom, int right)
{
    top = std::max(top, 0);
    left = std::max(left, 0);
    bottom = std::min(bottom, m_rows - 1);
    right = std::min(right, m_cols - 1);
    if (top > bottom || left > right)
        return;
    emit dataChanged(index(top, left), index(bottom, right));
    emit contentChanged();
}

void GridTableModel::gridLayoutChanged() { emit layoutSettingsChanged(); }

void GridTableModel::gridDestroyed()
{
    beginResetModel();
    m_grid = nullptr;
    m_rows = 0;
    m_cols = 0;
    endResetModel();
    emit layoutSettingsChanged();
}

} // namespace fee
