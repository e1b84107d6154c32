#include "reports/shared/ui/reportrun.h"

#include "widgets/waitoverlay.h"
#include "widgets/windowhelpers.h"

#include <QCloseEvent>
#include <QTimer>
#include <QWidget>

namespace fee {

ReportRun::ReportRun(QWidget* window, WaitOverlay* wait, const QWidget* grid, DbConnection& connection)
    : QObject(window)
    , m_window(window)
    , m_defaultWait(wait)
    , m_grid(grid)
    , m_connection(connection)
    , m_runner(new ReportRunner(this))
{
    connect(m_runner, &ReportRunner::progressed, this, [this](const RunProgress& progress) {
        if (m_wait)
            m_wait->showProgress(progress);
    });
    connect(m_runner, &ReportRunner::finished, this, &ReportRun::ended);
}

// The runner (a child) cancels and waits for a run still going.
ReportRun::~ReportRun() = default;

bool ReportRun::start(Job job, Finished onFinished) { return start(std::move(job), std::move(onFinished), m_defaultWait, m_grid); }

bool ReportRun::start(Job job, Finished onFinished, WaitOverlay* wait, const QWidget* over)
{
    if (m_runner->isRunning())
        return false;
    m_wait = wait;
    if (wait) {
        connect(wait, &WaitOverlay::cancelRequested, this, &ReportRun::cancel, Qt::UniqueConnection);
        wait->showOver(over);
    }
    m_window->setCursor(Qt::BusyCursor);
    m_onFinished = std::move(onFinished);
    m_current = m_runner->start(m_connection, std::move(job));
    return true;
}

void ReportRun::cancel() { m_runner->cancel(); }

bool ReportRun::putOffClose(QCloseEvent* event)
{
    if (!m_runner->isRunning())
        return false;
    m_closeRequested = true;
    event->ignore();
    m_runner->cancel();
    return true;
}

void ReportRun::ended(const RunOutcome& outcome)
{
    if (outcome.run != m_current)
        return;
    m_current = 0;
    if (m_wait)
        m_wait->finish();
    m_wait = nullptr;
    m_window->unsetCursor();
    const Finished onFinished = std::exchange(m_onFinished, {});
    if (onFinished)
        onFinished(outcome);
    if (m_closeRequested) {
        m_closeRequested = false;
        // Closed from the event loop: the run's end is still being handled on the stack.
        QWidget* frame = windowFrame(m_window);
        QTimer::singleShot(0, frame, [frame] { frame->close(); });
    }
}

} // namespace fee
