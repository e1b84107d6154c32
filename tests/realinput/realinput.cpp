#include "realinput.h"

#include <QApplication>
#include <QEvent>
#include <QStyleHints>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// Xlib's event names would shadow Qt's.
#undef KeyPress
#undef KeyRelease

namespace {
constexpr int kArrivalMs = 10000;
}

RealInput::RealInput() { qApp->installEventFilter(this); }

RealInput::~RealInput() { close(); }

void RealInput::close()
{
    if (m_display)
        XCloseDisplay(m_display);
    m_display = nullptr;
}

bool RealInput::open(const QString& display)
{
    m_display = XOpenDisplay(display.toLocal8Bit().constData());
    if (!m_display)
        return false;
    int event = 0, error = 0, major = 0, minor = 0;
    return XTestQueryExtension(m_display, &event, &error, &major, &minor);
}

bool RealInput::eventFilter(QObject* watched, QEvent* event)
{
    // What the window system hands to a window: the same road a real
    // device's events take, before any widget sees them.
    if (watched->isWindowType() && event->spontaneous())
        ++m_seen[event->type()];
    return false;
}

bool RealInput::waitForSeen(int eventType, int target)
{
    XSync(m_display, False);
    QElapsedTimer waited;
    waited.start();
    while (m_seen.value(eventType) < target) {
        if (waited.elapsed() > kArrivalMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (m_seen.value(eventType) < target)
            QThread::msleep(1);
    }
    // What the events set going (queued signals, layouts) runs too.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return true;
}

bool RealInput::moveTo(QPoint global)
{
    XTestFakeMotionEvent(m_display, -1, global.x(), global.y(), CurrentTime);
    XSync(m_display, False);
    QCoreApplication::processEvents();
    return true;
}

void RealInput::holdOffDoubleClick(QPoint global)
{
    // Two single clicks at one place in quick succession would be read as
    // a double click: leave the interval between them.
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval() + 30;
    if (m_sinceClick.isValid() && (global - m_lastClick).manhattanLength() < 8 && m_sinceClick.elapsed() < interval)
        QTest::qWait(int(interval - m_sinceClick.elapsed()));
}

bool RealInput::click(QPoint global)
{
    holdOffDoubleClick(global);
    moveTo(global);
    const int target = seen(QEvent::MouseButtonRelease) + 1;
    XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
    XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
    m_lastClick = global;
    const bool arrived = waitForSeen(QEvent::MouseButtonRelease, target);
    m_sinceClick.start();
    return arrived;
}

bool RealInput::click(const QWidget* widget) { return click(widget, widget->rect().center()); }

bool RealInput::click(const QWidget* widget, QPoint local) { return click(widget->mapToGlobal(local)); }

bool RealInput::doubleClick(QPoint global)
{
    holdOffDoubleClick(global);
    moveTo(global);
    const int target = seen(QEvent::MouseButtonRelease) + 2;
    for (int i = 0; i < 2; ++i) {
        XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
        XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
    }
    m_lastClick = QPoint(-1000, -1000);
    return waitForSeen(QEvent::MouseButtonRelease, target);
}

bool RealInput::wheel(QPoint global, int notches)
{
    moveTo(global);
    const unsigned int button = notches > 0 ? 4 : 5;
    const int count = std::abs(notches);
    const int target = seen(QEvent::Wheel) + count;
    for (int i = 0; i < count; ++i) {
        XTestFakeButtonEvent(m_display, button, True, CurrentTime);
        XTestFakeButtonEvent(m_display, button, False, CurrentTime);
    }
    return waitForSeen(QEvent::Wheel, target);
}

bool RealInput::pressKey(unsigned int keycode, bool down)
{
    return XTestFakeKeyEvent(m_display, keycode, down ? True : False, CurrentTime);
}

bool RealInput::key(unsigned long keysym, bool control, bool shift)
{
    const unsigned int code = XKeysymToKeycode(m_display, keysym);
    if (code == 0)
        return false;
    const unsigned int controlCode = XKeysymToKeycode(m_display, XK_Control_L);
    const unsigned int shiftCode = XKeysymToKeycode(m_display, XK_Shift_L);
    const int target = seen(QEvent::KeyRelease) + 1 + (control ? 1 : 0) + (shift ? 1 : 0);
    if (control)
        pressKey(controlCode, true);
    if (shift)
        pressKey(shiftCode, true);
    pressKey(code, true);
    pressKey(code, false);
    if (shift)
        pressKey(shiftCode, false);
    if (control)
        pressKey(controlCode, false);
    return waitForSeen(QEvent::KeyRelease, target);
}

bool RealInput::type(const QString& text)
{
    for (const QChar c : text) {
        const unsigned long keysym = c.unicode(); // Latin-1 keysyms are their code points
        if (keysym < 0x20 || keysym > 0x7e)
            return false;
        const unsigned int code = XKeysymToKeycode(m_display, keysym);
        if (code == 0)
            return false;
        const bool shifted = XkbKeycodeToKeysym(m_display, code, 0, 0) != keysym;
        if (!key(keysym, false, shifted))
            return false;
    }
    return true;
}
