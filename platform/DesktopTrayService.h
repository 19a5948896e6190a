#pragma once

#include "StatusNotifierTrayService.h"
#include "TrayService.h"

#include <QObject>
#include <functional>
#include <memory>

namespace zumzik {

// The desktop's notification area, whichever protocol its tray speaks: StatusNotifierItem when a
// watcher is on the session bus, and otherwise, on X11, an XEmbed icon through QSystemTrayIcon.
// One icon shows at a time; with a StatusNotifierItem host and an XEmbed tray both there, the
// host has it. Trays that come and go are followed: the icon moves to whichever is there.
//
// The tray icon component adds its icon afresh now and then (removing it first), and at start-up
// it does so twice in a row. A tray would see each of those as an icon that leaves and a new one
// that comes, so the service takes the calls as the state wanted and brings the trays up to date
// once per turn of the event loop: a removal followed at once by an add reaches no tray.
// Modifications of a shown icon (the animation's frames) go through at once.
//
// The two services lie in statusnotifier/ and xembed/ beside this file.
class DesktopTrayService final : public QObject, public TrayService {
    Q_OBJECT
public:
    using TrayFactory = std::function<std::unique_ptr<TrayService>()>;

    // The session bus, and XEmbed when the program runs on X11.
    explicit DesktopTrayService(const StatusNotifierTrayService::Identity& identity,
                                QObject* parent = nullptr);
    // The bus to find StatusNotifierItem trays on, and what makes the XEmbed tray (none: there is
    // no other tray).
    DesktopTrayService(const QDBusConnection& bus,
                       const StatusNotifierTrayService::Identity& identity, TrayFactory xembed,
                       QObject* parent = nullptr);
    ~DesktopTrayService() override;

    bool available() const override;
    bool add(const TrayRecord& record) override;
    void modify(const TrayRecord& record) override;
    void remove() override;
    // The pointer and the keys as the tray that reports a click reads them.
    QPoint cursorPosition() const override;
    Qt::KeyboardModifiers keyboardModifiers() const override;
    void setMouseListener(MouseListener listener) override;

private:
    // Each of the two trays, with whether it shows the icon now.
    struct Tray {
        TrayService* service = nullptr;
        bool shown = false;
    };

    void makeXEmbedTrayWhileNoWatcher();
    MouseListener listenerFor(const TrayService* tray);
    void scheduleUpdate();
    void update();
    void show(Tray& tray, bool wanted);

    StatusNotifierTrayService m_statusNotifier;
    TrayFactory m_makeXEmbed;
    std::unique_ptr<TrayService> m_xembed;
    Tray m_sni{&m_statusNotifier};
    Tray m_x11;
    TrayRecord m_record;
    bool m_wanted = false;
    bool m_updatePending = false;
    MouseListener m_listener;
    // The tray whose click is being reported.
    const TrayService* m_reporting = nullptr;
};

} // namespace zumzik
