#include "MarblePainter.h"

#include <QColor>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace zumzik {
namespace {

// A repeatable pseudo-random value in [0, 1] for each lattice point.
double latticeValue(int x, int y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u +
                      static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<double>(h & 0xFFFFu) / 65535.0;
}

double smoothstep(double t) {
    return t * t * (3.0 - 2.0 * t);
}

// Value noise: the lattice values blended smoothly in between.
double noise(double x, double y, std::uint32_t seed) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const double tx = smoothstep(x - fx);
    const double ty = smoothstep(y - fy);
    const double top = std::lerp(latticeValue(ix, iy, seed), latticeValue(ix + 1, iy, seed), tx);
    const double bottom =
        std::lerp(latticeValue(ix, iy + 1, seed), latticeValue(ix + 1, iy + 1, seed), tx);
    return std::lerp(top, bottom, ty);
}

// Octaves of noise, each finer and fainter than the last; about 0 to 1.
double fractalNoise(double x, double y, std::uint32_t seed, int octaves) {
    double sum = 0.0;
    double amplitude = 0.5;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude * noise(x, y, seed + static_cast<std::uint32_t>(octave));
        x *= 2.03;
        y *= 2.03;
        amplitude *= 0.5;
    }
    return sum / (1.0 - std::pow(0.5, octaves));
}

QColor mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(std::lerp(a.redF(), b.redF(), t)),
                            static_cast<float>(std::lerp(a.greenF(), b.greenF(), t)),
                            static_cast<float>(std::lerp(a.blueF(), b.blueF(), t)));
}

// A thin bright line where the wave crosses zero.
double vein(double phase, double sharpness) {
    return std::pow(1.0 - std::abs(std::sin(phase)), sharpness);
}

} // namespace

QImage MarblePainter::paint(QSize size) {
    const QColor deep(10, 52, 30);
    const QColor ground(30, 100, 62);
    const QColor light(74, 150, 104);
    const QColor veinColour(214, 240, 220);

    QImage marble(size, QImage::Format_RGB32);
    const double scale = 1.0 / std::max(size.width(), size.height());
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(marble.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const double u = x * scale;
            const double v = y * scale;
            const double cloud = fractalNoise(u * 5.0, v * 5.0, 11, 6);
            // The veins wander with coarse noise only, so that they flow rather than crackle.
            const double stir = fractalNoise(u * 2.5, v * 2.5, 23, 4);
            QColor colour = mix(deep, ground, cloud * 1.4 - 0.1);
            colour = mix(colour, light, (fractalNoise(u * 9.0, v * 9.0, 37, 5) - 0.55) * 2.0);

            // Main veins run diagonally, each with a soft pale haze around a bright core;
            // fainter ones cross them.
            const double mainPhase = (u * 1.8 + v * 1.1 + stir * 3.2) * std::numbers::pi;
            const double crossPhase =
                (u * -1.0 + v * 2.4 + fractalNoise(u * 3.0, v * 3.0, 41, 3) * 3.0) *
                std::numbers::pi;
            colour = mix(colour, light, vein(mainPhase, 4.0) * 0.5);
            colour = mix(colour, veinColour, vein(mainPhase, 22.0) * 0.9);
            colour = mix(colour, light.lighter(125), vein(crossPhase, 26.0) * 0.45);
            colour = mix(colour, deep, vein(mainPhase + 1.1, 30.0) * 0.5);
            line[x] = colour.rgb();
        }
    }
    return marble;
}

} // namespace zumzik
