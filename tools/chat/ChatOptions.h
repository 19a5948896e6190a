#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zumzik {

// The terminal chat's command line.
struct ChatOptions {
    struct Date {
        int year, month, day;
    };
    struct Time {
        int hour, minute;
    };

    std::optional<std::uint32_t> seed; // --seed N: seed with N instead of the clock
    std::optional<Date> date;          // --date YYYY-MM-DD: the start date instead of today
    std::optional<Time> time;          // --time HH:MM: what every time reply reads
    bool help = false;

    // Parses the arguments after the program name; returns nothing for a bad option or value.
    static std::optional<ChatOptions> parse(const std::vector<std::string>& arguments);
    static const char* usage();
};

} // namespace zumzik
