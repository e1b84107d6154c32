#include "stage.h"

#include "app/mainwindow.h"
#include "widgets/gridprintpreviewdialog.h"
#include "widgets/gridview.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>


#include <X11/keysym.h>

QStringList BoxLog::texts() const
{
    QStringList list;
    for (const fee::BoxRequest& box : boxes)
        list << box.text;
    return list;
}

Stage& stage()
{
    static Stage s;
    return s;
}

QString Stage::shotPath(const QString& name) { return QStringLiteral(FEE_BINARY_DIR "/screenshots/") + name; }

bool Stage::shoot(QWidget* widget, const QString& name)
{
    QDir().mkpath(QStringLiteral(FEE_BINARY_DIR "/screenshots"));
    QCoreApplication::processEvents();
    return widget->grab().save(shotPath(name), "PNG");
}

QMdiSubWindow* Stage::openFromMenu(const QString& menuTitle, const QString& item)
{
    QMenuBar* bar = main->menuBar();
    QAction* title = nullptr;
    for (QAction* action : bar->actions()) {
        if (action->text() == menuTitle)
            title = action;
    }
    QAction* entry = main->menuAction(item);
    if (!title || !entry)
        return nullptr;
    if (!input.click(bar->mapToGlobal(bar->actionGeometry(title).center())))
        return nullptr;
    QMenu* menu = title->menu();
    if (!QTest::qWaitFor([menu] { return menu->isVisible(); }, 5000))
        return nullptr;
    if (!input.click(menu->mapToGlobal(menu->actionGeometry(entry).center())))
        return nullptr;
    QMdiSubWindow* opened = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            opened = main->mdiArea()->activeSubWindow();
            return opened && opened->isVisible() && !menu->isVisible();
        },
        5000);
    return opened;
}

bool Stage::previewAndClose(QWidget* button, const QString& shot)
{
    bool seen = false;
    bool closed = false;
    bool shotTaken = shot.isEmpty();
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* preview = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QLatin1String("GridPrintPreview") && top->isVisible())
                preview = top;
        }
        if (!preview || seen)
            return;
        // The modal preview runs its own event loop: this is called from it.
        seen = true;
        poll.stop();
        preview->resize(1100, 820);
        if (!QTest::qWaitForWindowExposed(preview))
            return;
        // The pages are laid out once the preview is on screen (a moment after
        // it is exposed): the picture waits for them.
        auto* dialog = qobject_cast<fee::GridPrintPreviewDialog*>(preview);
        if (dialog)
            (void)QTest::qWaitFor([dialog] { return dialog->pageCount() > 0 && !dialog->isLayingOut(); }, 20000);
        QTest::qWait(300);
        if (!shot.isEmpty())
            shotTaken = shoot(preview, shot);
        preview->activateWindow();
        (void)QTest::qWaitForWindowActive(preview, 3000);
        input.moveTo(preview->mapToGlobal(preview->rect().center()));
        closed = input.key(XK_Escape);
    });
    poll.start();
    const bool pressed = input.click(button);
    poll.stop();
    return pressed && seen && closed && shotTaken;
}

bool Stage::choose(QComboBox* list, int index)
{
    if (!input.click(list))
        return false;
    QAbstractItemView* popup = list->view();
    if (!QTest::qWaitFor([popup] { return popup->isVisible(); }, 5000))
        return false;
    const QRect entry = popup->visualRect(list->model()->index(index, 0));
    if (!input.click(popup->viewport(), entry.center()))
        return false;
    return QTest::qWaitFor([list, index] { return list->currentIndex() == index; }, 5000);
}

QString Stage::cancelRun(QPushButton* start, QPushButton* cancel, QSignalSpy& ended,
    const std::function<bool()>& running, const std::function<bool()>& cancelled,
    const std::function<QString()>& whileRunning)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        ended.clear();
        if (!input.click(start))
            return QStringLiteral("the click on %1 never arrived").arg(start->text());
        if (running()) {
            if (whileRunning) {
                const QString problem = whileRunning();
                if (!problem.isEmpty())
                    return problem;
            }
            if (!cancel->isVisible() || !input.click(cancel))
                return QStringLiteral("no cancel button to click during the run");
        }
        if (!QTest::qWaitFor([&ended] { return !ended.isEmpty(); }, 120000))
            return QStringLiteral("the run never ended");
        if (cancelled())
            return QString();
    }
    return QStringLiteral("no run could be cancelled before it ended");
}

bool Stage::tick(QCheckBox* box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    return input.click(box, indicator.center()) && box->isChecked();
}

bool Stage::typeDate(QWidget* dateBox, const QString& text)
{
    auto* box = qobject_cast<QAbstractSpinBox*>(dateBox);
    if (!box)
        return false;
    // The text part, clear of the calendar button on the right.
    const QLineEdit* edit = box->findChild<QLineEdit*>();
    if (!input.click(edit, QPoint(edit->width() / 4, edit->height() / 2)) || !keysReach(box))
        return false;
    return input.key(XK_a, true) && input.type(text) && input.key(XK_Return);
}

bool Stage::keysReach(QWidget* widget)
{
    // The click asked the window system for the keyboard; typing starts
    // once it has been given.
    return QTest::qWaitFor([widget] { return widget->window()->isActiveWindow() && widget->hasFocus(); }, 5000);
}

namespace sight {

namespace {
    QString named(const fee::GridView* view, const QString& problem, const QString& after)
    {
        if (problem.isEmpty())
            return problem;
        return QStringLiteral("%1 after %2: %3").arg(view->objectName(), after, problem);
    }
}

QString wheelOverEveryPart(fee::GridView* view)
{
    using gridsight::Part;
    const struct {
        Part part;
        const char* name;
    } parts[] = { { Part::Heading, "heading" }, { Part::Column, "frozen column" }, { Part::Corner, "corner" },
        { Part::Body, "body" } };
    for (const auto& p : parts) {
        const QPoint at = gridsight::pointIn(view, p.part);
        if (at.isNull())
            continue;
        for (const int notches : { -3, 1, -1, 3 }) {
            if (!stage().input.wheel(at, notches))
                return QStringLiteral("%1: the wheel over the %2 never arrived").arg(view->objectName(), p.name);
            const QString problem = gridsight::frozenPartsProblem(view);
            if (!problem.isEmpty())
                return named(view, problem, QStringLiteral("the wheel over the ") + QLatin1String(p.name));
        }
    }
    return QString();
}

QString navigateByKeyboard(fee::GridView* view)
{
    RealInput& input = stage().input;
    const QPoint body = gridsight::pointIn(view, gridsight::Part::Body);
    if (body.isNull() || !input.click(body))
        return view->objectName() + QStringLiteral(": no body to click");
    const struct {
        unsigned long key;
        bool control;
        int times;
        const char* name;
    } steps[] = {
        { XK_Next, false, 2, "PageDown" },
        { XK_End, true, 1, "Ctrl+End" },
        { XK_Up, false, 3, "Up" },
        { XK_Left, false, 4, "Left" },
        { XK_Right, false, 2, "Right" },
        { XK_Prior, false, 1, "PageUp" },
        { XK_Home, false, 1, "Home" },
        { XK_End, false, 1, "End" },
        { XK_Home, true, 1, "Ctrl+Home" },
        { XK_Down, false, 3, "Down" },
        { XK_Next, false, 1, "PageDown" },
    };
    for (const auto& step : steps) {
        for (int i = 0; i < step.times; ++i) {
            if (!input.key(step.key, step.control))
                return QStringLiteral("%1: %2 never arrived").arg(view->objectName(), step.name);
        }
        const QString problem = gridsight::frozenPartsProblem(view);
        if (!problem.isEmpty())
            return named(view, problem, QLatin1String(step.name));
        // The current cell is in sight, not under the frozen parts.
        const QModelIndex current = view->currentIndex();
        if (current.isValid() && current.row() >= view->grid().fixedRows()
            && current.column() >= view->grid().fixedCols()) {
            const QRect cell = view->visualRect(current);
            const QRect free = view->viewport()->rect().adjusted(
                view->fixedColsView()->isVisible() ? view->fixedColsView()->width() : 0,
                view->fixedRowsView()->isVisible() ? view->fixedRowsView()->height() : 0, 0, 0);
            if (!free.intersects(cell))
                return QStringLiteral("%1 after %2: the current cell (%3,%4) is out of sight")
                    .arg(view->objectName(), step.name)
                    .arg(current.row())
                    .arg(current.column());
        }
    }
    return QString();
}

} // namespace sight
