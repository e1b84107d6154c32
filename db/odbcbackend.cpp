#include "db/odbcbackend.h"

#include "db/cancelstate.h"
#include "db/dberror.h"
#include "db/odbcsource.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <sql.h>
#include <sqlext.h>

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

void* OdbcBackend::connectionHandle() const
{
    if (!m_db.isOpen())
        return nullptr;
    const QVariant handle = m_db.driver()->handle();
    if (handle.metaType() != QMetaType::fromType<void*>())
        return nullptr;
    return *static_cast<void* const*>(handle.constData());
}

bool OdbcBackend::isLinkLost() const
{
    SQLHDBC connection = connectionHandle();
    if (!connection)
        return false;
    SQLUINTEGER dead = SQL_CD_FALSE;
    // FreeTDS marks its socket dead after a failed read or write; a driver
    // that cannot tell is taken as alive.
    if (!SQL_SUCCEEDED(SQLGetConnectAttr(connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)))
        return false;
    return dead == SQL_CD_TRUE;
}

std::unique_ptr<ResultSource> OdbcBackend::run(const QStringList& statements)
{
    void* connection = connectionHandle();
    if (!connection)
        throw Failure(kErrConnection, QStringLiteral("Operation is not allowed when the object is closed."));
    return std::make_unique<OdbcSource>(connection, statements, m_cancel);
}

} // namespace fee
