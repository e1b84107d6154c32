#pragma once

#include "core/runprogress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>

class QThread;
class QTimer;

namespace fee {

class DbConnection;
class RunContext;

// How a run ended.
struct RunOutcome {
    quint64 run = 0; // the number start() gave the run
    bool cancelled = false;
    bool failed = false;
    int number = 0; // the failure's number and description when it failed
    QString description;
};

// Runs a report job off the window's thread, so the window stays responsive:
// the job gets a run context whose connections are siblings of the given
// one, opened on the worker thread (Qt's connections belong to the thread
// that opens them). Progress and the end of the run come back as
// queued signals on the runner's thread. One job at a time.
class ReportRunner : public QObject {
    Q_OBJECT
public:
    using Job = std::function<void(RunContext& run)>;

    explicit ReportRunner(QObject* parent = nullptr);
    // Cancels a job that is still going and waits for it.
    ~ReportRunner() override;

    // Starts the job over a sibling of `from` (which must outlive the run);
    // 0 (and nothing happens) while another one runs, else the run's number,
    // which its outcome carries. `connections` caps the connections the run
    // may use side by side (0: the usual number for the database,
    // RunContext::defaultParallelism).
    quint64 start(const DbConnection& from, Job job, int connections = 0);
    bool isRunning() const { return m_running; }
    // Safe at any time: interrupts the statements in flight; the job ends at
    // its next statement or row and the run ends as cancelled.
    void cancel();
    // Blocks until the worker is done and the outcome delivered.
    void waitForFinished();

signals:
    // At most a few times a second, and once more at the end; while a
    // request waits for the server, once a second with how long it has.
    void progressed(const fee::RunProgress& progress);
    void finished(const fee::RunOutcome& outcome);

private:
    void deliver();

    QThread* m_thread = nullptr;
    bool m_running = false;
    quint64 m_runs = 0;
    std::mutex m_mutex; // guards m_opening, m_context, m_cancelRequested, m_outcome
    DbConnection* m_opening = nullptr; // the run's connection while it opens
    RunContext* m_context = nullptr;
    bool m_cancelRequested = false;
    RunOutcome m_outcome;
    RunProgress m_lastProgress;
    RunProgress m_shownProgress; // the latest progress signalled (the runner's thread)
    QTimer* m_silenceWatch;
    QElapsedTimer m_sinceProgress;
};

} // namespace fee

Q_DECLARE_METATYPE(fee::RunProgress)
Q_DECLARE_METATYPE(fee::RunOutcome)
