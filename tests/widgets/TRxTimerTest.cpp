#include "TRxTimer.h"

#include "ApplicationErrorReport.h"
#include "ComponentError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

using zumzik::ApplicationErrorReport;
using zumzik::TRxTimer;

namespace {

bool waitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
}

// Waits without serving the event loop, as a busy user-interface thread would.
bool spinUntil(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > 5000)
            return false;
        QThread::yieldCurrentThread();
    }
    return true;
}

// What a handler saw: how many ticks, and on which threads.
struct TickLog {
    std::atomic<int> ticks{0};
    std::atomic<int> onUserInterfaceThread{0};

    TRxTimer::NotifyEvent handler() {
        return [this](TRxTimer*) {
            if (QThread::currentThread() == QCoreApplication::instance()->thread())
                ++onUserInterfaceThread;
            ++ticks;
        };
    }
};

// A timer that ticks quickly, to know that time has passed for the others without sleeping.
struct Witness {
    TickLog log;
    TRxTimer timer;
    explicit Witness(bool threaded) {
        timer.setInterval(5);
        timer.setThreaded(threaded);
        timer.setOnTimer(log.handler());
    }
    bool waitTicks(int n) {
        const int target = log.ticks + n;
        return waitFor([&] { return log.ticks >= target; });
    }
};

TEST(TRxTimer, StartsWithItsDefaultsAndTicksOnlyOnceEverythingAllowsIt) {
    for (const bool threaded : {true, false}) {
        SCOPED_TRACE(threaded ? "threaded" : "window-system timer");
        TRxTimer timer;
        EXPECT_TRUE(timer.enabled());
        EXPECT_EQ(timer.interval(), 1000u);
        EXPECT_TRUE(timer.threaded());
        EXPECT_TRUE(timer.syncEvent());
        EXPECT_EQ(timer.threadPriority(), TRxTimer::tpNormal);
        EXPECT_EQ(timer.property("ThreadPriority").value<TRxTimer::TThreadPriority>(),
                  TRxTimer::tpNormal);

        TickLog log;
        timer.setThreaded(threaded);
        timer.setInterval(0);
        timer.setOnTimer(log.handler());
        TRxTimer disabled;
        disabled.setThreaded(threaded);
        disabled.setInterval(1);
        disabled.setEnabled(false);
        disabled.setOnTimer(log.handler());
        TRxTimer withoutHandler;
        withoutHandler.setThreaded(threaded);
        withoutHandler.setInterval(1);

        Witness witness(threaded);
        ASSERT_TRUE(witness.waitTicks(5));
        EXPECT_EQ(log.ticks, 0);

        timer.setInterval(1);
        EXPECT_TRUE(waitFor([&] { return log.ticks >= 3; }));
    }
}

TEST(TRxTimer, TicksComeFromTheWorkerOrTheUserInterfaceThreadAsConfigured) {
    TickLog log;
    TRxTimer timer;
    timer.setInterval(2);
    timer.setSyncEvent(false);
    timer.setOnTimer(log.handler());
    ASSERT_TRUE(waitFor([&] { return log.ticks >= 3; }));
    EXPECT_EQ(log.onUserInterfaceThread, 0) << "SyncEvent off: ticks run on the worker";

    // SyncEvent is read at every tick.
    timer.setSyncEvent(true);
    int before = log.ticks;
    ASSERT_TRUE(waitFor([&] { return log.onUserInterfaceThread >= 3; }));
    before = log.ticks;
    const int synced = log.onUserInterfaceThread;
    ASSERT_TRUE(waitFor([&] { return log.ticks >= before + 3; }));
    EXPECT_EQ(log.ticks - before, log.onUserInterfaceThread - synced);

    // The window-system timer pauses the worker: from now on every tick is on this thread.
    timer.setSyncEvent(false);
    timer.setThreaded(false);
    before = log.ticks;
    const int onThisThread = log.onUserInterfaceThread;
    ASSERT_TRUE(waitFor([&] { return log.ticks >= before + 3; }));
    EXPECT_EQ(log.ticks - before, log.onUserInterfaceThread - onThisThread);

    // And back: the worker ticks again.
    timer.setThreaded(true);
    QCoreApplication::processEvents(); // a window-system tick already due may still arrive
    before = log.ticks;
    const int beforeOnThisThread = log.onUserInterfaceThread;
    ASSERT_TRUE(waitFor([&] { return log.ticks >= before + 3; }));
    EXPECT_EQ(log.onUserInterfaceThread, beforeOnThisThread);
}

TEST(TRxTimer, ReplacingTheHandlerKeepsTicking_RemovingItStops) {
    TickLog first, second;
    TRxTimer timer;
    timer.setInterval(2);
    timer.setSyncEvent(false);
    timer.setOnTimer(first.handler());
    ASSERT_TRUE(waitFor([&] { return first.ticks >= 1; }));
    timer.setOnTimer(second.handler());
    ASSERT_TRUE(waitFor([&] { return second.ticks >= 2; }));
    timer.setOnTimer(nullptr);
    const int stopped = second.ticks + first.ticks;
    Witness witness(true);
    ASSERT_TRUE(witness.waitTicks(5));
    // A tick already running when the handler went may finish; none starts afterwards.
    EXPECT_LE(second.ticks + first.ticks, stopped + 1);
}

TEST(TRxTimer, AnErrorInATickIsReportedAndTheTicksGoOn) {
    for (const bool sync : {false, true}) {
        SCOPED_TRACE(sync ? "tick handed to this thread" : "tick on the worker");
        QStringList reports;
        ApplicationErrorReport::setHandler([&](const QString& message) { reports << message; });
        std::atomic<int> ticks{0};
        TRxTimer timer;
        timer.setInterval(2);
        timer.setSyncEvent(sync);
        timer.setOnTimer([&](TRxTimer*) {
            if (++ticks <= 2)
                throw std::runtime_error("tick failed");
        });
        EXPECT_TRUE(waitFor([&] { return ticks >= 5 && reports.size() >= 2; }));
        EXPECT_EQ(reports.mid(0, 2), (QStringList{"tick failed", "tick failed"}));
        timer.setOnTimer(nullptr);
        ApplicationErrorReport::setHandler({});
    }
    // The window-system timer reports the same way.
    QStringList reports;
    ApplicationErrorReport::setHandler([&](const QString& message) { reports << message; });
    int ticks = 0;
    TRxTimer timer;
    timer.setThreaded(false);
    timer.setInterval(2);
    timer.setOnTimer([&](TRxTimer*) {
        if (++ticks == 1)
            throw std::runtime_error("window tick failed");
    });
    EXPECT_TRUE(waitFor([&] { return ticks >= 3; }));
    EXPECT_EQ(reports, QStringList{"window tick failed"});
    ApplicationErrorReport::setHandler({});
}

TEST(TRxTimer, DestructionDoesNotWaitOutTheSleepAndNoTickFollows) {
    auto ticks = std::make_shared<std::atomic<int>>(0);
    auto timer = std::make_unique<TRxTimer>();
    timer->setSyncEvent(false);
    timer->setInterval(2);
    timer->setOnTimer([ticks](TRxTimer*) { ++*ticks; });
    ASSERT_TRUE(waitFor([&] { return *ticks >= 2; }));
    // Now a long sleep: the tick before it may still run, then the worker sleeps.
    timer->setInterval(600000);
    QElapsedTimer clock;
    clock.start();
    timer.reset();
    EXPECT_LT(clock.elapsed(), 60000) << "destruction waited for the ten-minute sleep";
    const int atDestruction = *ticks;
    Witness witness(true);
    ASSERT_TRUE(witness.waitTicks(5));
    EXPECT_EQ(*ticks, atDestruction);
}

TEST(TRxTimer, HandOffRunsOnTheUserInterfaceThreadWhileTheWorkerWaits) {
    TRxTimer timer;
    std::atomic<int> handOffs{0};
    std::atomic<bool> ranHere{false};
    std::atomic<bool> workerSawIt{false};
    timer.setSyncEvent(false);
    timer.setInterval(2);
    timer.setOnTimer([&](TRxTimer* sender) {
        if (handOffs > 0)
            return;
        bool flag = false;
        const bool ran = sender->synchronize([&] {
            ranHere = QThread::currentThread() == QCoreApplication::instance()->thread();
            flag = true;
        });
        workerSawIt = ran && flag;
        ++handOffs;
    });
    ASSERT_TRUE(waitFor([&] { return handOffs >= 1; }));
    EXPECT_TRUE(ranHere);
    EXPECT_TRUE(workerSawIt) << "the worker went on before the routine had run";

    // On the user-interface thread itself the routine runs at once.
    bool atOnce = false;
    EXPECT_TRUE(timer.synchronize([&] { atOnce = true; }));
    EXPECT_TRUE(atOnce);
}

TEST(TRxTimer, AWorkerWaitingForAHandOffNeitherBlocksAPauseNorTheDestruction) {
    std::atomic<int> waiting{0};
    std::atomic<int> ran{0};
    std::atomic<int> dropped{0};
    auto timer = std::make_unique<TRxTimer>();
    timer->setSyncEvent(false);
    timer->setInterval(1);
    timer->setOnTimer([&](TRxTimer* sender) {
        ++waiting;
        if (sender->synchronize([&] { ++ran; }))
            return;
        ++dropped;
    });
    // This thread does not serve the hand-off: it disables the timer while the worker waits.
    ASSERT_TRUE(spinUntil([&] { return waiting > 0; }));
    timer->setEnabled(false);
    EXPECT_TRUE(spinUntil([&] { return dropped == 1; })) << "the pause released the worker";
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 0) << "a routine called off by the pause still ran";

    timer->setEnabled(true);
    ASSERT_TRUE(spinUntil([&] { return waiting > 1; }));
    timer.reset(); // would hang if the end waited for the worker's hand-off
    EXPECT_EQ(ran, 0);
}

TEST(TRxTimer, TheWorkerRunsAtItsPriority) {
    std::atomic<int> nice{-100};
    std::atomic<int> policy{-1};
    const int processNice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::getpid()));
    TRxTimer timer;
    timer.setSyncEvent(false);
    timer.setInterval(1);
    timer.setThreadPriority(TRxTimer::tpLowest);
    timer.setOnTimer([&](TRxTimer*) {
        nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)));
        policy = ::sched_getscheduler(0);
    });
    ASSERT_TRUE(waitFor([&] { return nice != -100; }));
    EXPECT_EQ(nice, std::min(processNice + 10, 19));
    EXPECT_EQ(policy, SCHED_OTHER);

    timer.setThreadPriority(TRxTimer::tpIdle);
    ASSERT_TRUE(waitFor([&] { return policy == SCHED_IDLE; }));
}

TEST(TRxTimer, AWindowSystemTimerThatCannotStartIsAnError) {
    // Qt starts no timer for an object of another thread: the window system's refusal.
    QThread elsewhere;
    TRxTimer timer;
    timer.setInterval(5);
    timer.setOnTimer([](TRxTimer*) {});
    timer.moveToThread(&elsewhere);
    try {
        timer.setThreaded(false);
        ADD_FAILURE() << "no error";
    } catch (const zumzik::ComponentError& error) {
        EXPECT_STREQ(error.what(), "Not enough timers available");
    }
    EXPECT_FALSE(timer.threaded()) << "the new value stays set";
}

// Runs last in this program: it ends the event loop, as the application does when it closes.
TEST(TRxTimer, ZZ_OnceTheApplicationTerminatesNoTickRunsAndNoWorkerWaitsForTheEventLoop) {
    std::atomic<int> ticks{0};
    std::atomic<bool> waiting{false};
    std::atomic<bool> released{false};
    // This worker asks the user-interface thread for a routine, and is still waiting for it when
    // the event loop ends.
    TRxTimer left;
    left.setSyncEvent(false);
    left.setInterval(1);
    left.setOnTimer([&](TRxTimer* sender) {
        ++ticks;
        if (waiting.exchange(true))
            return;
        sender->synchronize([] {});
        released = true;
    });
    // This one ends the event loop once the other waits.
    TRxTimer quitting;
    quitting.setThreaded(false);
    quitting.setInterval(1);
    quitting.setOnTimer([&](TRxTimer*) {
        if (spinUntil([&] { return waiting.load(); }))
            QCoreApplication::quit();
    });
    QCoreApplication::exec();
    EXPECT_TRUE(spinUntil([&] { return released.load(); })) << "the worker still waits";
    const int atTermination = ticks;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 50)
        QThread::yieldCurrentThread();
    EXPECT_EQ(ticks, atTermination) << "a tick ran after the event loop had ended";
}

} // namespace
