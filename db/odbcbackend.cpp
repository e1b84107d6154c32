#include "db/odbcbackend.h"

#include "core/notices.h"
#include "db/cancelstate.h"
#include "db/connectionstring.h"
#include "db/dberror.h"
#include "db/freetdsconfig.h"
#include "db/odbclink.h"
#include "db/odbcsource.h"
#include "db/serverprobe.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <mutex>
#include <optional>
#include <sql.h>
#include <sqlext.h>

namespace fee {

namespace {

    const char* const kFreeTdsLibrary = "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so";
    // As long as a login may take, unless the request timeout is shorter.
    constexpr int kLoginTimeout = 30;
    // How long the look at a refusing server may take.
    constexpr int kProbeTimeoutMs = 10000;

    // What the cancel state holds in flight while the driver logs in.
    char loginMarker;

    QString uniqueName()
    {
        static QAtomicInt counter;
        return QStringLiteral("fee-db-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
    }

    Failure refused(const QString& why) { return Failure(kErrLinkRefused, why); }

    QString readableCertificate(const QString& path)
    {
        const QFileInfo file(path);
        if (!file.isFile() || !file.isReadable())
            throw refused(QStringLiteral("the certificate file %1 cannot be read").arg(path));
        return file.absoluteFilePath();
    }

    ProbeRequest probeOf(const ConnectionTarget& target, const QString& certificateFile,
        const std::shared_ptr<CancelState>& cancel)
    {
        ProbeRequest request;
        request.stopped = [cancel] { return cancel->isCancelled(); };
        request.host = target.host;
        request.port = target.port;
        request.encrypt = target.encryption != LinkEncryption::Off;
        request.verify = target.encryption == LinkEncryption::Verify;
        request.certificateFile = certificateFile;
        request.certificateHost = target.certificateHost.isEmpty() ? target.host : target.certificateHost;
        const int timeout = cancel->timeout();
        request.timeoutMs = timeout > 0 ? std::min(kProbeTimeoutMs, timeout * 1000) : kProbeTimeoutMs;
        return request;
    }

    // The cause of a refused link, when the server tells it.
    std::optional<Failure> refusalOf(const ConnectionTarget& target, const ProbeRequest& request, const ProbeResult& seen)
    {
        using Outcome = ProbeResult::Outcome;
        switch (seen.outcome) {
        case Outcome::RequiresEncryption:
            return refused(QStringLiteral("the server requires encryption, but the connection string turns it off (%1)")
                               .arg(target.encryptionKeyword));
        case Outcome::NoEncryption:
            return refused(QStringLiteral("the server offers no encryption, but the connection string asks for it (%1)")
                               .arg(target.encryptionKeyword));
        case Outcome::Untrusted:
            return refused(QStringLiteral("the server's certificate is not trusted: %1").arg(seen.detail));
        case Outcome::NameMismatch:
            return refused(QStringLiteral("the server's certificate does not match the host name %1 (it is for %2)")
                               .arg(request.certificateHost, seen.detail));
        case Outcome::Accepted:
        case Outcome::Unknown:
            break;
        }
        return std::nullopt;
    }

    // Once per connection string and process: the notice is about the
    // string, not about each connection a run opens from it.
    bool firstTimeFor(const QString& odbc)
    {
        static std::mutex mutex;
        static QSet<QString> seen;
        std::lock_guard lock(mutex);
        if (seen.contains(odbc))
            return false;
        seen.insert(odbc);
        return true;
    }

} // namespace

OdbcBackend::OdbcBackend(const ConnectionTarget& target, std::shared_ptr<CancelState> cancel)
    : m_cancel(std::move(cancel))
    , m_link(std::make_shared<OdbcLink>())
    , m_name(uniqueName())
{
    QString odbc = target.odbc;
    QString certificateFile;
    if (target.encryption == LinkEncryption::Verify) {
        if (!target.certificateFile.isEmpty())
            certificateFile = readableCertificate(target.certificateFile);
        // FreeTDS checks the certificate against the host it connects to
        // only; another name is checked here, before the login.
        const bool otherName = !target.certificateHost.isEmpty();
        if (otherName) {
            if (target.port == 0)
                throw refused(QStringLiteral("HostNameInCertificate needs the server's port: give the data source "
                                             "as host,port"));
            const ProbeRequest request = probeOf(target, certificateFile, m_cancel);
            const ProbeResult seen = probeServer(request);
            m_cancel->throwIfCancelled();
            if (auto refusal = refusalOf(target, request, seen))
                throw *refusal;
            if (seen.outcome != ProbeResult::Outcome::Accepted)
                throw refused(QStringLiteral("the server's certificate could not be checked for %1%2")
                                  .arg(request.certificateHost,
                                      seen.detail.isEmpty() ? QString() : QStringLiteral(": ") + seen.detail));
        }
        ConnectionTarget section = target;
        section.certificateFile = certificateFile;
        odbc = QStringLiteral("DRIVER={FreeTDS};SERVERNAME=") + freeTdsSection(section, !otherName)
            + QLatin1Char(';') + target.odbcLogin;
    }

    // A statement's cancel goes to the driver first (FreeTDS sends the server
    // an attention, also while another thread waits in the driver); a call
    // that still does not come back has its link dropped. A login is ended
    // by dropping the link it is making.
    m_cancel->setInterrupter([link = m_link](void* inFlight, CancelState::Interrupt how) {
        if (inFlight == &loginMarker)
            link->abortOpen();
        else if (how == CancelState::Interrupt::Drop)
            link->drop();
        else if (inFlight && inFlight != CancelState::closing())
            SQLCancel(static_cast<SQLHSTMT>(inFlight));
    });

    bool opened = false;
    QElapsedTimer waited;
    waited.start();
    try {
        CancelState::Flight login(*m_cancel, &loginMarker);
        opened = openDriver(odbc);
    } catch (...) {
        m_cancel->setInterrupter({});
        remove();
        throw;
    }
    // A link dropped under the login after the server had let it in: the
    // driver's checks that follow fail quietly, and the connection is dead.
    if (opened && (m_cancel->isCancelled() || m_cancel->hasTimedOut())) {
        m_cancel->setInterrupter({});
        remove();
        m_cancel->throwIfCancelled();
        m_cancel->throwIfTimedOut();
    }
    if (!opened) {
        const Failure failure = failureOf(m_db.lastError());
        m_cancel->setInterrupter({});
        remove();
        m_cancel->throwIfCancelled();
        m_cancel->throwIfTimedOut();
        // The driver's login timeout is the request timeout when that is shorter.
        const int timeout = m_cancel->timeout();
        if (timeout > 0 && timeout < kLoginTimeout && waited.elapsed() >= qint64(timeout) * 1000)
            throw CancelState::timeoutFailure(timeout);
        if (target.encryption != LinkEncryption::Default && target.port != 0) {
            const ProbeRequest request = probeOf(target, certificateFile, m_cancel);
            if (auto refusal = refusalOf(target, request, probeServer(request)))
                throw *refusal;
        }
        throw failure;
    }
    // Without the socket in hand, the driver's own timeout stands in (it
    // gives up after twice the time on a server that does not answer).
    if (!m_link->known())
        m_driverTimeout = m_cancel->timeout();
    if (target.encryption == LinkEncryption::Trust && firstTimeFor(target.odbc))
        notice(QStringLiteral("the link to the server is encrypted, but the server's certificate is not checked "
                              "(%1): anyone between here and the server could pose as it")
                   .arg(target.encryptionKeyword));
}

bool OdbcBackend::openDriver(const QString& odbc)
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
    m_db.setDatabaseName(odbc);
    const int timeout = m_cancel->timeout();
    const int login = timeout > 0 ? std::min(timeout, kLoginTimeout) : kLoginTimeout;
    m_db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(login));
    m_link->beginOpen();
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
    m_link->endOpen(opened);
    return opened;
}

OdbcBackend::~OdbcBackend()
{
    m_cancel->setInterrupter({});
    remove();
}

void OdbcBackend::remove()
{
    if (!m_db.isValid() && !QSqlDatabase::contains(m_name))
        return;
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
    return std::make_unique<OdbcSource>(connection, statements, m_cancel, m_driverTimeout);
}

} // namespace fee
