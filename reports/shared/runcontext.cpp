#include "reports/shared/runcontext.h"

#include "core/failure.h"
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

int RunContext::defaultParallelism(DbBackend backend)
{
    const QByteArray wanted = qgetenv("FEE_REPORT_CONNECTIONS");
    bool ok = false;
    const int n = wanted.toInt(&ok);
    if (ok && n >= 1)
        return std::min(n, 16);
    if (backend == DbBackend::SqlServer)
        return 8;
    return std::clamp(QThread::idealThreadCount(), 1, 4);
}

void RunContext::forEachOffice(int count, const OfficeTask& task, int officesPerTask)
{
    officesPerTask = std::max(1, officesPerTask);
    const int tasks = count <= 0 ? 0 : (count + officesPerTask - 1) / officesPerTask;
    auto officesOf = [&](int index) { return std::min(count, (index + 1) * officesPerTask) - index * officesPerTask; };

    struct Result {
        bool done = false;
        std::function<void()> write;
        std::exception_ptr error;
    };
    std::vector<Result> results(static_cast<size_t>(tasks));
    std::mutex mutex;
    std::condition_variable changed;
    int next = 0; // the next task to take
    bool stop = false;

    auto runTask = [&](int index, DbConnection* connection, const std::exception_ptr& openError) {
        Result result;
        if (!connection) {
            result.error = openError;
        } else {
            try {
                throwIfCancelled();
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
    };
    auto take = [&] {
        std::lock_guard lock(mutex);
        return !stop && next < tasks ? next++ : -1;
    };

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
        for (int index = take(); index >= 0; index = take())
            runTask(index, connection.get(), openError);
        if (connection) {
            std::lock_guard lock(m_mutex);
            m_helpers.erase(std::find(m_helpers.begin(), m_helpers.end(), connection.get()));
        }
    };
    std::vector<std::thread> threads;
    const int helpers = std::min(m_parallelism, tasks) - 1;
    for (int t = 0; t < helpers; ++t)
        threads.emplace_back(helper);

    // The calling thread writes the finished tasks in order and, while the
    // next one to write is not finished, takes a task of its own on the
    // context's connection rather than wait idle beside it.
    std::exception_ptr failure;
    for (int written = 0; written < tasks && !failure;) {
        std::unique_lock lock(mutex);
        if (results[size_t(written)].done) {
            Result result = std::move(results[size_t(written)]);
            lock.unlock();
            if (result.error) {
                failure = result.error;
                break;
            }
            try {
                if (result.write)
                    result.write();
                officeDone(officesOf(written));
            } catch (...) {
                failure = std::current_exception();
            }
            ++written;
            continue;
        }
        if (!stop && next < tasks) {
            const int index = next++;
            lock.unlock();
            runTask(index, &m_connection, {});
            continue;
        }
        if (written >= next) {
            // Nobody took it and nobody will: the run stopped before it.
            failure = std::make_exception_ptr(
                Failure(kErrOperationCancelled, QStringLiteral("Operation has been cancelled by the user.")));
            break;
        }
        changed.wait(lock);
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

void RunContext::officeDone(int offices)
{
    {
        std::lock_guard lock(m_mutex);
        m_progress.officesDone += offices;
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
