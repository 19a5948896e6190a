#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zumzik {

// Conversion between code page 1251, the program's own text encoding, and UTF-8, which the
// desktop, the terminal and the editors speak. It happens only at those edges; everything inside
// the engine is code page 1251 bytes.
class Cp1251 {
public:
    // A "?" that conversion put in for a character that code page 1251 lacks: where it stands in
    // the converted text, and the character it stands for (U+FFFD for a byte that starts no
    // well-formed UTF-8 sequence).
    struct Substitution {
        std::size_t offset;
        char32_t ch;
    };

    // Every byte becomes its character. Byte 0x98, which code page 1251 leaves undefined, becomes
    // U+FFFD, the replacement character.
    static std::string toUtf8(std::string_view cp1251);

    // Every character becomes its code page 1251 byte; a character that has none, and every byte
    // of a malformed UTF-8 sequence, becomes "?", and is listed in substitutions when given.
    // The result is never longer than the UTF-8 text, and ASCII bytes keep their places in it.
    static std::string fromUtf8(std::string_view utf8,
                                std::vector<Substitution>* substitutions = nullptr);

    // The same for bytes that are well-formed UTF-8 throughout (no overlong forms, surrogates,
    // code points beyond U+10FFFF or sequences cut short) and hold at least one character beyond
    // ASCII; nothing for any other bytes. Code page 1251 text with Russian letters is almost never
    // UTF-8: a small letter is a byte that would have to be followed by two or three continuation
    // bytes.
    static std::optional<std::string>
    fromUtf8Text(std::string_view bytes, std::vector<Substitution>* substitutions = nullptr);

    // The character that a byte stands for.
    static char32_t toUnicode(unsigned char byte);

    // The byte of a character, or nothing for a character that code page 1251 lacks.
    static std::optional<char> fromUnicode(char32_t ch);
};

} // namespace zumzik
