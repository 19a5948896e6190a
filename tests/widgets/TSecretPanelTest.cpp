#include "TSecretPanel.h"

#include "ApplicationErrorReport.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <stdexcept>

using zumzik::TRxTimer;
using zumzik::TSecretPanel;

namespace {

bool waitFor(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 5000);
}

const QColor kText(0, 0, 255);
const QColor kLight(255, 255, 255);
const QColor kBackground(192, 192, 192);

// Crisp characters, so that every text pixel has exactly the pen's colour.
QFont crispFont(int pixelSize = 12) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// The bounding box of the pixels of one colour; empty when there are none.
QRect pixelsOf(const QImage& image, const QColor& color) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == color)
                box |= QRect(x, y, 1, 1);
    return box;
}

// A panel on screen whose ticks the test gives by hand (Interval 0 stops the timer's own).
class PanelTest : public ::testing::Test {
protected:
    TSecretPanel panel;

    PanelTest() {
        panel.setInterval(0);
        panel.resize(200, 100);
        panel.setFont(crispFont());
        QPalette colours = panel.palette();
        colours.setColor(QPalette::WindowText, kText);
        colours.setColor(QPalette::Light, kLight);
        colours.setColor(QPalette::Button, kBackground);
        panel.setPalette(colours);
        panel.show();
    }
    int pitch(bool styled = false) const {
        const QFontMetrics metrics(panel.font());
        return metrics.height() + std::max(metrics.leading(), 0) + (styled ? 1 : 0);
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            panel.tick();
    }
    // The frame at a position of the pass, freshly activated.
    QImage frameAt(int position) {
        panel.setActive(false);
        panel.setActive(true);
        ticks(position);
        return panel.frame();
    }
};

TEST_F(PanelTest, PropertiesStartAtTheirDefaultsAndCanBeSetByName) {
    TSecretPanel fresh;
    EXPECT_FALSE(fresh.active());
    EXPECT_TRUE(fresh.lines().isEmpty());
    EXPECT_FALSE(fresh.cycled());
    EXPECT_EQ(fresh.interval(), 30u);
    EXPECT_EQ(fresh.scrollDirection(), TSecretPanel::sdVertical);
    EXPECT_EQ(fresh.alignment(), TSecretPanel::taCenter);
    EXPECT_EQ(fresh.textStyle(), TSecretPanel::bvNone);
    EXPECT_EQ(fresh.glyphLayout(), TSecretPanel::glGlyphLeft);
    EXPECT_TRUE(fresh.asyncDrawing());
    EXPECT_FALSE(fresh.timer().syncEvent());
    EXPECT_FALSE(fresh.timer().enabled());
    EXPECT_EQ(fresh.bevelOuter(), TSecretPanel::bvLowered);
    EXPECT_EQ(fresh.bevelInner(), TSecretPanel::bvNone);
    EXPECT_EQ(fresh.bevelWidth(), 1);
    EXPECT_EQ(fresh.borderWidth(), 0);
    EXPECT_EQ(fresh.color(), fresh.palette().color(QPalette::Button));
    EXPECT_EQ(fresh.scrollPosition(), 0);
    EXPECT_EQ(fresh.linePitch(), 1);

    EXPECT_TRUE(fresh.setProperty("Interval", 70u));
    EXPECT_EQ(fresh.timer().interval(), 70u);
    EXPECT_TRUE(fresh.setProperty("AsyncDrawing", false));
    EXPECT_TRUE(fresh.timer().syncEvent());
    EXPECT_TRUE(fresh.setProperty("Alignment", TSecretPanel::taLeftJustify));
    EXPECT_EQ(fresh.alignment(), TSecretPanel::taLeftJustify);
    EXPECT_TRUE(fresh.setProperty("Lines", QStringList{"a", "b"}));
    EXPECT_EQ(fresh.lines(), (QStringList{"a", "b"}));
    EXPECT_TRUE(fresh.setProperty("Color", QColor(Qt::red)));
    EXPECT_EQ(fresh.color(), QColor(Qt::red));
    fresh.setBevelWidth(0);
    fresh.setBorderWidth(-2);
    EXPECT_EQ(fresh.bevelWidth(), 1);
    EXPECT_EQ(fresh.borderWidth(), 0);
}

TEST_F(PanelTest, TextAreaLiesInsideTheFrameAndBesideTheGlyph) {
    panel.setActive(true);
    EXPECT_EQ(panel.textArea(), QRect(4, 4, 192, 92)) << "one bevel pixel and three of margin";
    panel.setBevelInner(TSecretPanel::bvRaised);
    panel.setBevelWidth(2);
    panel.setBorderWidth(3);
    EXPECT_EQ(panel.textArea(), QRect(10, 10, 180, 80)) << "B = 2 + 2 + 3";
    panel.setBevelOuter(TSecretPanel::bvNone);
    panel.setBevelInner(TSecretPanel::bvNone);
    panel.setBorderWidth(0);
    EXPECT_EQ(panel.textArea(), QRect(3, 3, 194, 94));

    QPixmap glyph(10, 8);
    glyph.fill(Qt::green);
    panel.setGlyph(glyph);
    EXPECT_EQ(panel.glyphOrigin(), QPoint(6, 46)) << "(3 + 97 - 8) / 2 = 46";
    EXPECT_EQ(panel.textArea(), QRect(19, 3, 178, 94)) << "6 + 10 + 0 + 3";
    panel.setGlyphLayout(TSecretPanel::glGlyphRight);
    EXPECT_EQ(panel.glyphOrigin(), QPoint(184, 46));
    EXPECT_EQ(panel.textArea(), QRect(3, 3, 178, 94));
    panel.setGlyphLayout(TSecretPanel::glGlyphTop);
    EXPECT_EQ(panel.glyphOrigin(), QPoint(95, 6));
    EXPECT_EQ(panel.textArea(), QRect(3, 20, 194, 77)) << "6 + 8 + 0 + 6";
    panel.setGlyphLayout(TSecretPanel::glGlyphBottom);
    EXPECT_EQ(panel.glyphOrigin(), QPoint(95, 86));
    EXPECT_EQ(panel.textArea(), QRect(3, 3, 194, 77));
    panel.setGlyph(QPixmap());

    // Too small for a text area in either direction: empty, yet the pass still runs.
    panel.setLines({"line"});
    panel.resize(7, 100);
    EXPECT_EQ(panel.textArea(), QRect(3, 3, 1, 94)) << "just large enough";
    panel.resize(6, 100);
    EXPECT_EQ(panel.textArea(), QRect());
    panel.resize(100, 6);
    EXPECT_EQ(panel.textArea(), QRect());
    EXPECT_EQ(panel.scrollLimit(), pitch());
    ticks(pitch());
    EXPECT_EQ(panel.scrollPosition(), pitch());
    EXPECT_TRUE(panel.frame().isNull());
}

TEST_F(PanelTest, StartLinePitchAndLimitFollowTheLinesFontAndStyle) {
    panel.setLines({"", " \t ", "first", "second", "", "  "});
    panel.setActive(true);
    EXPECT_EQ(panel.startLine(), 2) << "leading blank lines are never shown";
    EXPECT_EQ(panel.linePitch(), pitch());
    EXPECT_EQ(panel.scrollLimit(), 92 + 4 * pitch()) << "trailing blank lines count";

    for (const auto style :
         {TSecretPanel::bvLowered, TSecretPanel::bvRaised, TSecretPanel::bvSpace}) {
        panel.setTextStyle(style);
        EXPECT_EQ(panel.linePitch(), pitch(true)) << style;
    }
    panel.setTextStyle(TSecretPanel::bvNone);
    panel.setFont(crispFont(20));
    EXPECT_EQ(panel.linePitch(), pitch());
    EXPECT_GT(pitch(), QFontMetrics(crispFont()).height());
    QFont huge = crispFont(400);
    panel.setFont(huge);
    EXPECT_EQ(panel.linePitch(), 255) << "a pitch too large for a byte stops at 255";

    panel.setFont(crispFont());
    panel.setLines({});
    EXPECT_EQ(panel.startLine(), 0);
    EXPECT_EQ(panel.scrollLimit(), 92);
    panel.setLines({" ", ""});
    EXPECT_EQ(panel.startLine(), 2) << "all blank";
    EXPECT_EQ(panel.scrollLimit(), 92);

    // Sideways: the widest line plus the width, and the block centred in the height.
    panel.setLines({"", "ab", "a much longer line", "", "c", "  "});
    panel.setScrollDirection(TSecretPanel::sdHorizontal);
    const QFontMetrics metrics(panel.font());
    EXPECT_EQ(panel.scrollLimit(), 192 + metrics.horizontalAdvance("a much longer line"));
    const int spare = 92 - 4 * pitch();
    EXPECT_EQ(panel.textArea(), QRect(4, 4 + spare / 2, 192, 92 - 2 * (spare / 2)));
    panel.setLines({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"});
    EXPECT_EQ(panel.textArea(), QRect(4, 4, 192, 92)) << "more lines than fit: not shrunk";
}

TEST_F(PanelTest, APassRunsToTheLimitThenStartsOverOrStops) {
    QSignalSpy started(&panel, &TSecretPanel::OnStartPlay);
    QSignalSpy stopped(&panel, &TSecretPanel::OnStopPlay);
    panel.setLines({"one", "two"});
    panel.setCycled(true);
    panel.setActive(true);
    panel.setActive(true);
    EXPECT_EQ(started.count(), 1) << "activating twice starts once";
    EXPECT_TRUE(panel.timer().enabled());
    const int limit = panel.scrollLimit();
    ticks(1);
    EXPECT_EQ(panel.scrollPosition(), 1);
    ticks(limit - 1);
    EXPECT_EQ(panel.scrollPosition(), limit);
    ticks(1);
    EXPECT_EQ(panel.scrollPosition(), 0) << "cycled: the next pass begins";
    ticks(1);
    EXPECT_EQ(panel.scrollPosition(), 1);

    panel.setCycled(false);
    ticks(limit - 1);
    EXPECT_TRUE(panel.active());
    ticks(1);
    EXPECT_FALSE(panel.active()) << "the end of a pass stops a panel that is not cycled";
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_FALSE(panel.timer().enabled());
    EXPECT_TRUE(panel.frame().isNull()) << "the image goes with the activity";
    panel.setActive(false);
    EXPECT_EQ(stopped.count(), 1) << "deactivating an inactive panel does nothing";

    // With no lines at all the pass is as long as the text area is high.
    panel.setLines({});
    panel.setActive(true);
    ticks(92);
    EXPECT_TRUE(panel.active());
    ticks(1);
    EXPECT_FALSE(panel.active());
    EXPECT_EQ(stopped.count(), 2);
}

TEST_F(PanelTest, ChangesWhileActiveRestartOrKeepThePosition) {
    panel.setLines({"one", "two", "three"});
    panel.setCycled(true);
    panel.setActive(true);
    ticks(20);
    panel.setFont(crispFont(14));
    EXPECT_EQ(panel.scrollPosition(), 20) << "a font change keeps the position";
    panel.resize(220, 90);
    EXPECT_EQ(panel.scrollPosition(), 20) << "so does a resize";
    EXPECT_EQ(panel.textArea(), QRect(4, 4, 212, 82));
    panel.setTextStyle(TSecretPanel::bvRaised);
    panel.setAlignment(TSecretPanel::taRightJustify);
    panel.setColor(Qt::yellow);
    EXPECT_EQ(panel.scrollPosition(), 20);
    panel.setLines({"one", "two"});
    EXPECT_EQ(panel.scrollPosition(), 0) << "new lines restart the pass";
    ticks(5);
    panel.setScrollDirection(TSecretPanel::sdHorizontal);
    EXPECT_EQ(panel.scrollPosition(), 0) << "so does a new direction";

    // A kept position beyond the new limit ends the pass at the next tick.
    panel.setScrollDirection(TSecretPanel::sdVertical);
    ticks(panel.scrollLimit() - 2);
    panel.resize(200, 40);
    ASSERT_GT(panel.scrollPosition(), panel.scrollLimit());
    ticks(1);
    EXPECT_EQ(panel.scrollPosition(), 0);

    // While inactive, changes are only stored.
    panel.setActive(false);
    panel.setLines({"x"});
    EXPECT_EQ(panel.scrollLimit(), 32 + 2 * pitch(true)) << "the last layout still stands";
}

TEST_F(PanelTest, ActivationHidesVisibleChildrenAndDeactivationShowsThemAgain) {
    auto* shown = new QLabel("shown", &panel);
    shown->show();
    auto* hidden = new QLabel("hidden", &panel);
    panel.setActive(true);
    EXPECT_TRUE(shown->isHidden());
    EXPECT_TRUE(hidden->isHidden());
    panel.setActive(false);
    EXPECT_FALSE(shown->isHidden());
    EXPECT_TRUE(hidden->isHidden()) << "a child hidden before activation stays hidden";
    panel.setActive(true);
    delete shown; // a hidden child that goes away meanwhile is simply forgotten
    panel.setActive(false);
    EXPECT_TRUE(hidden->isHidden());
}

TEST_F(PanelTest, AFailingStartLeavesThePanelInactiveAndPassesTheErrorOn) {
    QObject::connect(&panel, &TSecretPanel::OnStartPlay, [] { throw std::runtime_error("no"); });
    EXPECT_THROW(panel.setActive(true), std::runtime_error);
    EXPECT_FALSE(panel.active());
    EXPECT_FALSE(panel.timer().enabled());
    EXPECT_TRUE(panel.frame().isNull());
}

TEST_F(PanelTest, LinesEnterAtTheBottomAndMoveUpOnePixelPerTick) {
    panel.setLines({"Hello", "World"});
    EXPECT_TRUE(pixelsOf(frameAt(1), kText).isEmpty() || pixelsOf(frameAt(1), kText).top() == 91)
        << "at position 1 only the top row of the first cell is inside";
    const QImage full = frameAt(pitch());
    const QRect first = pixelsOf(full, kText);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_GE(first.top(), 92 - pitch());
    const QRect moved = pixelsOf(frameAt(pitch() + 7), kText);
    EXPECT_EQ(moved.top(), first.top() - 7);
    // Two lines: the second lies one pitch below the first.
    const QImage both = frameAt(2 * pitch());
    EXPECT_EQ(pixelsOf(both.copy(0, 92 - pitch(), 192, pitch()), kText).isEmpty(), false);
    EXPECT_EQ(both.copy(0, 92 - 2 * pitch(), 192, pitch()),
              frameAt(pitch()).copy(0, 92 - pitch(), 192, pitch()))
        << "the first line moved up by one pitch, unchanged";
    EXPECT_TRUE(pixelsOf(frameAt(panel.scrollLimit()), kText).isEmpty())
        << "at the limit every line has left";
}

TEST_F(PanelTest, LoweredTextHasALightCopyOnePixelRightAndDown) {
    panel.setLines({"Lowered"});
    panel.setAlignment(TSecretPanel::taLeftJustify);
    const QImage plain = frameAt(pitch());
    panel.setTextStyle(TSecretPanel::bvLowered);
    const QImage lowered = frameAt(pitch());
    ASSERT_FALSE(pixelsOf(plain, kText).isEmpty());
    // Every light pixel is a text pixel of the plain frame moved by (1, 1), where the text itself
    // does not cover it; and every such place is light.
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            const bool text = plain.pixelColor(x, y) == kText;
            const bool below = x > 0 && y > 0 && plain.pixelColor(x - 1, y - 1) == kText;
            const QColor seen = lowered.pixelColor(x, y);
            if (text)
                ASSERT_EQ(seen, kText) << x << "," << y;
            else if (below)
                ASSERT_EQ(seen, kLight) << x << "," << y;
            else
                ASSERT_EQ(seen, kBackground) << x << "," << y;
        }
    }
    panel.setTextStyle(TSecretPanel::bvRaised);
    const QImage raised = frameAt(pitch());
    EXPECT_EQ(pixelsOf(raised, kLight).topLeft(), pixelsOf(plain, kText).topLeft() - QPoint(1, 1));
}

TEST_F(PanelTest, LinesAreDrawnAsTheyStandCutTo255Characters) {
    panel.resize(2400, 60);
    panel.setAlignment(TSecretPanel::taLeftJustify);
    const QString longLine = QString(254, 'i') + "WWWWW";
    panel.setLines({longLine});
    const QImage cut = frameAt(pitch());
    panel.setLines({longLine.left(255)});
    EXPECT_EQ(frameAt(pitch()), cut) << "drawn as its first 255 characters";
    panel.setLines({longLine.left(254)});
    EXPECT_NE(frameAt(pitch()), cut) << "the 255th character is drawn";

    // An ampersand is drawn, not taken for an accelerator; a tab moves on to the next stop.
    panel.setLines({"&"});
    const QRect one = pixelsOf(frameAt(pitch()), kText);
    panel.setLines({"&&"});
    const QRect two = pixelsOf(frameAt(pitch()), kText);
    EXPECT_FALSE(one.isEmpty());
    EXPECT_GT(two.width(), one.width());
    panel.setLines({"X"});
    const QRect plain = pixelsOf(frameAt(pitch()), kText);
    panel.setLines({"\tX"});
    const QRect tabbed = pixelsOf(frameAt(pitch()), kText);
    EXPECT_EQ(tabbed.left() - plain.left(), 8 * QFontMetrics(panel.font()).averageCharWidth());
}

TEST_F(PanelTest, AlignmentPlacesEachLineInItsRow) {
    panel.setLines({"Mid"});
    panel.setAlignment(TSecretPanel::taLeftJustify);
    const QRect left = pixelsOf(frameAt(pitch()), kText);
    EXPECT_LE(left.left(), 2);
    panel.setAlignment(TSecretPanel::taRightJustify);
    const QRect right = pixelsOf(frameAt(pitch()), kText);
    EXPECT_GE(right.right(), 192 - 3);
    EXPECT_NEAR(right.width(), left.width(), 1);
    panel.setAlignment(TSecretPanel::taCenter);
    const QRect centre = pixelsOf(frameAt(pitch()), kText);
    EXPECT_NEAR(centre.left(), 192 - 1 - centre.right(), 3);
    EXPECT_GT(centre.left(), left.left() + 20);
}

TEST_F(PanelTest, OffScreenThePositionRunsWithoutDrawing) {
    panel.setLines({"Hello"});
    panel.setActive(true);
    panel.hide();
    ticks(pitch());
    EXPECT_EQ(panel.scrollPosition(), pitch());
    EXPECT_TRUE(pixelsOf(panel.frame(), kText).isEmpty());
    panel.show();
    ticks(1);
    EXPECT_FALSE(pixelsOf(panel.frame(), kText).isEmpty());
}

TEST_F(PanelTest, ThePanelShowsEachFrameWholeAndABackgroundAfterOtherRepaints) {
    panel.setLines({"Shown"});
    panel.setActive(true);
    // What the window shows, as the window system has it.
    const auto onScreen = [&] {
        return panel.screen()
            ->grabWindow(panel.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    ASSERT_TRUE(waitFor([&] {
        return pixelsOf(onScreen(), kBackground) == panel.rect().adjusted(1, 1, -1, -1);
    })) << "the frame and the background";
    ticks(pitch());
    // The copy reaches the panel with the next paint.
    ASSERT_TRUE(waitFor([&] { return !pixelsOf(onScreen(), kText).isEmpty(); }));
    EXPECT_EQ(onScreen().copy(panel.textArea()), panel.frame());
    // A repaint of the panel for any other reason clears the text area to the background.
    panel.update();
    EXPECT_TRUE(waitFor([&] { return pixelsOf(onScreen(), kText).isEmpty(); }));
    ticks(1);
    EXPECT_TRUE(waitFor([&] { return !pixelsOf(onScreen(), kText).isEmpty(); }));
    panel.setActive(false);
    EXPECT_TRUE(waitFor([&] { return pixelsOf(onScreen(), kText).isEmpty(); }));
}

TEST_F(PanelTest, TheWorkerScrollsRendersAndStopsThePanelOnTheUserInterfaceThread) {
    QList<QThread*> stoppedOn;
    QObject::connect(&panel, &TSecretPanel::OnStopPlay,
                     [&] { stoppedOn << QThread::currentThread(); });
    panel.setLines({"one"});
    panel.setInterval(1);
    panel.setActive(true);
    ASSERT_TRUE(waitFor([&] { return !pixelsOf(panel.frame(), kText).isEmpty(); }));
    EXPECT_TRUE(waitFor([&] { return !panel.active(); })) << "the pass ended";
    EXPECT_EQ(stoppedOn, QList<QThread*>{QCoreApplication::instance()->thread()});
}

TEST_F(PanelTest, ScreenReadersGetTheWholeTextAndCanReadItLineByLine) {
    panel.setLines({"", "  Первая строка. Ещё ", "", "вторая"});
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&panel);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::StaticText);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Первая строка. Ещё\nвторая");
    panel.setAccessibleName("Афоризмы");
    EXPECT_EQ(accessible->text(QAccessible::Name), "Афоризмы");
    EXPECT_EQ(accessible->text(QAccessible::Description), "Первая строка. Ещё\nвторая");

    QAccessibleTextInterface* text = accessible->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), 25);
    EXPECT_EQ(text->text(0, -1), "Первая строка. Ещё\nвторая");
    int start = 0;
    int end = 0;
    EXPECT_EQ(text->textAtOffset(20, QAccessible::LineBoundary, &start, &end), "вторая");
    EXPECT_EQ(start, 19);
    EXPECT_EQ(text->textBeforeOffset(20, QAccessible::LineBoundary, &start, &end),
              "Первая строка. Ещё\n");
    EXPECT_EQ(text->textAfterOffset(3, QAccessible::LineBoundary, &start, &end), "вторая");
    EXPECT_EQ(text->textBeforeOffset(25, QAccessible::LineBoundary, &start, &end), "вторая")
        << "before the end comes the last line";
    EXPECT_EQ(text->textAtOffset(16, QAccessible::SentenceBoundary, &start, &end).trimmed(), "Ещё");
    EXPECT_EQ(text->textAtOffset(25, QAccessible::CharBoundary, &start, &end), "");
    EXPECT_EQ(start, -1);
}

// Scrolling upwards, the lines are drawn once per layout and copied on every tick; a background
// handler makes the panel draw them anew on every tick instead. Both must give the same pixels at
// every position, with antialiased text, shadows, tabs and each alignment. Marks stacked high
// above a letter reach beyond its row: drawn anew they show only once the row itself has entered,
// so there the rows next to the edges are left out of the comparison.
TEST(SecretPanelDrawing, CopiedLinesLookExactlyLikeLinesDrawnOnEveryTick) {
    const QStringList ordinary = {"", "Первая строка, длинная и широкая", "W&g\tjy", "", "Ёжик",
                                  ""};
    const QStringList stacked = {"Ё\u0308\u0308\u0308жик", "Й\u0306\u0306\u0306од", "end"};
    struct Case {
        TSecretPanel::TBevelCut style;
        TSecretPanel::TAlignment alignment;
        const QStringList& lines;
        bool wholeFrame;
    };
    const Case cases[] = {{TSecretPanel::bvLowered, TSecretPanel::taLeftJustify, ordinary, true},
                          {TSecretPanel::bvRaised, TSecretPanel::taCenter, ordinary, true},
                          {TSecretPanel::bvSpace, TSecretPanel::taRightJustify, ordinary, true},
                          {TSecretPanel::bvNone, TSecretPanel::taCenter, ordinary, true},
                          {TSecretPanel::bvRaised, TSecretPanel::taLeftJustify, stacked, false}};
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(15);
    font.setBold(true);
    for (const Case& c : cases) {
        TSecretPanel copied;
        TSecretPanel drawn;
        drawn.setOnPaintClient([](TSecretPanel*, QPainter& canvas, const QRect& rect) {
            canvas.fillRect(rect, canvas.brush());
        });
        for (TSecretPanel* panel : {&copied, &drawn}) {
            panel->setInterval(0);
            panel->resize(150, 60);
            panel->setFont(font);
            panel->setLines(c.lines);
            panel->setTextStyle(c.style);
            panel->setAlignment(c.alignment);
            panel->setCycled(true);
            panel->show();
            panel->setActive(true);
        }
        ASSERT_EQ(copied.scrollLimit(), drawn.scrollLimit());
        const auto shown = [&](const TSecretPanel& panel) {
            const QImage frame = panel.frame();
            const int edge = c.wholeFrame ? 0 : panel.linePitch();
            return frame.copy(0, edge, frame.width(), frame.height() - 2 * edge);
        };
        const QImage blank = shown(copied);
        int withText = 0;
        for (int position = 1; position <= copied.scrollLimit() + 1; ++position) {
            if (position == copied.scrollLimit() / 2)
                for (TSecretPanel* panel : {&copied, &drawn})
                    panel->setAlignment(
                        static_cast<TSecretPanel::TAlignment>((c.alignment + 1) % 3));
            copied.tick();
            drawn.tick();
            ASSERT_EQ(shown(copied), shown(drawn)) << c.lines.first().toStdString() << ", style "
                                                   << c.style << ", position " << position;
            withText += shown(copied) != blank;
        }
        EXPECT_GT(withText, copied.scrollLimit() / 3) << "the text passed through";
    }
}

// A subclass that paints its own background gets it under the text on every frame.
TEST(SecretPanelDrawing, AnOverriddenBackgroundShowsUnderTheText) {
    class StripedPanel : public TSecretPanel {
    protected:
        void PaintClient(QPainter& canvas, const QRect& rect) override {
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                canvas.fillRect(rect.left(), y, rect.width(), 1, y % 2 ? Qt::red : Qt::green);
        }
    } panel;
    panel.setInterval(0);
    panel.resize(120, 50);
    panel.setFont(crispFont());
    panel.setLines({"Striped"});
    panel.show();
    panel.setActive(true);
    for (int i = 0; i < 20; ++i)
        panel.tick();
    const QImage frame = panel.frame();
    // The top rows lie above the text, which entered at the bottom edge.
    const int top = panel.textArea().top();
    EXPECT_EQ(frame.pixelColor(5, 0), top % 2 ? QColor(Qt::red) : QColor(Qt::green));
    EXPECT_EQ(frame.pixelColor(5, 1), top % 2 ? QColor(Qt::green) : QColor(Qt::red));
    EXPECT_FALSE(
        pixelsOf(frame.copy(0, frame.height() - 20, frame.width(), 20), Qt::black).isEmpty())
        << "the text is drawn over the stripes";
}

// Out of sight, a cycled panel's worker does not wake; shown again, its text stands where the
// ticks meanwhile would have brought it.
TEST(SecretPanelOutOfSight, ACycledPanelSleepsAndShowsAgainWhereItsTicksWouldHaveBroughtIt) {
    using namespace std::chrono_literals;
    using Clock = std::chrono::steady_clock;
    class CountingPanel : public TSecretPanel {
    public:
        std::atomic<int> ticks{0};
        void tick() override {
            ++ticks;
            TSecretPanel::tick();
        }
    } panel;
    panel.resize(100, 60);
    panel.setLines(QStringList(30, QStringLiteral("line"))); // a pass far longer than the wait
    panel.setCycled(true);
    panel.setInterval(20);
    panel.show();
    panel.setActive(true);
    ASSERT_TRUE(waitFor([&] { return panel.ticks > 2; }));
    panel.hide();
    const Clock::time_point hidden = Clock::now();
    const int before = panel.scrollPosition();
    const int ticked = panel.ticks;
    ASSERT_TRUE(waitFor([&] { return Clock::now() - hidden > 300ms; }));
    EXPECT_LE(panel.ticks - ticked, 1) << "only a tick already running when it hid";
    const Clock::time_point showing = Clock::now();
    panel.show();
    const int position = panel.scrollPosition();
    const Clock::time_point shown = Clock::now();
    ASSERT_LT(position, panel.scrollLimit());
    // A tick that was running when the panel hid counts once at most, before or after.
    EXPECT_GE(position, before - 1 + (showing - hidden) / 20ms);
    EXPECT_LE(position, before + 1 + (shown - hidden) / 20ms + 1) << "the last tick came before";
    EXPECT_TRUE(waitFor([&] { return panel.scrollPosition() > position; })) << "and it goes on";
}

// A panel that is not cycled, destroyed while its worker is at the end of a pass: the worker goes
// on to ask for the deactivation after the destruction has begun, and must still find the timer.
TEST(SecretPanelDestruction, AWorkerAtTheEndOfItsPassOutlivesNoPartOfThePanel) {
    std::mutex mutex;
    std::condition_variable changed;
    bool ticking = false;
    bool stopped = false;
    // Holds the worker in its tick until the destruction has stopped the panel.
    class HeldPanel : public TSecretPanel {
    public:
        std::function<void()> hold;
        void tick() override {
            hold();
            TSecretPanel::tick();
        }
    };
    auto panel = std::make_unique<HeldPanel>();
    panel->hold = [&] {
        std::unique_lock lock(mutex);
        ticking = true;
        changed.notify_all();
        changed.wait_for(lock, std::chrono::seconds(5), [&] { return stopped; });
    };
    QObject::connect(panel.get(), &TSecretPanel::OnStopPlay, [&] {
        const std::lock_guard lock(mutex);
        stopped = true;
        changed.notify_all();
    });
    panel->resize(4, 4); // no text area and no lines: every tick ends the pass
    panel->setInterval(1);
    panel->show();
    panel->setActive(true);
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(5), [&] { return ticking; }));
    }
    panel.reset();
    EXPECT_TRUE(stopped);
}

// Everything the user-interface thread may do to a panel while its worker ticks every
// millisecond; run under the thread sanitizer, it must report nothing.
TEST(SecretPanelStress, ReconfiguringAndDestroyingWhileTheWorkerTicks) {
    const QStringList texts[] = {{"alpha", "beta", "", "gamma"}, {"one"}, {}};
    for (int round = 0; round < 8; ++round) {
        auto panel = std::make_unique<TSecretPanel>();
        panel->resize(120, 60);
        panel->setLines(texts[0]);
        panel->setCycled(round % 2 == 0);
        panel->setInterval(1);
        panel->setTextStyle(TSecretPanel::bvLowered);
        panel->show();
        for (int step = 0; step < 40; ++step) {
            panel->setActive(true);
            panel->resize(100 + step % 30, 40 + step % 25);
            QFont font(QStringLiteral("Liberation Serif"));
            font.setPixelSize(10 + step % 9);
            panel->setFont(font);
            panel->setLines(texts[step % 3]);
            panel->setAlignment(static_cast<TSecretPanel::TAlignment>(step % 3));
            if (step % 7 == 0)
                panel->setScrollDirection(static_cast<TSecretPanel::TScrollDirection>(step % 2));
            if (step % 5 == 0)
                panel->setAsyncDrawing(step % 10 != 0);
            QTest::qWait(1);
            if (step % 4 == 3)
                panel->setActive(false);
        }
        EXPECT_GE(panel->scrollPosition(), 0);
        panel.reset(); // while ticking
    }
}

} // namespace
