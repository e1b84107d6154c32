#include "db/cancelstate.h"

namespace fee {

void CancelState::cancel()
{
    std::lock_guard lock(m_mutex);
    m_generation.fetch_add(1, std::memory_order_acq_rel);
    m_cancelled.store(true, std::memory_order_release);
    if (m_interrupter)
        m_interrupter(m_inFlight);
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
