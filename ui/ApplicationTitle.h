#pragma once

#include <QString>

namespace zumzik {

// "Зумзик": the program's title, its taskbar text and the caption of its message boxes.
inline QString applicationTitle() {
    return QStringLiteral("Зумзик");
}

} // namespace zumzik
