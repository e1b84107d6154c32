#pragma once

#include "core/failure.h"
#include "db/dbresult.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>
#include <optional>

namespace fee {

enum class DbBackend { None, SqlServer, Sqlite };

class CancelState;
class ConnectionBackend;
class ResultRegistry;

// One database connection. Statements are written in T-SQL; on the embedded
// database they pass through the statement adapter first.
//
// Threads: a connection belongs to the thread that opens it; it may be made,
// used and destroyed entirely on a worker thread. Its results belong to the
// same thread. cancel() is the one call allowed from any other thread;
// openSibling() may be called from any thread (the sibling belongs to the
// caller's thread) as long as open() is not running at the same time.
//
// Results stream (see DbResult). The embedded database runs any number of
// statements side by side. SQL Server's driver (FreeTDS) allows one active
// statement per connection: when query() is called while an earlier result
// of the same connection still has rows to read, that result first reads its
// remaining rows into memory, so code that runs a statement per row of
// another stays correct. Work that must stream a big result while running
// other statements opens a second connection with openSibling().
//
// Closing (open() again, or destruction) closes the results still being read.
//
// On SQL Server a request that gets no answer for the timeout (60 seconds
// unless the string's "Command Timeout" or setTimeoutOverride() says
// otherwise) fails with "the server has not answered for N s": the link is
// dropped under it, so that a server that stopped answering with its link
// open never holds a run for ever. TCP keepalive finds a link that died
// without a word.
//
// A lost link (the server stopped or restarted, the network dropped) fails
// the row being read with the driver's message; results of the lost link stay
// failed. The connection is replaced by the next query(): it opens again from
// the same text, once; if that fails, the failure is thrown and the query()
// after tries once more. A statement sent on a link that turns out dead only
// then (the first one after a server restart) runs once more on the new
// connection.
class DbConnection {
public:
    DbConnection();
    ~DbConnection();
    DbConnection(const DbConnection&) = delete;
    DbConnection& operator=(const DbConnection&) = delete;

    // Accepts the OLE DB style string of the stored settings, any "Driver=..."
    // ODBC string, and "Provider=SQLite;Data Source=PATH" (opened read-only; a
    // missing file fails). Waits at most 30 seconds for the server. Throws
    // Failure with the driver's description.
    void open(const QString& connectionString);
    bool isOpen() const;
    DbBackend backend() const;
    // The text the connection was last opened from (also when the open failed).
    const QString& connectionString() const { return m_connectionString; }

    // A new connection opened from the same text, belonging to the calling
    // thread (for work on another thread, or a statement while a result of
    // this one streams). A cancel of this connection while the sibling
    // opens ends its login. Throws.
    std::unique_ptr<DbConnection> openSibling() const;
    // Opens this connection from another one's text, as openSibling() would;
    // for a caller that must be able to cancel() the login (throws the
    // cancellation failure then).
    void openLike(const DbConnection& other);

    // Safe from any thread: interrupts the statement in flight (its exec or
    // next() throws the cancellation failure, kErrOperationCancelled), and
    // every later query() or next() on this connection throws it too until
    // resetCancel(). A result that was open when the cancel came stays
    // cancelled; after resetCancel() new statements run normally. On SQL
    // Server a call the server does not let go of within about a second has
    // its link dropped (the connection opens again at its next statement):
    // a cancel never waits on a server that has stopped answering.
    void cancel();
    void resetCancel();
    bool isCancelled() const;

    // Safe from any thread: how long the request in flight has gone without
    // an answer (0 when none waits).
    qint64 waitingMs() const;

    // The seconds a request may go unanswered on SQL Server, for every
    // connection opened from now on, whatever their strings say (the
    // command line's --timeout); 0 waits for ever, nullopt goes back to the
    // strings (and 60 s without).
    static void setTimeoutOverride(std::optional<int> seconds);
    static constexpr int kDefaultTimeoutSeconds = 60;

    // Runs one statement; the rows are read forward only. Throws Failure
    // with the database's number and message.
    DbResult query(const QString& statement);
    // Sends statements that do not depend on each other's results together:
    // on SQL Server one request (one round trip) for all of them. The result
    // holds one result set per statement, in order; the first is current and
    // DbResult::nextResult() moves on. A statement's failure is thrown when
    // its result set is reached (the first one's here), with the database's
    // number and message as query() would give them; the statements after it
    // may not have run. While its result sets are being read the batch holds
    // the connection as a streaming result does. No statement gives an
    // empty result: when the server ends the batch before a statement's
    // result set, moving to it fails (kErrShortBatch, naming the statement).
    DbResult queryBatch(const QStringList& statements);

    // The statement as it reaches the database (adapted on the embedded one).
    QString adapt(const QString& statement) const;

    // The process-wide connection. Any code that finds none gets an empty,
    // unopened one. Tests may replace it.
    static DbConnection& shared();
    static void setShared(std::unique_ptr<DbConnection> connection);

private:
    void close();
    void openSession(const QString& connectionString);
    void reopenIfLinkLost();

    QString m_connectionString;
    mutable std::mutex m_stringMutex; // openSibling() may read the text from another thread
    std::shared_ptr<CancelState> m_cancel;
    std::unique_ptr<ResultRegistry> m_results;
    std::unique_ptr<ConnectionBackend> m_session;
    DbBackend m_backend = DbBackend::None;
    bool m_linkLost = false; // a reopen after a lost link failed: the next query() tries again
};

} // namespace fee
