#include "ReplyFileText.h"

#include <optional>
#include <string_view>
#include <utility>

namespace zumzik {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

ReplyFileText::ReplyFileText(std::string bytes) {
    std::string_view text = bytes;
    const bool marked = text.starts_with(kByteOrderMark);
    if (marked)
        text.remove_prefix(kByteOrderMark.size());
    std::optional<std::string> converted = marked ? Cp1251::fromUtf8(text, &m_substitutions)
                                                  : Cp1251::fromUtf8Text(text, &m_substitutions);
    m_utf8 = converted.has_value();
    m_cp1251 = m_utf8 ? std::move(*converted) : std::move(bytes);
}

} // namespace zumzik
