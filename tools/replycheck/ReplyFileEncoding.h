#pragma once

#include "Cp1251.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zumzik {

// What becomes of a reply file's characters when the program reads it, and the code page 1251
// bytes that the checker's fix writes. A file that the program reads as UTF-8 shows each
// character that code page 1251 lacks as "?". A file that it reads as code page 1251 may still
// hold lines in UTF-8, added by an editor or a shell to a file that was not UTF-8 as a whole;
// the program shows those garbled.
class ReplyFileEncoding {
public:
    struct Line {
        std::size_t number;            // counted from 1, the way the program counts lines
        std::vector<char32_t> missing; // characters that code page 1251 lacks, in order
    };

    explicit ReplyFileEncoding(std::string_view bytes);

    // Whether the program reads the file as UTF-8.
    bool isUtf8() const { return m_utf8; }
    // In a UTF-8 file, the lines with characters that code page 1251 lacks; in a code page 1251
    // file, every line in UTF-8.
    const std::vector<Line>& utf8Lines() const { return m_utf8Lines; }

    // Whether the file has UTF-8 text to convert, and whether every character has a byte to
    // convert to.
    bool needsConverting() const { return m_utf8 || !m_utf8Lines.empty(); }
    bool convertible() const;

    // The file with its UTF-8 text in code page 1251 and without a byte order mark; line ends
    // and every other byte stay as they are. A character without a byte becomes "?".
    const std::string& cp1251() const { return m_cp1251; }

    // Whether the byte at the index ends a line: LF, or CR not followed by LF.
    static bool endsLine(std::string_view bytes, std::size_t index);

private:
    void nameLinesOf(const std::vector<Cp1251::Substitution>& substitutions);
    void convertUtf8Lines(std::string_view bytes);

    bool m_utf8 = false;
    std::vector<Line> m_utf8Lines;
    std::string m_cp1251;
};

} // namespace zumzik
