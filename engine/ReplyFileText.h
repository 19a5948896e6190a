#pragma once

#include "Cp1251.h"

#include <string>
#include <vector>

namespace zumzik {

// A reply file's bytes as the program reads them. A file that starts with the UTF-8 byte order
// mark, or that is well-formed UTF-8 throughout with a character beyond ASCII, is what an editor
// on Linux saves: it becomes code page 1251 text, without the mark, each character that code page
// 1251 lacks becoming "?". Every other file is code page 1251 already, or ASCII, and stays byte
// for byte as it is. Line ends and NUL bytes keep their places either way.
class ReplyFileText {
public:
    explicit ReplyFileText(std::string bytes);

    bool isUtf8() const { return m_utf8; }
    const std::string& cp1251() const { return m_cp1251; }
    // The "?" in the text that stand for characters code page 1251 lacks, in order.
    const std::vector<Cp1251::Substitution>& substitutions() const { return m_substitutions; }

private:
    bool m_utf8 = false;
    std::string m_cp1251;
    std::vector<Cp1251::Substitution> m_substitutions;
};

} // namespace zumzik
