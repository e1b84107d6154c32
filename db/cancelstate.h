#pragma once

#include "core/failure.h"

#include <QtGlobal>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace fee {

// The cancel flag of one connection, shared by the connection, its backend
// and the statements it runs. cancel() may come from any thread; everything
// else belongs to the thread that uses the connection.
//
// The backend installs an interrupter (SQLite: sqlite3_interrupt; ODBC: the
// statement cancel of the handle in flight, or the link dropped under it).
// cancel() calls it under the lock, and the backend removes it under the
// same lock before it closes its handle, so a cancel never touches a closed
// handle.
//
// A handle marked in flight may not have reached the driver yet (the mark
// comes just before the call): an ODBC cancel that finds the statement not
// yet running does nothing. So while the handle stays in flight after a
// cancel, the interrupter is called again a few times a second. Make the
// state with std::make_shared.
//
// A watched state (watch()) has one more guard, kept by a thread that looks
// at every watched state a few times a second: a call still in flight a
// second after a cancel (a server that does not answer the cancel either)
// has its link dropped, so that a cancel never waits on the server; and a
// call in flight longer than the timeout has its link dropped and fails
// with the timeout failure, so that a server that stops answering is
// noticed.
class CancelState : public std::enable_shared_from_this<CancelState> {
public:
    enum class Interrupt {
        Cancel, // ask the driver to stop the call
        Drop, // take the link away under it: the call returns at once, failed
    };
    // Called with the handle in flight (nullptr when none).
    using Interrupter = std::function<void(void* inFlight, Interrupt how)>;

    void cancel();
    void reset();
    bool isCancelled() const { return m_cancelled.load(std::memory_order_acquire); }
    // Counts the cancels: a statement opened before the latest cancel stays cancelled.
    quint64 generation() const { return m_generation.load(std::memory_order_acquire); }

    void setInterrupter(Interrupter interrupter);

    // Puts the state under the watch; `timeoutSeconds`: how long a call may
    // stay in flight before its link is dropped (0 waits for ever).
    void watch(int timeoutSeconds);
    int timeout() const { return m_timeoutSeconds.load(); }
    // Throws the timeout failure when the call that just came back was
    // dropped for its timeout (until the next call goes in flight).
    void throwIfTimedOut() const;
    bool hasTimedOut() const;
    static Failure timeoutFailure(int seconds);
    // How long the call in flight has been waiting (0 when none).
    qint64 waitingMs() const;

    // While another state follows this one (a connection opened from this
    // one's text), a cancel of this one cancels it too.
    void addFollower(const std::shared_ptr<CancelState>& follower);
    void removeFollower(const CancelState* follower);

    // Marks `handle` as running a call that cancel() has to interrupt;
    // throws the cancellation failure when the connection is cancelled already.
    void enter(void* handle);
    // The same for a call that must run even so (freeing a statement): it is
    // only watched, never refused.
    void enterAnyway(void* handle);
    void leave();
    // What a call that frees a statement holds in flight: the interrupter
    // may drop the link under it, never cancel the statement being freed.
    static void* closing();

    // Throws the cancellation failure when the connection is cancelled.
    void throwIfCancelled() const;
    static Failure cancellation();

    // Holds a handle in flight for the length of a scope.
    class Flight {
    public:
        enum class Mode { Checked, Anyway };
        Flight(CancelState& state, void* handle, Mode mode = Mode::Checked)
            : m_state(state)
        {
            if (mode == Mode::Anyway)
                m_state.enterAnyway(handle);
            else
                m_state.enter(handle);
        }
        ~Flight() { m_state.leave(); }
        Flight(const Flight&) = delete;
        Flight& operator=(const Flight&) = delete;

    private:
        CancelState& m_state;
    };

private:
    using Clock = std::chrono::steady_clock;
    friend class TimeoutWatch;

    void keepInterrupting(); // on a thread of its own
    void checkTimeout(Clock::time_point now); // from the watching thread

    mutable std::mutex m_mutex;
    std::atomic<bool> m_cancelled { false };
    std::atomic<quint64> m_generation { 0 };
    std::atomic<int> m_timeoutSeconds { 0 };
    Interrupter m_interrupter;
    void* m_inFlight = nullptr;
    Clock::time_point m_since; // when the call in flight went in
    Clock::time_point m_cancelledAt;
    bool m_timedOut = false;
    bool m_watched = false;
    bool m_repeating = false; // a thread repeats the interrupt
    std::vector<std::weak_ptr<CancelState>> m_followers;
};

} // namespace fee
