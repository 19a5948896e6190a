#pragma once

namespace zumzik {

struct WaveSound;

// Where the sound cues are heard: one cue at a time, each starting at once and stopping the one
// before it. Whatever goes wrong on the way to the speakers stays silent.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual void play(const WaveSound& sound) = 0;
    virtual void stop() = 0;
};

} // namespace zumzik
