#pragma once

#include <QAccessibleWidget>

namespace zumzik {

class TSecretPanel;

// What assistive technology sees of a scrolling text panel: an animation whose description is the
// whole text at once, since no screen reader can follow it scrolling by. An accessible name or
// description set on the panel takes precedence; without a name the text serves as the name.
class AccessibleSecretPanel : public QAccessibleWidget {
public:
    explicit AccessibleSecretPanel(TSecretPanel* panel);

    QString text(QAccessible::Text kind) const override;

    // Registers the interface with Qt's accessibility; safe to call any number of times.
    static void install();

private:
    // The lines that are not blank, trimmed, one per line.
    QString panelText() const;
};

} // namespace zumzik
