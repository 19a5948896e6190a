#include "ApplicationErrorReport.h"

#include <QCoreApplication>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <QtGlobal>

namespace zumzik {
namespace {

QMutex handlerMutex;
ApplicationErrorReport::Handler installedHandler;

void deliver(const QString& message) {
    ApplicationErrorReport::Handler handler;
    {
        QMutexLocker lock(&handlerMutex);
        handler = installedHandler;
    }
    if (handler)
        handler(message);
    else
        qWarning("%s", qUtf8Printable(message));
}

} // namespace

void ApplicationErrorReport::setHandler(Handler handler) {
    QMutexLocker lock(&handlerMutex);
    installedHandler = std::move(handler);
}

void ApplicationErrorReport::report(const QString& message) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        deliver(message);
        return;
    }
    QMetaObject::invokeMethod(
        app, [message] { deliver(message); }, Qt::QueuedConnection);
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
