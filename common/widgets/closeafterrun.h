#pragma once

class QWidget;

namespace fee {

// A report window must outlive the run it started (the run writes into the
// window's grid): a close asked for during the run is put off, the window
// cancels the run, and the window closes once the run has ended.
class CloseAfterRun {
public:
    // True when the close must wait for the run: the window ignores the
    // close event and cancels its run.
    bool putOff(bool running);
    // At the end of every run: closes the window (its frame in the main
    // window) when a close was put off.
    void runEnded(QWidget* window);

private:
    bool m_requested = false;
};

} // namespace fee
