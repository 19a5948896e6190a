#pragma once

#include "DBusTrayTypes.h"
#include "StatusNotifierIconCache.h"

#include <QDBusObjectPath>
#include <QIcon>
#include <QMutex>
#include <QObject>
#include <functional>

namespace zumzik {

// The org.kde.StatusNotifierItem object that a tray shows: the icon as pictures (never a theme
// name, which would let the tray show a fixed icon instead of the animation), a tooltip, and the
// clicks the tray reports. It answers every property of the interface that trays read, the ones
// it has nothing for (overlay and attention icons, theme path, Ayatana's label) empty: a tray
// refreshes an icon by reading its name, pictures and description together, and GNOME's
// AppIndicator extension drops the whole refresh, the new picture included, when one is missing. A
// picture change is one NewIcon signal, after which the tray reads the pictures that were prepared
// for that icon.
//
// The item may live in a thread other than the one that changes it: trays read its properties
// and call its slots in the thread it lives in, while setIcon() and setToolTip() come from the
// thread that made it, so what both read lies under a lock.
class StatusNotifierItem final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconThemePath READ noName)
    Q_PROPERTY(QString IconName READ noName)
    Q_PROPERTY(zumzik::SniPixmapList IconPixmap READ iconPixmap)
    Q_PROPERTY(QString IconAccessibleDesc READ title)
    Q_PROPERTY(QString OverlayIconName READ noName)
    Q_PROPERTY(zumzik::SniPixmapList OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ noName)
    Q_PROPERTY(zumzik::SniPixmapList AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ noName)
    Q_PROPERTY(QString AttentionAccessibleDesc READ title)
    Q_PROPERTY(zumzik::SniToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
    Q_PROPERTY(QString XAyatanaLabel READ noName)
    Q_PROPERTY(QString XAyatanaLabelGuide READ noName)
    Q_PROPERTY(uint XAyatanaOrderingIndex READ orderingIndex)

public:
    // What the tray asks the item to do: Activate (a left click), ContextMenu (a right click) and
    // SecondaryActivate (a middle click). Trays differ in what the position given with a request
    // means (some give it within the panel), so it is not passed on. The handler runs in the
    // item's thread.
    enum class Request { Activate, ContextMenu, SecondaryActivate };
    using RequestHandler = std::function<void(Request request)>;

    // The id is a stable name for the program, the title its name for people, and the menu the
    // path of the item's com.canonical.dbusmenu object.
    StatusNotifierItem(const QString& id, const QString& title, const QDBusObjectPath& menu,
                       QObject* parent = nullptr);

    // Shows another icon; nothing happens when it is the one shown.
    void setIcon(const QIcon& icon);
    // The tooltip's title; nothing happens when it is unchanged.
    void setToolTip(const QString& text);
    // Whether changes go out as NewIcon and NewToolTip signals. Trays learn of an item only from
    // a watcher and read it afresh then, so while it is registered with none, a signal would be
    // a message that the bus carries to nobody, at every frame of an animation.
    void setAnnouncing(bool announcing) { m_announcing = announcing; }
    void setRequestHandler(RequestHandler handler) { m_onRequest = std::move(handler); }

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return m_id; }
    QString title() const { return m_title; }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    // A name, path or picture that the item leaves empty.
    QString noName() const { return {}; }
    SniPixmapList noPixmaps() const { return {}; }
    // Where among other items the tray puts this one: anywhere.
    uint orderingIndex() const { return 0; }
    SniPixmapList iconPixmap() const;
    SniToolTip toolTip() const;
    // A click opens no menu of the item's: the tray reports it as a click.
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return m_menu; }

public Q_SLOTS:
    Q_SCRIPTABLE void Activate(int x, int y);
    Q_SCRIPTABLE void ContextMenu(int x, int y);
    Q_SCRIPTABLE void SecondaryActivate(int x, int y);

Q_SIGNALS:
    Q_SCRIPTABLE void NewIcon();
    Q_SCRIPTABLE void NewToolTip();

private:
    void request(Request request);
    // Emits the signal in the item's thread: Qt relays a signal to the bus only from there.
    void announce(void (StatusNotifierItem::*signal)());

    const QString m_id;
    const QString m_title;
    const QDBusObjectPath m_menu;
    StatusNotifierIconCache m_icons;
    qint64 m_iconKey = 0;
    bool m_announcing = false;
    // What trays read.
    mutable QMutex m_shownLock;
    SniPixmapList m_pixmaps;
    QString m_toolTip;
    RequestHandler m_onRequest;
};

} // namespace zumzik
