#include "Cp1251.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zumzik {
namespace {

// Characters of the bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F in order.
constexpr std::array<char16_t, 64> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

constexpr char16_t kCyrillicA = 0x0410;

// The bytes 0x80 to 0xBF sorted by their character, for the way back.
using ReverseEntry = std::pair<char16_t, unsigned char>;
const std::array<ReverseEntry, 64>& reverseTable() {
    static const std::array<ReverseEntry, 64> table = [] {
        std::array<ReverseEntry, 64> entries{};
        for (std::size_t i = 0; i < kUpperHalf.size(); ++i)
            entries[i] = {kUpperHalf[i], static_cast<unsigned char>(0x80 + i)};
        std::sort(entries.begin(), entries.end());
        return entries;
    }();
    return table;
}

void appendUtf8(std::string& out, char32_t ch) {
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (ch >> 12));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

// Length of the UTF-8 sequence that starts with the lead byte, and the lead byte's payload;
// 0 for a byte that cannot start a sequence.
int sequenceLength(unsigned char lead, char32_t& payload) {
    if (lead < 0x80) {
        payload = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        payload = lead & 0x1F;
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        payload = lead & 0x0F;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        payload = lead & 0x07;
        return 4;
    }
    return 0;
}

} // namespace

char32_t Cp1251::toUnicode(unsigned char byte) {
    if (byte < 0x80)
        return byte;
    if (byte >= 0xC0)
        return kCyrillicA + (byte - 0xC0);
    return kUpperHalf[byte - 0x80];
}

std::optional<char> Cp1251::fromUnicode(char32_t ch) {
    if (ch < 0x80)
        return static_cast<char>(ch);
    if (ch >= kCyrillicA && ch < kCyrillicA + 64)
        return static_cast<char>(0xC0 + (ch - kCyrillicA));
    if (ch != 0xFFFD && ch <= 0xFFFF) {
        const auto& table = reverseTable();
        const auto key = static_cast<char16_t>(ch);
        const auto it = std::lower_bound(table.begin(), table.end(), ReverseEntry{key, 0});
        if (it != table.end() && it->first == key)
            return static_cast<char>(it->second);
    }
    return std::nullopt;
}

std::size_t Cp1251::decodeUtf8(std::string_view utf8, char32_t& ch) {
    if (utf8.empty())
        return 0;
    const int length = sequenceLength(static_cast<unsigned char>(utf8[0]), ch);
    if (length == 0 || static_cast<std::size_t>(length) > utf8.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(utf8[k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        ch = (ch << 6) | (next & 0x3F);
    }
    if ((length == 3 && (ch < 0x800 || (ch >= 0xD800 && ch <= 0xDFFF))) ||
        (length == 4 && (ch < 0x10000 || ch > 0x10FFFF)))
        return 0;
    return static_cast<std::size_t>(length);
}

std::string Cp1251::toUtf8(std::string_view cp1251) {
    std::string out;
    out.reserve(cp1251.size() * 2);
    for (const char c : cp1251)
        appendUtf8(out, toUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string Cp1251::fromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t ch = 0;
        const std::size_t length = decodeUtf8(utf8.substr(i), ch);
        // A byte that starts no well-formed sequence becomes one mark; decoding goes on after it.
        out += length > 0 ? fromUnicode(ch).value_or('?') : '?';
        i += std::max<std::size_t>(length, 1);
    }
    return out;
}

} // namespace zumzik
