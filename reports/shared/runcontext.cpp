#include "reports/shared/runcontext.h"

#include "common/failure.h"
#include "db/dbconnection.h"

#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <thread>

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
    for (DbConnection* helper : m_helpers)
        helper->cancel();
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

void RunContext::forEachOfficeInTurn(int count, const OfficeTask& task)
{
    for (int i = 0; i < count; ++i) {
        throwIfCancelled();
        std::function<void()> write = task(i, m_connection);
        if (write)
            write();
        officeDone();
    }
}

void RunContext::forEachOffice(int count, const OfficeTask& task)
{
    const int helpers = std::min(m_parallelism, count);
    if (helpers <= 1) {
        forEachOfficeInTurn(count, task);
        return;
    }

    struct Result {
        bool done = false;
        std::function<void()> write;
        std::exception_ptr error;
    };
    std::vector<Result> results(static_cast<size_t>(count));
    std::mutex mutex;
    std::condition_variable changed;
    int next = 0; // the next office a helper takes
    int working = helpers; // helpers still taking offices
    bool stop = false;

    auto helper = [&] {
        // Qt's connections belong to the thread that opens them: each helper
        // opens, uses and closes its own.
        std::unique_ptr<DbConnection> connection;
        std::exception_ptr openError;
        try {
            throwIfCancelled();
            connection = m_connection.openSibling();
        } catch (...) {
            openError = std::current_exception();
        }
        if (connection) {
            std::lock_guard lock(m_mutex);
            m_helpers.push_back(connection.get());
            if (m_cancelled.load())
                connection->cancel();
        }
        while (true) {
            int index = -1;
            {
                std::lock_guard lock(mutex);
                if (!stop && next < count)
                    index = next++;
            }
            if (index < 0)
                break;
            Result result;
            if (!connection) {
                result.error = openError;
            } else {
                try {
                    result.write = task(index, *connection);
                } catch (...) {
                    result.error = std::current_exception();
                }
            }
            {
                std::lock_guard lock(mutex);
                if (result.error)
                    stop = true;
                result.done = true;
                results[size_t(index)] = std::move(result);
            }
            changed.notify_all();
        }
        if (connection) {
            std::lock_guard lock(m_mutex);
            m_helpers.erase(std::find(m_helpers.begin(), m_helpers.end(), connection.get()));
        }
        connection.reset();
        {
            std::lock_guard lock(mutex);
            --working;
        }
        changed.notify_all();
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < helpers; ++t)
        threads.emplace_back(helper);

    std::exception_ptr failure;
    for (int written = 0; written < count && !failure; ++written) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return results[size_t(written)].done || (working == 0 && written >= next); });
        if (!results[size_t(written)].done) {
            failure = std::make_exception_ptr(
                Failure(kErrOperationCancelled, QStringLiteral("Operation has been cancelled by the user.")));
            break;
        }
        Result result = std::move(results[size_t(written)]);
        lock.unlock();
        if (result.error) {
            failure = result.error;
            break;
        }
        try {
            if (result.write)
                result.write();
            officeDone();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    for (std::thread& thread : threads)
        thread.join();
    if (failure)
        std::rethrow_exception(failure);
    throwIfCancelled();
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

void RunContext::keepStatements(bool keep)
{
    std::lock_guard lock(m_mutex);
    m_keepStatements = keep;
}

void RunContext::statementSent(const QString& statement, qint64 waitedNanoseconds)
{
    ++m_statementCount;
    m_databaseNs += waitedNanoseconds;
    std::lock_guard lock(m_mutex);
    if (m_keepStatements)
        m_statements.append(statement);
}

void RunContext::addDatabaseTime(qint64 nanoseconds) { m_databaseNs += nanoseconds; }

QStringList RunContext::statements() const
{
    std::lock_guard lock(m_mutex);
    return m_statements;
}

void RunContext::report()
{
    std::lock_guard one(m_sinkMutex);
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
