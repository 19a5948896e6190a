#pragma once

#include "SoundOutput.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <memory>

class QAudioSink;

namespace zumzik {

// Plays cues on the desktop's default sound device through Qt Multimedia, holding the device only
// while a cue plays. It must live on a thread with an event loop, which feeds the device.
class QtAudioOutput final : public QObject, public SoundOutput {
public:
    explicit QtAudioOutput(QObject* parent = nullptr);
    ~QtAudioOutput() override;

    void play(const WaveSound& sound) override;
    void stop() override;

private:
    QBuffer m_samples;
    std::unique_ptr<QAudioSink> m_sink;
    qint64 m_duration = 0; // microseconds
    QDeadlineTimer m_lastChance;
    QTimer m_playing;
};

} // namespace zumzik
