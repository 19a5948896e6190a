#include "BuiltInResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static bool registerEveryResourceFile() {
    Q_INIT_RESOURCE(artwork);
    Q_INIT_RESOURCE(texts);
    return true;
}

namespace zumzik {

void registerBuiltInResources() {
    static const bool registered = registerEveryResourceFile();
    Q_UNUSED(registered);
}

} // namespace zumzik
