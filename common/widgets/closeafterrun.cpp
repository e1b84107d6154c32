#include "closeafterrun.h"

#include "windowhelpers.h"

#include <QTimer>
#include <QWidget>

namespace fee {

bool CloseAfterRun::putOff(bool running)
{
    if (running)
        m_requested = true;
    return running;
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
