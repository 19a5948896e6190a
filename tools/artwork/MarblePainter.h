#pragma once

#include <QImage>
#include <QSize>

namespace zumzik {

// Polished green marble: a mottled dark green ground crossed by pale, wandering veins. The veins
// are bands of a sine wave whose phase is stirred by fractal noise, so the same size always
// gives the same stone.
class MarblePainter {
public:
    static QImage paint(QSize size);
};

} // namespace zumzik
