#include "reports/shared/runcontext.h"

#include "common/failure.h"
#include "db/dbconnection.h"

#include <QThread>
#include <algorithm>
#include <cstdlib>

namespace fee {

RunContext::RunContext(DbConnection& connection)
    : m_connection(connection)
{
}

RunContext::~RunContext()
{
    // A cancellation belongs to its run: the connection serves the next one.
    if (m_cancelled.load())
        m_connection.resetCancel();
}

void RunContext::cancel()
{
    m_cancelled.store(true);
    std::lock_guard lock(m_mutex);
    m_connection.cancel();
    for (auto& sibling : m_siblings) {
        if (sibling)
            sibling->cancel();
    }
}

void RunContext::throwIfCancelled() const
{
    if (m_cancelled.load())
        throw Failure(kErrOperationCancelled, QStringLiteral("Operation has been cancelled by the user."));
}

void RunContext::setParallelism(int connections) { m_parallelism = std::max(1, connections); }

int RunContext::defaultParallelism()
{
    const QByteArray wanted = qgetenv("FEE_REPORT_CONNECTIONS");
    bool ok = false;
    const int n = wanted.toInt(&ok);
    if (ok && n >= 1)
        return std::min(n, 16);
    return std::clamp(QThread::idealThreadCount(), 1, 4);
}

void RunContext::forEachOffice(int count, const OfficeTask& task)
{
    // One office at a time on the run's own connection; the writer of each
    // office runs as soon as its figures are in.
    for (int i = 0; i < count; ++i) {
        throwIfCancelled();
        std::function<void()> write = task(i, m_connection);
        if (write)
            write();
        officeDone();
    }
}

void RunContext::setOfficeCount(int count)
{
    {
        std::lock_guard lock(m_mutex);
        m_progress.officeCount = count;
        m_progress.officesDone = 0;
    }
    report();
}

void RunContext::officeDone()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_progress.officesDone;
    }
    report();
}

void RunContext::addRowsRead(qint64 rows)
{
    {
        std::lock_guard lock(m_mutex);
        m_progress.rowsRead += rows;
    }
    report();
}

RunProgress RunContext::progress() const
{
    std::lock_guard lock(m_mutex);
    return m_progress;
}

void RunContext::setProgressSink(std::function<void(const RunProgress&)> sink)
{
    std::lock_guard lock(m_mutex);
    m_sink = std::move(sink);
}

void RunContext::report()
{
    std::function<void(const RunProgress&)> sink;
    RunProgress now;
    {
        std::lock_guard lock(m_mutex);
        sink = m_sink;
        now = m_progress;
    }
    if (sink)
        sink(now);
}

} // namespace fee
