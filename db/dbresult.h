#pragma once

#include "core/failure.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

namespace fee {

class ResultCursor;

// A forward-only, read-only result that streams: rows are read from the
// database one at a time as next() asks for them, never all at once.
//
// Read by field index where speed matters: resolve the index once per
// statement with indexOf(), then read by index. The reads by name find the
// field without regard to case, through a hash of the result's names.
// Every read that meets a NULL where a value is required throws
// Failure(kErrInvalidNull, ...).
//
// A result belongs to the thread of its connection. While rows are left it
// holds a statement on the connection; reading the last row frees it. When
// its connection closes, a result still being read is closed too (next()
// throws). See DbConnection for what happens on SQL Server when another
// statement runs while a result is being read, and for cancelling.
class DbResult {
public:
    DbResult();
    DbResult(DbResult&&) noexcept;
    DbResult& operator=(DbResult&&) noexcept;
    ~DbResult();

    // Moves to the next row; false once the rows are used up. Call it before
    // the first read. A database failure met while reading is thrown here,
    // and again by every later call.
    bool next();
    // Of a batch (DbConnection::queryBatch): moves to the next statement's
    // result set, before its first row; false when there is none. Throws that
    // statement's failure, and so does every later call.
    bool nextResult();

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
    friend class DbConnection;
    explicit DbResult(std::unique_ptr<ResultCursor> cursor);
    void checkField(int field) const;

    std::unique_ptr<ResultCursor> m_cursor;
};

} // namespace fee
