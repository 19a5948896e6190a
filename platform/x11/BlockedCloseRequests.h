#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <functional>

class QWidget;

namespace zumzik {

// Qt drops the window manager's request to close a window while a modal window blocks it: the
// title bar's close button, the task bar's Close. A window that must hear every close request gets
// those here instead, on X11, where the request is a client message of the window manager.
class BlockedCloseRequests : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // Calls onClose from the event loop for each close request that reaches window while a modal
    // window blocks it. Lives as long as the window, its parent.
    BlockedCloseRequests(QWidget& window, std::function<void()> onClose);
    ~BlockedCloseRequests() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    bool blocked() const;

    QWidget& m_window;
    std::function<void()> m_onClose;
    quint32 m_protocols = 0;
    quint32 m_deleteWindow = 0;
};

} // namespace zumzik
