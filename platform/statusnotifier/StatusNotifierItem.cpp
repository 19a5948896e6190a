#include "StatusNotifierItem.h"

#include <QThread>

namespace zumzik {

StatusNotifierItem::StatusNotifierItem(const QString& id, const QString& title,
                                       const QDBusObjectPath& menu, QObject* parent)
    : QObject(parent), m_id(id), m_title(title), m_menu(menu) {
    registerDBusTrayTypes();
}

void StatusNotifierItem::setIcon(const QIcon& icon) {
    const qint64 key = icon.isNull() ? 0 : icon.cacheKey();
    if (key == m_iconKey)
        return;
    m_iconKey = key;
    const SniPixmapList& pixmaps = m_icons.pixmaps(icon);
    {
        const QMutexLocker locker(&m_shownLock);
        m_pixmaps = pixmaps;
    }
    if (m_announcing)
        announce(&StatusNotifierItem::NewIcon);
}

void StatusNotifierItem::setToolTip(const QString& text) {
    {
        const QMutexLocker locker(&m_shownLock);
        if (text == m_toolTip)
            return;
        m_toolTip = text;
    }
    if (m_announcing)
        announce(&StatusNotifierItem::NewToolTip);
}

void StatusNotifierItem::announce(void (StatusNotifierItem::*signal)()) {
    if (thread() == QThread::currentThread())
        emit(this->*signal)();
    else
        QMetaObject::invokeMethod(this, signal, Qt::QueuedConnection);
}

SniPixmapList StatusNotifierItem::iconPixmap() const {
    const QMutexLocker locker(&m_shownLock);
    return m_pixmaps;
}

SniToolTip StatusNotifierItem::toolTip() const {
    const QMutexLocker locker(&m_shownLock);
    return {{}, {}, m_toolTip, {}};
}

void StatusNotifierItem::Activate(int, int) {
    request(Request::Activate);
}

void StatusNotifierItem::ContextMenu(int, int) {
    request(Request::ContextMenu);
}

void StatusNotifierItem::SecondaryActivate(int, int) {
    request(Request::SecondaryActivate);
}

void StatusNotifierItem::request(Request request) {
    if (m_onRequest)
        m_onRequest(request);
}

} // namespace zumzik
