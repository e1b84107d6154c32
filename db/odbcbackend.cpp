#include "db/odbcbackend.h"

#include "db/cancelstate.h"
#include "db/dberror.h"
#include "db/odbcsource.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>
#include <sql.h>

namespace fee {

namespace {

    const char* const kFreeTdsLibrary = "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so";

    QString uniqueName()
    {
        static QAtomicInt counter;
        return QStringLiteral("fee-db-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
    }

} // namespace

OdbcBackend::OdbcBackend(const QString& odbc, std::shared_ptr<CancelState> cancel)
    : m_cancel(std::move(cancel))
    , m_name(uniqueName())
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
    m_db.setDatabaseName(odbc);
    m_db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=30"));
    bool opened = m_db.open();
    if (!opened) {
        // Without an odbcinst.ini entry, name the FreeTDS library itself.
        const QString missingDriver = QStringLiteral("DRIVER={FreeTDS};");
        if (odbc.startsWith(missingDriver) && m_db.lastError().text().contains(QLatin1String("IM002"))
            && QFileInfo::exists(QString::fromLatin1(kFreeTdsLibrary))) {
            m_db.setDatabaseName(QStringLiteral("DRIVER=") + QString::fromLatin1(kFreeTdsLibrary) + QLatin1Char(';')
                + odbc.mid(missingDriver.size()));
            opened = m_db.open();
        }
    }
    if (!opened) {
        const Failure failure = failureOf(m_db.lastError());
        remove();
        throw failure;
    }
    // The statement cancel of ODBC; FreeTDS sends the server an attention
    // for it, also while another thread waits in the driver.
    m_cancel->setInterrupter([](void* inFlight) {
        if (inFlight)
            SQLCancel(static_cast<SQLHSTMT>(inFlight));
    });
}

OdbcBackend::~OdbcBackend()
{
    m_cancel->setInterrupter({});
    remove();
}

void OdbcBackend::remove()
{
    m_db.close();
    // No handle of ours may remain, or Qt warns that the connection is still in use.
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

std::unique_ptr<ResultSource> OdbcBackend::run(const QString& statement)
{
    return std::make_unique<OdbcSource>(m_db, statement, m_cancel);
}

} // namespace fee
