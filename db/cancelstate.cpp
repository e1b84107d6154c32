#include "db/cancelstate.h"

#include <chrono>
#include <thread>

namespace fee {

void CancelState::cancel()
{
    std::lock_guard lock(m_mutex);
    m_generation.fetch_add(1, std::memory_order_acq_rel);
    m_cancelled.store(true, std::memory_order_release);
    if (!m_interrupter)
        return;
    m_interrupter(m_inFlight);
    if (m_inFlight && !m_repeating) {
        m_repeating = true;
        std::thread([self = shared_from_this()] { self->keepInterrupting(); }).detach();
    }
}

void CancelState::keepInterrupting()
{
    constexpr auto kPause = std::chrono::milliseconds(200);
    constexpr int kTimes = 25;
    for (int i = 0; i < kTimes; ++i) {
        std::this_thread::sleep_for(kPause);
        std::lock_guard lock(m_mutex);
        // Done once the call has come back, or a reset let new statements run.
        if (!m_inFlight || !m_interrupter || !isCancelled())
            break;
        m_interrupter(m_inFlight);
    }
    std::lock_guard lock(m_mutex);
    m_repeating = false;
}

void CancelState::reset() { m_cancelled.store(false, std::memory_order_release); }

void CancelState::setInterrupter(Interrupter interrupter)
{
    std::lock_guard lock(m_mutex);
    m_interrupter = std::move(interrupter);
    m_inFlight = nullptr;
}

void CancelState::enter(void* handle)
{
    std::lock_guard lock(m_mutex);
    // Checked under the lock: a cancel either comes before (and is seen
    // here) or after (and finds the handle to interrupt).
    throwIfCancelled();
    m_inFlight = handle;
}

void CancelState::leave()
{
    std::lock_guard lock(m_mutex);
    m_inFlight = nullptr;
}

void CancelState::throwIfCancelled() const
{
    if (isCancelled())
        throw cancellation();
}

Failure CancelState::cancellation()
{
    return Failure(kErrOperationCancelled, QStringLiteral("Operation has been cancelled by the user."));
}

} // namespace fee
