#include "QtAudioOutput.h"

#include "WaveSound.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace zumzik {
namespace {

constexpr int kPlayingCheckMilliseconds = 100;
constexpr qint64 kStallMilliseconds = 2000;

QAudioFormat::SampleFormat audioSampleFormat(WaveSound::SampleFormat format) {
    switch (format) {
    case WaveSound::SampleFormat::UInt8: return QAudioFormat::UInt8;
    case WaveSound::SampleFormat::Int16: return QAudioFormat::Int16;
    case WaveSound::SampleFormat::Int32: return QAudioFormat::Int32;
    case WaveSound::SampleFormat::Float: return QAudioFormat::Float;
    }
    return QAudioFormat::Unknown;
}

} // namespace

QtAudioOutput::QtAudioOutput(QObject* parent) : QObject(parent) {
    // The device is let go once the cue has been heard, as an open stream keeps the sound server
    // and this thread busy. Stopping earlier, when the sink has merely taken the last samples,
    // would cut off what the server still holds.
    m_playing.setInterval(kPlayingCheckMilliseconds);
    connect(&m_playing, &QTimer::timeout, this, [this] {
        if (m_sink->state() == QAudio::StoppedState || m_sink->processedUSecs() >= m_duration ||
            m_lastChance.hasExpired())
            stop();
    });
}

QtAudioOutput::~QtAudioOutput() {
    stop();
}

void QtAudioOutput::play(const WaveSound& sound) {
    stop();
    QAudioFormat format;
    format.setSampleFormat(audioSampleFormat(sound.sampleFormat));
    format.setChannelCount(sound.channelCount);
    format.setSampleRate(sound.sampleRate);
    m_samples.setData(sound.samples);
    m_samples.open(QIODevice::ReadOnly);
    // Without a sound device the sink fails to start, and the cue is silent.
    m_sink = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), format);
    m_sink->start(&m_samples);
    m_duration = format.durationForBytes(sound.samples.size());
    // A server that stalls does not keep this thread waking up for ever.
    m_lastChance.setRemainingTime(m_duration / 1000 + kStallMilliseconds);
    m_playing.start();
}

void QtAudioOutput::stop() {
    m_playing.stop();
    // The sink reads from the buffer until it is gone.
    m_sink.reset();
    m_samples.close();
}

} // namespace zumzik
