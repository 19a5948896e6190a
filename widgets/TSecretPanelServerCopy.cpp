#include "TSecretPanel.h"
#include "X11Display.h"

// On X11 the strip lies on the X server, and each tick is one copy there, sent from the timer
// thread: the user-interface thread does nothing for it.

namespace zumzik {

bool TSecretPanel::copyOnServer(Scene& scene, int limit) {
    if (!scene.copiesStrip || !scene.serverStrip.aimed() ||
        !scene.serverStrip.upload(scene.strip, scene.background.rgb()))
        return false;
    scene.serverStrip.copy(stripRowAtTop(scene, limit));
    return true;
}

void TSecretPanel::aimServerStrip() {
    QWindow* handle = window()->windowHandle();
    // Out of sight the server's pixmap goes; it comes back with the first frame in sight.
    xcb_connection_t* connection =
        m_active && m_onScreen && handle ? X11Display::connection() : nullptr;
    xcb_window_t target = XCB_WINDOW_NONE;
    QRect frame;
    // Only this thread changes the text area.
    const QRect area = m_scene.textArea;
    if (connection && devicePixelRatioF() == 1.0 && !area.isEmpty() &&
        QRegion(area).subtracted(visibleRegion()).isEmpty()) {
        target = static_cast<xcb_window_t>(handle->winId());
        frame = QRect(mapTo(window(), area.topLeft()), area.size());
    }
    if (connection && handle != m_watchedWindow) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = handle;
        handle->installEventFilter(this);
    }
    const std::lock_guard lock(m_imageMutex);
    m_scene.serverStrip.aim(connection, target, frame);
}

bool TSecretPanel::eventFilter(QObject* watched, QEvent* event) {
    // Queued, so that it comes after Qt has put the stored pixels back on the window.
    if (watched == m_watchedWindow && event->type() == QEvent::Expose)
        QMetaObject::invokeMethod(this, &TSecretPanel::recopyFrame, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

void TSecretPanel::recopyFrame() {
    const std::lock_guard lock(m_imageMutex);
    if (m_scene.image && m_scene.frameReady)
        copyOnServer(m_scene, m_limit.load());
}

} // namespace zumzik
