// The wave files that lie beside the program: both cues must be there, small, and in a format that
// the sound service decodes (plain PCM; a float or compressed file would play as silence).

#include <QFileInfo>
#include <QSoundEffect>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

TEST(SoundCueFiles, BothCuesDecodeAndStaySmall) {
    for (const char* name : {"ohoh.wav", "ohh.wav"}) {
        SCOPED_TRACE(name);
        const QFileInfo file(QStringLiteral(ZUMZIK_DATA_DIR "/") + QLatin1String(name));
        ASSERT_TRUE(file.exists());
        EXPECT_LT(file.size(), 100 * 1024);

        QSoundEffect effect;
        effect.setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return effect.status() != QSoundEffect::Loading; }, 10000));
        EXPECT_EQ(effect.status(), QSoundEffect::Ready);
    }
}

} // namespace
