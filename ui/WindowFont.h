#pragma once

#include <QFont>

namespace zumzik {

// The font names that the windows are described with, mapped to metric-compatible fonts that
// Debian has (fonts-liberation). The mapping is installed before any widget asks for a font, so
// the font database never goes looking for a family it does not have.
void installFontSubstitutes();

// The windows' own font: "MS Sans Serif", 11-pixel characters.
QFont windowFont();

} // namespace zumzik
