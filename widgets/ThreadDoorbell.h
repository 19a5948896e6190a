#pragma once

#include <QObject>

class QSocketNotifier;

namespace zumzik {

// Lets any thread ask the thread this object lives in to do something: ring() from anywhere, and
// rung() is emitted there, once for any number of rings since the last time.
//
// It rings through an event counter of the kernel rather than Qt's event queue, so that a worker
// hands nothing to Qt's own thread-crossing structures. Besides keeping the worker's side to one
// system call, this lets the thread sanitizer see the hand-over, which it cannot see inside Qt.
class ThreadDoorbell : public QObject {
    Q_OBJECT
public:
    explicit ThreadDoorbell(QObject* parent = nullptr);
    ~ThreadDoorbell() override;

    void ring();

signals:
    void rung();

private:
    void answer();

    int m_counter;
    QSocketNotifier* m_notifier;
};

} // namespace zumzik
