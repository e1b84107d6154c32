#include "db/cancelstate.h"

#include "db/dberror.h"

#include <condition_variable>
#include <thread>

namespace fee {

// The thread that drops the links under calls in flight too long (past the
// timeout, or a second past a cancel): one for the process, running while
// any watched state lives.
class TimeoutWatch {
public:
    static void watch(const std::shared_ptr<CancelState>& state)
    {
        // Never destroyed: the thread may still look at it while statics unwind.
        static auto* instance = new TimeoutWatch;
        instance->add(state);
    }

private:
    void add(const std::shared_ptr<CancelState>& state)
    {
        std::lock_guard lock(m_mutex);
        m_states.push_back(state);
        if (!m_running) {
            m_running = true;
            std::thread([this] { run(); }).detach();
        }
    }

    void run()
    {
        constexpr auto kPause = std::chrono::milliseconds(200);
        for (;;) {
            std::this_thread::sleep_for(kPause);
            std::vector<std::shared_ptr<CancelState>> alive;
            {
                std::lock_guard lock(m_mutex);
                std::erase_if(m_states, [](const std::weak_ptr<CancelState>& s) { return s.expired(); });
                if (m_states.empty()) {
                    m_running = false;
                    return;
                }
                for (const std::weak_ptr<CancelState>& s : m_states) {
                    if (auto state = s.lock())
                        alive.push_back(std::move(state));
                }
            }
            const auto now = CancelState::Clock::now();
            for (const auto& state : alive)
                state->checkTimeout(now);
        }
    }

    std::mutex m_mutex;
    std::vector<std::weak_ptr<CancelState>> m_states;
    bool m_running = false;
};

void CancelState::cancel()
{
    std::vector<std::shared_ptr<CancelState>> followers;
    {
        std::lock_guard lock(m_mutex);
        m_generation.fetch_add(1, std::memory_order_acq_rel);
        m_cancelled.store(true, std::memory_order_release);
        m_cancelledAt = Clock::now();
        for (const std::weak_ptr<CancelState>& f : m_followers) {
            if (auto follower = f.lock())
                followers.push_back(std::move(follower));
        }
        if (m_interrupter) {
            m_interrupter(m_inFlight, Interrupt::Cancel);
            if (m_inFlight && !m_repeating) {
                m_repeating = true;
                std::thread([self = shared_from_this()] { self->keepInterrupting(); }).detach();
            }
        }
    }
    // Outside the lock: a follower's cancel takes its own.
    for (const auto& follower : followers)
        follower->cancel();
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
        m_interrupter(m_inFlight, Interrupt::Cancel);
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

void CancelState::watch(int timeoutSeconds)
{
    m_timeoutSeconds.store(std::max(0, timeoutSeconds));
    bool first = false;
    {
        std::lock_guard lock(m_mutex);
        first = !m_watched;
        m_watched = true;
    }
    if (first)
        TimeoutWatch::watch(shared_from_this());
}

void CancelState::checkTimeout(Clock::time_point now)
{
    // The server has had its chance to answer a cancel.
    constexpr auto kCancelAnswer = std::chrono::seconds(1);
    const int seconds = m_timeoutSeconds.load();
    std::lock_guard lock(m_mutex);
    if (!m_inFlight || !m_interrupter)
        return;
    bool drop = false;
    if (seconds > 0 && now - m_since >= std::chrono::seconds(seconds)) {
        m_timedOut = true;
        drop = true;
    }
    if (isCancelled() && now - std::max(m_since, m_cancelledAt) >= kCancelAnswer)
        drop = true;
    // Again at every look while the call stays: a login may make its link
    // only after the first drop.
    if (drop)
        m_interrupter(m_inFlight, Interrupt::Drop);
}

bool CancelState::hasTimedOut() const
{
    std::lock_guard lock(m_mutex);
    return m_timedOut;
}

void CancelState::throwIfTimedOut() const
{
    if (hasTimedOut())
        throw timeoutFailure(m_timeoutSeconds.load());
}

Failure CancelState::timeoutFailure(int seconds)
{
    return Failure(kErrServerSilent, QStringLiteral("the server has not answered for %1 s").arg(seconds));
}

qint64 CancelState::waitingMs() const
{
    std::lock_guard lock(m_mutex);
    if (!m_inFlight)
        return 0;
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_since).count();
}

void CancelState::addFollower(const std::shared_ptr<CancelState>& follower)
{
    bool cancelled = false;
    {
        std::lock_guard lock(m_mutex);
        m_followers.push_back(follower);
        cancelled = isCancelled();
    }
    if (cancelled)
        follower->cancel();
}

void CancelState::removeFollower(const CancelState* follower)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_followers, [follower](const std::weak_ptr<CancelState>& f) {
        const auto locked = f.lock();
        return !locked || locked.get() == follower;
    });
}

void CancelState::enter(void* handle)
{
    std::lock_guard lock(m_mutex);
    // Checked under the lock: a cancel either comes before (and is seen
    // here) or after (and finds the handle to interrupt).
    throwIfCancelled();
    m_inFlight = handle;
    m_since = Clock::now();
    m_timedOut = false;
}

void CancelState::enterAnyway(void* handle)
{
    std::lock_guard lock(m_mutex);
    m_inFlight = handle;
    m_since = Clock::now();
    m_timedOut = false;
}

void* CancelState::closing()
{
    static char marker;
    return &marker;
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
