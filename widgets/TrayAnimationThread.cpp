#include "TrayAnimationThread.h"

#include "ApplicationErrorReport.h"

#include <QMetaObject>
#include <chrono>
#include <thread>

namespace zumzik {

std::shared_ptr<TRxTrayIcon::TTimerThread> TRxTrayIcon::TTimerThread::start(TRxTrayIcon& owner,
                                                                            bool paused) {
    auto worker = std::make_shared<TTimerThread>(owner, paused);
    std::thread([worker] { worker->run(); }).detach();
    return worker;
}

TRxTrayIcon::TTimerThread::TTimerThread(TRxTrayIcon& owner, bool paused)
    : m_owner(&owner), m_paused(paused) {}

void TRxTrayIcon::TTimerThread::setPaused(bool paused) {
    {
        const std::lock_guard lock(m_mutex);
        m_paused = paused;
    }
    m_wake.notify_all();
}

bool TRxTrayIcon::TTimerThread::paused() const {
    const std::lock_guard lock(m_mutex);
    return m_paused;
}

void TRxTrayIcon::TTimerThread::detach() {
    {
        const std::lock_guard lock(m_mutex);
        m_owner = nullptr;
        m_paused = false;
    }
    m_wake.notify_all();
}

void TRxTrayIcon::TTimerThread::run() {
    std::unique_lock lock(m_mutex);
    while (!stopping()) {
        if (m_paused) {
            m_wake.wait(lock, [this] { return !m_paused || stopping(); });
            continue;
        }
        // The owner cannot go away while the lock is held: it detaches the worker first.
        const std::chrono::milliseconds interval(m_owner->m_interval.load());
        if (interval.count() > 0) {
            // Only detaching cuts the pause short; a new interval applies to the next pause.
            m_wake.wait_for(lock, interval, [this] { return stopping(); });
        } else {
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
        }
        if (stopping() || m_paused)
            continue;
        m_stepPending = true;
        QMetaObject::invokeMethod(
            m_owner, [self = shared_from_this()] { self->step(); }, Qt::QueuedConnection);
        m_wake.wait(lock, [this] { return !m_stepPending || stopping(); });
    }
}

void TRxTrayIcon::TTimerThread::step() {
    TRxTrayIcon* owner = nullptr;
    {
        const std::lock_guard lock(m_mutex);
        owner = m_owner;
    }
    // The owner lives on this thread, so it cannot be destroyed while the step runs.
    if (owner) {
        try {
            owner->AdvanceFrame();
        } catch (...) {
            ApplicationErrorReport::reportCurrentException();
        }
    }
    {
        const std::lock_guard lock(m_mutex);
        m_stepPending = false;
    }
    m_wake.notify_all();
}

} // namespace zumzik
