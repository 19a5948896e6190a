#include "AfterFirstFrame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

namespace zumzik {

AfterFirstFrame::AfterFirstFrame(std::function<void()> work, QObject* parent)
    : QObject(parent), m_work(std::move(work)) {
    QCoreApplication::instance()->installEventFilter(this);
}

bool AfterFirstFrame::eventFilter(QObject* watched, QEvent* event) {
    // A window paints and shows its first frame while it handles its first exposure; the work
    // comes after that, from the event loop.
    if (event->type() == QEvent::Expose && watched->isWindowType() &&
        static_cast<QWindow*>(watched)->isExposed()) {
        QCoreApplication::instance()->removeEventFilter(this);
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_work();
                deleteLater();
            },
            Qt::QueuedConnection);
    }
    return false;
}

} // namespace zumzik
