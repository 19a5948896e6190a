#include "QtAudioOutput.h"

#include "WaveSound.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace zumzik {
namespace {

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

QtAudioOutput::QtAudioOutput() = default;

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
}

void QtAudioOutput::stop() {
    // The sink reads from the buffer until it is gone.
    m_sink.reset();
    m_samples.close();
}

} // namespace zumzik
