#pragma once

#include <QImage>

namespace zumzik {

// Brings a true-colour picture down to an indexed one with a palette of its own, chosen by median
// cut: the colours are split again and again at the median of their widest channel, and each
// final group gives one palette entry, its average.
class PaletteQuantizer {
public:
    // A Format_Indexed8 picture with at most maxColours colours (1 to 256).
    static QImage toIndexed(const QImage& picture, int maxColours);
};

} // namespace zumzik
