#pragma once

#include <QAccessibleWidget>

namespace zumzik {

class TRxCustomLabel;

// What assistive technology sees of a shadow label: static text whose name is the caption as shown,
// without the accelerator markers (an accessible name set on the label takes precedence).
class AccessibleShadowLabel : public QAccessibleWidget {
public:
    explicit AccessibleShadowLabel(TRxCustomLabel* label);

    QString text(QAccessible::Text kind) const override;

    // Registers the interface with Qt's accessibility; safe to call any number of times.
    static void install();
};

} // namespace zumzik
