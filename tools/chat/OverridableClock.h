#pragma once

#include "ChatOptions.h"
#include "Clock.h"

namespace zumzik {

// The computer's clock, with the date, the time of day and the seed counter replaced where the
// command line fixes them.
class OverridableClock final : public Clock {
public:
    explicit OverridableClock(const ChatOptions& options) : m_options(options) {}

    LocalDateTime now() const override;
    std::uint32_t seedCounter() const override;

private:
    SystemClock m_system;
    ChatOptions m_options;
};

} // namespace zumzik
