#include "ButtonGlyph.h"

#include "ComponentError.h"

#include <QPixmap>

namespace zumzik {

ButtonGlyph::ButtonGlyph(const QImage& bitmap, int imageCount) {
    if (bitmap.isNull() || imageCount < 1 || imageCount > bitmap.width())
        throw ComponentError(QStringLiteral("A %1 x %2 glyph bitmap cannot hold %3 pictures")
                                 .arg(bitmap.width())
                                 .arg(bitmap.height())
                                 .arg(imageCount));

    const QRgb transparent = bitmap.pixel(0, bitmap.height() - 1);
    m_transparentColor = QColor::fromRgb(transparent);
    QImage keyed = bitmap.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if ((line[x] & RGB_MASK) == (transparent & RGB_MASK))
                line[x] = qRgba(0, 0, 0, 0);
        }
    }

    const int width = bitmap.width() / imageCount;
    for (int index = 0; index < imageCount; ++index)
        m_images.append(keyed.copy(index * width, 0, width, bitmap.height()));
}

QIcon ButtonGlyph::icon() const {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(m_images.at(0)), QIcon::Normal);
    if (m_images.size() > 1)
        icon.addPixmap(QPixmap::fromImage(m_images.at(1)), QIcon::Disabled);
    return icon;
}

} // namespace zumzik
