#pragma once

#include "common/failure.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <atomic>
#include <memory>
#include <optional>

class QSqlQuery;

namespace fee {

enum class DbBackend { None, SqlServer, Sqlite };

// A forward-only, read-only result. Fields are found by name without regard to
// case. Every read that meets a NULL where a value is required throws
// Failure(kErrInvalidNull, ...). The rows are fetched when the result is made,
// so the connection is free for the next statement while this one is read
// (SQL Server's driver allows one active statement per connection).
class DbResult {
public:
    DbResult();
    explicit DbResult(std::unique_ptr<QSqlQuery> query);
    DbResult(DbResult&&) noexcept;
    DbResult& operator=(DbResult&&) noexcept;
    ~DbResult();

    // Moves to the next row; false once the rows are used up. Call it before
    // the first read.
    bool next();

    int fieldCount() const;
    QString fieldName(int index) const;
    bool hasField(const QString& name) const;
    // The index of a field, found without regard to case; throws when the
    // field does not exist. Resolve once per statement, then read by index.
    int indexOf(const QString& name) const;

    // Reads by field index: the same rules as the reads by name below.
    bool isNull(int field) const;
    QVariant value(int field) const;
    QString text(int field) const;
    QString textOrEmpty(int field) const;
    double number(int field) const;
    std::optional<double> numberOrNull(int field) const;
    QDateTime dateTime(int field) const;
    QDate date(int field) const;
    bool boolean(int field) const;

    bool isNull(const QString& name) const;
    QVariant value(const QString& name) const; // NULL gives an invalid/null QVariant
    QString text(const QString& name) const; // NULL throws
    QString textOrEmpty(const QString& name) const; // NULL gives ""
    double number(const QString& name) const; // NULL throws
    std::optional<double> numberOrNull(const QString& name) const;
    // Dates: SQL Server's native values and the embedded database's ISO texts
    // ("YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS"). NULL gives an invalid value.
    QDateTime dateTime(const QString& name) const;
    QDate date(const QString& name) const;
    bool boolean(const QString& name) const; // NULL throws

private:
    const QVariant& cell(int field) const; // the current row's value; throws before the first row
    QStringList m_names;
    QList<QVariantList> m_rows;
    qsizetype m_row = -1;
};

// One database connection. Statements are written in T-SQL; on the embedded
// database they pass through the statement adapter first.
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

    // A new connection opened from the same text (for work on another
    // thread, or a statement while a result of this one is open). Throws.
    std::unique_ptr<DbConnection> openSibling() const;

    // Safe from any thread: interrupts the statement in flight, and every
    // later statement or row read on this connection throws the cancellation
    // failure (kErrOperationCancelled) until resetCancel().
    void cancel();
    void resetCancel();
    bool isCancelled() const;

    // Runs one statement; the rows are read forward only. Statements never
    // time out. Throws Failure with the database's number and message.
    DbResult query(const QString& statement);

    // The statement as it reaches the database (adapted on the embedded one).
    QString adapt(const QString& statement) const;

    // The process-wide connection. Any code that finds none gets an empty,
    // unopened one. Tests may replace it.
    static DbConnection& shared();
    static void setShared(std::unique_ptr<DbConnection> connection);

private:
    QString m_name;
    QString m_connectionString;
    std::atomic<bool> m_cancelled { false };
    DbBackend m_backend = DbBackend::None;
};

} // namespace fee
