#include "AccessibleSecretPanel.h"

#include "TSecretPanel.h"

namespace zumzik {
namespace {

QAccessibleInterface* createForSecretPanel(const QString&, QObject* object) {
    if (auto* panel = qobject_cast<TSecretPanel*>(object))
        return new AccessibleSecretPanel(panel);
    return nullptr;
}

} // namespace

AccessibleSecretPanel::AccessibleSecretPanel(TSecretPanel* panel)
    : QAccessibleWidget(panel, QAccessible::Animation) {}

QString AccessibleSecretPanel::text(QAccessible::Text kind) const {
    const QWidget* panel = widget();
    switch (kind) {
    case QAccessible::Name:
        return panel->accessibleName().isEmpty() ? panelText() : panel->accessibleName();
    case QAccessible::Description:
        if (!panel->accessibleDescription().isEmpty())
            return panel->accessibleDescription();
        return panel->accessibleName().isEmpty() ? QString() : panelText();
    default: return QAccessibleWidget::text(kind);
    }
}

QString AccessibleSecretPanel::panelText() const {
    QStringList shown;
    for (const QString& line : static_cast<const TSecretPanel*>(widget())->lines()) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            shown << trimmed;
    }
    return shown.join(QLatin1Char('\n'));
}

void AccessibleSecretPanel::install() {
    static const bool installed = [] {
        QAccessible::installFactory(createForSecretPanel);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace zumzik
