#include "Supersampler.h"

#include <QRadialGradient>

namespace zumzik {

QImage Supersampler::paint(QSize size, int factor, const Drawing& drawing) {
    QImage canvas(size * factor, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(factor, factor);
        drawing(painter);
    }
    return canvas.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

void Supersampler::paintSoftSpot(QPainter& painter, QPointF centre, qreal rx, qreal ry,
                                 const QColor& colour) {
    QRadialGradient spot(centre, rx);
    spot.setColorAt(0.0, colour);
    QColor clear = colour;
    clear.setAlpha(0);
    spot.setColorAt(1.0, clear);
    painter.setPen(Qt::NoPen);
    painter.setBrush(spot);
    painter.drawEllipse(centre, rx, ry);
}

} // namespace zumzik
