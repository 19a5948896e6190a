#pragma once

#include <QByteArray>

namespace zumzik {

// A sound cue as the sound device takes it: interleaved samples in one of the layouts that wave
// files hold and sound devices play.
struct WaveSound {
    enum class SampleFormat { UInt8, Int16, Int32, Float };

    SampleFormat sampleFormat = SampleFormat::Int16;
    int channelCount = 0;
    int sampleRate = 0;
    QByteArray samples;
};

} // namespace zumzik
