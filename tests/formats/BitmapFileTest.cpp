// The program's own bitmap reader: the same pictures as Qt's reader gives, and nothing from a
// damaged file.

#include "BitmapFile.h"

#include "Artwork.h"

#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

namespace zumzik {
namespace {

QByteArray artwork(const char* name) {
    QFile file(Artwork::path(QLatin1String(name)));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

TEST(BitmapFile, ReadsTheArtworkAsQtDoes) {
    // 4, 24 and 8 bits per pixel.
    for (const char* name :
         {"about-glyph.bmp", "help-glyph.bmp", "exit-glyph.bmp", "about-picture.bmp"}) {
        SCOPED_TRACE(name);
        const QImage expected = QImage(Artwork::path(QLatin1String(name)), "bmp");
        ASSERT_FALSE(expected.isNull());
        EXPECT_EQ(BitmapFile::decode(artwork(name)),
                  expected.convertToFormat(QImage::Format_RGB32));
    }
}

TEST(BitmapFile, TopDownRowsAndDamagedFiles) {
    const QByteArray glyph = artwork("exit-glyph.bmp");
    QByteArray topDown = glyph;
    qToLittleEndian<qint32>(-18, topDown.data() + 22);
    EXPECT_EQ(BitmapFile::decode(topDown), BitmapFile::decode(glyph).mirrored(false, true));

    QByteArray compressed = glyph;
    compressed[30] = 1;
    QByteArray huge = glyph;
    qToLittleEndian<qint32>(100000, huge.data() + 18);
    QByteArray badPaletteIndex = artwork("about-glyph.bmp");
    qToLittleEndian<quint32>(2, badPaletteIndex.data() + 46); // two colours, more are used
    for (const QByteArray& damaged : {glyph.left(60), glyph.chopped(1), compressed, huge,
                                      badPaletteIndex, QByteArray("GIF89a") + glyph.mid(6)})
        EXPECT_TRUE(BitmapFile::decode(damaged).isNull());
}

} // namespace
} // namespace zumzik
