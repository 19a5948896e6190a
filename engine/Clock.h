#pragma once

#include <cstdint>

namespace zumzik {

// A moment of local civil time.
struct LocalDateTime {
    int year = 0;   // full year, as 2026
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to 31
    int hour = 0;   // 0 to 23
    int minute = 0; // 0 to 59
};

// Where the engine reads the time: the local date and time, and a fast-running counter whose low
// bits differ from run to run, for seeding the random generator. Tests and the terminal chat put
// their own clock in its place.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
    virtual std::uint32_t seedCounter() const = 0;
};

// The computer's clock.
class SystemClock final : public Clock {
public:
    LocalDateTime now() const override;
    std::uint32_t seedCounter() const override;
};

} // namespace zumzik
