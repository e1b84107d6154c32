#pragma once

// Helpers for the tests that use connections on other threads.

#include "core/failure.h"

#include <QMutex>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QtGlobal>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

namespace threadcheck {

// Collects the warnings Qt reports, from any thread, while it lives; they
// still reach the test log.
class WarningCollector {
public:
    WarningCollector()
    {
        s_current = this;
        m_previous = qInstallMessageHandler(&WarningCollector::handle);
    }
    ~WarningCollector()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    WarningCollector(const WarningCollector&) = delete;
    WarningCollector& operator=(const WarningCollector&) = delete;

    QStringList warnings() const
    {
        QMutexLocker lock(&m_mutex);
        return m_warnings;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        WarningCollector* self = s_current;
        if (self && (type == QtWarningMsg || type == QtCriticalMsg)) {
            QMutexLocker lock(&self->m_mutex);
            self->m_warnings.append(message);
        }
        if (self && self->m_previous)
            self->m_previous(type, context, message);
    }

    static inline WarningCollector* s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
    mutable QMutex m_mutex;
    QStringList m_warnings;
};

// Runs `work` on a new QThread and waits for it. Returns "" or what it threw.
inline QString runOnThread(const std::function<void()>& work)
{
    QString thrown;
    QThread* thread = QThread::create([&] {
        try {
            work();
        } catch (const fee::Failure& failure) {
            thrown = QStringLiteral("Failure %1: %2").arg(failure.number()).arg(failure.description());
        } catch (const std::exception& e) {
            thrown = QString::fromUtf8(e.what());
        }
    });
    thread->start();
    thread->wait();
    delete thread;
    return thrown;
}

// Calls `cancel` from another thread after `delayMs`; should the statement
// it is meant to stop still run long after, the test ends with a message
// instead of hanging.
class Canceller {
public:
    Canceller(std::function<void()> cancel, int delayMs, int giveUpMs = 60000)
        : m_thread([this, cancel = std::move(cancel), delayMs, giveUpMs] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            cancel();
            for (int waited = 0; !m_done.load(); waited += 50) {
                if (waited > giveUpMs) {
                    std::fprintf(stderr, "FAIL: the cancel did not stop the statement\n");
                    std::_Exit(1);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        })
    {
    }
    ~Canceller()
    {
        m_done.store(true);
        m_thread.join();
    }
    Canceller(const Canceller&) = delete;
    Canceller& operator=(const Canceller&) = delete;

private:
    std::atomic<bool> m_done { false };
    std::thread m_thread;
};

} // namespace threadcheck
