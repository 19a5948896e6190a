#pragma once

#include "StatusNotifierItem.h"
#include "TrayClickReport.h"
#include "TrayService.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace zumzik {

class StatusNotifierMenu;

// The notification area of trays that speak StatusNotifierItem over D-Bus (KDE Plasma, GNOME's
// AppIndicator extension, XFCE, waybar). The icon is an item on the bus, registered with the
// org.kde.StatusNotifierWatcher; the trays (hosts) learn of it from the watcher. The service
// follows the watcher: one that comes onto the bus later, or comes back after a restart, gets the
// item registered at once, and hosts that register or leave, and the watcher's answer to the
// registration, change available().
//
// Clicks: Activate is a left click, ContextMenu or the opening of the item's menu (by trays that
// open the menu instead of asking the item) a right click, and SecondaryActivate a middle click.
class StatusNotifierTrayService final : public QObject, public TrayService {
    Q_OBJECT
public:
    // How trays name the program: a stable id and a title for people.
    struct Identity {
        QString id;
        QString title;
    };

    StatusNotifierTrayService(const QDBusConnection& bus, const Identity& identity,
                              QObject* parent = nullptr);
    ~StatusNotifierTrayService() override;

    // A watcher is on the bus, a host has registered with it, and it has taken the item.
    bool available() const override;
    // Puts the item on the bus and registers it with the watcher, and with every later one,
    // until remove(). The registration is a call whose answer comes later: it holds once the
    // watcher has answered, and is tried again after an error.
    bool add(const TrayRecord& record) override;
    void modify(const TrayRecord& record) override;
    void remove() override;
    QPoint cursorPosition() const override;
    Qt::KeyboardModifiers keyboardModifiers() const override;
    void setMouseListener(MouseListener listener) override;

    // Asks the bus whether a watcher is on it right now.
    bool watcherOnBus() const;

Q_SIGNALS:
    // A watcher came or went, or its hosts changed; available() may answer otherwise.
    void trayChanged();

private Q_SLOTS:
    void hostsChanged();

private:
    void watcherOwnerChanged(const QString& owner);
    void registerWithWatcher();
    // Changes of the item are signalled while the watcher on the bus has it registered.
    void updateAnnouncing();
    // Runs the work in the item's thread and waits for it.
    void inItemThread(const std::function<void()>& work);
    // Reports a tray's request to the item as the click it stands for.
    void itemRequested(StatusNotifierItem::Request request);

    QDBusConnection m_bus;
    const QString m_name;
    // Lives in the thread that the bus connection reads its messages in (see the constructor),
    // and comes back to this one to be destroyed.
    StatusNotifierItem* m_item;
    StatusNotifierMenu* m_menu;
    TrayClickReport m_clicks;
    // The watcher's unique bus name, empty while there is none.
    QString m_watcherOwner;
    bool m_hostRegistered = false;
    // The name the item is on the bus with while it is added (its own, or the connection's).
    QString m_service;
    // The watcher that has taken the item's registration.
    QString m_registeredWith;
    // The watcher whose answer to a registration is awaited.
    QString m_registering;
    static constexpr int kFirstRetry = 250;
    static constexpr int kLongestRetry = 8000;
    QTimer m_retry;
    int m_retryMilliseconds = kFirstRetry;
};

} // namespace zumzik
