#pragma once

#include <QImage>

namespace zumzik {

// The button glyphs. Each is drawn on the transparent colour, magenta, which the bottom-left
// pixel carries and the drawings keep clear of. The two 16-colour glyphs are pixel drawings in the
// standard 16-colour palette, the normal picture beside its grey disabled twin.
class GlyphPainter {
public:
    static const QRgb TransparentColor;

    // 32 x 16, 16 colours: a red question mark on a yellow disc.
    static QImage aboutGlyph();
    // 32 x 16, 16 colours: a blue book with a red question mark on its cover.
    static QImage helpGlyph();
    // 19 x 18, true colour: a red cross.
    static QImage exitGlyph();
};

} // namespace zumzik
