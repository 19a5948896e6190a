#include "Announcer.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using zumzik::Announcer;

namespace {

// Counts the times a widget is shown: every showing of the notice is a notification that screen
// readers speak.
class ShowCounter : public QObject {
public:
    int shows = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

// A shown, active window with an input field that has the focus, and the notice in it.
class AnnouncerTest : public ::testing::Test {
protected:
    QWidget window;
    QLineEdit* field = new QLineEdit(&window);
    Announcer* announcer = new Announcer(&window);
    ShowCounter counter;

    void SetUp() override {
        announcer->installEventFilter(&counter);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        field->setFocus();
    }
};

TEST_F(AnnouncerTest, EveryAnnouncementIsANotificationOfItsOwnAlsoForTheSameText) {
    ASSERT_EQ(QAccessible::queryAccessibleInterface(announcer)->role(), QAccessible::Notification);
    EXPECT_FALSE(announcer->isVisible()) << "nothing to read before the first announcement";
    announcer->announce(QStringLiteral("Ты что, не хочешь со мной разговаривать?"));
    announcer->announce(QStringLiteral("Ты что, не хочешь со мной разговаривать?"));
    EXPECT_EQ(counter.shows, 2);
    EXPECT_EQ(announcer->text(), QStringLiteral("Ты что, не хочешь со мной разговаривать?"));
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_TRUE(announcer->size().isEmpty()) << "it takes no room in the window";
}

TEST_F(AnnouncerTest, NothingIsAnnouncedInAWindowThatIsNotActiveNorAgainWhenItComesBack) {
    announcer->announce(QStringLiteral("Привет ВАСЯ! Давай поболтаем?"));
    // The window hides into the tray; what the window shows when it comes back, screen readers
    // read with the window, so the notice stays silent until the next announcement.
    window.hide();
    announcer->announce(QStringLiteral("Вы что же, забыли обо мне? Нехорошо как-то это!"));
    window.show();
    EXPECT_EQ(counter.shows, 1);
    EXPECT_FALSE(announcer->isVisible());
}

} // namespace
