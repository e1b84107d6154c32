#pragma once

#include <functional>

class QCloseEvent;
class QWidget;

namespace fee {

// A report window must outlive the run it started (the run writes into the
// window's grid): a close asked for during the run is put off, the window
// cancels the run, and the window closes once the run has ended.
class CloseAfterRun {
public:
    // For the window's close event: while a run goes on, the event is
    // ignored, the run cancelled and true returned; otherwise false, and the
    // window closes as usual.
    bool putOff(QCloseEvent* event, bool running, const std::function<void()>& cancelRun);
    // At the end of every run: closes the window (its frame in the main
    // window) when a close was put off.
    void runEnded(QWidget* window);

private:
    bool m_requested = false;
};

} // namespace fee
