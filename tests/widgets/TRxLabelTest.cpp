#include "TRxLabel.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using zumzik::TRxCustomLabel;
using zumzik::TRxLabel;

namespace {

const QRgb Ink = qRgb(0, 0, 0);
const QRgb Shadow = qRgb(255, 0, 0);
const QRgb Paper = qRgb(255, 255, 255);

// Unsmoothed glyphs, so that every pixel is either the text, the shadow or the background.
QFont testFont(int pixels = 11) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QSize textSize(const QString& text, int flags = Qt::TextShowMnemonic,
               const QFont& font = testFont()) {
    return QFontMetrics(font).size(flags, text);
}

void setUp(TRxLabel& label, const QString& caption) {
    label.setFont(testFont());
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, Ink);
    label.setPalette(palette);
    label.setColor(Paper);
    label.setShadowColor(Shadow);
    label.setCaption(caption);
}

std::unique_ptr<TRxLabel> makeLabel(const QString& caption, QWidget* parent = nullptr) {
    auto label = std::make_unique<TRxLabel>(parent);
    setUp(*label, caption);
    return label;
}

QImage render(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QList<QPoint> pixelsOf(const QImage& image, QRgb color) {
    QList<QPoint> found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color)
                found << QPoint(x, y);
    return found;
}

// The shadow is the glyphs moved by offset, drawn first: each shadow pixel has a glyph pixel at
// the opposite offset, and each glyph pixel moved by the offset is covered by text or shadow.
void expectShadowAt(const QImage& image, QPoint offset, QRgb ink = Ink, QRgb shadow = Shadow) {
    const QList<QPoint> shadowPixels = pixelsOf(image, shadow);
    const QList<QPoint> inkPixels = pixelsOf(image, ink);
    ASSERT_FALSE(shadowPixels.isEmpty());
    ASSERT_FALSE(inkPixels.isEmpty());
    for (QPoint p : shadowPixels) {
        if (image.rect().contains(p - offset)) {
            ASSERT_EQ(image.pixel(p - offset), ink) << p.x() << "," << p.y();
        }
    }
    for (QPoint p : inkPixels) {
        if (image.rect().contains(p + offset)) {
            ASSERT_NE(image.pixel(p + offset), Paper) << p.x() << "," << p.y();
        }
    }
}

QImage shifted(const QImage& image, QPoint by) {
    QImage moved(image.size(), image.format());
    moved.fill(Paper);
    for (QPoint p : pixelsOf(image, Ink))
        if (moved.rect().contains(p + by))
            moved.setPixel(p + by, Ink);
    return moved;
}

TEST(TRxLabel, NewLabelIsOpaqueWithALightShadowAboveLeft) {
    TRxLabel label;
    EXPECT_EQ(label.size(), QSize(65, 17));
    EXPECT_EQ(label.shadowPos(), TRxCustomLabel::spLeftTop);
    EXPECT_EQ(label.shadowSize(), 1);
    EXPECT_EQ(label.shadowColor(), label.palette().color(QPalette::Light));
    EXPECT_TRUE(label.autoSize());
    EXPECT_FALSE(label.transparent());
}

TEST(TRxLabel, ShadowFallsInEachDirectionBeneathTheText) {
    const QList<QPair<TRxCustomLabel::TShadowPosition, QPoint>> directions{
        {TRxCustomLabel::spLeftTop, {-2, -2}},
        {TRxCustomLabel::spLeftBottom, {-2, 2}},
        {TRxCustomLabel::spRightBottom, {2, 2}},
        {TRxCustomLabel::spRightTop, {2, -2}}};
    for (const auto& [position, offset] : directions) {
        SCOPED_TRACE(position);
        auto label = makeLabel(QStringLiteral("Whl"));
        label->setShadowSize(2);
        label->setShadowPos(position);
        label->setAutoSize(true);
        const QImage image = render(*label);
        expectShadowAt(image, offset);
        const auto rightmost = [](const QList<QPoint>& points) {
            return std::max_element(points.begin(), points.end(),
                                    [](QPoint a, QPoint b) { return a.x() < b.x(); })
                ->x();
        };
        const int shadowRight = rightmost(pixelsOf(image, Shadow));
        const int inkRight = rightmost(pixelsOf(image, Ink));
        EXPECT_EQ(shadowRight > inkRight, offset.x() > 0);
    }
}

TEST(TRxLabel, SizesToTheTextAndAShadowToTheRightOrBelow) {
    const QSize text = textSize(QStringLiteral("Whl"));
    auto label = makeLabel(QStringLiteral("Whl"));
    label->setShadowSize(2);
    EXPECT_EQ(label->size(), text + QSize(2, 0)) << "a shadow above left is cut off";
    label->setShadowPos(TRxCustomLabel::spRightBottom);
    EXPECT_EQ(label->size(), text + QSize(2, 0)) << "the position alone does not resize";
    label->setAutoSize(true);
    EXPECT_EQ(label->size(), text + QSize(4, 2));
    label->setShadowSize(0);
    EXPECT_EQ(label->size(), text + QSize(2, 0));

    label->setAutoSize(false);
    label->setCaption(QStringLiteral("Whl and more"));
    EXPECT_EQ(label->size(), text + QSize(2, 0));
}

TEST(TRxLabel, VersionLineIsTextWidthPlusThreeAndTextHeightPlusOne) {
    auto label = makeLabel(QString());
    label->setShadowPos(TRxCustomLabel::spRightBottom);
    label->setCaption(QStringLiteral("Version 2.03"));
    const QSize text = textSize(QStringLiteral("Version 2.03"));
    EXPECT_EQ(label->size(), text + QSize(3, 1));
    EXPECT_EQ(label->height(), 14);
}

TEST(TRxLabel, RightJustifiedLabelGrowsToTheLeft) {
    QWidget parent;
    auto right = makeLabel(QStringLiteral("ab"), &parent);
    right->setAlignment(TRxCustomLabel::taRightJustify);
    right->move(200, 10);
    const int rightEdge = right->geometry().right();
    right->setCaption(QStringLiteral("a much longer caption"));
    EXPECT_EQ(right->geometry().right(), rightEdge);
    EXPECT_LT(right->x(), 200);

    auto left = makeLabel(QStringLiteral("ab"), &parent);
    left->move(200, 40);
    left->setCaption(QStringLiteral("a much longer caption"));
    EXPECT_EQ(left->x(), 200);
}

TEST(TRxLabel, AmpersandsFollowShowAccelChar) {
    auto doubled = makeLabel(QStringLiteral("A&&B"));
    auto literal = makeLabel(QStringLiteral("A&B"));
    literal->setShowAccelChar(false);
    EXPECT_EQ(render(*doubled), render(*literal)) << "\"&&\" draws one ampersand";

    doubled->setShowAccelChar(false);
    EXPECT_EQ(doubled->size(), textSize(QStringLiteral("A&&B"), 0) + QSize(2, 0));
    EXPECT_GT(doubled->width(), literal->width());

    auto marked = makeLabel(QStringLiteral("&Save"));
    auto plain = makeLabel(QStringLiteral("Save"));
    plain->setShowAccelChar(false);
    const QImage underlined = render(*marked);
    const QImage bare = render(*plain);
    ASSERT_EQ(underlined.size(), bare.size());
    const int baseline = QFontMetrics(testFont()).ascent();
    int changed = 0;
    for (int y = 0; y < bare.height(); ++y)
        for (int x = 0; x < bare.width(); ++x)
            if (underlined.pixel(x, y) != bare.pixel(x, y)) {
                ++changed;
                EXPECT_GE(y, baseline) << "only the underline differs";
                EXPECT_LE(x, textSize(QStringLiteral("S")).width() + 2) << "under the S";
            }
    EXPECT_GT(changed, 0);
}

TEST(TRxLabel, EmptyCaptionAndLoneMarkerTakeOneLine) {
    auto blank = makeLabel(QStringLiteral(" "));
    auto empty = makeLabel(QStringLiteral("x"));
    empty->setCaption(QString());
    EXPECT_EQ(empty->size(), blank->size());
    EXPECT_EQ(empty->height(), textSize(QStringLiteral("Xy")).height());
    EXPECT_EQ(pixelsOf(render(*empty), Paper).size(), empty->width() * empty->height());

    auto marker = makeLabel(QStringLiteral("&"));
    EXPECT_EQ(marker->size(), blank->size());
    marker->setShowAccelChar(false);
    EXPECT_EQ(marker->size(), textSize(QStringLiteral("&"), 0) + QSize(2, 0));
}

TEST(TRxLabel, DisabledLabelIsGreyWithALightEdgeBelowRight) {
    const QRgb grey = qRgb(128, 128, 128);
    const QRgb light = qRgb(0, 0, 255);
    auto label = makeLabel(QStringLiteral("Whl"));
    label->setShadowSize(0);
    QImage image = render(*label);
    EXPECT_TRUE(pixelsOf(image, Shadow).isEmpty()) << "a shadow of size 0 lies under the text";
    EXPECT_FALSE(pixelsOf(image, Ink).isEmpty());

    QPalette palette = label->palette();
    palette.setColor(QPalette::Disabled, QPalette::WindowText, grey);
    palette.setColor(QPalette::Disabled, QPalette::Light, light);
    label->setPalette(palette);
    label->setEnabled(false);
    image = render(*label);
    EXPECT_TRUE(pixelsOf(image, Ink).isEmpty());
    EXPECT_TRUE(pixelsOf(image, Shadow).isEmpty());
    expectShadowAt(image, {1, 1}, grey, light);
}

TEST(TRxLabel, TransparentLabelShowsTheParentBetweenTheLetters) {
    const QRgb green = qRgb(0, 160, 0);
    QWidget parent;
    parent.resize(100, 40);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, green);
    parent.setPalette(palette);
    parent.setAutoFillBackground(true);
    auto label = makeLabel(QStringLiteral("Whl"), &parent);
    label->move(10, 10);

    const auto labelArea = [&] { return render(parent).copy(label->geometry()); };
    EXPECT_TRUE(pixelsOf(labelArea(), green).isEmpty());
    label->setTransparent(true);
    const QImage image = labelArea();
    EXPECT_TRUE(pixelsOf(image, Paper).isEmpty());
    EXPECT_FALSE(pixelsOf(image, green).isEmpty());
    EXPECT_FALSE(pixelsOf(image, Ink).isEmpty());
}

TEST(TRxLabel, LayoutPlacesTheTextBlockVertically) {
    auto label = makeLabel(QStringLiteral("Whl"));
    label->setShadowSize(0);
    label->setAutoSize(false);
    label->resize(label->width(), 40);
    const QImage top = render(*label);
    const int spare = 40 - textSize(QStringLiteral("Whl")).height();

    // Below the top the block spans the full width, without the one-pixel margin on the left.
    label->setTextLayout(TRxCustomLabel::tlBottom);
    EXPECT_EQ(render(*label), shifted(top, {-1, spare}));
    label->setTextLayout(TRxCustomLabel::tlCenter);
    EXPECT_EQ(render(*label), shifted(top, {-1, spare / 2}));
}

TEST(TRxLabel, WordWrapBreaksAtTheWidth) {
    auto label = makeLabel(QStringLiteral("one two three"));
    const int oneLine = label->height();
    label->setAutoSize(false);
    label->resize(40, label->height());
    label->setWordWrap(true);
    label->setAutoSize(true);
    EXPECT_EQ(label->height(), 3 * oneLine);
    EXPECT_LE(label->width(), 40);
    label->setWordWrap(false);
    EXPECT_EQ(label->height(), oneLine);
}

// Draws and measures through the two overridable operations only.
class ShoutingLabel : public TRxLabel {
public:
    using TRxLabel::TRxLabel;

protected:
    QColor defaultFontColor() const override { return Qt::blue; }
    QString labelText() const override { return caption().toUpper(); }
};

TEST(TRxLabel, SubclassesChooseTheTextAndItsColour) {
    ShoutingLabel label;
    setUp(label, QStringLiteral("whl"));
    EXPECT_EQ(label.size(), textSize(QStringLiteral("WHL")) + QSize(2, 0));
    const QImage image = render(label);
    EXPECT_TRUE(pixelsOf(image, Ink).isEmpty());
    expectShadowAt(image, {-1, -1}, qRgb(0, 0, 255));
}

TEST(TRxLabel, PublishedPropertiesCanBeSetByName) {
    auto label = makeLabel(QString());
    ASSERT_TRUE(label->setProperty("ShadowPos", "spRightBottom"));
    ASSERT_TRUE(label->setProperty("ShadowSize", 2));
    ASSERT_TRUE(label->setProperty("Caption", QStringLiteral("Whl")));
    EXPECT_EQ(label->size(), textSize(QStringLiteral("Whl")) + QSize(4, 2));
    ASSERT_TRUE(label->setProperty("ShadowColor", QColor(Qt::green)));
    EXPECT_EQ(label->shadowColor(), QColor(Qt::green));
}

TEST(TRxLabel, ScreenReadersGetTheCaptionWithoutMarkers) {
    auto label = makeLabel(QStringLiteral("&Save && quit"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(label.get());
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::StaticText);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Save & quit"));
    label->setShowAccelChar(false);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("&Save && quit"));
}

// A shown, active window with a label and two input fields.
class LabelWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(300, 100);
        label = new TRxLabel(&window);
        setUp(*label, QStringLiteral("&Name"));
        label->move(10, 10);
        target = new QLineEdit(&window);
        target->move(10, 40);
        other = new QLineEdit(&window);
        other->move(150, 40);
        // The pointer starts outside the window, so that showing it enters nothing.
        QCursor::setPos(window.mapToGlobal(QPoint(1000, 1000)));
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        other->setFocus();
    }

    // Moves the pointer and waits until the window system has told the widgets.
    void pointerOntoLabel() {
        QCursor::setPos(label->mapToGlobal(label->rect().center()));
        ASSERT_TRUE(QTest::qWaitFor([this] { return label->underMouse(); }));
    }
    void pointerAway() {
        QCursor::setPos(window.mapToGlobal(QPoint(290, 90)));
        ASSERT_TRUE(QTest::qWaitFor([this] { return !label->underMouse(); }));
    }
    void sendButton(QEvent::Type type, Qt::MouseButton button) {
        const QPointF at(2, 2);
        QMouseEvent event(type, at, label->mapToGlobal(at), button,
                          type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(label, &event);
    }
    void pressAccelerator() { QTest::keyClick(other, Qt::Key_N, Qt::AltModifier); }

    QWidget window;
    TRxLabel* label = nullptr;
    QLineEdit* target = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(LabelWindow, PointerEnteringAndLeavingIsReported) {
    QSignalSpy entered(label, &TRxCustomLabel::OnMouseEnter);
    QSignalSpy left(label, &TRxCustomLabel::OnMouseLeave);
    pointerOntoLabel();
    EXPECT_EQ(entered.count(), 1);
    pointerAway();
    EXPECT_EQ(left.count(), 1);

    label->setEnabled(false);
    pointerOntoLabel();
    EXPECT_EQ(entered.count(), 1) << "a disabled label reports nothing";
    label->setEnabled(true);
    EXPECT_EQ(entered.count(), 2) << "enabling under the pointer counts as entering";
    label->setEnabled(false);
    EXPECT_EQ(left.count(), 2);
}

TEST_F(LabelWindow, LeaveIsHeldBackWhileTheLeftButtonIsDown) {
    QSignalSpy entered(label, &TRxCustomLabel::OnMouseEnter);
    QSignalSpy left(label, &TRxCustomLabel::OnMouseLeave);
    pointerOntoLabel();
    sendButton(QEvent::MouseButtonPress, Qt::LeftButton);
    pointerAway();
    EXPECT_EQ(left.count(), 0);
    sendButton(QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(left.count(), 1) << "the release reports the leave";

    // Released over the label: still inside, nothing to report.
    pointerOntoLabel();
    sendButton(QEvent::MouseButtonPress, Qt::LeftButton);
    sendButton(QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(entered.count(), 2);
    EXPECT_EQ(left.count(), 1);

    // A right-button press does not hold the leave back.
    sendButton(QEvent::MouseButtonPress, Qt::RightButton);
    pointerAway();
    EXPECT_EQ(left.count(), 2);
}

TEST_F(LabelWindow, AcceleratorMovesTheFocusToFocusControl) {
    pressAccelerator();
    EXPECT_TRUE(other->hasFocus()) << "no FocusControl yet";

    label->setFocusControl(target);
    label->setShowAccelChar(false);
    pressAccelerator();
    EXPECT_TRUE(other->hasFocus());

    label->setShowAccelChar(true);
    label->setEnabled(false);
    pressAccelerator();
    EXPECT_TRUE(other->hasFocus());

    label->setEnabled(true);
    pressAccelerator();
    EXPECT_TRUE(target->hasFocus());

    delete target;
    EXPECT_EQ(label->focusControl(), nullptr);
}

TEST_F(LabelWindow, FocusRectangleShowsWhileFocusControlHasTheFocus) {
    label->setFocusControl(target);
    const QImage unfocused = render(*label);
    target->setFocus();
    EXPECT_EQ(render(*label), unfocused) << "ShowFocus is off";
    label->setShowFocus(true);
    EXPECT_NE(render(*label), unfocused);
    other->setFocus();
    EXPECT_EQ(render(*label), unfocused);
}

TEST(TRxLabel, PointerIsIgnoredWhileTheApplicationIsInTheBackground) {
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    auto label = makeLabel(QStringLiteral("Whl"));
    QSignalSpy entered(label.get(), &TRxCustomLabel::OnMouseEnter);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(label.get(), &enter);
    EXPECT_EQ(entered.count(), 0);
}

} // namespace
