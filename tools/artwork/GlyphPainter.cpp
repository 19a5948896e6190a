#include "GlyphPainter.h"

#include "Supersampler.h"

#include <QLineF>
#include <QLinearGradient>
#include <QPainterPath>
#include <array>
#include <cmath>
#include <string_view>

namespace zumzik {
namespace {

constexpr int GlyphSide = 16;

// The standard 16-colour palette, in its usual order, and the letter that stands for each colour
// in the pixel drawings below.
struct PaletteColour {
    char letter;
    QRgb rgb;
};
constexpr std::array<PaletteColour, 16> StandardPalette{{
    {'K', 0xFF000000}, // black
    {'M', 0xFF800000}, // maroon
    {'G', 0xFF008000}, // green
    {'O', 0xFF808000}, // olive
    {'N', 0xFF000080}, // navy
    {'P', 0xFF800080}, // purple
    {'T', 0xFF008080}, // teal
    {'S', 0xFFC0C0C0}, // silver
    {'D', 0xFF808080}, // grey
    {'R', 0xFFFF0000}, // red
    {'L', 0xFF00FF00}, // lime
    {'Y', 0xFFFFFF00}, // yellow
    {'B', 0xFF0000FF}, // blue
    {'.', 0xFFFF00FF}, // magenta: the transparent colour
    {'C', 0xFF00FFFF}, // cyan
    {'W', 0xFFFFFFFF}, // white
}};

using PixelDrawing = std::array<std::string_view, GlyphSide>;

int paletteIndex(char letter) {
    for (size_t index = 0; index < StandardPalette.size(); ++index) {
        if (StandardPalette[index].letter == letter)
            return static_cast<int>(index);
    }
    throw std::logic_error("a pixel drawing uses a letter outside the palette");
}

// The palette index that shows a colour in grey: the darkest colours become grey, the middle
// ones silver and the light ones white, so that a drawing keeps its contrasts; the transparent
// colour stays transparent.
int greyIndex(int index) {
    const QRgb rgb = StandardPalette[static_cast<size_t>(index)].rgb;
    if (StandardPalette[static_cast<size_t>(index)].letter == '.')
        return index;
    const int lightness = qGray(rgb);
    if (lightness < 50)
        return paletteIndex('D');
    if (lightness < 180)
        return paletteIndex('S');
    return paletteIndex('W');
}

// The drawing at the left, its grey twin at the right.
QImage normalAndDisabled(const PixelDrawing& drawing) {
    QImage glyph(GlyphSide * 2, GlyphSide, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (const PaletteColour& colour : StandardPalette)
        colours.append(colour.rgb);
    glyph.setColorTable(colours);
    for (int y = 0; y < GlyphSide; ++y) {
        uchar* line = glyph.scanLine(y);
        for (int x = 0; x < GlyphSide; ++x) {
            const int index = paletteIndex(drawing[static_cast<size_t>(y)][static_cast<size_t>(x)]);
            line[x] = static_cast<uchar>(index);
            line[x + GlyphSide] = static_cast<uchar>(greyIndex(index));
        }
    }
    return glyph;
}

} // namespace

const QRgb GlyphPainter::TransparentColor = qRgb(255, 0, 255);

QImage GlyphPainter::aboutGlyph() {
    static constexpr PixelDrawing drawing{{
        ".....KKKKKK.....",
        "...KKWWYYYYKK...",
        "..KWWYYYYYYYOK..",
        ".KWYYYRRRRYYYOK.",
        ".KWYYRRMMRRYYOK.",
        "KWYYYYMMYRRMYYOK",
        "KYYYYYYYRRMMYYOK",
        "KYYYYYYRRMMYYYOK",
        "KYYYYYYRRMYYYYOK",
        "KYYYYYYYMMYYYYOK",
        "KYYYYYYRRYYYYOOK",
        ".KYYYYYRRMYYYOK.",
        ".KYYYYYYMMYYOOK.",
        "..KOYYYYYYYOOK..",
        "...KKOOOOOOKK...",
        ".....KKKKKK.....",
    }};
    return normalAndDisabled(drawing);
}

QImage GlyphPainter::helpGlyph() {
    static constexpr PixelDrawing drawing{{
        "................",
        "....KKKKKKKKKKK.",
        "...KNBBWWWWWWBBK",
        "..KNNBWWRRRRWWBK",
        "..KNNBWRRWWRRWBK",
        "..KNNBWWWWRRWWBK",
        "..KNNBBBWRRWWBBK",
        "..KNNBBBWRRWBBBK",
        "..KNNBBBWWWWBBBK",
        "..KNNBBBWRRWBBBK",
        "..KNNBBBWRRWBBBK",
        "..KNNBBBWWWWBBBK",
        "..KNNKKKKKKKKKKK",
        "..KNKWWWWWWWWWWK",
        "..KKSSSSSSSSSSK.",
        "...KKKKKKKKKKK..",
    }};
    return normalAndDisabled(drawing);
}

QImage GlyphPainter::exitGlyph() {
    constexpr int width = 19;
    constexpr int height = 18;
    const QImage small = Supersampler::paint(QSize(width, height), 8, [](QPainter& painter) {
        // The two bars of the cross as one outline, so that the rim runs round the whole shape.
        QPainterPath cross;
        const QLineF bars[] = {{4.0, 3.5, 15.0, 14.5}, {15.0, 3.5, 4.0, 14.5}};
        for (const QLineF& bar : bars) {
            QPainterPathStroker stroker;
            stroker.setWidth(4.4);
            stroker.setCapStyle(Qt::RoundCap);
            QPainterPath line;
            line.moveTo(bar.p1());
            line.lineTo(bar.p2());
            cross = cross.united(stroker.createStroke(line));
        }
        QLinearGradient body(QPointF(3, 3), QPointF(16, 15));
        body.setColorAt(0.0, QColor(255, 110, 90));
        body.setColorAt(0.45, QColor(230, 20, 20));
        body.setColorAt(1.0, QColor(150, 0, 0));
        painter.setPen(QPen(QColor(100, 0, 0), 0.9));
        painter.setBrush(body);
        painter.drawPath(cross);
    });

    // Without an alpha channel, the soft edge is mixed with a button's usual face colour; the
    // faintest edge pixels become transparent instead.
    const QColor face(212, 208, 200);
    QImage glyph(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = small.pixel(x, y);
            const int alpha = qAlpha(pixel);
            if (alpha < 48) {
                glyph.setPixel(x, y, TransparentColor);
                continue;
            }
            const auto mix = [alpha](int colour, int background) {
                return (colour * alpha + background * (255 - alpha)) / 255;
            };
            glyph.setPixel(x, y,
                           qRgb(mix(qRed(pixel), face.red()), mix(qGreen(pixel), face.green()),
                                mix(qBlue(pixel), face.blue())));
        }
    }
    return glyph;
}

} // namespace zumzik
