#include "StatusNotifierMenu.h"

#include <QDBusError>
#include <QDBusMessage>

namespace zumzik {
namespace {

// How long the calls of one opening of the menu may be apart. Trays make them one after another
// in a few milliseconds; a person's second click takes longer.
constexpr qint64 kOpeningMilliseconds = 500;

} // namespace

StatusNotifierMenu::StatusNotifierMenu(const QString& label, QObject* parent)
    : QObject(parent), m_label(label) {
    registerDBusTrayTypes();
}

QVariantMap StatusNotifierMenu::properties(int id) const {
    if (id == kRoot)
        return {{QStringLiteral("children-display"), QStringLiteral("submenu")}};
    return {{QStringLiteral("label"), m_label}};
}

QString StatusNotifierMenu::caller() const {
    return calledFromDBus() ? message().service() : QString();
}

void StatusNotifierMenu::layoutRead() {
    m_layoutReadBy = caller();
    m_sinceLayoutRead.start();
}

void StatusNotifierMenu::opened() {
    m_layoutReadBy.clear();
    const bool sameOpening =
        m_sinceOpening.isValid() && m_sinceOpening.elapsed() < kOpeningMilliseconds;
    if (sameOpening)
        return;
    m_sinceOpening.start();
    if (m_onOpened)
        m_onOpened();
}

void StatusNotifierMenu::aboutToShow() {
    // GNOME's AppIndicator extension reads the layout of a menu that it takes on and at once
    // tells the root that it is about to show, without opening anything; when it opens the
    // menu, it says "opened" first. So the first AboutToShow after a tray's layout read stands
    // for no opening, and the read itself neither counts nor ends an opening.
    const bool preparing = !m_layoutReadBy.isNull() && m_layoutReadBy == caller() &&
                           m_sinceLayoutRead.elapsed() < kOpeningMilliseconds;
    m_layoutReadBy.clear();
    if (!preparing)
        opened();
}

void StatusNotifierMenu::unknownItem(int id) {
    if (calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("No menu item %1").arg(id));
}

uint StatusNotifierMenu::GetLayout(int parentId, int recursionDepth, const QStringList&,
                                   DBusMenuLayoutItem& layout) {
    // The layout never changes, so it is always the first revision. Every property is sent, as
    // the two items have few.
    if (!exists(parentId)) {
        unknownItem(parentId);
        return 0;
    }
    layout = {parentId, properties(parentId), {}};
    if (parentId == kRoot) {
        layoutRead();
        if (recursionDepth != 0)
            layout.children << DBusMenuLayoutItem{kEntry, properties(kEntry), {}};
    }
    return 1;
}

DBusMenuItemPropertiesList StatusNotifierMenu::GetGroupProperties(const QList<int>& ids,
                                                                  const QStringList&) {
    DBusMenuItemPropertiesList list;
    for (const int id : ids) {
        if (exists(id))
            list << DBusMenuItemProperties{id, properties(id)};
    }
    return list;
}

QDBusVariant StatusNotifierMenu::GetProperty(int id, const QString& name) {
    if (!exists(id)) {
        unknownItem(id);
        return {};
    }
    const QVariantMap all = properties(id);
    if (!all.contains(name) && calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("No property %1").arg(name));
    return QDBusVariant(all.value(name));
}

bool StatusNotifierMenu::event(int id, const QString& eventId) {
    if (!exists(id))
        return false;
    if (id == kRoot && eventId == QLatin1String("opened"))
        opened();
    return true;
}

void StatusNotifierMenu::Event(int id, const QString& eventId, const QDBusVariant&, uint) {
    if (!event(id, eventId))
        unknownItem(id);
}

QList<int> StatusNotifierMenu::EventGroup(const QList<DBusMenuEvent>& events) {
    QList<int> unknown;
    for (const DBusMenuEvent& each : events) {
        if (!event(each.id, each.eventId))
            unknown << each.id;
    }
    return unknown;
}

bool StatusNotifierMenu::AboutToShow(int id) {
    if (id == kRoot)
        aboutToShow();
    else if (!exists(id))
        unknownItem(id);
    return false;
}

QList<int> StatusNotifierMenu::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors) {
    for (const int id : ids) {
        if (!exists(id))
            idErrors << id;
    }
    if (ids.contains(kRoot))
        aboutToShow();
    return {};
}

} // namespace zumzik
