#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zumzik {

// Conversion between code page 1251, the program's own text encoding, and UTF-8, which the
// desktop and the terminal speak. It happens only at those edges; everything inside the engine
// is code page 1251 bytes.
class Cp1251 {
public:
    // Every byte becomes its character. Byte 0x98, which code page 1251 leaves undefined, becomes
    // U+FFFD, the replacement character.
    static std::string toUtf8(std::string_view cp1251);

    // Every character becomes its code page 1251 byte; a character that has none, and every byte
    // of a malformed UTF-8 sequence, becomes "?".
    static std::string fromUtf8(std::string_view utf8);

    // The character that a byte stands for.
    static char32_t toUnicode(unsigned char byte);

    // The byte of a character, or nothing for a character that code page 1251 lacks.
    static std::optional<char> fromUnicode(char32_t ch);

    // Reads the UTF-8 sequence at the start of the bytes into ch and returns its length in bytes;
    // returns 0 when the bytes are empty or do not start with a well-formed sequence (overlong
    // forms, surrogates and code points beyond U+10FFFF are malformed too).
    static std::size_t decodeUtf8(std::string_view utf8, char32_t& ch);
};

} // namespace zumzik
