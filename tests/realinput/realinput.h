#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPoint>
#include <QString>

class QWidget;
typedef struct _XDisplay Display;

// Input as a person gives it: events made by the X server itself through the
// XTest extension (pointer motion, buttons, wheel notches as buttons 4 and 5,
// keys), which reach Qt the way a real mouse and keyboard do. Every call
// returns once Qt has taken the events from the window system and handled
// them (false when they never arrived).
class RealInput : public QObject {
public:
    RealInput();
    ~RealInput() override;

    bool open(const QString& display);
    void close();

    bool moveTo(QPoint global);
    bool click(QPoint global);
    bool click(const QWidget* widget);
    bool click(const QWidget* widget, QPoint local);
    bool doubleClick(QPoint global);
    // Notches of the wheel: positive turns away from the user (scrolls up).
    bool wheel(QPoint global, int notches);
    // A key by its X keysym (XK_Next ...), with Control and/or Shift held.
    bool key(unsigned long keysym, bool control = false, bool shift = false);
    // Types plain ASCII text key by key.
    bool type(const QString& text);

    // Window-system events Qt has handled so far, of one kind.
    int seen(int eventType) const { return m_seen.value(eventType); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool pressKey(unsigned int keycode, bool down);
    bool waitForSeen(int eventType, int target);
    void holdOffDoubleClick(QPoint global);

    Display* m_display = nullptr;
    QHash<int, int> m_seen;
    QPoint m_lastClick { -1000, -1000 };
    QElapsedTimer m_sinceClick;
};
