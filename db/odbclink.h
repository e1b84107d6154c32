#pragma once

#include <memory>
#include <mutex>
#include <set>
#include <sys/types.h>
#include <vector>

namespace fee {

// The TCP socket under one FreeTDS connection. The driver neither shows it
// nor can be made to stop waiting on a server that has stopped answering:
// a cancel asks the server, which does not answer either. Shutting the
// socket down makes the driver's wait end at once (the connection is then
// dead and is opened anew by the next statement).
//
// The driver opens the socket inside its connect call, so the socket is
// found afterwards: the TCP sockets of the process that were not there
// before and belong to no other connection. Opens take a process-wide turn
// for this (waiting a little for it, never for a whole login: a login that
// hangs lets the others go on without). When another connection opened at
// the same moment, the socket cannot be told apart (known() is false):
// drop() then takes down every socket it may be, which only a server that
// does not answer, or a cancel, brings about.
//
// Every method may be called from any thread.
class OdbcLink {
public:
    OdbcLink() = default;
    ~OdbcLink();
    OdbcLink(const OdbcLink&) = delete;
    OdbcLink& operator=(const OdbcLink&) = delete;

    // Around the driver's connect call: beginOpen() before, endOpen() after
    // (also when it failed). Once found, the socket gets TCP keepalive, so
    // that a link that died without a word is noticed.
    void beginOpen();
    void endOpen(bool opened);
    // From another thread while the connect call runs: ends the login by
    // shutting down the sockets it made so far.
    void abortOpen();

    bool known() const;
    // Shuts the socket down (both ways); the driver's call in flight returns.
    void drop();

private:
    struct Socket {
        int fd = -1;
        ino_t inode = 0;
    };

    mutable std::mutex m_mutex;
    std::unique_lock<std::timed_mutex> m_turn; // the process-wide turn while opening
    std::set<ino_t> m_before; // the process's TCP sockets before the connect call
    bool m_opening = false;
    Socket m_socket;
    std::vector<Socket> m_maybe; // when the socket could not be told apart
};

} // namespace fee
