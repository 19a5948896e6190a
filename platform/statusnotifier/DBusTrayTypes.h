#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

// The structures that a StatusNotifierItem and its com.canonical.dbusmenu menu exchange with the
// desktop's tray, in their D-Bus form.

namespace zumzik {

// One picture of an icon, (iiay): ARGB32 pixels, not premultiplied, in network byte order.
struct SniPixmap {
    int width = 0;
    int height = 0;
    QByteArray pixels;
};
using SniPixmapList = QList<SniPixmap>;

// The ToolTip property, (sa(iiay)ss): icon name, icon pictures, title and description.
struct SniToolTip {
    QString iconName;
    SniPixmapList pixmaps;
    QString title;
    QString description;
};

// One menu item and, nested in variants, its children: (ia{sv}av).
struct DBusMenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayoutItem> children;
};

// The properties of one menu item, (ia{sv}).
struct DBusMenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using DBusMenuItemPropertiesList = QList<DBusMenuItemProperties>;

// One event of a group, (isvu).
struct DBusMenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};

QDBusArgument& operator<<(QDBusArgument& argument, const SniPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& toolTip);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuLayoutItem& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuLayoutItem& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuItemProperties& item);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuItemProperties& item);
QDBusArgument& operator<<(QDBusArgument& argument, const DBusMenuEvent& event);
const QDBusArgument& operator>>(const QDBusArgument& argument, DBusMenuEvent& event);

// Makes the structures known to Qt's D-Bus marshalling; harmless to call more than once.
void registerDBusTrayTypes();

} // namespace zumzik

Q_DECLARE_METATYPE(zumzik::SniPixmap)
Q_DECLARE_METATYPE(zumzik::SniToolTip)
Q_DECLARE_METATYPE(zumzik::DBusMenuLayoutItem)
Q_DECLARE_METATYPE(zumzik::DBusMenuItemProperties)
Q_DECLARE_METATYPE(zumzik::DBusMenuEvent)
