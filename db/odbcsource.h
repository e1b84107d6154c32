#pragma once

#include "db/resultsource.h"

#include <memory>

class QSqlDatabase;
class QSqlQuery;

namespace fee {

class CancelState;

// A statement run through Qt's SQL drivers (QODBC for SQL Server), forward
// only: a scrollable query would make FreeTDS open a server cursor. The ODBC
// statement handle is registered in flight while the statement executes and
// while a row is fetched, so a cancel from another thread reaches it.
class OdbcSource : public ResultSource {
public:
    // Runs `statement` on `db`; throws Failure with the database's number and
    // message, or the cancellation failure.
    OdbcSource(const QSqlDatabase& db, const QString& statement, std::shared_ptr<CancelState> cancel);
    // Reads a query that has been run already; it cannot be cancelled.
    explicit OdbcSource(std::unique_ptr<QSqlQuery> query);
    ~OdbcSource() override;

    QStringList fieldNames() const override;
    bool fetch() override;
    bool isNull(int field) const override;
    QVariant value(int field) const override;

private:
    [[noreturn]] void fail() const;

    std::unique_ptr<QSqlQuery> m_query;
    std::shared_ptr<CancelState> m_cancel;
    void* m_handle = nullptr; // the ODBC statement handle, when known
};

} // namespace fee
