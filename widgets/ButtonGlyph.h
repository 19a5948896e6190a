#pragma once

#include <QIcon>
#include <QImage>
#include <QList>

namespace zumzik {

// A button's glyph bitmap: one or more pictures of equal width side by side (normal, then
// disabled), drawn transparent wherever they have the colour of the bitmap's bottom-left pixel.
class ButtonGlyph {
public:
    // Fails when the bitmap is empty or imageCount is not between 1 and its width.
    ButtonGlyph(const QImage& bitmap, int imageCount);

    int imageCount() const { return static_cast<int>(m_images.size()); }
    // The picture at index, with its transparent colour made transparent.
    QImage image(int index) const { return m_images.at(index); }
    QColor transparentColor() const { return m_transparentColor; }

    // The normal picture, and the disabled one when the bitmap has it; otherwise the style greys
    // the normal one for a disabled button.
    QIcon icon() const;

private:
    QList<QImage> m_images;
    QColor m_transparentColor;
};

} // namespace zumzik
