#include "StatusNotifierIconCache.h"

#include <QImage>
#include <QPixmap>
#include <QtEndian>

namespace zumzik {
namespace {

SniPixmap wireForm(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    SniPixmap pixmap{image.width(), image.height(),
                     QByteArray(image.width() * image.height() * 4, Qt::Uninitialized)};
    auto* out = reinterpret_cast<uchar*>(pixmap.pixels.data());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x, out += 4)
            qToBigEndian(line[x], out);
    }
    return pixmap;
}

} // namespace

const SniPixmapList& StatusNotifierIconCache::pixmaps(const QIcon& icon) {
    if (icon.isNull())
        return m_none;
    const qint64 key = icon.cacheKey();
    for (const Entry& entry : m_entries) {
        if (entry.key == key)
            return entry.pixmaps;
    }
    if (m_entries.size() == kCapacity)
        m_entries.erase(m_entries.begin());
    m_entries.push_back({key, convert(icon)});
    return m_entries.back().pixmaps;
}

SniPixmapList StatusNotifierIconCache::convert(const QIcon& icon) {
    const QList<QSize> available = icon.availableSizes();
    QSize largest;
    for (const QSize& size : available) {
        if (size.width() * size.height() > largest.width() * largest.height())
            largest = size;
    }
    if (largest.isEmpty())
        largest = QSize(kSizes[std::size(kSizes) - 1], kSizes[std::size(kSizes) - 1]);
    // Scaled in premultiplied form, so that transparent pixels lend no colour to their neighbours.
    const QImage source =
        icon.pixmap(largest, 1.0).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);

    SniPixmapList pixmaps;
    for (const int side : kSizes) {
        const QSize size(side, side);
        if (side > source.width() && side > source.height())
            break;
        if (available.contains(size))
            pixmaps << wireForm(icon.pixmap(size, 1.0).toImage());
        else
            pixmaps << wireForm(source.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    if (pixmaps.isEmpty())
        pixmaps << wireForm(source);
    return pixmaps;
}

} // namespace zumzik
