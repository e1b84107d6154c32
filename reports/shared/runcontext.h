#pragma once

#include "core/runprogress.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace fee {

class DbConnection;
enum class DbBackend;

// Everything a report engine needs from its surroundings: the connection its
// statements run on, more connections for offices run side by side, a cancel
// flag and a place to report progress. The window runs an engine on a worker
// thread with a context whose connections belong to that thread; the command
// line and the tests run it synchronously over a connection they opened.
//
// Cancelling is safe from any thread: it interrupts the statements in flight
// on every connection of the run, and the engine's next database call throws
// the cancellation failure (isCancellation()). A cancelled run keeps the rows
// it has written.
class RunContext {
public:
    // A context over an open connection (not owned).
    explicit RunContext(DbConnection& connection);
    virtual ~RunContext();
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    DbConnection& connection() { return m_connection; }

    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }
    // Throws the cancellation failure once the run is cancelled.
    void throwIfCancelled() const;

    // How many connections forEachOffice may use at once, this context's own
    // among them (at least 1).
    int parallelism() const { return m_parallelism; }
    void setParallelism(int connections);
    // The usual number for the database a run reads: on the embedded file the
    // machine's cores, at most 4 (the work is the program's own); on SQL
    // Server 8, as the program mostly waits for the network and the server,
    // and a connection sent a statement waits without a core. The environment
    // variable FEE_REPORT_CONNECTIONS overrides both (1 runs one office at a
    // time). The windows and the command line run by this number.
    static int defaultParallelism(DbBackend backend);

    // A unit of an office-by-office run: computes on the given connection
    // (perhaps on another thread, side by side with other offices) and
    // returns what writes its result, which is then called on the calling
    // thread, in office order.
    using OfficeTask = std::function<std::function<void()>(int index, DbConnection& connection)>;
    // Runs task(0..) and their writers in index order; task k covers offices
    // k × officesPerTask up to (not including) (k + 1) × officesPerTask, cut
    // at count. With more than one connection allowed, helper threads each
    // open a connection of their own (a sibling of this context's) and take
    // tasks in turn, and so does the calling thread on this context's
    // connection, which also writes the results in task order as they come.
    // When a task throws, the writers of the tasks before it still run, then
    // the failure is thrown; no later writer runs. Reports the offices of
    // each written task done. A helper whose connection cannot be opened
    // takes no task: the run goes on over the connections it has (the
    // context's own at least) and says once how many it used (notice()).
    void forEachOffice(int count, const OfficeTask& task, int officesPerTask = 1);

    // One more connection beside the context's own, for statements while a
    // result of that one streams: opened on first call on the calling
    // thread (the context's), kept while the context lives and cancelled
    // with it. When it cannot be opened the context's own connection comes
    // back (a result streaming on it is then read into memory first) and the
    // run says so once. Throws the cancellation failure.
    DbConnection& extraConnection();

    // How long the longest request in flight on the run's connections has
    // gone without an answer (0 when none waits). Thread-safe.
    qint64 serverSilenceMs() const;

    // Progress, thread-safe. The sink (if any) is called on the thread that
    // reports, after every change; a window throttles and forwards it.
    void setOfficeCount(int count);
    void officeDone(int offices = 1);
    void addRowsRead(qint64 rows);
    RunProgress progress() const;
    void setProgressSink(std::function<void(const RunProgress&)> sink);

    // What the run sent to the database and how long it waited for it
    // (statements and row reads, added over every connection); for
    // measuring runs. Thread-safe. The statements' texts are kept only when
    // asked for, in the order they were sent.
    void keepStatements(bool keep = true);
    void statementSent(const QString& statement, qint64 waitedNanoseconds);
    void addDatabaseTime(qint64 nanoseconds);
    int statementCount() const { return m_statementCount.load(); }
    qint64 databaseNanoseconds() const { return m_databaseNs.load(); }
    QStringList statements() const;

private:
    void report();
    // A sibling that could not be opened: said once per run, with how many
    // connections the run used.
    void connectionRefused(const std::exception_ptr& error, int used, int wanted);

    DbConnection& m_connection;
    std::vector<DbConnection*> m_helpers; // connections of the helper threads while they run, and the extra one
    std::unique_ptr<DbConnection> m_extra;
    bool m_extraRefused = false;
    mutable std::mutex m_mutex;
    std::mutex m_sinkMutex; // one progress report at a time
    std::atomic<bool> m_cancelled { false };
    int m_parallelism = 1;
    RunProgress m_progress;
    std::atomic<int> m_statementCount { 0 };
    std::atomic<qint64> m_databaseNs { 0 };
    bool m_keepStatements = false;
    bool m_refusalSaid = false;
    QStringList m_statements;
    std::function<void(const RunProgress&)> m_sink;
};

} // namespace fee
