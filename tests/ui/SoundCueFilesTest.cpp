// The wave files that lie beside the program: both cues must be there, small, and in a format that
// the program plays (plain samples; a compressed file would play as silence).

#include "WaveFile.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

TEST(SoundCueFiles, BothCuesDecodeAndStaySmall) {
    for (const char* name : {"ohoh.wav", "ohh.wav"}) {
        SCOPED_TRACE(name);
        const QFileInfo file(QStringLiteral(ZUMZIK_DATA_DIR "/") + QLatin1String(name));
        ASSERT_TRUE(file.exists());
        EXPECT_LT(file.size(), 100 * 1024);

        const std::optional<zumzik::WaveSound> sound = zumzik::WaveFile::read(file.filePath());
        ASSERT_TRUE(sound.has_value());
        EXPECT_GT(sound->samples.size(), file.size() / 2);
    }
}

} // namespace
