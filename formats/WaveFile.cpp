#include "WaveFile.h"

#include "LittleEndian.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace zumzik {
namespace {

constexpr quint16 kPlainSamples = 1;
constexpr quint16 kFloatSamples = 3;
// The extended format header names its sample encoding in the first two bytes of a GUID.
constexpr quint16 kExtensibleFormat = 0xFFFE;
constexpr qsizetype kExtensibleFormatSize = 40;
constexpr qsizetype kSubFormatOffset = 24;
constexpr quint32 kHighestSampleRate = 768000;

std::optional<WaveSound::SampleFormat> sampleFormat(quint16 encoding, quint16 bits) {
    if (encoding == kPlainSamples) {
        switch (bits) {
        case 8: return WaveSound::SampleFormat::UInt8;
        case 16: return WaveSound::SampleFormat::Int16;
        case 32: return WaveSound::SampleFormat::Int32;
        default: return std::nullopt;
        }
    }
    if (encoding == kFloatSamples && bits == 32)
        return WaveSound::SampleFormat::Float;
    return std::nullopt;
}

int bytesPerSample(WaveSound::SampleFormat format) {
    switch (format) {
    case WaveSound::SampleFormat::UInt8: return 1;
    case WaveSound::SampleFormat::Int16: return 2;
    case WaveSound::SampleFormat::Int32:
    case WaveSound::SampleFormat::Float: return 4;
    }
    return 0;
}

// The sample layout of a format chunk, or nothing when a sound device cannot take it as it is.
std::optional<WaveSound> soundOfFormat(const QByteArray& bytes, qsizetype offset, qsizetype size) {
    if (size < 16)
        return std::nullopt;
    quint16 encoding = LittleEndian::uint16At(bytes, offset);
    if (encoding == kExtensibleFormat) {
        if (size < kExtensibleFormatSize)
            return std::nullopt;
        encoding = LittleEndian::uint16At(bytes, offset + kSubFormatOffset);
    }
    const quint16 channels = LittleEndian::uint16At(bytes, offset + 2);
    const quint32 rate = LittleEndian::uint32At(bytes, offset + 4);
    const quint16 frameBytes = LittleEndian::uint16At(bytes, offset + 12);
    const quint16 bits = LittleEndian::uint16At(bytes, offset + 14);
    const std::optional<WaveSound::SampleFormat> format = sampleFormat(encoding, bits);
    if (!format || channels == 0 || rate == 0 || rate > kHighestSampleRate ||
        frameBytes != channels * bits / 8)
        return std::nullopt;
    WaveSound sound;
    sound.sampleFormat = *format;
    sound.channelCount = channels;
    sound.sampleRate = static_cast<int>(rate);
    return sound;
}

} // namespace

std::optional<WaveSound> WaveFile::read(const QString& path) {
    // Only a regular file: reading a pipe or a device could wait for ever or never end.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kLargestFile)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The file may have grown since its size was looked at.
    const QByteArray bytes = file.read(kLargestFile + 1);
    if (bytes.size() > kLargestFile)
        return std::nullopt;
    return parse(bytes);
}

std::optional<WaveSound> WaveFile::parse(const QByteArray& bytes) {
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    std::optional<WaveSound> sound;
    // Chunks follow one another, each an identifier, a size and a body padded to an even length;
    // the samples' layout comes before the samples.
    for (qsizetype chunk = 12; chunk + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(chunk, 4);
        const qint64 size = LittleEndian::uint32At(bytes, chunk + 4);
        const qsizetype body = chunk + 8;
        // A truncated last chunk is read as far as it goes.
        const qsizetype present = std::min<qint64>(size, bytes.size() - body);
        if (id == "fmt ") {
            sound = soundOfFormat(bytes, body, present);
            if (!sound)
                return std::nullopt;
        } else if (id == "data") {
            if (!sound)
                return std::nullopt;
            const qsizetype frameBytes = sound->channelCount * bytesPerSample(sound->sampleFormat);
            sound->samples = bytes.mid(body, present - present % frameBytes);
            if (sound->samples.isEmpty())
                return std::nullopt;
            return sound;
        }
        chunk = body + size + (size & 1);
    }
    return std::nullopt;
}

} // namespace zumzik
