#pragma once

#include <QString>
#include <stdexcept>

namespace zumzik {

// An error raised by a display component, or by the byte formats beneath the components (a
// stream that takes too little, an icon too large to encode). The message is UTF-8, ready for the
// application's error box.
class ComponentError : public std::runtime_error {
public:
    explicit ComponentError(const QString& message);

    // "List index out of bounds (%d)", raised for a bad index into a component's list.
    static ComponentError listIndexOutOfBounds(long long index);
};

} // namespace zumzik
