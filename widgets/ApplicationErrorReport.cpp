#include "ApplicationErrorReport.h"

#include <QCoreApplication>
#include <QThread>
#include <QtGlobal>
#include <mutex>

namespace zumzik {
namespace {

std::mutex handlerMutex;
ApplicationErrorReport::Handler installedHandler;

// Reports from other threads, waiting for the user-interface thread. One queued call at a time
// delivers all that wait.
std::mutex waitingMutex;
QStringList waiting;

void deliver(const QString& message) {
    ApplicationErrorReport::Handler handler;
    {
        const std::lock_guard lock(handlerMutex);
        handler = installedHandler;
    }
    if (handler)
        handler(message);
    else
        qWarning("%s", qUtf8Printable(message));
}

void deliverWaiting() {
    QStringList messages;
    {
        const std::lock_guard lock(waitingMutex);
        messages.swap(waiting);
    }
    for (const QString& message : messages)
        deliver(message);
}

} // namespace

void ApplicationErrorReport::setHandler(Handler handler) {
    const std::lock_guard lock(handlerMutex);
    installedHandler = std::move(handler);
}

void ApplicationErrorReport::report(const QString& message) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        deliver(message);
        return;
    }
    {
        const std::lock_guard lock(waitingMutex);
        if (waiting.size() >= kMaxWaiting)
            return;
        waiting << message;
        // A delivery is already on its way for the earlier ones.
        if (waiting.size() > 1)
            return;
    }
    QMetaObject::invokeMethod(app, &deliverWaiting, Qt::QueuedConnection);
}

void ApplicationErrorReport::report(const std::exception& error) {
    report(QString::fromUtf8(error.what()));
}

void ApplicationErrorReport::reportCurrentException() {
    try {
        throw;
    } catch (const std::exception& error) {
        report(error);
    } catch (...) {
        report(QStringLiteral("Unknown error"));
    }
}

} // namespace zumzik
