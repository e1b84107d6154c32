#pragma once

#include "common/runprogress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>

class QThread;

namespace fee {

class RunContext;

// How a run ended.
struct RunOutcome {
    bool cancelled = false;
    bool failed = false;
    int number = 0; // the failure's number and description when it failed
    QString description;
};

// Runs a report job off the window's thread, so the window stays responsive:
// the job gets a run context whose connections are opened on the worker
// thread from the given connection text (Qt's connections belong to the
// thread that opens them). Progress and the end of the run come back as
// queued signals on the runner's thread. One job at a time.
class ReportRunner : public QObject {
    Q_OBJECT
public:
    using Job = std::function<void(RunContext& run)>;

    explicit ReportRunner(QObject* parent = nullptr);
    // Cancels a job that is still going and waits for it.
    ~ReportRunner() override;

    // Starts the job; false (and nothing happens) while another one runs.
    // `connections` caps the connections the run may use side by side (0:
    // the usual number for the database, RunContext::defaultParallelism).
    bool start(const QString& connectionString, Job job, int connections = 0);
    bool isRunning() const { return m_running; }
    // Safe at any time: interrupts the statements in flight; the job ends at
    // its next statement or row and the run ends as cancelled.
    void cancel();
    // Blocks until the worker is done and the outcome delivered.
    void waitForFinished();

signals:
    // At most a few times a second, and once more at the end.
    void progressed(const fee::RunProgress& progress);
    void finished(const fee::RunOutcome& outcome);

private:
    void deliver();

    QThread* m_thread = nullptr;
    bool m_running = false;
    std::mutex m_mutex; // guards m_context, m_cancelRequested, m_outcome
    RunContext* m_context = nullptr;
    bool m_cancelRequested = false;
    RunOutcome m_outcome;
    RunProgress m_lastProgress;
    QElapsedTimer m_sinceProgress;
};

} // namespace fee

Q_DECLARE_METATYPE(fee::RunProgress)
Q_DECLARE_METATYPE(fee::RunOutcome)
