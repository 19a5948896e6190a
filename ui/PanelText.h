#pragma once

#include <QStringList>

namespace zumzik {

// The lines of one of the built-in window texts (resources/texts), one entry per line; a final
// line end ends the last line rather than starting an empty one.
QStringList panelText(const QString& name);

} // namespace zumzik
