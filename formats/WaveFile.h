#pragma once

#include "WaveSound.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace zumzik {

// Reads the wave files of the sound cues. A cue is a short sound, so a file larger than a few
// mebibytes is not read at all, and anything that is not a wave file of plain or floating-point
// samples gives no sound rather than an error.
class WaveFile {
public:
    // The largest file read: some twenty seconds of CD-quality stereo, many times a cue's length.
    static constexpr qint64 kLargestFile = 4 * 1024 * 1024;

    // The sound in the regular file at path, or nothing when the file is missing, larger than
    // kLargestFile, or not a wave file that a sound device plays.
    static std::optional<WaveSound> read(const QString& path);
    // The sound that the bytes of a wave file hold, or nothing.
    static std::optional<WaveSound> parse(const QByteArray& bytes);
};

} // namespace zumzik
