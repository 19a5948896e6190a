#include "BlockedCloseRequests.h"

#include "X11Display.h"

#include <QApplication>
#include <QWidget>

namespace zumzik {

BlockedCloseRequests::BlockedCloseRequests(QWidget& window, std::function<void()> onClose)
    : QObject(&window), m_window(window), m_onClose(std::move(onClose)) {
    if (xcb_connection_t* connection = X11Display::connection()) {
        m_protocols = X11Display::atom(connection, "WM_PROTOCOLS");
        m_deleteWindow = X11Display::atom(connection, "WM_DELETE_WINDOW");
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
}

BlockedCloseRequests::~BlockedCloseRequests() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

bool BlockedCloseRequests::blocked() const {
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != m_window.window();
}

bool BlockedCloseRequests::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
        return false;
    const auto* request = static_cast<const xcb_client_message_event_t*>(message);
    if (request->format != 32 || request->type != m_protocols ||
        request->data.data32[0] != m_deleteWindow || request->window != m_window.internalWinId())
        return false;
    // Unblocked, Qt delivers the close itself.
    if (!blocked())
        return false;
    // Not from inside the event reader's dispatch: the close may open a box with a loop of its
    // own.
    QMetaObject::invokeMethod(this, m_onClose, Qt::QueuedConnection);
    return true;
}

} // namespace zumzik
