#pragma once

#include <string>
#include <string_view>

namespace zumzik {

// The text that the error box shows for an error message: the message with a full stop appended,
// unless its last character is a full stop or any other character whose code is not above it
// (a blank, "!", ")" and the like).
std::string errorBoxText(std::string_view message);

} // namespace zumzik
