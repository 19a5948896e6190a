#include "OverridableClock.h"

namespace zumzik {

LocalDateTime OverridableClock::now() const {
    LocalDateTime now = m_system.now();
    if (m_options.date) {
        now.year = m_options.date->year;
        now.month = m_options.date->month;
        now.day = m_options.date->day;
    }
    if (m_options.time) {
        now.hour = m_options.time->hour;
        now.minute = m_options.time->minute;
    }
    return now;
}

std::uint32_t OverridableClock::seedCounter() const {
    return m_options.seed ? *m_options.seed : m_system.seedCounter();
}

} // namespace zumzik
