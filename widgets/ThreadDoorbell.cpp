#include "ThreadDoorbell.h"

#include <QSocketNotifier>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace zumzik {

ThreadDoorbell::ThreadDoorbell(QObject* parent)
    : QObject(parent), m_counter(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      m_notifier(new QSocketNotifier(m_counter, QSocketNotifier::Read, this)) {
    if (m_counter < 0)
        qFatal("cannot create an event counter");
    connect(m_notifier, &QSocketNotifier::activated, this, &ThreadDoorbell::answer);
}

ThreadDoorbell::~ThreadDoorbell() {
    delete m_notifier;
    ::close(m_counter);
}

void ThreadDoorbell::ring() {
    const std::uint64_t one = 1;
    // The counter only saturates after 2^64 - 2 unanswered rings; a full one already rings.
    [[maybe_unused]] const ssize_t written = ::write(m_counter, &one, sizeof one);
}

void ThreadDoorbell::answer() {
    std::uint64_t rings = 0;
    if (::read(m_counter, &rings, sizeof rings) == sizeof rings && rings > 0)
        emit rung();
}

} // namespace zumzik
