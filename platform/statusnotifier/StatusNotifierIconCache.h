#pragma once

#include "DBusTrayTypes.h"

#include <QIcon>
#include <vector>

namespace zumzik {

// The pictures of an icon as a StatusNotifierItem hands them to the tray: every size that trays
// ask for, smoothly scaled down from the largest picture, in network byte order. An animation
// shows the same few icons over and over, so each is converted once, when first seen, and found
// again by its cache key; a frame change then costs no conversion and no allocation.
class StatusNotifierIconCache {
public:
    // The sizes, in pixels, that panels draw tray icons at.
    static constexpr int kSizes[] = {16, 22, 24, 32, 48};

    // The pictures of the icon; empty for a null icon. The reference stays valid until the next
    // call.
    const SniPixmapList& pixmaps(const QIcon& icon);

    // Converts without keeping anything.
    static SniPixmapList convert(const QIcon& icon);

private:
    struct Entry {
        qint64 key;
        SniPixmapList pixmaps;
    };
    // Enough for a still picture and a few frames; the oldest goes first beyond that.
    static constexpr std::size_t kCapacity = 8;

    std::vector<Entry> m_entries;
    SniPixmapList m_none;
};

} // namespace zumzik
