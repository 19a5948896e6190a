#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zumzik {

// A reply file's bytes as an editor on Linux may have left them: a UTF-8 byte order mark and
// lines in UTF-8 are recognised, and the file is given again in code page 1251, the encoding
// the program reads. A line counts as UTF-8 when it is well-formed UTF-8 with at least one
// character beyond ASCII; code page 1251 text with Russian letters almost never is.
class ReplyFileText {
public:
    struct Utf8Line {
        std::size_t number;            // counted from 1, the way the program counts lines
        std::vector<char32_t> missing; // characters that code page 1251 lacks, in order
    };

    explicit ReplyFileText(std::string_view bytes);

    bool hasByteOrderMark() const { return m_byteOrderMark; }
    const std::vector<Utf8Line>& utf8Lines() const { return m_utf8Lines; }

    // Whether the file needs converting, and whether every character has a byte to convert to.
    bool isUtf8() const { return m_byteOrderMark || !m_utf8Lines.empty(); }
    bool convertible() const;

    // The bytes without the byte order mark and with the UTF-8 lines in code page 1251; line
    // ends and every other byte stay as they are. A character without a byte becomes "?".
    const std::string& cp1251() const { return m_cp1251; }

    // Whether the byte at the index ends a line: LF, or CR not followed by LF.
    static bool endsLine(std::string_view bytes, std::size_t index);

private:
    void appendLine(std::string_view line, std::size_t number);

    bool m_byteOrderMark = false;
    std::vector<Utf8Line> m_utf8Lines;
    std::string m_cp1251;
};

} // namespace zumzik
