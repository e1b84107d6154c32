#include "common/widgets/gridview.h"

#include "common/widgets/gridcelldelegate.h"
#include "common/widgets/gridtablemodel.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>

namespace fee {

GridView::GridView(QWidget* parent)
    : QTableView(parent)
    , m_ownGrid(std::make_unique<GridModel>())
    , m_grid(m_ownGrid.get())
{
    setObjectName(QStringLiteral("gridView"));
    setEditTriggers(NoEditTriggers);
    setSelectionMode(NoSelection); // the reports colour their own marked rows
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    setItemDelegate(new GridCellDelegate(this));
    m_top = makeOverlay(QStringLiteral("fixedRowsView"));
    m_left = makeOverlay(QStringLiteral("fixedColsView"));
    m_corner = makeOverlay(QStringLiteral("cornerView"));

    connect(this, &QTableView::clicked, this, [this](const QModelIndex& i) { reportClick(i, false); });
    connect(this, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { reportClick(i, true); });
    // The frozen parts follow the body's scroll bars, and the body follows a
    // wheel turned over the fixed columns.
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, m_top->horizontalScrollBar(), &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, m_left->verticalScrollBar(), &QScrollBar::setValue);
    connect(m_top->horizontalScrollBar(), &QScrollBar::rangeChanged, this,
        [this] { m_top->horizontalScrollBar()->setValue(horizontalScrollBar()->value()); });
    connect(m_left->verticalScrollBar(), &QScrollBar::rangeChanged, this,
        [this] { m_left->verticalScrollBar()->setValue(verticalScrollBar()->value()); });

    attachModel();
}

GridView::~GridView()
{
    // Detach before the grid goes: the model listens to it.
    for (QTableView* v : views())
        v->setModel(nullptr);
    if (m_model)
        m_model->disconnect(this);
    delete m_model;
    m_model = nullptr;
}

QTableView* GridView::makeOverlay(const QString& name)
{
    auto* view = new QTableView(this);
    view->setObjectName(name);
    view->setEditTriggers(NoEditTriggers);
    view->setSelectionMode(NoSelection); // the reports colour their own marked rows
    view->setFocusPolicy(Qt::NoFocus);
    view->setFrameShape(QFrame::NoFrame);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setHorizontalScrollMode(ScrollPerPixel);
    view->setVerticalScrollMode(ScrollPerPixel);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->horizontalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->setItemDelegate(new GridCellDelegate(view));
    view->viewport()->installEventFilter(this);
    connect(view, &QTableView::clicked, this, [this](const QModelIndex& i) { reportClick(i, false); });
    connect(view, &QTableView::doubleClicked, this, [this](const QModelIndex& i) { reportClick(i, true); });
    view->hide();
    return view;
}

QList<QTableView*> GridView::views() const { return { const_cast<GridView*>(this), m_top, m_left, m_corner }; }

void GridView::setGrid(GridModel* grid)
{
    GridModel* target = grid ? grid : m_ownGrid.get();
    if (target == m_grid)
        return;
    m_grid = target;
    attachModel();
}

void GridView::attachModel()
{
    GridTableModel* old = m_model;
    QItemSelectionModel* oldSelection = selectionModel();
    m_model = new GridTableModel(m_grid, this);
    setModel(m_model);
    for (QTableView* v : { m_top, m_left, m_corner }) {
        v->setModel(m_model);
        QItemSelectionModel* own = v->selectionModel();
        v->setSelectionModel(selectionModel());
        delete own;
    }
    delete oldSelection;
    delete old; // never the sender of a notice in progress: a lost grid reattaches through the event queue
    connect(m_model, &GridTableModel::layoutSettingsChanged, this, [this] {
        if (!m_model)
            return;
        if (!m_model->grid() && m_grid != m_ownGrid.get()) {
            // The shown grid is gone: fall back to the view's own one, once
            // the dying grid's notice is over.
            m_grid = m_ownGrid.get();
            QMetaObject::invokeMethod(
                this, [this] { attachModel(); }, Qt::QueuedConnection);
        }
        m_layoutPending = true;
        m_spansPending = true;
        for (QTableView* v : views())
            v->clearSpans();
        scheduleLayout();
    });
    connect(m_model, &GridTableModel::contentChanged, this, [this] {
        if (m_grid->mergeCells() != MergeNever)
            scheduleSpans();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_layoutPending = true;
        m_spansPending = true;
        scheduleLayout();
    });
    m_layoutPending = true;
    m_spansPending = true;
    flushPending();
}

void GridView::scheduleLayout()
{
    if (m_flushQueued)
        return;
    m_flushQueued = true;
    QMetaObject::invokeMethod(this, &GridView::flushPending, Qt::QueuedConnection);
}

void GridView::scheduleSpans()
{
    m_spansPending = true;
    scheduleLayout();
}

void GridView::refreshLayout()
{
    m_layoutPending = true;
    m_spansPending = true;
    flushPending();
}

void GridView::flushPending()
{
    m_flushQueued = false;
    if (m_layoutPending) {
        m_layoutPending = false;
        applyLayout();
    }
    if (m_spansPending) {
        m_spansPending = false;
        applySpans();
    }
    positionOverlays();
}

void GridView::applyLayout()
{
    if (!m_model || !m_model->grid())
        return;
    const GridModel& g = *m_grid;
    const int rows = std::min(g.rows(), m_model->rowCount());
    const int cols = std::min(g.cols(), m_model->columnCount());

    QFont font(g.fontName());
    font.setPointSizeF(g.fontSize() > 0 ? g.fontSize() : 9);
    const QString style = QStringLiteral("QTableView { gridline-color: %1; }").arg(g.gridLineColor().name());
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    const int defaultHeight = std::max(1, GridTableModel::twipsToPixels(GridModel::kDefaultRowHeight, dpiY));

    QVector<int> custom;
    for (int r = 0; r < rows; ++r) {
        if (g.rowHeight(r) != GridModel::kDefaultRowHeight)
            custom.append(r);
    }

    for (QTableView* v : views()) {
        if (v->font() != font)
            v->setFont(font);
        if (style != m_appliedStyle)
            v->setStyleSheet(style);
        v->setWordWrap(g.wordWrap());
        v->verticalHeader()->setDefaultSectionSize(defaultHeight);
        for (int c = 0; c < cols; ++c) {
            const int px = GridTableModel::twipsToPixels(g.colWidth(c), dpiX);
            v->setColumnHidden(c, px <= 0);
            if (px > 0)
                v->setColumnWidth(c, px);
        }
        for (int r : std::as_const(m_customRows)) {
            if (r < rows && !custom.contains(r)) {
                v->setRowHidden(r, false);
                v->setRowHeight(r, defaultHeight);
            }
        }
        for (int r : std::as_const(custom)) {
            const int px = GridTableModel::twipsToPixels(g.rowHeight(r), dpiY);
            v->setRowHidden(r, px <= 0);
            if (px > 0)
                v->setRowHeight(r, px);
        }
    }
    m_appliedStyle = style;
    m_customRows = custom;
}

void GridView::applySpans()
{
    for (QTableView* v : views())
        v->clearSpans();
    if (!m_model || !m_model->grid())
        return;
    const GridModel& g = *m_grid;
    if (g.mergeCells() == MergeNever || g.rows() != m_model->rowCount() || g.cols() != m_model->columnCount())
        return;
    const QVector<QRect> blocks = g.mergedBlocks();
    for (const QRect& b : blocks) {
        setSpan(b.top(), b.left(), b.height(), b.width());
        // Blocks never cross from fixed cells into the body, so each lies in
        // exactly one frozen part (or none).
        const bool fixedRow = b.top() < g.fixedRows();
        const bool fixedCol = b.left() < g.fixedCols();
        if (fixedRow && fixedCol)
            m_corner->setSpan(b.top(), b.left(), b.height(), b.width());
        if (fixedRow)
            m_top->setSpan(b.top(), b.left(), b.height(), b.width());
        if (fixedCol)
            m_left->setSpan(b.top(), b.left(), b.height(), b.width());
    }
}

void GridView::positionOverlays()
{
    if (!m_model || !m_top)
        return;
    const int rows = m_model->rowCount();
    const int cols = m_model->columnCount();
    const int fixedRows = m_grid ? std::min(m_grid->fixedRows(), rows) : 0;
    const int fixedCols = m_grid ? std::min(m_grid->fixedCols(), cols) : 0;
    int width = 0;
    for (int c = 0; c < fixedCols; ++c)
        width += columnWidth(c);
    int height = 0;
    for (int r = 0; r < fixedRows; ++r)
        height += rowHeight(r);
    const QRect vp = viewport()->geometry();
    width = std::min(width, vp.width());
    height = std::min(height, vp.height());

    auto place = [](QTableView* v, const QRect& rect) {
        if (rect.width() <= 0 || rect.height() <= 0) {
            v->hide();
            return;
        }
        v->setGeometry(rect);
        v->show();
        v->raise();
    };
    place(m_top, QRect(vp.x(), vp.y(), vp.width(), height));
    place(m_left, QRect(vp.x(), vp.y(), width, vp.height()));
    place(m_corner, QRect(vp.x(), vp.y(), width, height));
    m_top->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    m_top->verticalScrollBar()->setValue(0);
    m_left->verticalScrollBar()->setValue(verticalScrollBar()->value());
    m_left->horizontalScrollBar()->setValue(0);
    m_corner->horizontalScrollBar()->setValue(0);
    m_corner->verticalScrollBar()->setValue(0);
}

void GridView::updateGeometries()
{
    QTableView::updateGeometries();
    positionOverlays();
}

bool GridView::eventFilter(QObject* watched, QEvent* event)
{
    // A wheel over a frozen part scrolls the body, never the frozen part itself.
    if (event->type() == QEvent::Wheel && watched != viewport()) {
        QCoreApplication::sendEvent(viewport(), event);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void GridView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QTableView::scrollTo(index, hint);
    if (!index.isValid() || !m_grid)
        return;
    // Keep a body cell clear of the frozen parts lying over the body.
    const QRect rect = visualRect(index);
    if (index.row() >= m_grid->fixedRows() && m_top->isVisible() && rect.top() < m_top->height())
        verticalScrollBar()->setValue(verticalScrollBar()->value() - (m_top->height() - rect.top()));
    if (index.column() >= m_grid->fixedCols() && m_left->isVisible() && rect.left() < m_left->width())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (m_left->width() - rect.left()));
}

QTableView* GridView::viewFor(int row, int col) const
{
    const bool fixedRow = row < m_grid->fixedRows();
    const bool fixedCol = col < m_grid->fixedCols();
    if (fixedRow && fixedCol)
        return m_corner;
    if (fixedRow)
        return m_top;
    if (fixedCol)
        return m_left;
    return const_cast<GridView*>(this);
}

QRect GridView::cellRect(int row, int col) const
{
    const_cast<GridView*>(this)->flushPending();
    if (!m_model || row < 0 || col < 0 || row >= m_model->rowCount() || col >= m_model->columnCount())
        return QRect();
    QTableView* view = viewFor(row, col);
    const QRect rect = view->visualRect(m_model->index(row, col));
    if (!rect.isValid())
        return QRect();
    return QRect(view->viewport()->mapTo(const_cast<GridView*>(this), rect.topLeft()), rect.size());
}

void GridView::reportClick(const QModelIndex& index, bool doubleClick)
{
    if (!index.isValid() || !m_grid)
        return;
    m_grid->setCurrentRow(index.row());
    m_grid->setCurrentCol(index.column());
    if (doubleClick)
        emit cellDoubleClicked(index.row(), index.column());
    else
        emit cellClicked(index.row(), index.column());
}

} // namespace fee
