#pragma once

#include <QString>

namespace zumzik {

// Plays the program's sound cues: wave files looked up by bare name in the working directory.
// Playing returns at once; a new cue stops the one that is playing; a file that is missing or
// broken, or a computer without sound, stays silent and reports nothing.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString& fileName) = 0;
};

} // namespace zumzik
