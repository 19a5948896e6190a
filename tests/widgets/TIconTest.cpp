#include "TIcon.h"

#include "IconFileEncoder.h"
#include "IconTestData.h"

#include <QBuffer>
#include <QPixmap>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace zumzik;
using zumzik::test::componentErrorOf;
using zumzik::test::iconBytes;

namespace {

void loadInto(TIcon& icon, QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    icon.LoadFromStream(buffer);
}

QByteArray saved(const TIcon& icon) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    icon.SaveToStream(buffer);
    return buffer.data();
}

// A 48 x 48 picture: opaque red, a half-transparent green stripe, a transparent corner.
QImage testPicture() {
    QImage picture(48, 48, QImage::Format_ARGB32);
    picture.fill(QColor(200, 0, 0));
    for (int x = 0; x < 48; ++x)
        picture.setPixel(x, 20, qRgba(0, 255, 0, 128));
    picture.setPixel(0, 0, qRgba(0, 0, 0, 0));
    return picture;
}

TEST(IconFileEncoder, WritesOneBitmapImageWithItsMask) {
    const QByteArray bytes = IconFileEncoder::encode(testPicture());
    ASSERT_EQ(bytes.size(), 9662);
    const auto word = [&](int offset) {
        return qFromLittleEndian<quint16>(bytes.constData() + offset);
    };
    const auto dword = [&](int offset) {
        return qFromLittleEndian<quint32>(bytes.constData() + offset);
    };
    EXPECT_EQ(word(2), 1); // an icon
    EXPECT_EQ(word(4), 1); // one image
    EXPECT_EQ(bytes[6], 48);
    EXPECT_EQ(word(12), 32);
    EXPECT_EQ(dword(14), 9640u);
    EXPECT_EQ(dword(18), 22u);
    EXPECT_EQ(dword(22), 40u);
    EXPECT_EQ(dword(30), 96u); // colour bitmap and mask, stacked
    // The top-left pixel is the first of the last colour row, and its mask bit is set.
    const int topRow = 62 + 47 * 48 * 4;
    EXPECT_EQ(static_cast<uchar>(bytes[topRow + 3]), 0);
    EXPECT_EQ(static_cast<uchar>(bytes[topRow + 4 + 2]), 200); // the next pixel's red
    const int topMaskRow = 62 + 48 * 48 * 4 + 47 * 8;
    EXPECT_EQ(static_cast<uchar>(bytes[topMaskRow]), 0x80);

    QImage large(256, 1, QImage::Format_ARGB32);
    large.fill(Qt::white);
    EXPECT_EQ(IconFileEncoder::encode(large)[6], 0); // 256 is written as 0
    EXPECT_EQ(
        componentErrorOf([] { IconFileEncoder::encode(QImage(257, 4, QImage::Format_ARGB32)); }),
        "An icon cannot hold a 257 x 4 picture");
}

TEST(TIcon, LoadingChecksOnlyTheTypeWordAndKeepsTheBytes) {
    TIcon icon;
    EXPECT_TRUE(icon.Empty());
    QByteArray bytes = iconBytes(Qt::red);
    bytes[2] = 0; // type 0 passes as well
    loadInto(icon, bytes);
    EXPECT_FALSE(icon.Empty());
    EXPECT_EQ(saved(icon), bytes);

    for (const quint16 type : {2, 0xFFFF}) {
        QByteArray other = iconBytes(Qt::green);
        qToLittleEndian(type, other.data() + 2);
        EXPECT_EQ(componentErrorOf([&] { loadInto(icon, other); }), "Icon image is not valid");
    }
    EXPECT_EQ(componentErrorOf([&] { loadInto(icon, QByteArray("\0\0\1", 3)); }),
              "Icon image is not valid");
    EXPECT_EQ(saved(icon), bytes); // a failed load changes nothing
}

TEST(TIcon, TellsItsListenerOfEveryLoadCopyAndHandle) {
    TIcon icon;
    TIcon source;
    int calls = 0;
    icon.SetOnChange([&](TIcon* sender) {
        EXPECT_EQ(sender, &icon);
        ++calls;
    });
    loadInto(icon, iconBytes(Qt::red));
    loadInto(source, iconBytes(Qt::blue));
    icon.Assign(&source);
    EXPECT_EQ(saved(icon), saved(source));
    icon.Assign(nullptr);
    EXPECT_TRUE(icon.Empty());
    EXPECT_TRUE(saved(icon).isEmpty());
    icon.SetHandle(QIcon(QPixmap::fromImage(testPicture())));
    EXPECT_EQ(calls, 4);
}

TEST(TIcon, ItsBytesBecomeAPlatformIconWithTheirTransparency) {
    TIcon icon;
    loadInto(icon, IconFileEncoder::encode(testPicture()));
    const QIcon handle = icon.Handle();
    ASSERT_TRUE(handle.availableSizes().contains(QSize(48, 48)));
    const QImage shown = handle.pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
    EXPECT_EQ(shown.pixel(10, 10), qRgb(200, 0, 0));
    EXPECT_NEAR(qAlpha(shown.pixel(10, 20)), 128, 1);
}

TEST(TIcon, BytesWithTheRightTypeButNoPictureFailWhenShown) {
    TIcon icon;
    loadInto(icon, QByteArray("\0\0\1\0\1\0garbage", 13));
    EXPECT_EQ(componentErrorOf([&] { icon.Handle(); }), "Icon image is not valid");
}

TEST(TIcon, APlatformIconIsSavedAsIconFileBytesOfItsLargestSize) {
    TIcon icon;
    QIcon handle;
    handle.addPixmap(QPixmap::fromImage(testPicture().scaled(16, 16)));
    handle.addPixmap(QPixmap::fromImage(testPicture()));
    icon.SetHandle(handle);
    EXPECT_EQ(saved(icon), IconFileEncoder::encode(testPicture()));

    TIcon resource;
    resource.LoadFromResource(QStringLiteral(":/artwork"), QStringLiteral("zumzik.ico"));
    EXPECT_EQ(saved(resource).size(), 9662);
}

} // namespace
