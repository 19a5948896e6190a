#include "ChatOptions.h"

#include "Calendar.h"

#include <charconv>
#include <string_view>

namespace zumzik {
namespace {

// A run of 1 to maxDigits decimal digits and nothing else, within [low, high].
std::optional<std::uint64_t> number(std::string_view text, std::size_t maxDigits, std::uint64_t low,
                                    std::uint64_t high) {
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<ChatOptions::Date> parseDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const auto year = number(text.substr(0, 4), 4, 1, 9999);
    const auto month = number(text.substr(5, 2), 2, 1, 12);
    const auto day = number(text.substr(8, 2), 2, 1, 31);
    if (!year || !month || !day)
        return std::nullopt;
    ChatOptions::Date date{int(*year), int(*month), int(*day)};
    if (date.day > Calendar::daysInMonth(date.year, date.month))
        return std::nullopt;
    return date;
}

std::optional<ChatOptions::Time> parseTime(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const auto hour = number(text.substr(0, colon), 2, 0, 23);
    const auto minute = number(text.substr(colon + 1), 2, 0, 59);
    if (!hour || !minute)
        return std::nullopt;
    return ChatOptions::Time{int(*hour), int(*minute)};
}

} // namespace

const char* ChatOptions::usage() {
    return "usage: zumzik-chat [--seed N] [--date YYYY-MM-DD] [--time HH:MM]";
}

std::optional<ChatOptions> ChatOptions::parse(const std::vector<std::string>& arguments) {
    ChatOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const std::size_t equals = name.find('='); equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name == "--help" || name == "-h") {
            if (value)
                return std::nullopt;
            options.help = true;
            continue;
        }
        if (!value) {
            if (i + 1 >= arguments.size())
                return std::nullopt;
            value = arguments[++i];
        }
        if (name == "--seed") {
            const auto seed = number(*value, 10, 0, 4294967295u);
            if (!seed)
                return std::nullopt;
            options.seed = static_cast<std::uint32_t>(*seed);
        } else if (name == "--date") {
            if (!(options.date = parseDate(*value)))
                return std::nullopt;
        } else if (name == "--time") {
            if (!(options.time = parseTime(*value)))
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

} // namespace zumzik
