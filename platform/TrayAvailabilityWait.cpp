#include "TrayAvailabilityWait.h"

#include "TrayService.h"

namespace zumzik {
namespace {

// A tray's answer is looked for this often: it has no signal of its own that says it came.
constexpr int kPollMilliseconds = 50;

} // namespace

TrayAvailabilityWait::TrayAvailabilityWait(TrayService& tray, QObject* parent)
    : QObject(parent), m_tray(tray) {
    m_poll.setInterval(kPollMilliseconds);
    connect(&m_poll, &QTimer::timeout, this, &TrayAvailabilityWait::check);
}

void TrayAvailabilityWait::start(std::function<void()> there, std::function<void()> gaveUp) {
    m_there = std::move(there);
    m_gaveUp = std::move(gaveUp);
    m_waited.start();
    m_poll.start();
    check();
}

void TrayAvailabilityWait::check() {
    const bool available = m_tray.available();
    if (!available && m_waited.elapsed() < kWaitMilliseconds)
        return;
    m_poll.stop();
    const std::function<void()> next = available ? m_there : m_gaveUp;
    next();
}

} // namespace zumzik
