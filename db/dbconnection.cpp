#include "db/dbconnection.h"

#include "db/connectionstring.h"
#include "db/dberror.h"
#include "db/sqlitefunctions.h"
#include "db/statementadapter.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <sqlite3.h>

namespace fee {

namespace {

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

    constexpr int kErrClosed = 3704;
    const char* const kFreeTdsLibrary = "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so";

    std::unique_ptr<DbConnection>& sharedSlot()
    {
        // Never destroyed: the connection lives until the process ends, and
        // Qt's connection registry may be gone by the time statics unwind.
        static auto* slot = new std::unique_ptr<DbConnection>();
        return *slot;
    }

} // namespace

DbConnection::DbConnection()
{
    static QAtomicInt counter;
    m_name = QStringLiteral("fee-db-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

DbConnection::~DbConnection()
{
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

void DbConnection::open(const QString& connectionString)
{
    if (QSqlDatabase::contains(m_name)) {
        {
            QSqlDatabase old = QSqlDatabase::database(m_name, false);
            old.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    m_backend = DbBackend::None;
    m_connectionString = connectionString;
    const ConnectionTarget target = translateConnectionString(connectionString);

    if (target.backend == DbBackend::Sqlite) {
        const QFileInfo file(target.sqlitePath);
        // Opening a missing file would quietly create an empty database.
        if (!file.isFile())
            throw Failure(kErrFile,
                QStringLiteral("The database file ") + target.sqlitePath + QStringLiteral(" does not exist."));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file.absoluteFilePath());
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            throw failureOf(db.lastError());
        const QVariant handle = db.driver()->handle();
        sqlite3* raw = nullptr;
        if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0)
            raw = *static_cast<sqlite3* const*>(handle.data());
        if (!raw)
            throw Failure(kErrConnection, QStringLiteral("The SQLite driver gives no database handle."));
        registerSqliteFunctions(raw);
        // Temporary tables are writable even on a read-only file; forbid them too.
        sqlite3_exec(raw, "PRAGMA query_only=1", nullptr, nullptr, nullptr);
        if (declaresServerCollation(raw)) {
            // SQLite 3.40 builds its throwaway automatic indexes without the
            // columns' declared collation when it carries an equality across a
            // join, and then misses rows whose codes differ only in case or
            // trailing blanks ("05 " and "05"). The databases that declare our
            // collation are ours and carry real indexes on every join column.
            sqlite3_exec(raw, "PRAGMA automatic_index=0", nullptr, nullptr, nullptr);
        }
        m_backend = DbBackend::Sqlite;
        return;
    }

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
    db.setDatabaseName(target.odbc);
    db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=30"));
    if (!db.open()) {
        const QSqlError error = db.lastError();
        // Without an odbcinst.ini entry, name the FreeTDS library itself.
        const QString missingDriver = QStringLiteral("DRIVER={FreeTDS};");
        if (target.odbc.startsWith(missingDriver) && error.text().contains(QLatin1String("IM002"))
            && QFileInfo::exists(QString::fromLatin1(kFreeTdsLibrary))) {
            db.setDatabaseName(QStringLiteral("DRIVER=") + QString::fromLatin1(kFreeTdsLibrary) + QLatin1Char(';')
                + target.odbc.mid(missingDriver.size()));
            if (db.open()) {
                m_backend = DbBackend::SqlServer;
                return;
            }
        }
        const Failure failure = failureOf(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
        throw failure;
    }
    m_backend = DbBackend::SqlServer;
}

bool DbConnection::isOpen() const
{
    return m_backend != DbBackend::None && QSqlDatabase::contains(m_name)
        && QSqlDatabase::database(m_name, false).isOpen();
}

DbBackend DbConnection::backend() const { return m_backend; }

QString DbConnection::adapt(const QString& statement) const
{
    return m_backend == DbBackend::Sqlite ? adaptStatementForSqlite(statement) : statement;
}

std::unique_ptr<DbConnection> DbConnection::openSibling() const
{
    auto sibling = std::make_unique<DbConnection>();
    sibling->open(m_connectionString);
    return sibling;
}

void DbConnection::cancel() { m_cancelled.store(true); }

void DbConnection::resetCancel() { m_cancelled.store(false); }

bool DbConnection::isCancelled() const { return m_cancelled.load(); }

DbResult DbConnection::query(const QString& statement)
{
    if (m_cancelled.load())
        throw Failure(kErrOperationCancelled, QStringLiteral("Operation has been cancelled by the user."));
    if (!isOpen())
        throw Failure(kErrClosed, QStringLiteral("Operation is not allowed when the object is closed."));
    auto q = std::make_unique<QSqlQuery>(QSqlDatabase::database(m_name, false));
    // Before exec: a scrollable query would make FreeTDS open a server cursor.
    q->setForwardOnly(true);
    if (!q->exec(adapt(statement)))
        throw failureOf(q->lastError());
    return DbResult(std::move(q));
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
