#include "TrayAnimationThread.h"

#include "ApplicationErrorReport.h"
#include "ThreadDoorbell.h"

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
        if (paused)
            callOffStep();
    }
    m_wake.notify_all();
}

void TRxTrayIcon::TTimerThread::detach() {
    {
        const std::lock_guard lock(m_mutex);
        m_owner = nullptr;
        m_paused = false;
        callOffStep();
    }
    m_wake.notify_all();
}

void TRxTrayIcon::TTimerThread::callOffStep() {
    if (m_step == StepState::Requested)
        m_step = StepState::None;
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
        m_step = StepState::Requested;
        // Rung under the lock, so the doorbell, which the owner holds, is still there.
        m_owner->m_stepBell->ring();
        m_wake.wait(lock, [this] { return m_step == StepState::None || stopping(); });
    }
}

void TRxTrayIcon::TTimerThread::step() {
    TRxTrayIcon* owner = nullptr;
    {
        const std::lock_guard lock(m_mutex);
        if (m_step != StepState::Requested)
            return;
        // A request is called off when the worker is detached, so the owner is still set.
        m_step = StepState::Running;
        owner = m_owner;
    }
    // The owner lives on this thread, so it cannot be destroyed while the step runs; the caller
    // holds a reference to this worker, which a step that switches animation off lets go of.
    try {
        owner->AdvanceFrame();
    } catch (...) {
        ApplicationErrorReport::reportCurrentException();
    }
    {
        const std::lock_guard lock(m_mutex);
        m_step = StepState::None;
    }
    m_wake.notify_all();
}

} // namespace zumzik
