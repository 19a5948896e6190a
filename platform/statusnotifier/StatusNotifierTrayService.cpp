#include "StatusNotifierTrayService.h"

#include "StatusNotifierItem.h"
#include "StatusNotifierMenu.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QThread>
#include <algorithm>
#include <atomic>

namespace zumzik {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kWatcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuPath = QStringLiteral("/StatusNotifierMenu");

// The bus name that items conventionally take: one for each item of each process.
QString itemName() {
    static std::atomic<int> count = 0;
    return QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++count);
}

} // namespace

StatusNotifierTrayService::StatusNotifierTrayService(const QDBusConnection& bus,
                                                     const Identity& identity, QObject* parent)
    : QObject(parent), m_bus(bus), m_name(itemName()),
      m_item(new StatusNotifierItem(identity.id, identity.title, QDBusObjectPath(kMenuPath))),
      m_menu(new StatusNotifierMenu(identity.title, this)) {
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &StatusNotifierTrayService::registerWithWatcher);
    // Qt's bus connection reads messages in a thread of its own, the thread of the connection's
    // own interface object, and hands each call to the thread of the object called. Living
    // there, the item answers a tray's read of the pictures after every NewIcon at once, and an
    // animation frame wakes this thread once instead of three times.
    if (const QObject* busSide = m_bus.interface())
        m_item->moveToThread(busSide->thread());
    // The item hears a tray's requests in its thread; clicks are reported in this one.
    m_item->setRequestHandler([this](StatusNotifierItem::Request request) {
        QMetaObject::invokeMethod(this, [this, request] { itemRequested(request); });
    });
    m_menu->setOpenedHandler(
        [this] { m_clicks.click(TrayMouseMessage::RightDown, TrayMouseMessage::RightUp); });

    auto* watcher = new QDBusServiceWatcher(kWatcherService, m_bus,
                                            QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& owner) {
                watcherOwnerChanged(owner);
            });
    for (const char* signal : {"StatusNotifierHostRegistered", "StatusNotifierHostUnregistered"})
        m_bus.connect(kWatcherService, kWatcherPath, kWatcherInterface, QLatin1String(signal), this,
                      SLOT(hostsChanged()));
    if (const QDBusConnectionInterface* daemon = m_bus.interface()) {
        const QDBusReply<QString> owner = daemon->serviceOwner(kWatcherService);
        if (owner.isValid())
            watcherOwnerChanged(owner.value());
    }
}

StatusNotifierTrayService::~StatusNotifierTrayService() {
    remove();
    // Qt tells the bus connection of an exported object's end by a blocking call into the
    // connection's thread, which would wait for itself if the item ended there; so the item
    // comes back to this thread to be destroyed, moved by its own thread after any call it has
    // begun to answer.
    inItemThread([item = m_item, here = QThread::currentThread()] { item->moveToThread(here); });
    delete m_item;
}

void StatusNotifierTrayService::inItemThread(const std::function<void()>& work) {
    QThread* home = m_item->thread();
    if (home == QThread::currentThread() || home->isFinished())
        work();
    else
        QMetaObject::invokeMethod(m_item, work, Qt::BlockingQueuedConnection);
}

void StatusNotifierTrayService::itemRequested(StatusNotifierItem::Request request) {
    switch (request) {
    case StatusNotifierItem::Request::Activate:
        m_clicks.click(TrayMouseMessage::LeftDown, TrayMouseMessage::LeftUp);
        break;
    case StatusNotifierItem::Request::ContextMenu:
        m_clicks.click(TrayMouseMessage::RightDown, TrayMouseMessage::RightUp);
        break;
    case StatusNotifierItem::Request::SecondaryActivate:
        m_clicks.click(TrayMouseMessage::MiddleDown, TrayMouseMessage::MiddleUp);
        break;
    }
}

bool StatusNotifierTrayService::available() const {
    return !m_watcherOwner.isEmpty() && m_hostRegistered && m_registeredWith == m_watcherOwner;
}

bool StatusNotifierTrayService::watcherOnBus() const {
    const QDBusConnectionInterface* daemon = m_bus.interface();
    return daemon && daemon->isServiceRegistered(kWatcherService).value();
}

bool StatusNotifierTrayService::add(const TrayRecord& record) {
    modify(record);
    if (m_service.isEmpty()) {
        const auto exports = QDBusConnection::ExportScriptableContents;
        // Exporting gives the item a child that relays its signals, and a child is made in
        // its parent's thread.
        inItemThread([this, exports] { m_bus.registerObject(kItemPath, m_item, exports); });
        m_bus.registerObject(kMenuPath, m_menu, exports);
        // Without a name of its own (one taken already), the item goes by the connection's.
        m_service = m_bus.registerService(m_name) ? m_name : m_bus.baseService();
        registerWithWatcher();
    }
    return available();
}

void StatusNotifierTrayService::modify(const TrayRecord& record) {
    m_item->setIcon(record.icon);
    m_item->setToolTip(record.tip);
}

void StatusNotifierTrayService::remove() {
    if (m_service.isEmpty())
        return;
    // Hosts drop an item whose name leaves the bus.
    if (m_service == m_name)
        m_bus.unregisterService(m_name);
    m_bus.unregisterObject(kMenuPath);
    m_bus.unregisterObject(kItemPath);
    m_service.clear();
    m_registeredWith.clear();
    m_retry.stop();
    updateAnnouncing();
}

QPoint StatusNotifierTrayService::cursorPosition() const {
    return QCursor::pos();
}

Qt::KeyboardModifiers StatusNotifierTrayService::keyboardModifiers() const {
    return QGuiApplication::queryKeyboardModifiers();
}

void StatusNotifierTrayService::setMouseListener(MouseListener listener) {
    m_clicks.setListener(std::move(listener));
}

void StatusNotifierTrayService::watcherOwnerChanged(const QString& owner) {
    if (owner == m_watcherOwner)
        return;
    m_watcherOwner = owner;
    m_hostRegistered = false;
    m_retryMilliseconds = kFirstRetry;
    registerWithWatcher();
    updateAnnouncing();
    hostsChanged();
    emit trayChanged();
}

void StatusNotifierTrayService::registerWithWatcher() {
    m_retry.stop();
    if (m_service.isEmpty() || m_watcherOwner.isEmpty() || m_registeredWith == m_watcherOwner ||
        m_registering == m_watcherOwner)
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(m_watcherOwner, kWatcherPath, kWatcherInterface,
                                       QStringLiteral("RegisterStatusNotifierItem"));
    // The item is named by its object path, and the watcher takes the bus name from the call's
    // sender. Named by a bus name of its own, it would have GNOME's AppIndicator extension
    // watch that name as well, and the report of that watch, coming after the item has been
    // read, makes the extension forget the item's id and menu, read them again and fail, and
    // drop the icon a second and a half after it appeared.
    call << kItemPath;
    m_registering = m_watcherOwner;
    auto* reply = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(reply, &QDBusPendingCallWatcher::finished, this,
            [this, watcher = m_watcherOwner](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (m_registering == watcher)
                    m_registering.clear();
                // The answer of a watcher that has gone since, or of an item taken off the bus
                // meanwhile, is of no interest.
                if (watcher != m_watcherOwner || m_service.isEmpty())
                    return;
                if (finished->isError()) {
                    // A watcher that has just taken its name may not have its object yet, or may
                    // refuse for a moment; it is asked again, less often the longer it refuses.
                    m_retry.start(m_retryMilliseconds);
                    m_retryMilliseconds = std::min(m_retryMilliseconds * 2, kLongestRetry);
                    return;
                }
                m_retryMilliseconds = kFirstRetry;
                m_registeredWith = watcher;
                updateAnnouncing();
                emit trayChanged();
            });
}

void StatusNotifierTrayService::updateAnnouncing() {
    m_item->setAnnouncing(!m_watcherOwner.isEmpty() && m_registeredWith == m_watcherOwner);
}

void StatusNotifierTrayService::hostsChanged() {
    if (m_watcherOwner.isEmpty())
        return;
    QDBusMessage get = QDBusMessage::createMethodCall(
        m_watcherOwner, kWatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << kWatcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
    auto* reply = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(reply, &QDBusPendingCallWatcher::finished, this,
            [this, owner = m_watcherOwner](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<QDBusVariant> answer = *finished;
                // An answer of a watcher that has gone since is of no interest.
                if (owner != m_watcherOwner)
                    return;
                const bool registered = answer.isValid() && answer.value().variant().toBool();
                if (registered == m_hostRegistered)
                    return;
                m_hostRegistered = registered;
                emit trayChanged();
            });
}

} // namespace zumzik
