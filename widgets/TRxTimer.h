#pragma once

#include <QObject>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

namespace zumzik {

class ThreadDoorbell;

namespace rxtimer {
class TTimerThread;
}

// A timer that calls its OnTimer handler every Interval milliseconds. By default the ticks come
// from a worker thread of its own, which sleeps between them: with SyncEvent the worker hands each
// tick to the user-interface thread (the thread the timer lives in) and waits for it, without it
// the tick runs on the worker. With Threaded off the ticks come from an ordinary Qt timer on the
// user-interface thread instead.
//
// Ticks run only while Enabled is on, Interval is not 0 and a handler is set; otherwise the worker
// is paused and does nothing at all. Each period is the interval plus the time the tick took;
// ticks do not catch up. An error that a tick raises goes to the application's error report and
// the ticks go on. Once the application has begun to terminate no tick runs on the worker.
//
// Properties are set on the user-interface thread. Destroying the timer never waits out a sleep:
// it waits only for a tick in progress, and no tick runs afterwards. A timer must not be destroyed
// from inside its own tick or hand-off; use deleteLater there.
class TRxTimer : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)
    Q_PROPERTY(quint32 Interval READ interval WRITE setInterval)
    Q_PROPERTY(bool Threaded READ threaded WRITE setThreaded)
    Q_PROPERTY(bool SyncEvent READ syncEvent WRITE setSyncEvent)
    Q_PROPERTY(TThreadPriority ThreadPriority READ threadPriority WRITE setThreadPriority)
public:
    enum TThreadPriority {
        tpIdle,
        tpLowest,
        tpLower,
        tpNormal,
        tpHigher,
        tpHighest,
        tpTimeCritical
    };
    Q_ENUM(TThreadPriority)
    using NotifyEvent = std::function<void(TRxTimer* sender)>;

    explicit TRxTimer(QObject* parent = nullptr);
    ~TRxTimer() override;

    bool enabled() const { return m_enabled.load(); }
    void setEnabled(bool on);
    quint32 interval() const { return m_interval; }
    void setInterval(quint32 milliseconds);
    bool threaded() const { return m_threaded; }
    // Switching to the user-interface thread's timer fails with "Not enough timers available"
    // when Qt cannot start one; the new value stays set.
    void setThreaded(bool on);
    bool syncEvent() const { return m_syncEvent.load(); }
    // Read by the worker at every tick; takes effect with the next one.
    void setSyncEvent(bool on) { m_syncEvent = on; }
    TThreadPriority threadPriority() const { return m_threadPriority; }
    void setThreadPriority(TThreadPriority priority);
    NotifyEvent onTimer() const;
    // Replacing one handler by another leaves the ticks running as they are.
    void setOnTimer(NotifyEvent handler);

    // Runs routine on the user-interface thread. Called there, it runs at once. Called from a tick
    // on the worker, the worker waits until the user-interface thread has run it; when the worker
    // is paused or ending, or the application terminating, the routine is dropped instead, since
    // what paused the worker has taken its place; from any other thread it is dropped as well.
    // Returns whether the routine ran.
    bool synchronize(const std::function<void()>& routine);

    // Lets the ticks lapse while they would change nothing that anyone sees: the worker stops
    // waking, yet the ticks keep falling due on its schedule. lapsedTicks() counts those not taken
    // yet and takeLapsedTicks() takes them; endLapse() takes the rest and lets the ticks go on, the
    // next one when it falls due. A reconfiguration while lapsed starts the schedule afresh, as it
    // restarts a running timer, and backdateLapse() starts it at an earlier moment instead. Only
    // the worker lapses: the user-interface thread's timer goes on ticking, and none fall due.
    void lapse();
    bool lapsed() const { return m_lapsed; }
    quint64 lapsedTicks() const;
    quint64 takeLapsedTicks();
    quint64 endLapse();
    void backdateLapse(std::chrono::steady_clock::time_point start);

protected:
    // One tick: calls OnTimer with this timer as sender, if Enabled and a handler is set and the
    // timer is not being destroyed.
    virtual void Timer();
    void timerEvent(QTimerEvent* event) override;

private:
    friend class rxtimer::TTimerThread;

    bool ticking() const { return m_interval != 0 && m_enabled && m_hasHandler; }
    bool lapsing() const { return m_lapsed && m_threaded && ticking(); }
    void updateTimer();
    void stopWindowTimer();
    // The worker's side of one tick, run on the worker.
    void workerTick(rxtimer::TTimerThread& worker);
    // Runs Timer() on this thread and reports an error that it raises.
    void reportingTick();
    // Asks this timer's thread to run the worker's pending hand-off.
    void postHandOff();

    std::atomic<bool> m_enabled{true};
    quint32 m_interval = 1000;
    bool m_threaded = true;
    std::atomic<bool> m_syncEvent{true};
    TThreadPriority m_threadPriority = tpNormal;
    mutable std::mutex m_handlerMutex;
    NotifyEvent m_onTimer;
    bool m_hasHandler = false;
    std::atomic<bool> m_destroying{false};
    bool m_lapsed = false;
    int m_windowTimerId = 0;
    ThreadDoorbell* m_handOffBell;
    std::unique_ptr<rxtimer::TTimerThread> m_worker;
};

} // namespace zumzik
