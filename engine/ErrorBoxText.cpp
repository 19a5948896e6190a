#include "ErrorBoxText.h"

namespace zumzik {

std::string errorBoxText(std::string_view message) {
    std::string text(message);
    if (text.empty() || static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    return text;
}

} // namespace zumzik
