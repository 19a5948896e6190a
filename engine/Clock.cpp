#include "Clock.h"

#include <chrono>
#include <ctime>

namespace zumzik {

LocalDateTime SystemClock::now() const {
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

std::uint32_t SystemClock::seedCounter() const {
    // The high-resolution clock in nanoseconds: its low 32 bits run through their whole range
    // every four seconds, so two starts practically never share a seed.
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    return static_cast<std::uint32_t>(ticks);
}

} // namespace zumzik
