#include "Cp1251.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
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

// The byte from 0x80 to 0xBF of a character, if it has one.
std::optional<char> upperHalfByte(char32_t ch) {
    if (ch == 0xFFFD || ch > 0xFFFF)
        return std::nullopt;
    const auto& table = reverseTable();
    const auto key = static_cast<char16_t>(ch);
    const auto it = std::lower_bound(table.begin(), table.end(), ReverseEntry{key, 0});
    if (it == table.end() || it->first != key)
        return std::nullopt;
    return static_cast<char>(it->second);
}

// The byte of a character, small enough to be inlined where whole files are converted.
inline std::optional<char> codePageByte(char32_t ch) {
    if (ch < 0x80)
        return static_cast<char>(ch);
    if (ch >= kCyrillicA && ch < kCyrillicA + 64)
        return static_cast<char>(0xC0 + (ch - kCyrillicA));
    return upperHalfByte(ch);
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

// One character read from UTF-8, and the number of bytes it took; 0 bytes when the bytes there
// do not start a well-formed sequence.
struct Decoded {
    char32_t ch;
    std::size_t length;
};

bool isContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Reads the UTF-8 sequence at the index. Overlong forms, surrogates and code points beyond
// U+10FFFF are malformed too, and so is a sequence that the end of the bytes cuts short.
inline Decoded decodeUtf8(std::string_view utf8, std::size_t index) {
    constexpr Decoded kMalformed{0, 0};
    const auto lead = static_cast<unsigned char>(utf8[index]);
    const std::size_t left = utf8.size() - index;
    if (lead < 0x80)
        return {lead, 1};
    // Two bytes, which the Russian letters take, come first.
    if (lead >= 0xC2 && lead <= 0xDF) {
        if (left < 2 || !isContinuation(utf8[index + 1]))
            return kMalformed;
        return {((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[index + 1]) & 0x3Fu), 2};
    }
    Decoded decoded{0, 0};
    if (lead >= 0xE0 && lead <= 0xEF)
        decoded = {lead & 0x0Fu, 3};
    else if (lead >= 0xF0 && lead <= 0xF4)
        decoded = {lead & 0x07u, 4};
    else
        return kMalformed;
    if (decoded.length > left)
        return kMalformed;
    for (std::size_t k = 1; k < decoded.length; ++k) {
        if (!isContinuation(utf8[index + k]))
            return kMalformed;
        decoded.ch = (decoded.ch << 6) | (static_cast<unsigned char>(utf8[index + k]) & 0x3Fu);
    }
    const char32_t ch = decoded.ch;
    if ((decoded.length == 3 && (ch < 0x800 || (ch >= 0xD800 && ch <= 0xDFFF))) ||
        (decoded.length == 4 && (ch < 0x10000 || ch > 0x10FFFF)))
        return kMalformed;
    return decoded;
}

// The index of the first byte from the index on that is not ASCII, or the size, found eight bytes
// at a time: a file in ASCII is read to its end before it is known not to be UTF-8.
std::size_t skipAscii(std::string_view bytes, std::size_t index) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    while (bytes.size() - index >= sizeof(std::uint64_t)) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + index, sizeof word);
        if ((word & kHighBits) != 0)
            break;
        index += sizeof word;
    }
    while (index < bytes.size() && static_cast<unsigned char>(bytes[index]) < 0x80)
        ++index;
    return index;
}

// The one way from UTF-8 to code page 1251. Strict, it gives up on text that is not UTF-8 with a
// character beyond ASCII, as early as it can: code page 1251 text with Russian letters fails at
// its first letter, before anything is allocated.
std::optional<std::string> convertUtf8(std::string_view utf8, bool strict,
                                       std::vector<Cp1251::Substitution>* substitutions) {
    std::size_t i = skipAscii(utf8, 0);
    if (strict && (i == utf8.size() || decodeUtf8(utf8, i).length == 0))
        return std::nullopt;
    // Every character takes at least one byte in UTF-8 and exactly one here, so the result fits
    // in the size of the text.
    std::string out(utf8.size(), '\0');
    std::memcpy(out.data(), utf8.data(), i);
    char* const begin = out.data();
    char* end = begin + i;
    std::vector<Cp1251::Substitution> found;
    while (i < utf8.size()) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            *end++ = utf8[i++];
            continue;
        }
        const Decoded decoded = decodeUtf8(utf8, i);
        if (decoded.length == 0 && strict)
            return std::nullopt;
        // A byte that starts no well-formed sequence becomes one mark; decoding goes on after it.
        const std::optional<char> byte =
            decoded.length > 0 ? codePageByte(decoded.ch) : std::nullopt;
        if (!byte)
            found.push_back({static_cast<std::size_t>(end - begin),
                             decoded.length > 0 ? decoded.ch : U'\uFFFD'});
        *end++ = byte.value_or('?');
        i += std::max<std::size_t>(decoded.length, 1);
    }
    out.resize(static_cast<std::size_t>(end - begin));
    if (substitutions)
        *substitutions = std::move(found);
    return out;
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
    return codePageByte(ch);
}

std::optional<std::string> Cp1251::fromUtf8Text(std::string_view bytes,
                                                std::vector<Substitution>* substitutions) {
    return convertUtf8(bytes, true, substitutions);
}

std::string Cp1251::toUtf8(std::string_view cp1251) {
    std::string out;
    out.reserve(cp1251.size() * 2);
    for (const char c : cp1251)
        appendUtf8(out, toUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string Cp1251::fromUtf8(std::string_view utf8, std::vector<Substitution>* substitutions) {
    return *convertUtf8(utf8, false, substitutions);
}

} // namespace zumzik
