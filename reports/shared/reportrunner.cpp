#include "reports/shared/reportrunner.h"

#include "core/failure.h"
#include "db/dbconnection.h"
#include "reports/shared/runcontext.h"

#include <QThread>
#include <QTimer>

namespace fee {

ReportRunner::ReportRunner(QObject* parent)
    : QObject(parent)
    , m_silenceWatch(new QTimer(this))
{
    qRegisterMetaType<fee::RunProgress>();
    qRegisterMetaType<fee::RunOutcome>();
    // A server that stops answering sends no progress: the wait is looked at
    // once a second instead.
    m_silenceWatch->setInterval(1000);
    connect(m_silenceWatch, &QTimer::timeout, this, [this] {
        qint64 silentMs = 0;
        {
            std::lock_guard lock(m_mutex);
            if (m_context)
                silentMs = m_context->serverSilenceMs();
        }
        const int seconds = int(silentMs / 1000);
        if (seconds == m_shownProgress.serverSilentSeconds)
            return;
        m_shownProgress.serverSilentSeconds = seconds;
        emit progressed(m_shownProgress);
    });
    connect(this, &ReportRunner::progressed, this, [this](const RunProgress& progress) { m_shownProgress = progress; });
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
    m_shownProgress = RunProgress();
    m_sinceProgress.invalidate();
    m_silenceWatch->start();

    m_thread = QThread::create([this, &from, number, job = std::move(job), connections] {
        RunOutcome outcome;
        outcome.run = number;
        try {
            // Made before it opens, so that a cancel reaches its login too.
            const auto connection = std::make_unique<DbConnection>();
            {
                std::lock_guard lock(m_mutex);
                m_opening = connection.get();
                if (m_cancelRequested)
                    connection->cancel();
            }
            try {
                connection->openLike(from);
            } catch (...) {
                std::lock_guard lock(m_mutex);
                m_opening = nullptr;
                throw;
            }
            {
                std::lock_guard lock(m_mutex);
                m_opening = nullptr;
            }
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
    if (m_opening)
        m_opening->cancel();
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
    m_silenceWatch->stop();
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
