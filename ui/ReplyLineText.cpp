#include "ReplyLineText.h"

#include "Cp1251.h"

namespace zumzik {

QString replyLineText(const std::string& cp1251) {
    const std::string_view shown = std::string_view(cp1251).substr(0, kReplyLineMaxCharacters);
    return QString::fromStdString(Cp1251::toUtf8(shown));
}

} // namespace zumzik
