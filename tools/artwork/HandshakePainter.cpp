#include "HandshakePainter.h"

#include "MarblePainter.h"
#include "Supersampler.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace zumzik {
namespace {

constexpr int Supersampling = 4;

struct Skin {
    QColor light;
    QColor dark;
    QColor line;
};

// The hand from the left is fair, the one from the right darker, so that the fingers of one show
// clearly on the other.
const Skin LeftSkin{QColor(255, 222, 192), QColor(226, 160, 118), QColor(120, 64, 36)};
const Skin RightSkin{QColor(196, 132, 88), QColor(128, 74, 42), QColor(70, 34, 14)};

QBrush skinBrush(const Skin& skin, qreal top, qreal bottom) {
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0.0, skin.light);
    gradient.setColorAt(1.0, skin.dark);
    return gradient;
}

void fill(QPainter& painter, const QPainterPath& path, const QBrush& brush, const QColor& line,
          qreal lineWidth = 1.3) {
    painter.setPen(QPen(line, lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(brush);
    painter.drawPath(path);
}

QPainterPath polygonPath(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

void paintSleeve(QPainter& painter, const QPainterPath& sleeve, const QPainterPath& cuff,
                 const QColor& cloth) {
    QLinearGradient clothShade(0, 70, 0, 140);
    clothShade.setColorAt(0.0, cloth.lighter(150));
    clothShade.setColorAt(0.5, cloth);
    clothShade.setColorAt(1.0, cloth.darker(180));
    fill(painter, sleeve, clothShade, cloth.darker(250));

    QLinearGradient cuffShade(0, 75, 0, 130);
    cuffShade.setColorAt(0.0, QColor(255, 255, 255));
    cuffShade.setColorAt(1.0, QColor(176, 184, 196));
    fill(painter, cuff, cuffShade, QColor(90, 96, 110));
}

// A finger as a rounded bar from base to tip.
QPainterPath finger(QPointF base, QPointF tip, qreal thickness) {
    QPainterPathStroker stroker;
    stroker.setWidth(thickness);
    stroker.setCapStyle(Qt::RoundCap);
    QPainterPath line;
    line.moveTo(base);
    line.lineTo(tip);
    return stroker.createStroke(line).simplified();
}

void paintHands(QPainter& painter) {
    // Shadow of the clasp on the stone.
    Supersampler::paintSoftSpot(painter, QPointF(122, 140), 105, 24, QColor(0, 0, 0, 120));

    // Sleeves, rising a little towards the clasp.
    paintSleeve(painter, polygonPath({{-4, 96}, {54, 82}, {62, 130}, {-4, 156}}),
                polygonPath({{50, 80}, {68, 76}, {76, 126}, {58, 131}}), QColor(34, 48, 116));
    paintSleeve(painter, polygonPath({{244, 94}, {186, 80}, {178, 128}, {244, 152}}),
                polygonPath({{190, 78}, {172, 76}, {164, 124}, {182, 129}}), QColor(96, 102, 112));

    // Behind: the hand from the right, its palm turned away, reaching past the left hand.
    QPainterPath rightHand;
    rightHand.moveTo(172, 78);
    rightHand.cubicTo(150, 72, 124, 74, 104, 84);
    rightHand.cubicTo(96, 90, 92, 112, 96, 126);
    rightHand.cubicTo(110, 142, 150, 130, 168, 124);
    rightHand.closeSubpath();
    fill(painter, rightHand, skinBrush(RightSkin, 74, 126), RightSkin.line);

    // In front: the back of the hand from the left, its knuckles bulging at the top.
    QPainterPath leftHand;
    leftHand.moveTo(66, 80);
    leftHand.cubicTo(90, 78, 112, 80, 128, 84);
    leftHand.cubicTo(138, 82, 150, 86, 156, 92);
    leftHand.cubicTo(162, 100, 162, 114, 154, 122);
    leftHand.cubicTo(130, 132, 96, 134, 72, 128);
    leftHand.closeSubpath();
    fill(painter, leftHand, skinBrush(LeftSkin, 78, 132), LeftSkin.line);

    // Creases between its fingers, which bend round the other hand.
    painter.setPen(QPen(LeftSkin.line, 1.1, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    for (const qreal y : {98.0, 107.0, 116.0}) {
        QPainterPath crease;
        crease.moveTo(136, y - 6);
        crease.quadTo(150, y - 4, 158, y + 2);
        painter.drawPath(crease);
    }

    // The fingertips of the right hand come round below and rest on the back of the left one.
    const QPointF fingerBases[] = {{124, 130}, {112, 132}, {100, 131}};
    const QPointF fingerTips[] = {{116, 110}, {103, 113}, {91, 115}};
    for (int i = 0; i < 3; ++i)
        fill(painter, finger(fingerBases[i], fingerTips[i], 10.0),
             skinBrush(RightSkin, fingerTips[i].y() - 5, fingerBases[i].y()), RightSkin.line);

    // Its thumb lies over the top of the left hand.
    fill(painter, finger({150, 80}, {100, 84}, 11.5), skinBrush(RightSkin, 74, 90), RightSkin.line);
    painter.setPen(QPen(RightSkin.line, 0.8));
    painter.setBrush(QColor(232, 190, 170));
    painter.drawEllipse(QPointF(101, 83), 3.6, 3.0);
}

} // namespace

QImage HandshakePainter::paint() {
    const QImage hands =
        Supersampler::paint(QSize(Width, Height), Supersampling, [](QPainter& painter) {
            // The clasp is drawn about the middle of a slightly smaller frame, then enlarged to
            // fill the picture.
            painter.translate(Width / 2.0, Height / 2.0);
            painter.scale(1.2, 1.2);
            painter.translate(-122.0, -104.0);
            paintHands(painter);
        });
    QImage picture = MarblePainter::paint(QSize(Width, Height));
    QPainter painter(&picture);
    painter.drawImage(0, 0, hands);
    painter.end();
    return picture;
}

} // namespace zumzik
