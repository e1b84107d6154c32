#pragma once

#include "core/failure.h"

#include <QtGlobal>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace fee {

// The cancel flag of one connection, shared by the connection, its backend
// and the statements it runs. cancel() may come from any thread; everything
// else belongs to the thread that uses the connection.
//
// The backend installs an interrupter (SQLite: sqlite3_interrupt; ODBC: the
// statement cancel of the handle in flight). cancel() calls it under the
// lock, and the backend removes it under the same lock before it closes its
// handle, so a cancel never touches a closed handle.
//
// A handle marked in flight may not have reached the driver yet (the mark
// comes just before the call): an ODBC cancel that finds the statement not
// yet running does nothing. So while the handle stays in flight after a
// cancel, the interrupter is called again a few times a second. Make the
// state with std::make_shared.
class CancelState : public std::enable_shared_from_this<CancelState> {
public:
    // Called with the handle in flight (nullptr when none).
    using Interrupter = std::function<void(void* inFlight)>;

    void cancel();
    void reset();
    bool isCancelled() const { return m_cancelled.load(std::memory_order_acquire); }
    // Counts the cancels: a statement opened before the latest cancel stays cancelled.
    quint64 generation() const { return m_generation.load(std::memory_order_acquire); }

    void setInterrupter(Interrupter interrupter);

    // Marks `handle` as running a call that cancel() has to interrupt;
    // throws the cancellation failure when the connection is cancelled already.
    void enter(void* handle);
    void leave();

    // Throws the cancellation failure when the connection is cancelled.
    void throwIfCancelled() const;
    static Failure cancellation();

    // Holds a handle in flight for the length of a scope.
    class Flight {
    public:
        Flight(CancelState& state, void* handle)
            : m_state(state)
        {
            m_state.enter(handle);
        }
        ~Flight() { m_state.leave(); }
        Flight(const Flight&) = delete;
        Flight& operator=(const Flight&) = delete;

    private:
        CancelState& m_state;
    };

private:
    void keepInterrupting(); // on a thread of its own

    std::mutex m_mutex;
    std::atomic<bool> m_cancelled { false };
    std::atomic<quint64> m_generation { 0 };
    Interrupter m_interrupter;
    void* m_inFlight = nullptr;
    bool m_repeating = false; // a thread repeats the interrupt
};

} // namespace fee
