#pragma once

#include "Clock.h"

namespace zumzik::test {

// A clock that reads whatever the test sets.
class FakeClock final : public Clock {
public:
    LocalDateTime time{2026, 12, 7, 9, 5};
    std::uint32_t counter = 1;

    LocalDateTime now() const override { return time; }
    std::uint32_t seedCounter() const override { return counter; }
};

} // namespace zumzik::test
