#include "gridsight.h"

#include "core/grid/celltextplacement.h"
#include "core/grid/twips.h"
#include "widgets/gridtablemodel.h"
#include "widgets/gridview.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTableView>
#include <QToolTip>

namespace gridsight {

namespace {

    struct Frozen {
        int rows = 0; // frozen heading rows shown
        int cols = 0; // frozen columns shown
        int height = 0; // pixels of the heading strip
        int width = 0; // pixels of the frozen columns
    };

    Frozen frozenOf(const fee::GridView* view)
    {
        Frozen f;
        const QAbstractItemModel* model = view->model();
        f.rows = std::min(view->grid().fixedRows(), model->rowCount());
        f.cols = std::min(view->grid().fixedCols(), model->columnCount());
        if (view->fixedRowsView()->isVisible())
            f.height = view->fixedRowsView()->height();
        if (view->fixedColsView()->isVisible())
            f.width = view->fixedColsView()->width();
        return f;
    }

    QString where(int row, int col) { return QStringLiteral("(%1,%2)").arg(row).arg(col); }

    // The visible range of rows or columns of a view: first and last index.
    QPair<int, int> inSight(int first, int last, int count)
    {
        if (count == 0)
            return { 0, -1 };
        return { first < 0 ? 0 : first, last < 0 ? count - 1 : last };
    }

    // Does the cell show the whole text as its tooltip when hovered?
    bool tooltipShowsWhole(QTableView* part, const QModelIndex& index, const QRect& rect, const QString& whole)
    {
        const QPoint local = rect.center();
        QHelpEvent help(QEvent::ToolTip, local, part->viewport()->mapToGlobal(local));
        QCoreApplication::sendEvent(part->viewport(), &help);
        const bool shown = QToolTip::isVisible() && QToolTip::text() == whole;
        QToolTip::hideText();
        Q_UNUSED(index);
        return shown;
    }

    // The cells of one part that are drawn by it (the body leaves the
    // frozen cells to the parts lying over it).
    QString partProblem(
        const fee::GridView* view, QTableView* part, bool headingRows, bool frozenCols, bool elisionAllowed)
    {
        if (!part->isVisible())
            return QString();
        const Frozen f = frozenOf(view);
        const QAbstractItemModel* model = part->model();
        const QRect area = part->viewport()->rect();
        const auto [top, bottom] = inSight(part->rowAt(area.top()), part->rowAt(area.bottom()), model->rowCount());
        const auto [left, right]
            = inSight(part->columnAt(area.left()), part->columnAt(area.right()), model->columnCount());
        const QFontMetrics metrics(part->font());
        const int margin = fee::twipsToPixels(fee::kCellTextMarginTwips, part->logicalDpiX());
        for (int r = top; r <= bottom; ++r) {
            if ((r < f.rows) != headingRows || part->isRowHidden(r))
                continue;
            for (int c = left; c <= right; ++c) {
                if ((c < f.cols) != frozenCols || part->isColumnHidden(c))
                    continue;
                const QModelIndex index = model->index(r, c);
                const QRect rect = part->visualRect(index);
                // Inside a merged block only its first cell is drawn.
                const QPoint own(part->columnViewportPosition(c), part->rowViewportPosition(r));
                if (rect.topLeft() != own || rect.width() <= 0)
                    continue;
                const QString text = index.data().toString();
                if (text.isEmpty())
                    continue;
                int width = 0;
                if (part->wordWrap()) {
                    const QRect wrapped = metrics.boundingRect(
                        QRect(0, 0, std::max(1, rect.width() - 2 * margin), 1 << 20), Qt::TextWordWrap, text);
                    width = wrapped.width();
                } else {
                    width = metrics.horizontalAdvance(text);
                }
                if (width <= rect.width())
                    continue;
                const bool body = !headingRows;
                if (body && !elisionAllowed)
                    return QStringLiteral("%1 cell %2 \"%3\" is %4 px wide in a %5 px cell")
                        .arg(part->objectName(), where(r, c), text)
                        .arg(width)
                        .arg(rect.width());
                if (!tooltipShowsWhole(part, index, rect, text))
                    return QStringLiteral("%1 cell %2 \"%3\" (%4 px in %5 px) is cut without its whole text as tooltip")
                        .arg(part->objectName(), where(r, c), text)
                        .arg(width)
                        .arg(rect.width());
            }
        }
        return QString();
    }

} // namespace

QPoint pointIn(const fee::GridView* view, Part part)
{
    const Frozen f = frozenOf(view);
    const QRect vp = view->viewport()->rect();
    const int bodyWidth = vp.width() - f.width;
    const int bodyHeight = vp.height() - f.height;
    QPoint local;
    switch (part) {
    case Part::Heading:
        if (f.height <= 0 || bodyWidth <= 0)
            return QPoint();
        local = QPoint(f.width + bodyWidth / 2, f.height / 2);
        break;
    case Part::Column:
        if (f.width <= 0 || bodyHeight <= 0)
            return QPoint();
        local = QPoint(f.width / 2, f.height + bodyHeight / 2);
        break;
    case Part::Corner:
        if (f.width <= 0 || f.height <= 0)
            return QPoint();
        local = QPoint(f.width / 2, f.height / 2);
        break;
    case Part::Body:
        if (bodyWidth <= 0 || bodyHeight <= 0)
            return QPoint();
        local = QPoint(f.width + bodyWidth / 2, f.height + bodyHeight / 2);
        break;
    }
    return view->viewport()->mapToGlobal(local);
}

QString frozenPartsProblem(const fee::GridView* view)
{
    const Frozen f = frozenOf(view);
    const QRect vp = view->viewport()->rect();
    QTableView* top = view->fixedRowsView();
    QTableView* left = view->fixedColsView();
    QTableView* corner = view->cornerView();

    if (f.rows > 0 && view->model()->columnCount() > 0) {
        if (!top->isVisible())
            return QStringLiteral("the heading rows are not shown");
        for (int step = 0; step <= 8; ++step) {
            const int x = 2 + (vp.width() - 4) * step / 8;
            for (const int y : { 1, f.height / 2, f.height - 2 }) {
                const QPoint global = view->viewport()->mapToGlobal(QPoint(x, y));
                QWidget* shown = QApplication::widgetAt(global);
                QTableView* part = x < f.width ? corner : top;
                if (shown != part->viewport())
                    return QStringLiteral("at (%1,%2) of the heading strip the screen shows %3, not the headings")
                        .arg(x)
                        .arg(y)
                        .arg(shown ? shown->objectName() + QLatin1Char('/') + shown->metaObject()->className()
                                   : QStringLiteral("nothing"));
                const QModelIndex index = part->indexAt(part->viewport()->mapFromGlobal(global));
                if (!index.isValid())
                    continue; // past the last column
                if (index.row() >= f.rows)
                    return QStringLiteral("row %1 shows where the headings belong (at %2,%3)")
                        .arg(index.row())
                        .arg(x)
                        .arg(y);
                if (part == top) {
                    const int below = view->columnAt(x);
                    const int span = top->columnSpan(index.row(), index.column());
                    if (below >= 0 && (below < index.column() || below >= index.column() + span))
                        return QStringLiteral("the heading of column %1 stands over column %2")
                            .arg(index.column())
                            .arg(below);
                }
            }
        }
    }

    const int rows = view->model()->rowCount();
    if (f.cols > 0 && rows > f.rows) {
        if (!left->isVisible())
            return QStringLiteral("the frozen columns are not shown");
        for (const int x : { 1, f.width / 2, f.width - 2 }) {
            for (int step = 0; step <= 8; ++step) {
                const int y = f.height + 1 + (vp.height() - f.height - 3) * step / 8;
                const QPoint global = view->viewport()->mapToGlobal(QPoint(x, y));
                QWidget* shown = QApplication::widgetAt(global);
                if (shown != left->viewport())
                    return QStringLiteral("at (%1,%2) of the frozen columns the screen shows %3")
                        .arg(x)
                        .arg(y)
                        .arg(shown ? shown->objectName() + QLatin1Char('/') + shown->metaObject()->className()
                                   : QStringLiteral("nothing"));
                const QModelIndex index = left->indexAt(left->viewport()->mapFromGlobal(global));
                if (!index.isValid())
                    continue; // past the last row
                if (index.column() >= f.cols)
                    return QStringLiteral("column %1 shows where the frozen columns belong").arg(index.column());
                if (index.row() < f.rows)
                    return QStringLiteral("heading row %1 shows beside the body at y %2").arg(index.row()).arg(y);
                const int beside = view->rowAt(y);
                const int span = left->rowSpan(index.row(), index.column());
                if (beside >= 0 && (beside < index.row() || beside >= index.row() + span))
                    return QStringLiteral("the frozen cell of row %1 stands beside body row %2")
                        .arg(index.row())
                        .arg(beside);
            }
        }
    }
    return QString();
}

QString cutTextProblem(const fee::GridView* view, bool elisionAllowed)
{
    auto* self = const_cast<fee::GridView*>(view);
    struct PartCase {
        QTableView* part;
        bool headingRows;
        bool frozenCols;
    };
    for (const PartCase& p : { PartCase { self, false, false }, PartCase { view->fixedRowsView(), true, false },
             PartCase { view->fixedColsView(), false, true }, PartCase { view->cornerView(), true, true } }) {
        const QString problem = partProblem(view, p.part, p.headingRows, p.frozenCols, elisionAllowed);
        if (!problem.isEmpty())
            return view->objectName() + QStringLiteral(": ") + problem;
    }
    return QString();
}

int firstBodyRowInSight(const fee::GridView* view) { return view->rowAt(frozenOf(view).height + 1); }

} // namespace gridsight
