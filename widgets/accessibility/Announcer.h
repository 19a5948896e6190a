#pragma once

#include <QWidget>

class QLabel;

namespace zumzik {

// A notification that only screen readers perceive: announce() has them speak a text that appears
// away from the keyboard focus, such as an answer that shows on a label while the user types into
// a field. Screen readers present changes of the focused control only (and the toolkit's events
// for a changed name or description do not carry the new text along); a notification, though,
// is read out the moment it shows, whatever has the focus. The notice holds the text in a label
// of its own, so that braille displays and a screen reader's list of past notifications get it
// too. It takes no room and draws nothing, so the window looks the same to everyone else.
class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent);

    // Has screen readers speak text, once for every call, also when it equals the last one, but
    // only while the window is the active one: a window that becomes active is read out anyway,
    // with what it shows by then.
    void announce(const QString& text);

    QString text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_text;
};

} // namespace zumzik
