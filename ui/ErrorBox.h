#pragma once

#include <QStringList>

namespace zumzik {

class MessageBoxes;

// The error box: every error that reaches the application's error report is shown with the
// full-stop rule applied. Errors that arrive while a box is open wait for it to close, one after
// the other, rather than piling box upon box.
class ErrorBox {
public:
    explicit ErrorBox(MessageBoxes& boxes) : m_boxes(boxes) {}

    void show(const QString& message);

private:
    MessageBoxes& m_boxes;
    bool m_open = false;
    QStringList m_pending;
};

} // namespace zumzik
