#include "AccessibleShadowLabel.h"

#include "TRxCustomLabel.h"

namespace zumzik {
namespace {

QAccessibleInterface* createForShadowLabel(const QString&, QObject* object) {
    // Qt asks with each class name of the object's ancestry in turn; answering by type covers
    // subclasses of the label as well.
    if (auto* label = qobject_cast<TRxCustomLabel*>(object))
        return new AccessibleShadowLabel(label);
    return nullptr;
}

} // namespace

AccessibleShadowLabel::AccessibleShadowLabel(TRxCustomLabel* label)
    : QAccessibleWidget(label, QAccessible::StaticText) {}

QString AccessibleShadowLabel::text(QAccessible::Text kind) const {
    if (kind != QAccessible::Name)
        return QAccessibleWidget::text(kind);
    const QString name = widget()->accessibleName();
    return name.isEmpty() ? static_cast<const TRxCustomLabel*>(widget())->displayText() : name;
}

void AccessibleShadowLabel::install() {
    static const bool installed = [] {
        QAccessible::installFactory(createForShadowLabel);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace zumzik
