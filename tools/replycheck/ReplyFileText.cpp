#include "ReplyFileText.h"

#include "Cp1251.h"

#include <algorithm>

namespace zumzik {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isLineBreak(char byte) {
    return byte == '\r' || byte == '\n';
}

// Whether the line is well-formed UTF-8 and has a character beyond ASCII.
bool isUtf8Line(std::string_view line) {
    bool beyondAscii = false;
    for (std::size_t i = 0; i < line.size();) {
        char32_t ch = 0;
        const std::size_t length = Cp1251::decodeUtf8(line.substr(i), ch);
        if (length == 0)
            return false;
        beyondAscii = beyondAscii || length > 1;
        i += length;
    }
    return beyondAscii;
}

} // namespace

ReplyFileText::ReplyFileText(std::string_view bytes) {
    m_byteOrderMark = bytes.starts_with(kByteOrderMark);
    if (m_byteOrderMark)
        bytes.remove_prefix(kByteOrderMark.size());
    m_cp1251.reserve(bytes.size());

    // Lines are judged one by one, as a file may have had UTF-8 lines added to it.
    std::size_t number = 1;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && !isLineBreak(bytes[i]))
            continue;
        appendLine(bytes.substr(start, i - start), number);
        if (i < bytes.size()) {
            m_cp1251 += bytes[i];
            number += endsLine(bytes, i) ? 1 : 0;
        }
        start = i + 1;
    }
}

bool ReplyFileText::convertible() const {
    return std::all_of(m_utf8Lines.begin(), m_utf8Lines.end(),
                       [](const Utf8Line& line) { return line.missing.empty(); });
}

bool ReplyFileText::endsLine(std::string_view bytes, std::size_t index) {
    return bytes[index] == '\n' ||
           (bytes[index] == '\r' && (index + 1 == bytes.size() || bytes[index + 1] != '\n'));
}

void ReplyFileText::appendLine(std::string_view line, std::size_t number) {
    if (!isUtf8Line(line)) {
        m_cp1251 += line;
        return;
    }
    Utf8Line found{number, {}};
    for (std::size_t i = 0; i < line.size();) {
        char32_t ch = 0;
        i += Cp1251::decodeUtf8(line.substr(i), ch);
        const auto byte = Cp1251::fromUnicode(ch);
        if (!byte)
            found.missing.push_back(ch);
        m_cp1251 += byte.value_or('?');
    }
    m_utf8Lines.push_back(std::move(found));
}

} // namespace zumzik
