#include "reports/shared/runcontext.h"

#include "core/failure.h"
#include "core/notices.h"
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
    if (m_extra) {
        std::lock_guard lock(m_mutex);
        std::erase(m_helpers, m_extra.get());
    }
    m_extra.reset();
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

    auto runTask = [&](int index, DbConnection& connection) {
        Result result;
        try {
            throwIfCancelled();
            result.write = task(index, connection);
        } catch (...) {
            result.error = std::current_exception();
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

    std::atomic<int> opened { 0 };
    std::exception_ptr refusal; // the first helper connection that could not be opened
    auto helper = [&] {
        // Qt's connections belong to the thread that opens them: each helper
        // opens, uses and closes its own.
        std::unique_ptr<DbConnection> connection;
        try {
            throwIfCancelled();
            connection = m_connection.openSibling();
        } catch (const Failure& failure) {
            // The run goes on over the connections it has; a cancelled
            // run has nothing to say about them.
            std::lock_guard lock(mutex);
            if (!isCancellation(failure) && !refusal)
                refusal = std::current_exception();
            return;
        } catch (...) {
            std::lock_guard lock(mutex);
            if (!refusal)
                refusal = std::current_exception();
            return;
        }
        ++opened;
        {
            std::lock_guard lock(m_mutex);
            m_helpers.push_back(connection.get());
            if (m_cancelled.load())
                connection->cancel();
        }
        for (int index = take(); index >= 0; index = take())
            runTask(index, *connection);
        {
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
            runTask(index, m_connection);
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
    if (refusal && !m_cancelled.load())
        connectionRefused(refusal, 1 + opened.load(), 1 + helpers);
    if (failure)
        std::rethrow_exception(failure);
    throwIfCancelled();
}

DbConnection& RunContext::extraConnection()
{
    throwIfCancelled();
    if (m_extra)
        return *m_extra;
    if (m_extraRefused)
        return m_connection;
    try {
        m_extra = m_connection.openSibling();
    } catch (const Failure& failure) {
        if (isCancellation(failure))
            throw;
        m_extraRefused = true;
        connectionRefused(std::current_exception(), 1, 2);
        return m_connection;
    }
    std::lock_guard lock(m_mutex);
    m_helpers.push_back(m_extra.get());
    if (m_cancelled.load())
        m_extra->cancel();
    return *m_extra;
}

void RunContext::connectionRefused(const std::exception_ptr& error, int used, int wanted)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_refusalSaid)
            return;
        m_refusalSaid = true;
    }
    QString why;
    try {
        std::rethrow_exception(error);
    } catch (const Failure& failure) {
        why = failure.description();
    } catch (const std::exception& e) {
        why = QString::fromUtf8(e.what());
    } catch (...) {
    }
    notice(QStringLiteral("the run used %1 of %2 connections to the database: a connection could not be opened (%3)")
               .arg(used)
               .arg(wanted)
               .arg(why));
}

qint64 RunContext::serverSilenceMs() const
{
    std::lock_guard lock(m_mutex);
    qint64 longest = m_connection.waitingMs();
    for (const DbConnection* helper : m_helpers)
        longest = std::max(longest, helper->waitingMs());
    return longest;
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
