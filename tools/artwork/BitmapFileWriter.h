#pragma once

#include <QByteArray>
#include <QImage>

namespace zumzik {

// Writes a picture as an uncompressed bottom-up bitmap file with a 40-byte info header: 4 or 8 bits
// per pixel with the picture's colour table as the palette, or 24-bit true colour.
class BitmapFileWriter {
public:
    // An indexed picture (Format_Indexed8) whose colour table has at most 2^bitsPerPixel entries
    // for 4 or 8 bits; any picture for 24 bits. Fails for other depths or too many colours.
    static QByteArray encode(const QImage& picture, int bitsPerPixel);
};

} // namespace zumzik
