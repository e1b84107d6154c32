#pragma once

#include "db/connectionbackend.h"

#include <QSqlDatabase>

namespace fee {

class CancelState;
class OdbcLink;
struct ConnectionTarget;

// SQL Server through unixODBC and FreeTDS: Qt's QODBC driver opens the
// connection, and the statements run on its ODBC handle (see OdbcSource). The
// Qt connection is made, used and removed on the thread that opened it.
//
// The link is encrypted and the server's certificate checked as the
// connection string asks; a link the server or the certificate refuses
// fails with the cause named (kErrLinkRefused). A call that waits longer
// than the cancel state's timeout, or is cancelled and not answered, has
// the link dropped under it (OdbcLink).
class OdbcBackend : public ConnectionBackend {
public:
    // Opens the connection; waits at most 30 seconds for the server (less
    // with a shorter timeout). Throws Failure with the driver's description,
    // the refusal's cause, the timeout or the cancellation.
    OdbcBackend(const ConnectionTarget& target, std::shared_ptr<CancelState> cancel);
    ~OdbcBackend() override;

    bool isOpen() const override { return m_db.isOpen(); }
    // Asks the driver (no round trip to the server) whether the connection is dead.
    bool isLinkLost() const override;
    std::unique_ptr<ResultSource> run(const QStringList& statements) override;

private:
    bool openDriver(const QString& odbc);
    void remove();
    void* connectionHandle() const;

    std::shared_ptr<CancelState> m_cancel;
    std::shared_ptr<OdbcLink> m_link;
    QString m_name;
    QSqlDatabase m_db;
    int m_driverTimeout = 0; // seconds the driver itself waits, when the link is not known
};

} // namespace fee
