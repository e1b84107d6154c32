#pragma once

// The shared pieces of the real-input stage: the X server and input, the
// program started as a calling program starts it, recorded message boxes,
// and the screenshots.

#include "gridsight.h"
#include "realinput.h"

#include "core/messages.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QMdiSubWindow;
class QPushButton;
class QSignalSpy;

namespace fee {
class GridModel;
class GridView;
class MainWindow;
}

// Every message box the program asks for, answered without a screen of its own.
struct BoxLog {
    QList<fee::BoxRequest> boxes;
    fee::BoxAnswer answer = fee::BoxAnswer::Yes; // for Yes/No questions
    QStringList texts() const;
    void clear() { boxes.clear(); }
};

struct Stage {
    RealInput input;
    QTemporaryDir dir;
    QString database; // the demo database the program reads
    BoxLog boxes;
    fee::MainWindow* main = nullptr;

    // The screenshot folder of the build.
    static QString shotPath(const QString& name);
    bool shoot(QWidget* widget, const QString& name);
    // The report's chart shown by its 图表 button, a bar hovered (the
    // screenshot taken then) and clicked (the grid's current row follows),
    // the picture saved, the chart hidden again; empty when all went well
    // (stage_charts.cpp).
    QString chartProblem(QWidget* window, QWidget* shotTarget, const fee::GridModel& grid, const QString& shot);

    // Opens a report window as a person does: the menu title on the menu
    // bar, then the item in the menu that drops down.
    QMdiSubWindow* openFromMenu(const QString& menuTitle, const QString& item);
    // Presses a button that opens the print preview, photographs the
    // preview (when a name is given) once its pages are drawn and closes it
    // with Escape typed on it. False when no preview came or it stayed.
    bool previewAndClose(QWidget* button, const QString& shot = QString());
    // Picks an entry of a drop-down list with the mouse.
    bool choose(QComboBox* list, int index);
    // Clicks a check box's box and sees it ticked.
    bool tick(QCheckBox* box);
    // Presses start and then, while the run goes, the wait panel's cancel,
    // until a run ends cancelled (a quick run may end before the cancel
    // gets there: then it is tried again). `whileRunning` looks at the
    // window during each run caught going. Empty when a run was cancelled
    // and every look was sound; otherwise what went wrong.
    QString cancelRun(QPushButton* start, QPushButton* cancel, QSignalSpy& ended, const std::function<bool()>& running,
        const std::function<bool()>& cancelled, const std::function<QString()>& whileRunning = {});
    // Waits until typed keys go to this widget (after a click into it).
    bool keysReach(QWidget* widget);
    // Clicks into a date box, selects its whole text and types the date.
    bool typeDate(QWidget* dateBox, const QString& text);
};

Stage& stage();

template <class T> T* child(const QWidget* parent, const char* name)
{
    return parent->findChild<T*>(QString::fromUtf8(name));
}

// The checks that follow each use of a grid, as one text (empty when sound).
namespace sight {
// Wheel notches over each part of a grid (headings, frozen column, corner,
// body), down and back up; the frozen parts must stay what they are.
QString wheelOverEveryPart(fee::GridView* view);
// A click into the body, then PageDown, Ctrl+End, arrows, End, Home,
// Ctrl+Home; the frozen parts must stay in place through each.
QString navigateByKeyboard(fee::GridView* view);
}

#define STAGE_CHECK(text)                                                                                              \
    do {                                                                                                               \
        const QString stageProblem = (text);                                                                           \
        QVERIFY2(stageProblem.isEmpty(), qPrintable(stageProblem));                                                   \
    } while (false)
