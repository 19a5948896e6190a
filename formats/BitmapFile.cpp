#include "BitmapFile.h"

#include "BitmapHeaders.h"
#include "LittleEndian.h"

#include <QFile>

namespace zumzik {
namespace {

constexpr quint32 kUncompressed = 0;
// Far beyond any artwork; a larger size is a damaged header.
constexpr qint32 kLargestSide = 4096;

} // namespace

QImage BitmapFile::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decode(file.readAll());
}

QImage BitmapFile::decode(const QByteArray& bytes) {
    if (bytes.size() < kBitmapFileHeaderSize + kBitmapInfoHeaderSize || !bytes.startsWith("BM"))
        return {};
    const quint32 pixelsOffset = LittleEndian::uint32At(bytes, 10);
    const quint32 headerSize = LittleEndian::uint32At(bytes, 14);
    const qint32 width = LittleEndian::int32At(bytes, 18);
    const qint32 storedHeight = LittleEndian::int32At(bytes, 22);
    const quint16 bits = LittleEndian::uint16At(bytes, 28);
    const quint32 compression = LittleEndian::uint32At(bytes, 30);
    const quint32 coloursUsed = LittleEndian::uint32At(bytes, 46);
    // A negative height stores the rows from the top down, a positive one from the bottom up.
    const bool topDown = storedHeight < 0;
    const qint32 height = topDown ? -qint64(storedHeight) : storedHeight;
    if (headerSize < kBitmapInfoHeaderSize || compression != kUncompressed || width <= 0 ||
        width > kLargestSide || height <= 0 || height > kLargestSide)
        return {};
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return {};

    QList<QRgb> palette;
    if (bits <= 8) {
        const quint32 entries = coloursUsed ? coloursUsed : 1u << bits;
        const qsizetype paletteOffset = kBitmapFileHeaderSize + headerSize;
        if (entries > 1u << bits || paletteOffset + qsizetype(entries) * 4 > bytes.size())
            return {};
        for (quint32 entry = 0; entry < entries; ++entry) {
            const auto* bgr =
                reinterpret_cast<const uchar*>(bytes.constData()) + paletteOffset + entry * 4;
            palette.append(qRgb(bgr[2], bgr[1], bgr[0]));
        }
    }

    // Every row takes a whole number of 32-bit words.
    const qsizetype rowBytes = (qsizetype(width) * bits + 31) / 32 * 4;
    if (pixelsOffset > bytes.size() || bytes.size() - pixelsOffset < rowBytes * height)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uchar*>(bytes.constData()) + pixelsOffset +
                          rowBytes * (topDown ? y : height - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (bits <= 8) {
                const int bitOffset = x * bits;
                const int index =
                    (row[bitOffset / 8] >> (8 - bits - bitOffset % 8)) & ((1 << bits) - 1);
                if (index >= palette.size())
                    return {};
                out[x] = palette.at(index);
            } else {
                const uchar* bgr = row + x * (bits / 8);
                out[x] = qRgb(bgr[2], bgr[1], bgr[0]);
            }
        }
    }
    return image;
}

} // namespace zumzik
