#include "StatusNotifierItem.h"

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
    m_pixmaps = m_icons.pixmaps(icon);
    if (m_announcing)
        emit NewIcon();
}

void StatusNotifierItem::setToolTip(const QString& text) {
    if (text == m_toolTip)
        return;
    m_toolTip = text;
    if (m_announcing)
        emit NewToolTip();
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
