#include "ApplicationErrorReport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>
#include <stdexcept>
#include <thread>

using zumzik::ApplicationErrorReport;

namespace {

TEST(ApplicationErrorReport, ReportsFromAnyThreadReachTheHandlerOnTheUserInterfaceThread) {
    QStringList messages;
    QList<QThread*> threads;
    ApplicationErrorReport::setHandler([&](const QString& message) {
        messages << message;
        threads << QThread::currentThread();
    });

    try {
        throw std::runtime_error("here");
    } catch (...) {
        ApplicationErrorReport::reportCurrentException();
    }
    std::thread([] {
        ApplicationErrorReport::report(std::runtime_error("from the worker"));
        try {
            throw 42;
        } catch (...) {
            ApplicationErrorReport::reportCurrentException();
        }
    }).join();
    QElapsedTimer clock;
    clock.start();
    while (messages.size() < 3 && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    EXPECT_EQ(messages, (QStringList{"here", "from the worker", "Unknown error"}));
    for (QThread* thread : threads)
        EXPECT_EQ(thread, QCoreApplication::instance()->thread());
    ApplicationErrorReport::setHandler({});
}

TEST(ApplicationErrorReport, AWorkerFailingOnEveryTickCannotFloodTheEventQueue) {
    QStringList messages;
    ApplicationErrorReport::setHandler([&](const QString& message) { messages << message; });
    // The user-interface thread is busy meanwhile.
    std::thread([] {
        for (int tick = 0; tick < 1000; ++tick)
            ApplicationErrorReport::report(QStringLiteral("Tick %1 failed").arg(tick));
    }).join();
    QCoreApplication::processEvents();
    QStringList first;
    for (int tick = 0; tick < ApplicationErrorReport::kMaxWaiting; ++tick)
        first << QStringLiteral("Tick %1 failed").arg(tick);
    EXPECT_EQ(messages, first);

    // Once delivered, reports get through again.
    messages.clear();
    std::thread([] { ApplicationErrorReport::report("Tick failed"); }).join();
    QCoreApplication::processEvents();
    EXPECT_EQ(messages, QStringList{"Tick failed"});
    ApplicationErrorReport::setHandler({});
}

} // namespace
