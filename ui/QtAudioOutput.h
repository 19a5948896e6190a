#pragma once

#include "SoundOutput.h"

#include <QBuffer>
#include <memory>

class QAudioSink;

namespace zumzik {

// Plays cues on the desktop's default sound device through Qt Multimedia. It must live on a thread
// with an event loop, which feeds the device.
class QtAudioOutput final : public SoundOutput {
public:
    QtAudioOutput();
    ~QtAudioOutput() override;

    void play(const WaveSound& sound) override;
    void stop() override;

private:
    QBuffer m_samples;
    std::unique_ptr<QAudioSink> m_sink;
};

} // namespace zumzik
