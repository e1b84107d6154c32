#pragma once

#include "db/connectionbackend.h"

#include <QSqlDatabase>

namespace fee {

class CancelState;

// SQL Server through unixODBC and FreeTDS: Qt's QODBC driver opens the
// connection, and the statements run on its ODBC handle (see OdbcSource). The
// Qt connection is made, used and removed on the thread that opened it.
class OdbcBackend : public ConnectionBackend {
public:
    // Opens the ODBC string; waits at most 30 seconds for the server. Throws
    // Failure with the driver's description.
    OdbcBackend(const QString& odbc, std::shared_ptr<CancelState> cancel);
    ~OdbcBackend() override;

    bool isOpen() const override { return m_db.isOpen(); }
    // Asks the driver (no round trip to the server) whether the connection is dead.
    bool isLinkLost() const override;
    std::unique_ptr<ResultSource> run(const QStringList& statements) override;

private:
    void remove();
    void* connectionHandle() const;

    std::shared_ptr<CancelState> m_cancel;
    QString m_name;
    QSqlDatabase m_db;
};

} // namespace fee
