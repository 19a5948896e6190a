// The sound player with the program's own sound output: what a cue may cost.

#include "QtSoundPlayer.h"
#include "TemporaryDirectory.h"
#include "WaveFile.h"

#include <QFile>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace zumzik {
namespace {

// What the process has read so far from files, pipes and sockets, in bytes.
qint64 bytesReadByProcess() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read /proc/self/io");
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    throw std::runtime_error("/proc/self/io has no rchar");
}

TEST(SoundPlayer, LeavesAHugeCueFileUnread) {
    // A wave header claiming a quarter of a gibibyte of samples, which the file (sparse, so
    // nearly free to make) holds as zeros.
    test::TemporaryDirectory directory;
    const qint64 size = qint64(256) << 20;
    const char header[] =
        "RIFF\xf8\xff\xff\x0fWAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xac\0\0"
        "\x02\0\x10\0data\xd4\xff\xff\x0f";
    directory.write("ohoh.wav", std::string_view(header, sizeof header - 1));
    std::filesystem::resize_file(directory.path() / "ohoh.wav", size);

    const qint64 before = bytesReadByProcess();
    const auto readMuch = [&] { return bytesReadByProcess() - before > WaveFile::kLargestFile; };
    {
        QtSoundPlayer player({QStringLiteral(ZUMZIK_SOUND_PLUGIN_DIR)});
        player.play(QStringLiteral("ohoh.wav"));
        // Reading the file would take the sound thread a moment; give it that moment.
        EXPECT_FALSE(QTest::qWaitFor(readMuch, 3000));
    }
    // The sound thread has handled every cue once the player is gone.
    EXPECT_FALSE(readMuch());
}

} // namespace
} // namespace zumzik
