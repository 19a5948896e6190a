#include "FacePainter.h"

#include "Supersampler.h"

#include <QPainterPath>

namespace zumzik {
namespace {

// The face is drawn in a 48-unit square, on a canvas this many times larger than the result.
constexpr int Supersampling = 4;
constexpr qreal Units = 48.0;

const QColor Outline(122, 70, 0);
const QColor Feature(59, 32, 4);

void paintDisc(QPainter& painter) {
    const QPointF centre(24, 24);
    QRadialGradient body(centre, 22.5, QPointF(18, 15));
    body.setColorAt(0.0, QColor(255, 250, 170));
    body.setColorAt(0.45, QColor(255, 222, 40));
    body.setColorAt(0.85, QColor(250, 186, 10));
    body.setColorAt(1.0, QColor(226, 146, 0));
    painter.setPen(QPen(Outline, 1.7));
    painter.setBrush(body);
    painter.drawEllipse(centre, 22.2, 22.2);

    // A soft sheen on the upper left, as if lit from there, and rosy cheeks.
    Supersampler::paintSoftSpot(painter, QPointF(17, 9.5), 10, 6, QColor(255, 255, 255, 140));
    for (const qreal x : {11.5, 36.5})
        Supersampler::paintSoftSpot(painter, QPointF(x, 29), 4.5, 4.5, QColor(255, 120, 60, 110));
}

void paintOpenEye(QPainter& painter, qreal x) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(Feature);
    painter.drawEllipse(QPointF(x, 19.8), 3.3, 5.0);
    painter.setBrush(QColor(255, 255, 255, 230));
    painter.drawEllipse(QPointF(x + 1.0, 17.7), 1.2, 1.4);
}

// A closed eye in a happy squint: an arch, like the top of a laughing eye.
void paintClosedEye(QPainter& painter, qreal x) {
    QPainterPath arch;
    arch.moveTo(x - 4.2, 21.5);
    arch.quadTo(x, 15.5, x + 4.2, 21.5);
    painter.setPen(QPen(Feature, 2.6, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(arch);
}

// A brow over the eye at x: lift raises it, arch bends it up in the middle, and tilt lowers its
// left end as much as it raises its right one.
void paintBrow(QPainter& painter, qreal x, qreal lift, qreal arch, qreal tilt) {
    QPainterPath brow;
    brow.moveTo(x - 4.0, 11.6 - lift + tilt);
    brow.quadTo(x, 11.6 - lift - arch, x + 4.0, 11.6 - lift - tilt);
    painter.setPen(QPen(Feature, 1.7, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(brow);
}

void paintSmile(QPainter& painter) {
    // An open smile: a dark mouth with a tongue, under a bold upper lip line.
    QPainterPath mouth;
    mouth.moveTo(12.5, 28.0);
    mouth.quadTo(24.0, 32.0, 35.5, 28.0);
    mouth.quadTo(33.5, 39.5, 24.0, 39.8);
    mouth.quadTo(14.5, 39.5, 12.5, 28.0);
    mouth.closeSubpath();
    painter.setPen(QPen(Feature, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QColor(110, 30, 20));
    painter.drawPath(mouth);

    painter.save();
    painter.setClipPath(mouth);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(232, 92, 84));
    painter.drawEllipse(QPointF(24.0, 40.5), 6.5, 4.6);
    painter.restore();
}

} // namespace

QImage FacePainter::paint(Pose pose, int side) {
    return Supersampler::paint(QSize(side, side), Supersampling, [&](QPainter& painter) {
        painter.scale(side / Units, side / Units);
        paintDisc(painter);
        if (pose == Pose::Smiling) {
            paintBrow(painter, 16.5, 0.0, 3.0, 0.0);
            paintBrow(painter, 31.5, 0.0, 3.0, 0.0);
            paintOpenEye(painter, 16.5);
            paintOpenEye(painter, 31.5);
        } else {
            paintBrow(painter, 16.5, -1.2, 0.3, -1.4);
            paintBrow(painter, 31.5, 3.2, 4.0, 0.0);
            paintClosedEye(painter, 16.5);
            paintOpenEye(painter, 31.5);
        }
        paintSmile(painter);
    });
}

} // namespace zumzik
