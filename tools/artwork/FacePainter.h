#pragma once

#include <QImage>

namespace zumzik {

// The program's face: a round yellow smiley, painted large and brought down to the icon's size so
// that its edges are smooth. Its features are bold enough to read at 16 pixels.
class FacePainter {
public:
    enum class Pose {
        Smiling, // both eyes open, brows at rest
        Winking, // the left eye closed, the right brow raised
    };

    static constexpr int IconSide = 48;

    // A side x side picture with a transparent background.
    static QImage paint(Pose pose, int side = IconSide);
};

} // namespace zumzik
