#include "Announcer.h"

#include "AccessibleRole.h"

#include <QLabel>

namespace zumzik {

Announcer::Announcer(QWidget* parent) : QWidget(parent), m_text(new QLabel(this)) {
    presentAccessibleAs<Announcer, QAccessible::Notification>();
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(0, 0);
    m_text->setTextFormat(Qt::PlainText);
    // Nothing to read before the first announcement.
    hide();
    window()->installEventFilter(this);
}

void Announcer::announce(const QString& text) {
    if (text.isEmpty() || !isActiveWindow())
        return;
    m_text->setText(text);
    // Every showing is a notification of its own. The notice stays shown until the next one, as a
    // screen reader reads its label a moment later, and only while it shows.
    hide();
    show();
}

bool Announcer::eventFilter(QObject* watched, QEvent* event) {
    // Shown again along with its window, the notice would be read out once more; the window is
    // read out anyway as it becomes active again.
    if (watched == window() && event->type() == QEvent::Hide)
        hide();
    return QWidget::eventFilter(watched, event);
}

QString Announcer::text() const {
    return m_text->text();
}

} // namespace zumzik
