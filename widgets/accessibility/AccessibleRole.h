#pragma once

#include <QAccessibleWidget>

namespace zumzik {

// Has assistive technology see every widget of the class Widget (and of its subclasses) in the
// given role rather than in the one Qt would give it. Safe to call any number of times.
template <typename Widget, QAccessible::Role role> void presentAccessibleAs() {
    static const bool installed = [] {
        QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
            if (auto* widget = qobject_cast<Widget*>(object))
                return new QAccessibleWidget(widget, role);
            return nullptr;
        });
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace zumzik
