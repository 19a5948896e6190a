#include "ArtworkSet.h"
#include "TIcon.h"
#include "TIconList.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <gtest/gtest.h>
#include <set>

using namespace zumzik;

namespace {

QByteArray committed(const QString& name) {
    QFile file(QStringLiteral(ZUMZIK_ARTWORK_DIR "/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

quint32 dword(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

quint16 word(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

QImage decode(QByteArray bytes, const char* format) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

// The average difference of two pictures of one size, per channel and pixel, alpha included.
double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return sum / (4.0 * a.width() * a.height());
}

struct BitmapLayout {
    const char* name;
    int width;
    int height;
    int bitsPerPixel;
    int fileSize;
};

const BitmapLayout Bitmaps[] = {
    {"about-glyph.bmp", 32, 16, 4, 374},
    {"help-glyph.bmp", 32, 16, 4, 374},
    {"exit-glyph.bmp", 19, 18, 24, 1134},
    {"about-picture.bmp", 240, 180, 8, 44278},
};

TEST(Artwork, BitmapsHaveTheirSizesDepthsAndPalettes) {
    for (const BitmapLayout& layout : Bitmaps) {
        const QByteArray bytes = committed(QString::fromLatin1(layout.name));
        SCOPED_TRACE(layout.name);
        ASSERT_EQ(bytes.size(), layout.fileSize);
        EXPECT_EQ(bytes.left(2), "BM");
        EXPECT_EQ(dword(bytes, 2), static_cast<quint32>(layout.fileSize));
        EXPECT_EQ(dword(bytes, 14), 40u);
        EXPECT_EQ(dword(bytes, 18), static_cast<quint32>(layout.width));
        EXPECT_EQ(dword(bytes, 22), static_cast<quint32>(layout.height));
        EXPECT_EQ(word(bytes, 28), layout.bitsPerPixel);
        EXPECT_EQ(dword(bytes, 30), 0u); // uncompressed
        const quint32 paletteEntries = layout.bitsPerPixel <= 8 ? 1u << layout.bitsPerPixel : 0u;
        EXPECT_EQ(dword(bytes, 46), paletteEntries);
        EXPECT_EQ(dword(bytes, 10), 54 + paletteEntries * 4);
        EXPECT_EQ(decode(bytes, "bmp").size(), QSize(layout.width, layout.height));
    }
}

TEST(Artwork, GlyphsKeepTheirDrawingOffTheTransparentColour) {
    for (const char* name : {"about-glyph.bmp", "help-glyph.bmp", "exit-glyph.bmp"}) {
        SCOPED_TRACE(name);
        const QImage glyph = decode(committed(QString::fromLatin1(name)), "bmp");
        const QRgb transparent = glyph.pixel(0, glyph.height() - 1);
        EXPECT_EQ(transparent, qRgb(255, 0, 255));
        // Each 16-pixel picture (or the single one) has a drawing, and a frame of background.
        const int pictures = glyph.width() == 32 ? 2 : 1;
        const int width = glyph.width() / pictures;
        for (int picture = 0; picture < pictures; ++picture) {
            int drawn = 0;
            for (int y = 0; y < glyph.height(); ++y) {
                for (int x = picture * width; x < (picture + 1) * width; ++x)
                    drawn += glyph.pixel(x, y) != transparent;
            }
            EXPECT_GT(drawn, width * glyph.height() / 3);
            EXPECT_EQ(glyph.pixel(picture * width, glyph.height() - 1), transparent);
        }
        // The disabled picture is grey throughout.
        for (int y = 0; pictures == 2 && y < glyph.height(); ++y) {
            for (int x = width; x < glyph.width(); ++x) {
                const QRgb pixel = glyph.pixel(x, y);
                if (pixel != transparent) {
                    EXPECT_TRUE(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel))
                        << x << "," << y;
                }
            }
        }
    }
}

TEST(Artwork, TheAboutPictureIsGreenMarbleWithAFullPalette) {
    const QImage picture = decode(committed(QStringLiteral("about-picture.bmp")), "bmp");
    std::set<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            colours.insert(picture.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 200u);
    for (const QPoint corner : {QPoint(2, 2), QPoint(237, 2), QPoint(2, 177), QPoint(237, 177)}) {
        const QRgb pixel = picture.pixel(corner);
        EXPECT_GT(qGreen(pixel), qRed(pixel));
        EXPECT_GT(qGreen(pixel), qBlue(pixel));
    }
}

TEST(Artwork, IconsAreOne48PixelImageWithAlphaTransparentCornersAndAYellowFace) {
    for (const char* name : {"zumzik.ico", "tray-frame0.ico", "tray-frame1.ico"}) {
        SCOPED_TRACE(name);
        const QByteArray bytes = committed(QString::fromLatin1(name));
        ASSERT_EQ(bytes.size(), 9662);
        EXPECT_EQ(word(bytes, 2), 1);     // an icon file
        EXPECT_EQ(word(bytes, 4), 1);     // with one image
        EXPECT_EQ(word(bytes, 12), 32);   // of 32 bits per pixel
        EXPECT_EQ(dword(bytes, 22), 40u); // a bitmap with an info header
        EXPECT_EQ(dword(bytes, 26), 48u);
        EXPECT_EQ(dword(bytes, 30), 96u);

        const QImage face = decode(bytes, "ico");
        ASSERT_EQ(face.size(), QSize(48, 48));
        for (const QPoint corner : {QPoint(0, 0), QPoint(47, 0), QPoint(0, 47), QPoint(47, 47)})
            EXPECT_EQ(qAlpha(face.pixel(corner)), 0);
        const QRgb centre = face.pixel(24, 24);
        EXPECT_EQ(qAlpha(centre), 255);
        EXPECT_GT(qRed(centre), 220);
        EXPECT_GT(qGreen(centre), 160);
        EXPECT_LT(qBlue(centre), 120);
    }
    EXPECT_EQ(committed(QStringLiteral("zumzik.ico")),
              committed(QStringLiteral("tray-frame0.ico")));
    EXPECT_NE(committed(QStringLiteral("tray-frame0.ico")),
              committed(QStringLiteral("tray-frame1.ico")));
}

TEST(Artwork, TheStoredTrayFramesAreTheTwoFrameFiles) {
    QByteArray stored = committed(QStringLiteral("tray-frames.bin"));
    ASSERT_EQ(stored.size(), 19336);
    QBuffer buffer(&stored);
    buffer.open(QIODevice::ReadOnly);
    TIconList frames;
    frames.LoadFromStream(buffer);
    ASSERT_EQ(frames.Count(), 2);
    for (int index = 0; index < 2; ++index) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        frames.Icons(index)->SaveToStream(out);
        EXPECT_EQ(out.data(), committed(QStringLiteral("tray-frame%1.ico").arg(index)));
    }
}

// The committed files are what the generator makes today: same names and sizes, the pixel
// drawings byte for byte, and the painted pictures alike to within rounding (a compressed PNG
// file's size moves with the rounding, so only its picture is compared).
TEST(Artwork, TheGeneratorMakesTheCommittedFiles) {
    const QList<ArtworkFile> files = ArtworkSet::make();
    ASSERT_EQ(files.size(), 16);
    for (const ArtworkFile& file : files) {
        SCOPED_TRACE(file.name.toStdString());
        const QByteArray expected = committed(file.name);
        if (file.name.endsWith(".png")) {
            const QImage made = decode(file.bytes, "png");
            const QImage saved = decode(expected, "png");
            ASSERT_EQ(made.size(), saved.size());
            EXPECT_LT(meanDifference(made, saved), 1.0);
            continue;
        }
        ASSERT_EQ(file.bytes.size(), expected.size());
        if (file.name == "about-glyph.bmp" || file.name == "help-glyph.bmp") {
            EXPECT_EQ(file.bytes, expected);
        } else if (file.name.endsWith(".ico") || file.name.endsWith(".bmp")) {
            const char* format = file.name.endsWith(".ico") ? "ico" : "bmp";
            EXPECT_LT(meanDifference(decode(file.bytes, format), decode(expected, format)), 1.0);
        }
    }
}

// The icon theme's pictures of the program icon: one for every size that panels, menus and
// software centres look up, each the yellow face on a transparent ground, and each painted at its
// own size. A picture scaled up from a smaller one shows itself by its blurred rim: the band of
// half-transparent pixels round the face is then several pixels wide instead of about one.
TEST(Artwork, TheThemeIconIsPaintedSharpAtEverySize) {
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(side);
        const QImage face =
            decode(committed(QStringLiteral("hicolor/%1x%1/apps/zumzik.png").arg(side)), "png");
        ASSERT_EQ(face.size(), QSize(side, side));
        EXPECT_EQ(qAlpha(face.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(face.pixel(side - 1, side - 1)), 0);
        const QRgb centre = face.pixel(side / 2, side / 2);
        EXPECT_EQ(qAlpha(centre), 255);
        EXPECT_GT(qRed(centre), 220);
        EXPECT_LT(qBlue(centre), 120);

        int halfTransparent = 0;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const int alpha = qAlpha(face.pixel(x, y));
                halfTransparent += alpha > 0 && alpha < 255;
            }
        }
        // The rim of a disc nearly as wide as the picture, two pixels deep at most.
        EXPECT_LT(halfTransparent, 2 * 3.15 * side) << "the rim is blurred";
    }
}

} // namespace
