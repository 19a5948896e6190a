#pragma once

#include <QStringList>

namespace zumzik {

class MessageBoxes;

// The error box: every error that reaches the application's error report is shown with the
// full-stop rule applied. Errors that arrive while a box is open wait for it to close, one after
// the other, rather than piling box upon box. A handler that fails again and again would keep the
// user clicking for ever, so while a box stands open, the message it shows adds nothing, nor does
// one that already waits, and only a few others wait at all.
class ErrorBox {
public:
    explicit ErrorBox(MessageBoxes& boxes) : m_boxes(boxes) {}

    void show(const QString& message);

    static constexpr qsizetype kMaxWaiting = 8;

private:
    MessageBoxes& m_boxes;
    bool m_open = false;
    QString m_shown;
    QStringList m_pending;
};

} // namespace zumzik
