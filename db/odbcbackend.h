#pragma once

#include "db/connectionbackend.h"

#include <QSqlDatabase>

namespace fee {

class CancelState;

// SQL Server through Qt's QODBC driver, unixODBC and FreeTDS. The Qt
// connection is made, used and removed on the thread that opened it.
class OdbcBackend : public ConnectionBackend {
public:
    // Opens the ODBC string; waits at most 30 seconds for the server. Throws
    // Failure with the driver's description.
    OdbcBackend(const QString& odbc, std::shared_ptr<CancelState> cancel);
    ~OdbcBackend() override;

    bool isOpen() const override { return m_db.isOpen(); }
    std::unique_ptr<ResultSource> run(const QString& statement) override;

private:
    void remove();

    std::shared_ptr<CancelState> m_cancel;
    QString m_name;
    QSqlDatabase m_db;
};

} // namespace fee
