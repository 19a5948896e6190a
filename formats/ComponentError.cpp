#include "ComponentError.h"

namespace zumzik {

ComponentError::ComponentError(const QString& message)
    : std::runtime_error(message.toStdString()) {}

ComponentError ComponentError::listIndexOutOfBounds(long long index) {
    return ComponentError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

} // namespace zumzik
