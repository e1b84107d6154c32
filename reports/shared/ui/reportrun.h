#pragma once

#include "reports/shared/reportrunner.h"

#include <QObject>
#include <QPointer>
#include <functional>

class QCloseEvent;
class QWidget;

namespace fee {

class DbConnection;
class WaitOverlay;

// A report window's runs, one at a time, on a worker thread over a sibling of
// the window's connection. While a run goes, the window shows a busy cursor
// and a wait panel over the grid the run fills (cancel on the panel stops the
// run), and reports the run as running. A close asked for during a run is put
// off: the run is cancelled and the window closes once it has ended (the run
// writes into the window's grids, so the window must outlive it).
//
// Each start gets its own callback; an outcome that is not the current run's
// (one that comes after the window moved on) is dropped.
class ReportRun : public QObject {
    Q_OBJECT
public:
    using Job = ReportRunner::Job;
    using Finished = std::function<void(const RunOutcome& outcome)>;

    // `wait` shows over `grid` for runs started without a panel of their
    // own; both are the window's children. The connection outlives the window.
    ReportRun(QWidget* window, WaitOverlay* wait, const QWidget* grid, DbConnection& connection);
    ~ReportRun() override;

    // Starts the job unless a run goes on (then nothing happens and false
    // comes back). onFinished is called on the window's thread once the run
    // has ended, after the cursor and the panel are back and the run no
    // longer counts as running.
    bool start(Job job, Finished onFinished);
    // The same with another panel over another grid, or none (nullptr).
    bool start(Job job, Finished onFinished, WaitOverlay* wait, const QWidget* over);

    bool isRunning() const { return m_runner->isRunning(); }
    void cancel();
    // For the window's close event: true when the close is put off (the
    // event is ignored, the run cancelled); false lets the window close.
    bool putOffClose(QCloseEvent* event);

    ReportRunner* runner() const { return m_runner; }

private:
    void ended(const RunOutcome& outcome);

    QWidget* m_window;
    WaitOverlay* m_defaultWait;
    const QWidget* m_grid;
    DbConnection& m_connection;
    ReportRunner* m_runner;
    QPointer<WaitOverlay> m_wait; // the panel of the current run, if any
    quint64 m_current = 0; // the number of the run whose outcome is awaited
    Finished m_onFinished;
    bool m_closeRequested = false;
};

} // namespace fee
