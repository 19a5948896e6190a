#pragma once

#include <QByteArray>
#include <QImage>

namespace zumzik {

// Writes a picture as an icon file holding one uncompressed image: a 32-bit BGRA bitmap with its
// alpha channel and the 1-bit AND mask that older readers use for transparency. A 48 x 48 picture
// takes 9662 bytes.
class IconFileEncoder {
public:
    // The largest side an icon file can describe.
    static constexpr int MaximumSide = 256;

    // Fails for an empty picture or one with a side above MaximumSide.
    static QByteArray encode(const QImage& picture);
};

} // namespace zumzik
