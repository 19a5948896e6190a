#include "ErrorBox.h"

#include "ErrorBoxText.h"
#include "MessageBoxes.h"

#include <QScopedValueRollback>

namespace zumzik {

void ErrorBox::show(const QString& message) {
    m_pending << QString::fromStdString(errorBoxText(message.toStdString()));
    if (m_open)
        return;
    const QScopedValueRollback open(m_open, true);
    while (!m_pending.isEmpty())
        m_boxes.showError(m_pending.takeFirst());
}

} // namespace zumzik
