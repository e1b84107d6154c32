#include "reports/shared/reportrunner.h"

#include "core/failure.h"
#include "db/dbconnection.h"
#include "reports/shared/runcontext.h"

#include <QThread>

namespace fee {

ReportRunner::ReportRunner(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<fee::RunProgress>();
    qRegisterMetaType<fee::RunOutcome>();
}

ReportRunner::~ReportRunner()
{
    if (m_thread) {
        cancel();
        m_thread->wait();
        delete m_thread;
    }
}

quint64 ReportRunner::start(const DbConnection& from, Job job, int connections)
{
    if (m_running)
        return 0;
    m_running = true;
    const quint64 number = ++m_runs;
    {
        std::lock_guard lock(m_mutex);
        m_cancelRequested = false;
        m_outcome = RunOutcome();
    }
    m_lastProgress = RunProgress();
    m_sinceProgress.invalidate();

    m_thread = QThread::create([this, &from, number, job = std::move(job), connections] {
        RunOutcome outcome;
        outcome.run = number;
        try {
            const std::unique_ptr<DbConnection> connection = from.openSibling();
            RunContext run(*connection);
            run.setParallelism(connections > 0 ? connections : RunContext::defaultParallelism(connection->backend()));
            run.setProgressSink([this](const RunProgress& progress) {
                // Thread-safe: the sink is called one report at a time.
                if (m_sinceProgress.isValid() && m_sinceProgress.elapsed() < 100
                    && progress.officesDone != progress.officeCount)
                    return;
                m_sinceProgress.start();
                QMetaObject::invokeMethod(
                    this, [this, progress] { emit progressed(progress); }, Qt::QueuedConnection);
            });
            {
                std::lock_guard lock(m_mutex);
                m_context = &run;
                if (m_cancelRequested)
                    run.cancel();
            }
            try {
                job(run);
            } catch (...) {
                std::lock_guard lock(m_mutex);
                m_context = nullptr;
                throw;
            }
            std::lock_guard lock(m_mutex);
            m_context = nullptr;
            m_lastProgress = run.progress();
        } catch (const Failure& failure) {
            outcome.cancelled = isCancellation(failure);
            outcome.failed = !outcome.cancelled;
            outcome.number = failure.number();
            outcome.description = failure.description();
        } catch (const std::exception& e) {
            outcome.failed = true;
            outcome.description = QString::fromUtf8(e.what());
        }
        std::lock_guard lock(m_mutex);
        if (m_cancelRequested && !outcome.failed)
            outcome.cancelled = true;
        m_outcome = outcome;
    });
    connect(m_thread, &QThread::finished, this, &ReportRunner::deliver, Qt::QueuedConnection);
    m_thread->start();
    return number;
}

void ReportRunner::cancel()
{
    std::lock_guard lock(m_mutex);
    m_cancelRequested = true;
    if (m_context)
        m_context->cancel();
}

void ReportRunner::waitForFinished()
{
    if (!m_thread)
        return;
    m_thread->wait();
    deliver();
}

void ReportRunner::deliver()
{
    // Called by the queued "finished" of the thread or by waitForFinished,
    // whichever comes first; the second call finds nothing to do.
    if (!m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    RunOutcome outcome;
    {
        std::lock_guard lock(m_mutex);
        outcome = m_outcome;
    }
    m_running = false;
    emit progressed(m_lastProgress);
    emit finished(outcome);
}

} // namespace fee
