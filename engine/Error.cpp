#include "Error.h"

namespace zumzik {

Error Error::listIndexOutOfBounds(long long index) {
    return Error("List index out of bounds (" + std::to_string(index) + ")");
}

} // namespace zumzik
