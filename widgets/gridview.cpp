#include "widgets/gridview.h"

#include "core/grid/twips.h"
#include "widgets/gridcelldelegate.h"
#include "widgets/gridtablemodel.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QWheelEvent>

namespace fee {

namespace {
    // Merged blocks are laid out this many rows (at least) above and below
    // the visible ones, so scrolling rarely needs a new lay-out.
    constexpr int kMinBandRows = 40;

    // A frozen part (heading rows, fixed columns, their corner) lying over
    // the body. It shares the body's current cell, and a table view scrolls
    // to its current cell: the keyboard moving through the body would carry
    // data rows into the headings and other columns into the fixed ones.
    // Its scroll bars follow the body's alone.
    class FrozenPart : public QTableView {
    public:
        using QTableView::QTableView;
        void scrollTo(const QModelIndex&, ScrollHint) override { }
    };
}

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
    auto* view = new FrozenPart(this);
    view->setObjectName(name);
    view->setAutoScroll(false);
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
        scheduleLayout();
    });
    connect(m_model, &GridTableModel::contentChanged, this, [this] {
        if (m_grid->mergeCells() != MergeNever)
            scheduleSpans();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        forgetSpans(); // the rows they were laid out for are gone
        m_layoutPending = true;
        m_spansPending = true;
        scheduleLayout();
    });
    forgetSpans();
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
    if (m_model)
        m_model->publishPending();
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
    const QVector<int> widths = g.colWidths();
    const int cols = std::min(int(widths.size()), m_model->columnCount());

    QFont font(g.fontName());
    font.setPointSizeF(g.fontSize() > 0 ? g.fontSize() : 9);
    const QString style = QStringLiteral("QTableView { gridline-color: %1; }").arg(g.gridLineColor().name());
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    const int defaultHeight = std::max(1, twipsToPixels(GridModel::kDefaultRowHeight, dpiY));

    // Only the few rows of their own height are visited, however long the grid.
    QMap<int, int> custom = g.customRowHeights();
    custom.erase(custom.lowerBound(rows), custom.end());

    for (QTableView* v : views()) {
        if (v->font() != font)
            v->setFont(font);
        if (style != m_appliedStyle)
            v->setStyleSheet(style);
        v->setWordWrap(g.wordWrap());
        v->verticalHeader()->setDefaultSectionSize(defaultHeight);
        for (int c = 0; c < cols; ++c) {
            const int px = twipsToPixels(widths[c], dpiX);
            v->setColumnHidden(c, px <= 0);
            if (px > 0 && v->columnWidth(c) != px)
                v->setColumnWidth(c, px);
        }
        for (int r : std::as_const(m_customRows)) {
            if (r < rows && !custom.contains(r)) {
                v->setRowHidden(r, false);
                v->setRowHeight(r, defaultHeight);
            }
        }
        for (auto it = custom.cbegin(); it != custom.cend(); ++it) {
            const int px = twipsToPixels(it.value(), dpiY);
            v->setRowHidden(it.key(), px <= 0);
            if (px > 0)
                v->setRowHeight(it.key(), px);
        }
    }
    m_appliedStyle = style;
    m_customRows = custom.keys().toVector();
}

QPair<int, int> GridView::visibleRows() const
{
    const int rows = m_model ? m_model->rowCount() : 0;
    if (rows == 0)
        return { 0, -1 };
    int top = rowAt(0);
    if (top < 0)
        top = 0;
    int bottom = rowAt(viewport()->height() - 1);
    if (bottom < 0)
        bottom = rows - 1;
    return { top, std::max(top, bottom) };
}

void GridView::applySpans()
{
    QVector<QRect> blocks;
    m_bandTop = 0;
    m_bandBottom = -1;
    const int rows = m_model ? m_model->rowCount() : 0;
    if (m_model && m_model->grid() && rows > 0 && m_grid->mergeCells() != MergeNever
        && m_grid->cols() == m_model->columnCount()) {
        const GridModel& g = *m_grid;
        const int fixedRows = std::min(g.fixedRows(), rows);
        const auto [top, bottom] = visibleRows();
        const int page = std::max(bottom - top + 1, kMinBandRows);
        m_bandTop = std::max(0, top - page);
        m_bandBottom = std::min(rows - 1, bottom + page);
        // Blocks never cross from the fixed rows into the body: the headings
        // and the band are laid out apart, each exactly.
        if (m_bandTop <= fixedRows) {
            blocks = g.mergedBlocks(0, m_bandBottom);
        } else {
            blocks = g.mergedBlocks(0, fixedRows - 1);
            blocks += g.mergedBlocks(m_bandTop, m_bandBottom);
        }
    }
    if (blocks == m_appliedBlocks)
        return; // nothing to redraw
    for (QTableView* v : views())
        v->clearSpans();
    m_appliedBlocks = blocks;
    if (blocks.isEmpty())
        return;
    const int fixedRows = m_grid->fixedRows();
    const int fixedCols = m_grid->fixedCols();
    for (const QRect& b : std::as_const(blocks)) {
        setSpan(b.top(), b.left(), b.height(), b.width());
        // Blocks never cross from fixed cells into the body, so each lies in
        // exactly one frozen part (or none).
        const bool fixedRow = b.top() < fixedRows;
        const bool fixedCol = b.left() < fixedCols;
        if (fixedRow && fixedCol)
            m_corner->setSpan(b.top(), b.left(), b.height(), b.width());
        if (fixedRow)
            m_top->setSpan(b.top(), b.left(), b.height(), b.width());
        if (fixedCol)
            m_left->setSpan(b.top(), b.left(), b.height(), b.width());
    }
}

void GridView::forgetSpans()
{
    for (QTableView* v : views())
        v->clearSpans();
    m_appliedBlocks.clear();
    m_bandTop = 0;
    m_bandBottom = -1;
}

void GridView::followVisibleRows()
{
    // A full lay-out already waiting covers whatever is in sight when it runs.
    if (!m_model || !m_model->grid() || m_spansPending || m_bandBottom < m_bandTop)
        return;
    const auto [top, bottom] = visibleRows();
    if (bottom < top || (top >= m_bandTop && bottom <= m_bandBottom))
        return;
    applySpans();
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
    followVisibleRows();
}

void GridView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (dy != 0)
        followVisibleRows();
}

bool GridView::eventFilter(QObject* watched, QEvent* event)
{
    // A wheel over a frozen part scrolls the body, never the frozen part
    // itself. Only the frozen parts' viewports are meant: the scroll area
    // watches its own scroll bars through this same filter, and the body
    // hands its wheel on to them; taking their wheel back to the body would
    // go round without end.
    if (event->type() == QEvent::Wheel
        && (watched == m_top->viewport() || watched == m_left->viewport() || watched == m_corner->viewport())) {
        // The body gets a copy made here: the window system's own event,
        // ignored at the end of the scroll range, would travel on to the
        // frozen part's parents as well.
        const auto* wheel = static_cast<const QWheelEvent*>(event);
        QWheelEvent copy(viewport()->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(),
            wheel->pixelDelta(), wheel->angleDelta(), wheel->buttons(), wheel->modifiers(), wheel->phase(),
            wheel->inverted(), Qt::MouseEventSynthesizedByApplication, wheel->pointingDevice());
        QCoreApplication::sendEvent(viewport(), &copy);
        event->accept();
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
