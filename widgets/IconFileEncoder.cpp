#include "IconFileEncoder.h"

#include "ComponentError.h"

#include <QtEndian>

namespace zumzik {
namespace {

constexpr int IconDirectorySize = 6;
constexpr int DirectoryEntrySize = 16;
constexpr int BitmapInfoHeaderSize = 40;

void appendUInt8(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xFF));
}

void appendUInt16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void appendUInt32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
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
    const int imageBytes = BitmapInfoHeaderSize + colourBytes + maskRowBytes * height;

    QByteArray out;
    out.reserve(IconDirectorySize + DirectoryEntrySize + imageBytes);

    appendUInt16(out, 0); // reserved
    appendUInt16(out, 1); // type: icon
    appendUInt16(out, 1); // one image

    appendUInt8(out, width == MaximumSide ? 0 : width);
    appendUInt8(out, height == MaximumSide ? 0 : height);
    appendUInt8(out, 0);   // no palette
    appendUInt8(out, 0);   // reserved
    appendUInt16(out, 1);  // planes
    appendUInt16(out, 32); // bits per pixel
    appendUInt32(out, static_cast<quint32>(imageBytes));
    appendUInt32(out, IconDirectorySize + DirectoryEntrySize);

    appendUInt32(out, BitmapInfoHeaderSize);
    appendUInt32(out, static_cast<quint32>(width));
    appendUInt32(out, static_cast<quint32>(height * 2)); // colour bitmap and mask, stacked
    appendUInt16(out, 1);
    appendUInt16(out, 32);
    appendUInt32(out, 0); // no compression
    appendUInt32(out, static_cast<quint32>(imageBytes - BitmapInfoHeaderSize));
    appendUInt32(out, 0); // pixels per metre, across
    appendUInt32(out, 0); // and down
    appendUInt32(out, 0); // colours used
    appendUInt32(out, 0); // colours important

    // Both bitmaps run bottom-up. Format_ARGB32 keeps each pixel as one native 32-bit word, which
    // written little-endian gives the blue, green, red, alpha byte order of the file.
    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x)
            appendUInt32(out, line[x]);
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
