#include "TTimerThread.h"

#include "TRxTimer.h"

#include <algorithm>
#include <chrono>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace zumzik::rxtimer {
namespace {

// The seven levels as steps of the thread's nice value, relative to the process's own: idle runs
// only when nothing else wants the processor, and the raised levels need the right to raise
// priority, without which the request is refused and the worker stays where it was.
void setThreadPriority(TTimerThread::Priority priority) {
    static constexpr int kNiceSteps[] = {0, 10, 5, 0, -5, -10, -20};
    const pid_t thread = static_cast<pid_t>(::syscall(SYS_gettid));
    sched_param parameters{};
    const int policy = priority == TRxTimer::tpIdle ? SCHED_IDLE : SCHED_OTHER;
    ::pthread_setschedparam(::pthread_self(), policy, &parameters);
    const int nice = std::clamp(
        ::getpriority(PRIO_PROCESS, static_cast<id_t>(::getpid())) + kNiceSteps[priority], -20, 19);
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(thread), nice);
}

// The worker whose loop runs on this thread, if any.
thread_local const TTimerThread* t_worker = nullptr;

} // namespace

TTimerThread::TTimerThread(TRxTimer& timer)
    : m_timer(timer), m_priority(TRxTimer::tpNormal), m_appliedPriority(TRxTimer::tpNormal) {}

void TTimerThread::end() {
    {
        const std::lock_guard lock(m_mutex);
        m_ending = true;
        cancelHandOff();
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void TTimerThread::pause() {
    {
        const std::lock_guard lock(m_mutex);
        m_paused = true;
        cancelHandOff();
    }
    m_wake.notify_all();
}

void TTimerThread::resume(Priority priority) {
    {
        const std::lock_guard lock(m_mutex);
        m_periodStart = Clock::now();
        start(priority);
    }
    m_wake.notify_all();
}

void TTimerThread::resumeOnSchedule(Priority priority) {
    {
        const std::lock_guard lock(m_mutex);
        start(priority);
    }
    m_wake.notify_all();
}

void TTimerThread::start(Priority priority) {
    m_priority = priority;
    m_paused = false;
    ++m_resumptions;
    if (!m_thread.joinable() && !m_ending)
        m_thread = std::thread([this] { run(); });
}

void TTimerThread::restartSchedule(Clock::time_point start) {
    const std::lock_guard lock(m_mutex);
    m_periodStart = start;
}

std::uint64_t TTimerThread::dueTicks(Clock::time_point now) const {
    if (m_interval == 0 || now < m_periodStart)
        return 0;
    return static_cast<std::uint64_t>((now - m_periodStart) /
                                      std::chrono::milliseconds(m_interval));
}

std::uint64_t TTimerThread::dueTicks() const {
    const std::lock_guard lock(m_mutex);
    return dueTicks(Clock::now());
}

std::uint64_t TTimerThread::skipDueTicks() {
    const std::lock_guard lock(m_mutex);
    const std::uint64_t due = dueTicks(Clock::now());
    m_periodStart += due * std::chrono::milliseconds(m_interval);
    return due;
}

bool TTimerThread::isWorkerThread() const {
    return t_worker == this;
}

bool TTimerThread::isPaused() const {
    const std::lock_guard lock(m_mutex);
    return m_paused;
}

void TTimerThread::setInterval(quint32 milliseconds) {
    const std::lock_guard lock(m_mutex);
    m_interval = milliseconds;
}

void TTimerThread::stopForTermination() {
    {
        const std::lock_guard lock(m_mutex);
        m_terminating = true;
        cancelHandOff();
    }
    m_wake.notify_all();
}

void TTimerThread::cancelHandOff() {
    if (m_handOff && m_handOff->state == HandOff::Pending)
        m_handOff->state = HandOff::Cancelled;
}

bool TTimerThread::handOff(const std::function<void()>& routine) {
    std::unique_lock lock(m_mutex);
    if (!mayTick())
        return false;
    HandOff request{&routine};
    m_handOff = &request;
    m_timer.postHandOff();
    m_wake.wait(lock, [&] {
        return request.state == HandOff::Done || request.state == HandOff::Cancelled;
    });
    m_handOff = nullptr;
    return request.state == HandOff::Done;
}

void TTimerThread::runHandOff() {
    std::unique_lock lock(m_mutex);
    if (!m_handOff || m_handOff->state != HandOff::Pending)
        return;
    HandOff& request = *m_handOff;
    request.state = HandOff::Running;
    lock.unlock();
    // The worker waits until the state says Done, so it keeps the request alive meanwhile, and the
    // state is set even when the routine fails.
    struct MarkDone {
        TTimerThread& worker;
        HandOff& request;
        ~MarkDone() {
            const std::lock_guard relock(worker.m_mutex);
            request.state = HandOff::Done;
            worker.m_wake.notify_all();
        }
    } markDone{*this, request};
    (*request.routine)();
}

void TTimerThread::run() {
    t_worker = this;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_ending || mayTick(); });
        if (m_ending)
            return;
        if (m_priority != m_appliedPriority) {
            setThreadPriority(m_priority);
            m_appliedPriority = m_priority;
        }
        // The sleep ends early only for a change of plan: a pause, a reconfiguration, the end.
        const std::uint64_t resumptions = m_resumptions;
        const auto wakeAt = m_periodStart + std::chrono::milliseconds(m_interval);
        const bool interrupted = m_wake.wait_until(
            lock, wakeAt, [&] { return !mayTick() || m_resumptions != resumptions; });
        if (interrupted)
            continue;
        lock.unlock();
        m_timer.workerTick(*this);
        lock.lock();
        m_periodStart = Clock::now();
    }
}

} // namespace zumzik::rxtimer
