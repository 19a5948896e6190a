#include "ErrorBox.h"

#include "ErrorBoxText.h"
#include "MessageBoxes.h"

#include <QScopedValueRollback>

namespace zumzik {

void ErrorBox::show(const QString& message) {
    const QString text = QString::fromStdString(errorBoxText(message.toStdString()));
    if ((m_open && text == m_shown) || m_pending.contains(text) || m_pending.size() >= kMaxWaiting)
        return;
    m_pending << text;
    if (m_open)
        return;
    const QScopedValueRollback open(m_open, true);
    while (!m_pending.isEmpty()) {
        m_shown = m_pending.takeFirst();
        m_boxes.showError(m_shown);
    }
}

} // namespace zumzik
