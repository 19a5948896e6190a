#include "IconFileEncoder.h"

#include "BitmapHeaders.h"
#include "ComponentError.h"
#include "LittleEndian.h"

namespace zumzik {
namespace {

constexpr int IconDirectorySize = 6;
constexpr int DirectoryEntrySize = 16;

void appendUInt8(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xFF));
}

} // namespace

QByteArray IconFileEncoder::encode(const QImage& picture) {
    if (picture.isNull() || picture.width() > MaximumSide || picture.height() > MaximumSide)
        throw ComponentError(QStringLiteral("An icon cannot hold a %1 x %2 picture")
                                 .arg(picture.width())
                                 .arg(picture.height()));

    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width();
    const int height = argb.height();
    const int colourBytes = width * height * 4;
    // Mask rows are padded to whole 32-bit words.
    const int maskRowBytes = (width + 31) / 32 * 4;
    const int imageBytes = kBitmapInfoHeaderSize + colourBytes + maskRowBytes * height;

    QByteArray out;
    out.reserve(IconDirectorySize + DirectoryEntrySize + imageBytes);

    LittleEndian::appendUInt16(out, 0); // reserved
    LittleEndian::appendUInt16(out, 1); // type: icon
    LittleEndian::appendUInt16(out, 1); // one image

    appendUInt8(out, width == MaximumSide ? 0 : width);
    appendUInt8(out, height == MaximumSide ? 0 : height);
    appendUInt8(out, 0);                 // no palette
    appendUInt8(out, 0);                 // reserved
    LittleEndian::appendUInt16(out, 1);  // planes
    LittleEndian::appendUInt16(out, 32); // bits per pixel
    LittleEndian::appendUInt32(out, static_cast<quint32>(imageBytes));
    LittleEndian::appendUInt32(out, IconDirectorySize + DirectoryEntrySize);

    LittleEndian::appendUInt32(out, kBitmapInfoHeaderSize);
    LittleEndian::appendUInt32(out, static_cast<quint32>(width));
    LittleEndian::appendUInt32(out,
                               static_cast<quint32>(height * 2)); // colour bitmap and mask, stacked
    LittleEndian::appendUInt16(out, 1);
    LittleEndian::appendUInt16(out, 32);
    LittleEndian::appendUInt32(out, 0); // no compression
    LittleEndian::appendUInt32(out, static_cast<quint32>(imageBytes - kBitmapInfoHeaderSize));
    LittleEndian::appendUInt32(out, 0); // pixels per metre, across
    LittleEndian::appendUInt32(out, 0); // and down
    LittleEndian::appendUInt32(out, 0); // colours used
    LittleEndian::appendUInt32(out, 0); // colours important

    // Both bitmaps run bottom-up. Format_ARGB32 keeps each pixel as one native 32-bit word, which
    // written little-endian gives the blue, green, red, alpha byte order of the file.
    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x)
            LittleEndian::appendUInt32(out, line[x]);
    }
    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        QByteArray maskRow(maskRowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            if (qAlpha(line[x]) == 0)
                maskRow[x / 8] = static_cast<char>(maskRow[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(maskRow);
    }
    return out;
}

} // namespace zumzik
