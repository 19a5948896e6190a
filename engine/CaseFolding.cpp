#include "CaseFolding.h"

#include <array>
#include <utility>

namespace zumzik {
namespace {

struct Tables {
    std::array<unsigned char, 256> lower{};
    std::array<unsigned char, 256> upper{};
};

// Pairs outside the two contiguous alphabets: upper case first.
constexpr std::pair<unsigned char, unsigned char> kOtherPairs[] = {
    {168, 184}, // Ё ё
    {128, 144}, // Ђ ђ
    {129, 131}, // Ѓ ѓ
    {138, 154}, // Љ љ
    {140, 156}, // Њ њ
    {141, 157}, // Ќ ќ
    {142, 158}, // Ћ ћ
    {143, 159}, // Џ џ
    {161, 162}, // Ў ў
    {163, 188}, // Ј ј
    {165, 180}, // Ґ ґ
    {170, 186}, // Є є
    {175, 191}, // Ї ї
    {178, 179}, // І і
    {189, 190}, // Ѕ ѕ
};

const Tables& tables() {
    static const Tables t = [] {
        Tables built;
        for (int i = 0; i < 256; ++i)
            built.lower[i] = built.upper[i] = static_cast<unsigned char>(i);
        auto pair = [&built](int upper, int lower) {
            built.lower[upper] = static_cast<unsigned char>(lower);
            built.upper[lower] = static_cast<unsigned char>(upper);
        };
        for (int i = 0; i < 26; ++i)
            pair('A' + i, 'a' + i);
        for (int i = 0; i < 32; ++i)
            pair(192 + i, 224 + i);
        for (const auto& [upper, lower] : kOtherPairs)
            pair(upper, lower);
        return built;
    }();
    return t;
}

std::string mapped(std::string_view text, const std::array<unsigned char, 256>& table) {
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        out[i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
    return out;
}

} // namespace

std::string CaseFolding::toLower(std::string_view cp1251) {
    return mapped(cp1251, tables().lower);
}

std::string CaseFolding::toUpper(std::string_view cp1251) {
    return mapped(cp1251, tables().upper);
}

char CaseFolding::toLower(char c) {
    return static_cast<char>(tables().lower[static_cast<unsigned char>(c)]);
}

char CaseFolding::toUpper(char c) {
    return static_cast<char>(tables().upper[static_cast<unsigned char>(c)]);
}

} // namespace zumzik
