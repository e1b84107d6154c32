#include "db/dbconnection.h"

#include "db/cancelstate.h"
#include "db/connectionsecrets.h"
#include "db/connectionstring.h"
#include "db/dberror.h"
#include "db/odbcbackend.h"
#include "db/resultcursor.h"
#include "db/resultregistry.h"
#include "db/resultsource.h"
#include "db/sqlitebackend.h"
#include "db/statementadapter.h"

#include <atomic>

namespace fee {

namespace {

    constexpr int kErrClosed = 3704;

    Failure closedFailure()
    {
        return Failure(kErrClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    }

    // The command line's --timeout; -1 when not given.
    std::atomic<int> timeoutOverride { -1 };

    std::unique_ptr<DbConnection>& sharedSlot()
    {
        // Never destroyed: the connection lives until the process ends, and
        // Qt's connection registry may be gone by the time statics unwind.
        static auto* slot = new std::unique_ptr<DbConnection>();
        return *slot;
    }

} // namespace

DbConnection::DbConnection()
    : m_cancel(std::make_shared<CancelState>())
    , m_results(std::make_unique<ResultRegistry>())
{
}

DbConnection::~DbConnection() { close(); }

void DbConnection::close()
{
    // The statements go before the handle they run on.
    m_results->closeAll(closedFailure());
    m_session.reset();
    m_backend = DbBackend::None;
}

void DbConnection::open(const QString& connectionString)
{
    // Whatever fails from here on, its message must not show the password.
    rememberConnectionSecrets(connectionString);
    m_linkLost = false;
    openSession(connectionString);
}

void DbConnection::openSession(const QString& connectionString)
{
    close();
    {
        std::lock_guard lock(m_stringMutex);
        m_connectionString = connectionString;
    }
    const ConnectionTarget target = translateConnectionString(connectionString);
    if (target.backend == DbBackend::Sqlite) {
        m_session = std::make_unique<SqliteBackend>(target.sqlitePath, m_cancel);
    } else {
        const int forced = timeoutOverride.load();
        m_cancel->watch(forced >= 0 ? forced : target.commandTimeout.value_or(kDefaultTimeoutSeconds));
        m_session = std::make_unique<OdbcBackend>(target, m_cancel);
    }
    m_backend = target.backend;
}

void DbConnection::setTimeoutOverride(std::optional<int> seconds) { timeoutOverride.store(seconds ? *seconds : -1); }

qint64 DbConnection::waitingMs() const { return m_cancel->waitingMs(); }

bool DbConnection::isOpen() const { return m_session && m_session->isOpen(); }

DbBackend DbConnection::backend() const { return m_backend; }

QString DbConnection::adapt(const QString& statement) const
{
    return m_backend == DbBackend::Sqlite ? adaptStatementForSqlite(statement) : statement;
}

std::unique_ptr<DbConnection> DbConnection::openSibling() const
{
    auto sibling = std::make_unique<DbConnection>();
    sibling->openLike(*this);
    return sibling;
}

void DbConnection::openLike(const DbConnection& other)
{
    QString text;
    {
        std::lock_guard lock(other.m_stringMutex);
        text = other.m_connectionString;
    }
    // A run cancelled while its connections open must not wait for their logins.
    other.m_cancel->addFollower(m_cancel);
    try {
        open(text);
    } catch (...) {
        other.m_cancel->removeFollower(m_cancel.get());
        throw;
    }
    other.m_cancel->removeFollower(m_cancel.get());
}

void DbConnection::cancel() { m_cancel->cancel(); }

void DbConnection::resetCancel()
{
    // Statements open when the cancel came are dropped now: on SQLite a
    // pending interrupt would otherwise stop the next statement too.
    m_results->closeOlderThan(m_cancel->generation(), CancelState::cancellation());
    m_cancel->reset();
}

bool DbConnection::isCancelled() const { return m_cancel->isCancelled(); }

void DbConnection::reopenIfLinkLost()
{
    if (!m_linkLost && !(m_session && m_session->isLinkLost()))
        return;
    // One attempt per statement, never a loop: a server that is still down
    // fails this statement, and the next one tries again.
    QString text;
    {
        std::lock_guard lock(m_stringMutex);
        text = m_connectionString;
    }
    m_linkLost = true;
    openSession(text);
    m_linkLost = false;
}

DbResult DbConnection::query(const QString& statement) { return queryBatch(QStringList { statement }); }

DbResult DbConnection::queryBatch(const QStringList& statements)
{
    m_cancel->throwIfCancelled();
    if (statements.isEmpty())
        return DbResult();
    reopenIfLinkLost();
    if (!isOpen())
        throw closedFailure();
    // One active statement per connection on SQL Server's driver: a result
    // still being read takes its rest into memory first.
    if (m_backend == DbBackend::SqlServer)
        m_results->bufferAll();
    QStringList adapted;
    adapted.reserve(statements.size());
    for (const QString& statement : statements)
        adapted.append(adapt(statement));
    std::unique_ptr<ResultSource> source;
    try {
        source = m_session->run(adapted);
    } catch (const Failure& failure) {
        // A link that died since the last statement (the server restarted)
        // shows only when the next statement is sent. That statement never
        // ran: it runs once more on a new connection. A link dropped for a
        // server that did not answer is not tried again at once.
        if (isCancellation(failure) || failure.number() == kErrServerSilent || !m_session
            || !m_session->isLinkLost())
            throw;
        reopenIfLinkLost();
        source = m_session->run(adapted);
    }
    return DbResult(std::make_unique<ResultCursor>(std::move(source), m_results.get(), m_cancel, statements));
}

DbConnection& DbConnection::shared()
{
    auto& slot = sharedSlot();
    if (!slot)
        slot = std::make_unique<DbConnection>();
    return *slot;
}

void DbConnection::setShared(std::unique_ptr<DbConnection> connection) { sharedSlot() = std::move(connection); }

} // namespace fee
