#include "db/sqlitebackend.h"

#include "db/cancelstate.h"
#include "db/sqlitebatchsource.h"
#include "db/sqlitefunctions.h"
#include "db/sqlitesource.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace fee {

namespace {

    // As long as Qt's SQLite driver waited for a writer's lock.
    constexpr int kBusyTimeoutMs = 5000;
    // Virtual machine steps between two looks at the cancel flag.
    constexpr int kCancelCheckSteps = 1000;

    bool declaresServerCollation(sqlite3* db)
    {
        sqlite3_stmt* stmt = nullptr;
        const QByteArray sql = QByteArrayLiteral("SELECT 1 FROM sqlite_master WHERE sql LIKE '%COLLATE ")
            + kSqliteCollation + QByteArrayLiteral("%' LIMIT 1");
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK)
            return false;
        const bool found = sqlite3_step(stmt) == SQLITE_ROW;
        sqlite3_finalize(stmt);
        return found;
    }

    int stopWhenCancelled(void* state) { return static_cast<const CancelState*>(state)->isCancelled() ? 1 : 0; }

} // namespace

SqliteBackend::SqliteBackend(const QString& path, std::shared_ptr<CancelState> cancel)
    : m_cancel(std::move(cancel))
{
    const QFileInfo file(path);
    // Opening a missing file would quietly create an empty database.
    if (!file.isFile())
        throw Failure(kErrFile, QStringLiteral("The database file ") + path + QStringLiteral(" does not exist."));
    sqlite3* db = nullptr;
    // The connection is used by one thread at a time (cancel aside, which
    // SQLite allows from any thread): no mutex of SQLite's own.
    const int opened = sqlite3_open_v2(file.absoluteFilePath().toUtf8().constData(), &db,
        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE, nullptr);
    if (opened != SQLITE_OK) {
        const Failure failure(opened, QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(opened)));
        sqlite3_close(db);
        throw failure;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    registerSqliteFunctions(db);
    // Temporary tables are writable even on a read-only file; forbid them too.
    sqlite3_exec(db, "PRAGMA query_only=1", nullptr, nullptr, nullptr);
    if (declaresServerCollation(db)) {
        // SQLite 3.40 builds its throwaway automatic indexes without the
        // columns' declared collation when it carries an equality across a
        // join, and then misses rows whose codes differ only in case or
        // trailing blanks ("05 " and "05"). The databases that declare our
        // collation are ours and carry real indexes on every join column.
        sqlite3_exec(db, "PRAGMA automatic_index=0", nullptr, nullptr, nullptr);
    }
    // sqlite3_interrupt() stops the step in flight; the progress check also
    // stops a statement that starts just after a cancel, before the
    // interrupt could reach it.
    sqlite3_progress_handler(db, kCancelCheckSteps, stopWhenCancelled, m_cancel.get());
    m_db = db;
    m_cancel->setInterrupter([db](void*, CancelState::Interrupt) { sqlite3_interrupt(db); });
}

SqliteBackend::~SqliteBackend()
{
    m_cancel->setInterrupter({});
    // _v2: should a statement still be open, the handle goes when it is finalised.
    sqlite3_close_v2(m_db);
}

std::unique_ptr<ResultSource> SqliteBackend::run(const QStringList& statements)
{
    if (statements.size() == 1)
        return std::make_unique<SqliteSource>(m_db, statements.first(), m_cancel);
    return std::make_unique<SqliteBatchSource>(m_db, statements, m_cancel);
}

} // namespace fee
