#include "ReplyFileEncoding.h"

#include "ReplyFileText.h"

#include <algorithm>

namespace zumzik {
namespace {

bool isLineBreak(char byte) {
    return byte == '\r' || byte == '\n';
}

} // namespace

ReplyFileEncoding::ReplyFileEncoding(std::string_view bytes) {
    ReplyFileText text{std::string(bytes)};
    m_utf8 = text.isUtf8();
    if (m_utf8) {
        m_cp1251 = text.cp1251();
        nameLinesOf(text.substitutions());
    } else {
        convertUtf8Lines(bytes);
    }
}

bool ReplyFileEncoding::convertible() const {
    return std::all_of(m_utf8Lines.begin(), m_utf8Lines.end(),
                       [](const Line& line) { return line.missing.empty(); });
}

bool ReplyFileEncoding::endsLine(std::string_view bytes, std::size_t index) {
    return bytes[index] == '\n' ||
           (bytes[index] == '\r' && (index + 1 == bytes.size() || bytes[index + 1] != '\n'));
}

// Conversion keeps the line ends where they were, so the lines are counted in the converted text.
void ReplyFileEncoding::nameLinesOf(const std::vector<Cp1251::Substitution>& substitutions) {
    std::size_t number = 1;
    std::size_t counted = 0;
    for (const Cp1251::Substitution& substitution : substitutions) {
        for (; counted < substitution.offset; ++counted)
            number += endsLine(m_cp1251, counted) ? 1 : 0;
        if (m_utf8Lines.empty() || m_utf8Lines.back().number != number)
            m_utf8Lines.push_back({number, {}});
        m_utf8Lines.back().missing.push_back(substitution.ch);
    }
}

// Lines are judged one by one, each by the rule that the program applies to a whole file.
void ReplyFileEncoding::convertUtf8Lines(std::string_view bytes) {
    m_cp1251.reserve(bytes.size());
    std::size_t number = 1;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && !isLineBreak(bytes[i]))
            continue;
        const ReplyFileText line{std::string(bytes.substr(start, i - start))};
        if (line.isUtf8()) {
            Line found{number, {}};
            for (const Cp1251::Substitution& substitution : line.substitutions())
                found.missing.push_back(substitution.ch);
            m_utf8Lines.push_back(std::move(found));
        }
        m_cp1251 += line.cp1251();
        if (i < bytes.size()) {
            m_cp1251 += bytes[i];
            number += endsLine(bytes, i) ? 1 : 0;
        }
        start = i + 1;
    }
}

} // namespace zumzik
