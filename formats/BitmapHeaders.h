#pragma once

#include <QtGlobal>

namespace zumzik {

// The two headers with which a Windows bitmap file begins: the file header ("BM", the file's
// size, where the pixels start), then the information header with the picture's size and depth.
// An icon file's pictures begin with the information header alone.
inline constexpr qsizetype kBitmapFileHeaderSize = 14;
inline constexpr qsizetype kBitmapInfoHeaderSize = 40;

} // namespace zumzik
