#include "FakeServices.h"
#include "TInfoBox.h"
#include "TMainForm.h"
#include "TSecretPanel.h"
#include "ui_InfoBox.h"
#include "ui_MainForm.h"

#include <QAccessible>
#include <QFontInfo>
#include <QTest>
#include <chrono>
#include <gtest/gtest.h>

using namespace zumzik;

namespace {

int leadingSpaces(const QString& line) {
    int n = 0;
    while (n < line.size() && line[n] == ' ')
        ++n;
    return n;
}

class ScrollingPanelsTest : public ::testing::Test {
protected:
    test::FakeServiceSet fakes;
    TMainForm form{fakes.services()};
    TInfoBox info{&form};

    TSecretPanel& quotes() { return *form.controls().SecretPanel; }
    TSecretPanel& information() { return *info.controls().SecretPanel1; }
};

TEST_F(ScrollingPanelsTest, TheQuotesPanelScrollsBoldBlueAphorismsWithALoweredLook) {
    TSecretPanel& panel = quotes();
    EXPECT_EQ(panel.geometry(), QRect(16, 16, 329, 65));
    EXPECT_TRUE(panel.active());
    EXPECT_TRUE(panel.cycled());
    EXPECT_EQ(panel.interval(), 70u);
    EXPECT_EQ(panel.alignment(), TSecretPanel::taLeftJustify);
    EXPECT_EQ(panel.textStyle(), TSecretPanel::bvLowered);
    EXPECT_EQ(panel.bevelOuter(), TSecretPanel::bvNone);
    EXPECT_EQ(panel.scrollDirection(), TSecretPanel::sdVertical);
    EXPECT_TRUE(panel.asyncDrawing());
    EXPECT_TRUE(panel.glyph().isNull());
    EXPECT_EQ(panel.color(), form.palette().color(QPalette::Button));
    EXPECT_EQ(panel.palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(panel.textArea(), QRect(3, 3, 323, 59));
    EXPECT_EQ(panel.focusPolicy(), Qt::NoFocus);
    const QFontInfo font(panel.font());
    EXPECT_EQ(font.family(), "Liberation Serif");
    EXPECT_EQ(font.pixelSize(), 16);
    EXPECT_TRUE(font.bold());

    const QStringList lines = panel.lines();
    ASSERT_EQ(lines.size(), 30);
    EXPECT_EQ(lines[0], " Не верьте словам ни своим, ни чужим...");
    EXPECT_EQ(lines[4], " ...Слова обязывают к делам...");
    EXPECT_EQ(lines[8], " Слова часто бывают убедительнее золота.");
    EXPECT_EQ(lines[12], " Красивые речи вредят морали.");
    EXPECT_EQ(lines[16], " Тот, кто много говорит,");
    EXPECT_EQ(lines[17], "         редко приводит в действие свои слова.");
    EXPECT_EQ(lines[18], QString(42, ' ') + "Китайская мудрость");
    EXPECT_EQ(lines[21], " Многие, совершающие постыднейшие ");
    EXPECT_EQ(lines[22], "        поступки, говорят прекраснейшие речи.");
    EXPECT_EQ(lines[26], " С тех пор, как вышло из обычая носить на ");
    EXPECT_EQ(lines[27], " боку шпагу, совершенно необходимо ");
    EXPECT_EQ(lines[28], " иметь острый язык.");
    // Attributions: an author's name after the given run of spaces; the same author twice.
    const std::pair<int, int> attributions[] = {{1, 55},  {5, 42},  {9, 60},
                                                {13, 43}, {23, 62}, {29, 53}};
    for (const auto& [line, spaces] : attributions) {
        EXPECT_EQ(leadingSpaces(lines[line]), spaces) << line + 1;
        EXPECT_FALSE(lines[line].trimmed().isEmpty()) << line + 1;
        EXPECT_FALSE(lines[line].endsWith(' ')) << line + 1;
    }
    EXPECT_EQ(lines[23].trimmed(), lines[9].trimmed());
    for (const int empty : {2, 3, 6, 7, 10, 11, 14, 15, 19, 20, 24, 25})
        EXPECT_TRUE(lines[empty].isEmpty()) << empty + 1;
}

TEST_F(ScrollingPanelsTest, TheInformationPanelScrollsNavyCentredTextWhileItsWindowIsHidden) {
    TSecretPanel& panel = information();
    EXPECT_EQ(panel.geometry(), QRect(8, 8, 257, 233));
    EXPECT_TRUE(panel.active());
    EXPECT_TRUE(panel.cycled());
    EXPECT_EQ(panel.interval(), 100u);
    EXPECT_EQ(panel.alignment(), TSecretPanel::taCenter);
    EXPECT_EQ(panel.textStyle(), TSecretPanel::bvNone);
    EXPECT_EQ(panel.bevelOuter(), TSecretPanel::bvNone);
    EXPECT_EQ(panel.palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(panel.textArea(), QRect(3, 3, 251, 227));
    const QFontInfo font(panel.font());
    EXPECT_EQ(font.family(), "Liberation Sans");
    EXPECT_EQ(font.pixelSize(), 11);
    EXPECT_FALSE(font.bold());

    const QStringList lines = panel.lines();
    ASSERT_EQ(lines.size(), 35);
    for (const int empty : {0, 21, 31})
        EXPECT_TRUE(lines[empty].isEmpty()) << empty + 1;
    EXPECT_TRUE(lines[9].startsWith("  ") && !lines[9].startsWith("   "));
    for (int i = 22; i < 30; ++i)
        EXPECT_TRUE(lines[i].endsWith(',')) << i + 1;
    EXPECT_TRUE(lines[30].endsWith("..."));
    EXPECT_TRUE(lines[34].contains('@'));
    for (const QString& line : lines)
        EXPECT_LE(line.size(), 44);

    // Hidden from start-up, it scrolls on all the same.
    ASSERT_FALSE(info.isVisible());
    const int before = panel.scrollPosition();
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel.scrollPosition() > before + 1; }, 5000));
}

// The Information window's panel is built when the window is first needed, yet its text stands
// where it would stand had it scrolled from the window's creation on, a pixel every 100 ms.
TEST(InformationWindow, ItsTextStandsWhereItWouldHaveScrolledToSinceTheWindowWasCreated) {
    using namespace std::chrono_literals;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point before = Clock::now();
    TInfoBox info;
    const Clock::time_point created = Clock::now();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Clock::now() - created > 450ms; }, 5000));
    const Clock::time_point opening = Clock::now();
    const int position = info.controls().SecretPanel1->scrollPosition();
    const Clock::time_point opened = Clock::now();
    EXPECT_GE(position, (opening - created) / 100ms);
    EXPECT_LE(position, (opened - before) / 100ms);
}

TEST_F(ScrollingPanelsTest, ScreenReadersHearWhatThePanelsAreAndTheirWholeText) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&quotes());
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Афоризмы о словах");
    EXPECT_TRUE(accessible->text(QAccessible::Description)
                    .startsWith("Не верьте словам ни своим, ни чужим...\nЛ. Толстой"));
    EXPECT_FALSE(
        QAccessible::queryAccessibleInterface(&information())->text(QAccessible::Name).isEmpty());
}

} // namespace
