#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace zumzik {

class TrayService;

// Waits a short while for the desktop's notification area. Right after start-up a tray may answer
// a moment late: a StatusNotifierItem host says over the session bus whether it is there, and a
// panel that starts with the session may come up after the program.
class TrayAvailabilityWait : public QObject {
    Q_OBJECT
public:
    TrayAvailabilityWait(TrayService& tray, QObject* parent = nullptr);

    // Calls there() as soon as the tray is available, at once if it is already, or gaveUp() if
    // it has not come within the wait.
    void start(std::function<void()> there, std::function<void()> gaveUp);

    static constexpr int kWaitMilliseconds = 2000;

private:
    void check();

    TrayService& m_tray;
    QTimer m_poll;
    QElapsedTimer m_waited;
    std::function<void()> m_there;
    std::function<void()> m_gaveUp;
};

} // namespace zumzik
