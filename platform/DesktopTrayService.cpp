#include "DesktopTrayService.h"

#include "QtTrayService.h"

#include <QCursor>
#include <QGuiApplication>

namespace zumzik {
namespace {

// Elsewhere QSystemTrayIcon would speak StatusNotifierItem beside this service's own item, or,
// with no watcher, complain on stderr of a platform without XEmbed.
DesktopTrayService::TrayFactory xembedOnX11() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    return [] { return std::make_unique<QtTrayService>(); };
}

} // namespace

DesktopTrayService::DesktopTrayService(const StatusNotifierTrayService::Identity& identity,
                                       QObject* parent)
    : DesktopTrayService(QDBusConnection::sessionBus(), identity, xembedOnX11(), parent) {}

DesktopTrayService::DesktopTrayService(const QDBusConnection& bus,
                                       const StatusNotifierTrayService::Identity& identity,
                                       TrayFactory xembed, QObject* parent)
    : QObject(parent), m_statusNotifier(bus, identity), m_makeXEmbed(std::move(xembed)) {
    m_statusNotifier.setMouseListener(listenerFor(&m_statusNotifier));
    connect(&m_statusNotifier, &StatusNotifierTrayService::trayChanged, this, [this] {
        makeXEmbedTrayWhileNoWatcher();
        scheduleUpdate();
    });
    makeXEmbedTrayWhileNoWatcher();
}

DesktopTrayService::~DesktopTrayService() = default;

void DesktopTrayService::makeXEmbedTrayWhileNoWatcher() {
    // Qt decides once per process, when it first makes a QSystemTrayIcon, whether its tray icons
    // speak StatusNotifierItem (when a watcher is on the bus at that moment) or XEmbed; it never
    // decides again. Its icon must be XEmbed, or it would be a second item beside this service's
    // own. So it is made at a moment without a watcher, and given up for good should one have
    // come in the meantime, as Qt may then have chosen either way.
    if (m_xembed || !m_makeXEmbed || m_statusNotifier.watcherOnBus())
        return;
    std::unique_ptr<TrayService> tray = m_makeXEmbed();
    if (m_statusNotifier.watcherOnBus()) {
        m_makeXEmbed = {};
        return;
    }
    m_xembed = std::move(tray);
    m_xembed->setMouseListener(listenerFor(m_xembed.get()));
    m_x11.service = m_xembed.get();
}

DesktopTrayService::MouseListener DesktopTrayService::listenerFor(const TrayService* tray) {
    return [this, tray](TrayMouseMessage message) {
        if (!m_listener)
            return;
        m_reporting = tray;
        const MouseListener listener = m_listener;
        listener(message);
        m_reporting = nullptr;
    };
}

bool DesktopTrayService::available() const {
    return m_statusNotifier.available() || (m_xembed && m_xembed->available());
}

bool DesktopTrayService::add(const TrayRecord& record) {
    m_record = record;
    m_wanted = true;
    scheduleUpdate();
    return available();
}

void DesktopTrayService::modify(const TrayRecord& record) {
    m_record = record;
    if (m_updatePending)
        return;
    for (const Tray* tray : {&m_sni, &m_x11}) {
        if (tray->shown)
            tray->service->modify(record);
    }
}

void DesktopTrayService::remove() {
    m_wanted = false;
    scheduleUpdate();
}

QPoint DesktopTrayService::cursorPosition() const {
    return m_reporting ? m_reporting->cursorPosition() : QCursor::pos();
}

Qt::KeyboardModifiers DesktopTrayService::keyboardModifiers() const {
    return m_reporting ? m_reporting->keyboardModifiers()
                       : QGuiApplication::queryKeyboardModifiers();
}

void DesktopTrayService::setMouseListener(MouseListener listener) {
    m_listener = std::move(listener);
}

void DesktopTrayService::scheduleUpdate() {
    if (m_updatePending)
        return;
    m_updatePending = true;
    QMetaObject::invokeMethod(this, &DesktopTrayService::update, Qt::QueuedConnection);
}

void DesktopTrayService::update() {
    m_updatePending = false;
    // The item stays registered while the icon is wanted, also without a host, so that a host
    // that comes later finds it with the watcher. The XEmbed icon stands in while no host is
    // there.
    show(m_sni, m_wanted);
    show(m_x11, m_wanted && !m_statusNotifier.available());
}

void DesktopTrayService::show(Tray& tray, bool wanted) {
    if (!tray.service)
        return;
    if (wanted && tray.shown)
        tray.service->modify(m_record);
    else if (wanted)
        tray.service->add(m_record);
    else if (tray.shown)
        tray.service->remove();
    tray.shown = wanted;
}

} // namespace zumzik
