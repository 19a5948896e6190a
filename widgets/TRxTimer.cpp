#include "TRxTimer.h"

#include "ApplicationErrorReport.h"
#include "ComponentError.h"
#include "TTimerThread.h"
#include "ThreadDoorbell.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimerEvent>
#include <limits>

namespace zumzik {

TRxTimer::TRxTimer(QObject* parent)
    : QObject(parent), m_handOffBell(new ThreadDoorbell(this)),
      m_worker(std::make_unique<rxtimer::TTimerThread>(*this)) {
    connect(m_handOffBell, &ThreadDoorbell::rung, this, [this] { m_worker->runHandOff(); });
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this,
                [this] { m_worker->stopForTermination(); });
}

TRxTimer::~TRxTimer() {
    m_enabled = false;
    m_destroying = true;
    {
        const std::lock_guard lock(m_handlerMutex);
        m_onTimer = nullptr;
    }
    // Wakes the worker from its sleep; it finishes a tick in progress and ends. The worker object
    // itself goes with the members, once no tick can read it any more.
    m_worker->end();
    stopWindowTimer();
}

void TRxTimer::setEnabled(bool on) {
    if (on == m_enabled)
        return;
    m_enabled = on;
    updateTimer();
}

void TRxTimer::setInterval(quint32 milliseconds) {
    if (milliseconds == m_interval)
        return;
    m_interval = milliseconds;
    updateTimer();
}

void TRxTimer::setThreaded(bool on) {
    if (on == m_threaded)
        return;
    m_threaded = on;
    updateTimer();
}

void TRxTimer::setThreadPriority(TThreadPriority priority) {
    if (priority == m_threadPriority)
        return;
    m_threadPriority = priority;
    if (m_threaded)
        updateTimer();
}

TRxTimer::NotifyEvent TRxTimer::onTimer() const {
    const std::lock_guard lock(m_handlerMutex);
    return m_onTimer;
}

void TRxTimer::setOnTimer(NotifyEvent handler) {
    const bool hadHandler = m_hasHandler;
    m_hasHandler = static_cast<bool>(handler);
    {
        const std::lock_guard lock(m_handlerMutex);
        m_onTimer = std::move(handler);
    }
    if (hadHandler != m_hasHandler)
        updateTimer();
}

void TRxTimer::updateTimer() {
    m_worker->pause();
    if (m_threaded) {
        stopWindowTimer();
        m_worker->setInterval(m_interval);
        if (lapsing())
            m_worker->restartSchedule();
        else if (ticking())
            m_worker->resume(m_threadPriority);
        return;
    }
    stopWindowTimer();
    if (!ticking())
        return;
    // Qt's timers take a signed period; a longer one waits as long as Qt can.
    const int period = static_cast<int>(
        std::min<quint32>(m_interval, static_cast<quint32>(std::numeric_limits<int>::max())));
    m_windowTimerId = startTimer(period);
    if (m_windowTimerId == 0)
        throw ComponentError(QStringLiteral("Not enough timers available"));
}

void TRxTimer::stopWindowTimer() {
    if (m_windowTimerId != 0)
        killTimer(m_windowTimerId);
    m_windowTimerId = 0;
}

void TRxTimer::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_windowTimerId) {
        QObject::timerEvent(event);
        return;
    }
    reportingTick();
}

void TRxTimer::Timer() {
    if (!m_enabled || m_destroying)
        return;
    if (const NotifyEvent handler = onTimer())
        handler(this);
}

void TRxTimer::reportingTick() {
    try {
        Timer();
    } catch (...) {
        ApplicationErrorReport::reportCurrentException();
    }
}

void TRxTimer::workerTick(rxtimer::TTimerThread& worker) {
    if (!m_enabled || QCoreApplication::closingDown())
        return;
    if (m_syncEvent)
        worker.handOff([this] { reportingTick(); });
    else
        reportingTick();
}

bool TRxTimer::synchronize(const std::function<void()>& routine) {
    if (QThread::currentThread() == thread()) {
        routine();
        return true;
    }
    return m_worker->isWorkerThread() && m_worker->handOff(routine);
}

void TRxTimer::lapse() {
    if (m_lapsed)
        return;
    m_lapsed = true;
    if (m_threaded)
        m_worker->pause();
}

quint64 TRxTimer::lapsedTicks() const {
    return lapsing() ? m_worker->dueTicks() : 0;
}

quint64 TRxTimer::takeLapsedTicks() {
    return lapsing() ? m_worker->skipDueTicks() : 0;
}

quint64 TRxTimer::endLapse() {
    const quint64 due = takeLapsedTicks();
    if (lapsing())
        m_worker->resumeOnSchedule(m_threadPriority);
    m_lapsed = false;
    return due;
}

void TRxTimer::backdateLapse(std::chrono::steady_clock::time_point start) {
    if (lapsing())
        m_worker->restartSchedule(start);
}

void TRxTimer::postHandOff() {
    m_handOffBell->ring();
}

} // namespace zumzik
