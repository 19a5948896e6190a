#pragma once

#include <QImage>

namespace zumzik {

// The About picture: two hands clasped in a handshake, one from a navy sleeve on the left and one
// from a brown sleeve on the right, over green marble, with a soft shadow under them.
class HandshakePainter {
public:
    static constexpr int Width = 240;
    static constexpr int Height = 180;

    // A true-colour Width x Height picture.
    static QImage paint();
};

} // namespace zumzik
