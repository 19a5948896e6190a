#pragma once

#include <QtGlobal>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace zumzik {

class TRxTimer;

namespace rxtimer {

// The worker of a TRxTimer: a thread that sleeps for the timer's interval and then ticks, again and
// again, until it is told to end. It starts paused, and its thread only with the first resumption;
// while paused, or once the application has begun to terminate, it waits on a condition variable
// and does no work at all.
//
// The ticks follow a schedule: each falls due one interval after the previous one ended, or after
// the resumption. A pause keeps the schedule, so that an owner that paused the worker only because
// nobody would see the ticks can learn how many fell due meanwhile and resume on the same beat.
//
// Everything shared with the thread that configures the timer lies under one mutex. The standard
// library's primitives are used rather than Qt's so that the thread sanitizer sees every
// hand-over between the threads.
class TTimerThread {
public:
    // Scheduling levels from idle to time-critical, as TRxTimer::TThreadPriority numbers them.
    using Priority = int;
    using Clock = std::chrono::steady_clock;

    explicit TTimerThread(TRxTimer& timer);
    ~TTimerThread() { end(); }
    TTimerThread(const TTimerThread&) = delete;
    TTimerThread& operator=(const TTimerThread&) = delete;

    // Tells the worker to end, wakes it from its sleep and waits only for a tick in progress.
    void end();
    // No new tick starts once pause() has returned; a tick already running may finish.
    void pause();
    // Gives the worker its priority and lets it run; the next tick comes a full interval later.
    void resume(Priority priority);
    // Lets the worker run on the schedule that it kept while paused: the next tick comes when it
    // falls due, at once if it is overdue.
    void resumeOnSchedule(Priority priority);
    // While paused: the schedule starts again at start, the next tick due an interval after it.
    void restartSchedule(Clock::time_point start = Clock::now());
    // The ticks that have fallen due on the schedule and not run; skipDueTicks() also lets them go
    // by, so that the next one falls due when it would have come after them.
    std::uint64_t dueTicks() const;
    std::uint64_t skipDueTicks();
    bool isPaused() const;
    void setInterval(quint32 milliseconds);

    // The application has begun to terminate: no tick runs any more, and a worker waiting for the
    // user-interface thread stops waiting, since that thread may never serve it.
    void stopForTermination();

    // Called on the worker: asks the user-interface thread to run routine and waits until it has
    // run. Returns false, without running it, when the worker is paused, ending or the application
    // terminating, before or while it waits.
    bool handOff(const std::function<void()>& routine);
    // Called on the user-interface thread when the queued request arrives: runs the routine that
    // the worker waits for, if that wait has not been called off meanwhile.
    void runHandOff();
    bool isWorkerThread() const;

private:
    struct HandOff {
        const std::function<void()>* routine;
        enum State { Pending, Running, Done, Cancelled } state = Pending;
    };

    void run();
    // With the mutex held: lets the worker run, starting its thread the first time.
    void start(Priority priority);
    // With the mutex held: calls off a hand-off that has not started running yet.
    void cancelHandOff();
    bool mayTick() const { return !m_paused && !m_ending && !m_terminating; }
    std::uint64_t dueTicks(Clock::time_point now) const;

    TRxTimer& m_timer;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_paused = true;
    bool m_ending = false;
    bool m_terminating = false;
    // Counts resumptions, so that a pause and a resume during one sleep still restart it.
    std::uint64_t m_resumptions = 0;
    quint32 m_interval = 1000;
    // The next tick falls due one interval after this moment.
    Clock::time_point m_periodStart;
    Priority m_priority;
    Priority m_appliedPriority;
    HandOff* m_handOff = nullptr;
    std::thread m_thread;
};

} // namespace rxtimer
} // namespace zumzik
