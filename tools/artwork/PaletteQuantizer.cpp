#include "PaletteQuantizer.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>
#include <vector>

namespace zumzik {
namespace {

using Colour = std::array<int, 3>;

// One group of colours: a range of the shared colour vector.
struct Group {
    size_t begin;
    size_t end;

    // The channel along which the colours spread furthest, and how far.
    std::pair<size_t, int> widestSpread(const std::vector<Colour>& colours) const {
        Colour low{255, 255, 255};
        Colour high{0, 0, 0};
        for (size_t i = begin; i < end; ++i) {
            for (size_t c = 0; c < 3; ++c) {
                low[c] = std::min(low[c], colours[i][c]);
                high[c] = std::max(high[c], colours[i][c]);
            }
        }
        size_t widest = 0;
        for (size_t c = 1; c < 3; ++c) {
            if (high[c] - low[c] > high[widest] - low[widest])
                widest = c;
        }
        return {widest, high[widest] - low[widest]};
    }

    QRgb average(const std::vector<Colour>& colours) const {
        std::array<long long, 3> sum{0, 0, 0};
        for (size_t i = begin; i < end; ++i) {
            for (size_t c = 0; c < 3; ++c)
                sum[c] += colours[i][c];
        }
        const auto count = static_cast<long long>(end - begin);
        return qRgb(static_cast<int>(sum[0] / count), static_cast<int>(sum[1] / count),
                    static_cast<int>(sum[2] / count));
    }
};

} // namespace

QImage PaletteQuantizer::toIndexed(const QImage& picture, int maxColours) {
    if (maxColours < 1 || maxColours > 256)
        throw std::invalid_argument("an indexed picture has 1 to 256 colours");
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<Colour> colours;
    colours.reserve(static_cast<size_t>(rgb.width()) * static_cast<size_t>(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb pixel = rgb.pixel(x, y);
            colours.push_back({qRed(pixel), qGreen(pixel), qBlue(pixel)});
        }
    }

    std::vector<Group> groups{{0, colours.size()}};
    while (static_cast<int>(groups.size()) < maxColours) {
        // Split the group whose colours spread furthest along one channel.
        size_t chosen = groups.size();
        int chosenRange = 0;
        size_t chosenChannel = 0;
        for (size_t g = 0; g < groups.size(); ++g) {
            const auto [channel, range] = groups[g].widestSpread(colours);
            if (range > chosenRange) {
                chosen = g;
                chosenRange = range;
                chosenChannel = channel;
            }
        }
        if (chosen == groups.size())
            break; // every group holds a single colour
        Group& group = groups[chosen];
        const auto first = colours.begin() + static_cast<long>(group.begin);
        const auto last = colours.begin() + static_cast<long>(group.end);
        const auto middle = first + (last - first) / 2;
        std::nth_element(first, middle, last, [chosenChannel](const Colour& a, const Colour& b) {
            return a[chosenChannel] < b[chosenChannel];
        });
        const size_t split = static_cast<size_t>(middle - colours.begin());
        const Group upper{split, group.end};
        group.end = split;
        groups.push_back(upper);
    }

    QList<QRgb> palette;
    for (const Group& group : groups)
        palette.append(group.average(colours));
    return rgb.convertToFormat(QImage::Format_Indexed8, palette);
}

} // namespace zumzik
