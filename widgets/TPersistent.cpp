#include "TPersistent.h"

#include "ComponentError.h"

namespace zumzik {

void TPersistent::AssignTo(TPersistent& dest) const {
    dest.AssignError(this);
}

void TPersistent::DefineProperties(TFiler& /*filer*/) {}

void TPersistent::Assign(const TPersistent* source) {
    if (!source)
        AssignError(nullptr);
    source->AssignTo(*this);
}

void TPersistent::AssignError(const TPersistent* source) const {
    const char* sourceName = source ? source->ClassName() : "null";
    throw ComponentError(QStringLiteral("Cannot assign a %1 to a %2")
                             .arg(QString::fromUtf8(sourceName), QString::fromUtf8(ClassName())));
}

} // namespace zumzik
