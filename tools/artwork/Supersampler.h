#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QSize>
#include <functional>

namespace zumzik {

// Smooth edges for small pictures: the drawing is made on a canvas several times larger, in the
// small picture's own coordinates, and the canvas is then averaged down.
class Supersampler {
public:
    using Drawing = std::function<void(QPainter& painter)>;

    // A size picture (Format_ARGB32, transparent where nothing was drawn) of what drawing paints
    // on an antialiased canvas factor times larger.
    static QImage paint(QSize size, int factor, const Drawing& drawing);

    // A soft spot of colour at centre that fades out towards the edge of the rx x ry ellipse
    // round it: a sheen, a blush or a shadow.
    static void paintSoftSpot(QPainter& painter, QPointF centre, qreal rx, qreal ry,
                              const QColor& colour);
};

} // namespace zumzik
