#pragma once

#include "TRxTrayIcon.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace zumzik {

// The tray icon's animation worker. It keeps time on a thread of its own; after each interval it
// asks for one step by ringing the owner's doorbell, and waits until the owner's thread has made
// the step, or a pause or detach has called it off, before it starts the next pause. Every
// hand-over between the two threads happens under the worker's mutex, and the doorbell is an event
// counter of the kernel, so the thread sanitizer sees each of them; nothing of the worker's
// crosses through Qt's event queue.
//
// It is never waited for: once detached it leaves its loop at its next check, and the last
// reference, held by the thread itself, frees it.
class TRxTrayIcon::TTimerThread : public std::enable_shared_from_this<TTimerThread> {
public:
    // Starts a worker for the owner, paused or running.
    static std::shared_ptr<TTimerThread> start(TRxTrayIcon& owner, bool paused);

    TTimerThread(TRxTrayIcon& owner, bool paused);

    // A paused worker makes no step: pausing also calls off a step asked for but not yet begun.
    // A pause asked for during a step takes effect after it.
    void setPaused(bool paused);
    // Forgets the owner and tells the loop to end; returns at once.
    void detach();
    // Runs on the owner's thread when its doorbell rings: makes the step the worker waits for,
    // if there is one. Any number of rings may come together; each request is served once.
    void step();

private:
    enum class StepState { None, Requested, Running };

    void run();
    bool stopping() const { return m_owner == nullptr; }
    // With the mutex held: withdraws a request that the owner's thread has not taken up yet.
    void callOffStep();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    TRxTrayIcon* m_owner;
    bool m_paused;
    StepState m_step = StepState::None;
};

} // namespace zumzik
