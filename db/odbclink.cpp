#include "db/odbclink.h"

#include <QDir>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <vector>

namespace fee {

namespace {

    // How long an open waits for the turn another open holds: a login that
    // hangs (a server that does not answer) must not hold up the others.
    constexpr auto kTurnWait = std::chrono::seconds(2);

    // Keepalive probes after 30 s of silence, every 10 s, 3 unanswered: a
    // dead link is found within about a minute.
    constexpr int kKeepIdle = 30;
    constexpr int kKeepInterval = 10;
    constexpr int kKeepCount = 3;

    std::timed_mutex& openTurn()
    {
        static auto* turn = new std::timed_mutex;
        return *turn;
    }

    // The sockets claimed by connections, by inode; guarded by claimedMutex().
    std::set<ino_t>& claimed()
    {
        static auto* sockets = new std::set<ino_t>;
        return *sockets;
    }

    std::mutex& claimedMutex()
    {
        static auto* mutex = new std::mutex;
        return *mutex;
    }

    struct TcpSocket {
        int fd;
        ino_t inode;
    };

    bool isConnectedTcp(int fd)
    {
        int type = 0;
        int domain = 0;
        socklen_t length = sizeof type;
        if (::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &length) != 0 || type != SOCK_STREAM)
            return false;
        length = sizeof domain;
        if (::getsockopt(fd, SOL_SOCKET, SO_DOMAIN, &domain, &length) != 0
            || (domain != AF_INET && domain != AF_INET6))
            return false;
        sockaddr_storage peer {};
        length = sizeof peer;
        return ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0;
    }

    // The process's connected TCP sockets now.
    std::vector<TcpSocket> tcpSockets()
    {
        std::vector<TcpSocket> found;
        const QStringList fds = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System);
        for (const QString& name : fds) {
            bool ok = false;
            const int fd = name.toInt(&ok);
            struct stat info { };
            if (!ok || ::fstat(fd, &info) != 0 || !S_ISSOCK(info.st_mode) || !isConnectedTcp(fd))
                continue;
            found.push_back({ fd, info.st_ino });
        }
        return found;
    }

    // The sockets made since `before` that no connection has claimed.
    std::vector<TcpSocket> newSockets(const std::set<ino_t>& before)
    {
        std::vector<TcpSocket> fresh;
        std::lock_guard lock(claimedMutex());
        for (const TcpSocket& s : tcpSockets()) {
            if (!before.count(s.inode) && !claimed().count(s.inode))
                fresh.push_back(s);
        }
        return fresh;
    }

    // Shuts the socket down if `fd` still is that socket (the driver may
    // have closed it and the number gone to another).
    void shutDown(int fd, ino_t inode)
    {
        struct stat info { };
        if (::fstat(fd, &info) == 0 && S_ISSOCK(info.st_mode) && info.st_ino == inode)
            ::shutdown(fd, SHUT_RDWR);
    }

    void keepAlive(int fd)
    {
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
        ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &kKeepIdle, sizeof kKeepIdle);
        ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &kKeepInterval, sizeof kKeepInterval);
        ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &kKeepCount, sizeof kKeepCount);
    }

} // namespace

OdbcLink::~OdbcLink()
{
    std::lock_guard lock(m_mutex);
    if (m_turn.owns_lock())
        m_turn.unlock();
    if (m_socket.fd >= 0) {
        std::lock_guard claims(claimedMutex());
        claimed().erase(m_socket.inode);
    }
}

void OdbcLink::beginOpen()
{
    std::unique_lock<std::timed_mutex> turn(openTurn(), std::defer_lock);
    // Without the turn the socket may not be told apart: the connection
    // then goes without, which is no reason to wait for a whole login.
    const bool mine = turn.try_lock_for(kTurnWait);
    std::set<ino_t> before;
    for (const TcpSocket& s : tcpSockets())
        before.insert(s.inode);
    std::lock_guard lock(m_mutex);
    if (mine)
        m_turn = std::move(turn);
    m_before = std::move(before);
    m_opening = true;
}

void OdbcLink::endOpen(bool opened)
{
    std::lock_guard lock(m_mutex);
    m_opening = false;
    if (opened) {
        std::lock_guard claims(claimedMutex());
        std::vector<TcpSocket> fresh;
        for (const TcpSocket& s : tcpSockets()) {
            if (!m_before.count(s.inode) && !claimed().count(s.inode))
                fresh.push_back(s);
        }
        if (fresh.size() == 1) {
            m_socket = { fresh.front().fd, fresh.front().inode };
            claimed().insert(m_socket.inode);
        } else {
            // Another connection opened beside this one: either socket may
            // be this one's.
            for (const TcpSocket& s : fresh)
                m_maybe.push_back({ s.fd, s.inode });
        }
        for (const TcpSocket& s : fresh)
            keepAlive(s.fd);
    }
    if (m_turn.owns_lock())
        m_turn.unlock();
    m_before.clear();
}

void OdbcLink::abortOpen()
{
    std::lock_guard lock(m_mutex);
    if (!m_opening)
        return;
    // With the turn the new sockets are this login's own; without it they
    // may include another login's of the same moment, which is then ended
    // too: only a server that does not answer, or a cancel, gets here.
    for (const TcpSocket& s : newSockets(m_before))
        shutDown(s.fd, s.inode);
}

bool OdbcLink::known() const
{
    std::lock_guard lock(m_mutex);
    return m_socket.fd >= 0;
}

void OdbcLink::drop()
{
    std::lock_guard lock(m_mutex);
    if (m_socket.fd >= 0) {
        shutDown(m_socket.fd, m_socket.inode);
        return;
    }
    // Unsure which socket is this one's: every one it may be, unless
    // another connection has claimed it since.
    std::lock_guard claims(claimedMutex());
    for (const Socket& s : m_maybe) {
        if (!claimed().count(s.inode))
            shutDown(s.fd, s.inode);
    }
}

} // namespace fee
