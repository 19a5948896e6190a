#pragma once

#include <QString>
#include <exception>
#include <functional>

namespace zumzik {

// Where a component reports an error that a handler raised on its behalf (a timer tick, a tray
// click): the application's error report. The application installs the handler that shows its
// error box; until it does, errors go to the Qt message log. Reports made on another thread wait
// for the user-interface thread, so the handler always runs there. A worker whose every tick
// fails must not flood the event queue meanwhile: one queued call delivers all reports that wait,
// and beyond a few waiting reports, further ones are dropped.
class ApplicationErrorReport {
public:
    using Handler = std::function<void(const QString& message)>;

    static constexpr qsizetype kMaxWaiting = 16;

    static void setHandler(Handler handler);
    static void report(const QString& message);
    static void report(const std::exception& error);
    // Reports the exception being handled; call it inside a catch block.
    static void reportCurrentException();
};

} // namespace zumzik
