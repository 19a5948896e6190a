#include "ButtonGlyph.h"

#include "ComponentError.h"
#include "IconTestData.h"

#include <QPixmap>
#include <gtest/gtest.h>

using namespace zumzik;
using zumzik::test::componentErrorOf;

namespace {

TEST(ButtonGlyph, SplitsTheBitmapAndClearsTheBottomLeftColourEverywhere) {
    // Two 4 x 3 pictures on olive: the left with a red pixel, the right with a grey one, and
    // olive inside both, which must turn transparent as well.
    QImage bitmap(8, 3, QImage::Format_RGB32);
    bitmap.fill(QColor(128, 128, 0));
    bitmap.setPixel(1, 1, qRgb(255, 0, 0));
    bitmap.setPixel(5, 0, qRgb(128, 128, 128));

    const ButtonGlyph glyph(bitmap, 2);
    ASSERT_EQ(glyph.imageCount(), 2);
    EXPECT_EQ(glyph.transparentColor(), QColor(128, 128, 0));
    const QImage normal = glyph.image(0);
    const QImage disabled = glyph.image(1);
    EXPECT_EQ(normal.size(), QSize(4, 3));
    EXPECT_EQ(normal.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(normal.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(normal.pixel(3, 2)), 0);
    EXPECT_EQ(disabled.pixel(1, 0), qRgb(128, 128, 128));
    EXPECT_EQ(qAlpha(disabled.pixel(1, 1)), 0);

    const QIcon icon = glyph.icon();
    EXPECT_EQ(icon.pixmap(QSize(4, 3), QIcon::Normal).toImage().pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(icon.pixmap(QSize(4, 3), QIcon::Disabled).toImage().pixel(1, 0), qRgb(128, 128, 128));
}

TEST(ButtonGlyph, RefusesAnImageCountTheBitmapCannotHold) {
    QImage bitmap(3, 3, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    EXPECT_EQ(componentErrorOf([&] { ButtonGlyph(bitmap, 0); }),
              "A 3 x 3 glyph bitmap cannot hold 0 pictures");
    EXPECT_EQ(componentErrorOf([&] { ButtonGlyph(bitmap, 4); }),
              "A 3 x 3 glyph bitmap cannot hold 4 pictures");
    EXPECT_EQ(componentErrorOf([&] { ButtonGlyph(QImage(), 1); }),
              "A 0 x 0 glyph bitmap cannot hold 1 pictures");
}

} // namespace
