#pragma once

#include <stdexcept>
#include <string>

namespace zumzik {

// An error raised by the conversation engine. The message is UTF-8: it is meant for the error box
// or a terminal, and may carry a file-system path, which is not code page 1251 text.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}

    // "List index out of bounds (%d)", raised for a bad index into a list.
    static Error listIndexOutOfBounds(long long index);
};

} // namespace zumzik
