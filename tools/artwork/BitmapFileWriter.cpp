#include "BitmapFileWriter.h"

#include "BitmapHeaders.h"
#include "LittleEndian.h"

#include <stdexcept>

namespace zumzik {
namespace {

// 72 dots per inch, as most painting programs write.
constexpr quint32 PixelsPerMetre = 2835;

QByteArray pixelRow(const QImage& picture, int y, int bitsPerPixel, int rowBytes) {
    QByteArray row(rowBytes, '\0');
    auto* out = reinterpret_cast<uchar*>(row.data());
    const int width = picture.width();
    if (bitsPerPixel == 24) {
        for (int x = 0; x < width; ++x) {
            const QRgb rgb = picture.pixel(x, y);
            out[x * 3] = static_cast<uchar>(qBlue(rgb));
            out[x * 3 + 1] = static_cast<uchar>(qGreen(rgb));
            out[x * 3 + 2] = static_cast<uchar>(qRed(rgb));
        }
        return row;
    }
    const uchar* indices = picture.constScanLine(y);
    for (int x = 0; x < width; ++x) {
        if (bitsPerPixel == 8)
            out[x] = indices[x];
        else
            out[x / 2] |= static_cast<uchar>(x % 2 == 0 ? indices[x] << 4 : indices[x]);
    }
    return row;
}

} // namespace

QByteArray BitmapFileWriter::encode(const QImage& picture, int bitsPerPixel) {
    const bool indexed = bitsPerPixel == 4 || bitsPerPixel == 8;
    if (!indexed && bitsPerPixel != 24)
        throw std::invalid_argument("a bitmap file holds 4, 8 or 24 bits per pixel here");
    if (indexed &&
        (picture.format() != QImage::Format_Indexed8 || picture.colorCount() > (1 << bitsPerPixel)))
        throw std::invalid_argument("the picture has more colours than the bitmap's palette");

    const int paletteEntries = indexed ? 1 << bitsPerPixel : 0;
    const int rowBytes = (picture.width() * bitsPerPixel + 31) / 32 * 4;
    const int pixelBytes = rowBytes * picture.height();
    const int pixelOffset = kBitmapFileHeaderSize + kBitmapInfoHeaderSize + paletteEntries * 4;

    QByteArray out;
    out.reserve(pixelOffset + pixelBytes);
    out.append("BM", 2);
    LittleEndian::appendUInt32(out, static_cast<quint32>(pixelOffset + pixelBytes));
    LittleEndian::appendUInt32(out, 0); // reserved
    LittleEndian::appendUInt32(out, static_cast<quint32>(pixelOffset));

    LittleEndian::appendUInt32(out, kBitmapInfoHeaderSize);
    LittleEndian::appendUInt32(out, static_cast<quint32>(picture.width()));
    LittleEndian::appendUInt32(
        out, static_cast<quint32>(picture.height())); // positive: rows run bottom-up
    LittleEndian::appendUInt16(out, 1);
    LittleEndian::appendUInt16(out, static_cast<quint16>(bitsPerPixel));
    LittleEndian::appendUInt32(out, 0); // no compression
    LittleEndian::appendUInt32(out, static_cast<quint32>(pixelBytes));
    LittleEndian::appendUInt32(out, PixelsPerMetre);
    LittleEndian::appendUInt32(out, PixelsPerMetre);
    LittleEndian::appendUInt32(out, static_cast<quint32>(paletteEntries));
    LittleEndian::appendUInt32(out, 0); // all colours important

    for (int index = 0; index < paletteEntries; ++index) {
        const QRgb rgb = index < picture.colorCount() ? picture.color(index) : qRgb(0, 0, 0);
        out.append(static_cast<char>(qBlue(rgb)));
        out.append(static_cast<char>(qGreen(rgb)));
        out.append(static_cast<char>(qRed(rgb)));
        out.append('\0');
    }
    for (int y = picture.height() - 1; y >= 0; --y)
        out.append(pixelRow(picture, y, bitsPerPixel, rowBytes));
    return out;
}

} // namespace zumzik
