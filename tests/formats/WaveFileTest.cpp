// Reading the sound cues' wave files: what a sound device can play comes out as samples, anything
// else as silence.

#include "WaveFile.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace zumzik {
namespace {

QByteArray uint16(quint16 value) {
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray uint32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray chunk(const char* id, const QByteArray& body) {
    return id + uint32(body.size()) + body + (body.size() % 2 ? QByteArray(1, '\0') : QByteArray());
}

QByteArray format(quint16 encoding, quint16 channels, quint32 rate, quint16 bits) {
    const quint16 frameBytes = channels * bits / 8;
    return uint16(encoding) + uint16(channels) + uint32(rate) + uint32(rate * frameBytes) +
           uint16(frameBytes) + uint16(bits);
}

QByteArray formatChunk(quint16 encoding, quint16 channels, quint32 rate, quint16 bits) {
    return chunk("fmt ", format(encoding, channels, rate, bits));
}

QByteArray waveFile(const QByteArray& chunks) {
    return "RIFF" + uint32(4 + chunks.size()) + "WAVE" + chunks;
}

const QByteArray kSamples("\x01\x02\x03\x04\x05\x06\x07\x08", 8);

TEST(WaveFile, ReadsWhatASoundDevicePlays) {
    const auto plain =
        WaveFile::parse(waveFile(formatChunk(1, 1, 22050, 16) + chunk("data", kSamples)));
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(plain->sampleFormat, WaveSound::SampleFormat::Int16);
    EXPECT_EQ(plain->channelCount, 1);
    EXPECT_EQ(plain->sampleRate, 22050);
    EXPECT_EQ(plain->samples, kSamples);

    // The extended header names floating-point samples in its sub-format; a chunk of odd length
    // comes before the samples, which end in the middle of a stereo frame.
    const QByteArray floatGuid = QByteArray::fromHex("0300000000001000800000aa00389b71");
    const QByteArray extended = chunk("fmt ", format(0xFFFE, 2, 48000, 32) + uint16(22) +
                                                  uint16(32) + uint32(3) + floatGuid);
    const auto floating = WaveFile::parse(
        waveFile(extended + chunk("LIST", "odd") + "data" + uint32(1000) + kSamples + "\x09\x0a"));
    ASSERT_TRUE(floating.has_value());
    EXPECT_EQ(floating->sampleFormat, WaveSound::SampleFormat::Float);
    EXPECT_EQ(floating->channelCount, 2);
    EXPECT_EQ(floating->samples, kSamples);
}

TEST(WaveFile, AnythingElseIsSilence) {
    const QByteArray samples = chunk("data", kSamples);
    const std::pair<const char*, QByteArray> cases[] = {
        {"not a wave file", QByteArray("OggS\0\x02", 6) + QByteArray(100, 'x')},
        {"another RIFF file", "RIFF" + uint32(100) + "AVI " + samples},
        {"compressed samples", waveFile(formatChunk(2, 1, 22050, 4) + samples)},
        {"24-bit samples", waveFile(formatChunk(1, 1, 22050, 24) + samples)},
        {"no channels", waveFile(formatChunk(1, 0, 22050, 16) + samples)},
        {"samples before their layout", waveFile(samples + formatChunk(1, 1, 22050, 16))},
        {"no samples", waveFile(formatChunk(1, 1, 22050, 16) + chunk("data", {}))},
        {"cut off in the header", waveFile(formatChunk(1, 1, 22050, 16)).left(30)},
    };
    for (const auto& [what, bytes] : cases)
        EXPECT_FALSE(WaveFile::parse(bytes).has_value()) << what;
}

} // namespace
} // namespace zumzik
