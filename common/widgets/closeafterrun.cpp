#include "closeafterrun.h"

#include "windowhelpers.h"

#include <QCloseEvent>
#include <QTimer>
#include <QWidget>

namespace fee {

bool CloseAfterRun::putOff(QCloseEvent* event, bool running, const std::function<void()>& cancelRun)
{
    if (!running)
        return false;
    m_requested = true;
    event->ignore();
    cancelRun();
    return true;
}

void CloseAfterRun::runEnded(QWidget* window)
{
    if (!m_requested)
        return;
    m_requested = false;
    // Closed from the event loop: the run's end is still being handled on the stack.
    QWidget* frame = windowFrame(window);
    QTimer::singleShot(0, frame, [frame] { frame->close(); });
}

} // namespace fee
