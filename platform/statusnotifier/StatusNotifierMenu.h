#pragma once

#include "DBusTrayTypes.h"

#include <QDBusContext>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <functional>

namespace zumzik {

// The item's com.canonical.dbusmenu menu: one entry that names the program. It exists for the
// trays that answer a right click by opening the item's menu instead of asking the item
// (ContextMenu): those that open a menu tell its root "opened", and that is the right click.
// GNOME's AppIndicator extension also shows no item at all without a menu and opens none that is
// empty, hence the one entry; choosing it only closes the menu.
class StatusNotifierMenu final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    StatusNotifierMenu(const QString& label, QObject* parent = nullptr);

    // Called when a tray has opened the menu.
    void setOpenedHandler(std::function<void()> handler) { m_onOpened = std::move(handler); }

    uint version() const { return 3; }
    QString textDirection() const { return QStringLiteral("ltr"); }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public Q_SLOTS:
    Q_SCRIPTABLE uint GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                                zumzik::DBusMenuLayoutItem& layout);
    Q_SCRIPTABLE zumzik::DBusMenuItemPropertiesList
    GetGroupProperties(const QList<int>& ids, const QStringList& propertyNames);
    Q_SCRIPTABLE QDBusVariant GetProperty(int id, const QString& name);
    Q_SCRIPTABLE void Event(int id, const QString& eventId, const QDBusVariant& data,
                            uint timestamp);
    // Qt's D-Bus finds the types of arguments by their names, which a typedef would hide.
    Q_SCRIPTABLE QList<int> EventGroup(const QList<zumzik::DBusMenuEvent>& events);
    Q_SCRIPTABLE bool AboutToShow(int id);
    Q_SCRIPTABLE QList<int> AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors);

private:
    static constexpr int kRoot = 0;
    static constexpr int kEntry = 1;

    static bool exists(int id) { return id == kRoot || id == kEntry; }
    QVariantMap properties(int id) const;
    // Handles one event; false when there is no such item.
    bool event(int id, const QString& eventId);
    void unknownItem(int id);
    // The bus name of the tray that made the call being answered.
    QString caller() const;
    // The calls on the root: a layout read, the menu opened, or about to be shown. An opening
    // is counted once however many of its calls come.
    void layoutRead();
    void opened();
    void aboutToShow();

    const QString m_label;
    std::function<void()> m_onOpened;
    // Since the last opening counted.
    QElapsedTimer m_sinceOpening;
    // The tray that read the layout last, until a call on the root follows; null when none.
    QString m_layoutReadBy;
    QElapsedTimer m_sinceLayoutRead;
};

} // namespace zumzik
