#pragma once

#include "TRxTrayIcon.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace zumzik {

// The tray icon's animation worker. It keeps time on a thread of its own and hands each step to
// the owner's thread, waiting until the step is done before it starts the next pause. It is never
// waited for: once detached it leaves its loop at its next check, and the last reference, held by
// the thread itself, frees it.
class TRxTrayIcon::TTimerThread : public std::enable_shared_from_this<TTimerThread> {
public:
    // Starts a worker for the owner, paused or running.
    static std::shared_ptr<TTimerThread> start(TRxTrayIcon& owner, bool paused);

    TTimerThread(TRxTrayIcon& owner, bool paused);

    // A paused worker makes no step. A pause asked for during a step takes effect after it.
    void setPaused(bool paused);
    bool paused() const;
    // Forgets the owner and tells the loop to end; returns at once.
    void detach();

private:
    void run();
    // Runs on the owner's thread.
    void step();
    bool stopping() const { return m_owner == nullptr; }

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    TRxTrayIcon* m_owner;
    bool m_paused;
    bool m_stepPending = false;
};

} // namespace zumzik
