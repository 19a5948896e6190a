#include "ApplicationErrorReport.h"
#include "Cp1251.h"
#include "Error.h"
#include "ErrorBox.h"
#include "ExitProtest.h"
#include "FakeServices.h"
#include "PanelText.h"
#include "ReplyLineText.h"
#include "TAboutBox.h"
#include "TInfoBox.h"
#include "TMainForm.h"
#include "TemporaryDirectory.h"
#include "ui_MainForm.h"

#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zumzik;

namespace {

const char* const kTopics[] = {"all",  "art",   "drink", "item", "krut", "life",
                               "prob", "scien", "sex",   "work", "war",  "comp"};

const QStringList kOpenings = {
    "Какое твоё имя, камрад?", "Имя-то у тебя есть? Я - Зумзик!", "Давай знакомиться? Я - Zumzik.",
    "Хотелось бы узнать, как к Вам обращаться?", "Как зовут-то тебя, братишка?"};

// Polls the event loop until the condition holds or five seconds have passed.
template <typename Condition> bool waitFor(Condition condition) {
    return QTest::qWaitFor(condition, 5000);
}

// Types text key by key, as a keyboard with any layout would.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

class MainFormTest : public ::testing::Test, protected test::FakeServiceSet {
protected:
    test::TemporaryDirectory dir;
    TMainForm form{services()};
    QStringList reported;

    MainFormTest() {
        for (const char* topic : kTopics)
            dir.write(std::string(topic) + ".zmz", std::string(topic) + " reply\r\n");
        ApplicationErrorReport::setHandler([this](const QString& message) { reported << message; });
    }
    ~MainFormTest() override { ApplicationErrorReport::setHandler({}); }

    Ui::MainForm& ui() { return form.controls(); }
    QString replyLine() { return ui().Label1->text(); }
    void enter(const QString& text) {
        ui().Edit1->setText(text);
        QTest::keyClick(ui().Edit1, Qt::Key_Return);
    }
};

TEST_F(MainFormTest, WindowAndControlsStandWhereTheyBelong) {
    EXPECT_EQ(form.size(), QSize(504, 178));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "fixed size";
    EXPECT_EQ(form.windowTitle(), "Зумзик");
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);

    EXPECT_EQ(ui().Bevel1->geometry(), QRect(8, 104, 489, 65));
    EXPECT_EQ(ui().Label1->pos(), QPoint(25, 112));
    EXPECT_EQ(ui().Label1->height(), 13);
    EXPECT_EQ(ui().Label1->geometry().right(), form.width() - 1) << "cut at the window's edge";
    EXPECT_EQ(ui().Edit1->geometry(), QRect(24, 144, 457, 21));
    EXPECT_EQ(ui().AboutButton->geometry(), QRect(384, 8, 105, 22));
    EXPECT_EQ(ui().HelpButton->geometry(), QRect(384, 40, 105, 22));
    EXPECT_EQ(ui().ExitButton->geometry(), QRect(384, 72, 105, 22));
    EXPECT_EQ(ui().ExitButton->text(), "Выход...         ");

    EXPECT_FALSE(ui().Edit1->hasFrame());
    EXPECT_EQ(ui().Edit1->maxLength(), std::numeric_limits<int>::max());
    EXPECT_EQ(ui().Edit1->palette().color(QPalette::Base), form.palette().color(QPalette::Button));
    for (QPushButton* button : {ui().AboutButton, ui().HelpButton, ui().ExitButton})
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << button->objectName().toStdString();
    // The glyphs come from the built-in artwork, each with its normal picture at its own size.
    EXPECT_EQ(ui().AboutButton->icon().availableSizes(), QList<QSize>{QSize(16, 16)});
    EXPECT_EQ(ui().HelpButton->icon().availableSizes(), QList<QSize>{QSize(16, 16)});
    EXPECT_EQ(ui().ExitButton->icon().availableSizes(), QList<QSize>{QSize(19, 18)});
    // The program's icon follows the first frame.
    form.show();
    EXPECT_TRUE(waitFor([] { return !QApplication::windowIcon().isNull(); }));
    EXPECT_EQ(ui().AboutButton->cursor().shape(), Qt::WhatsThisCursor);
    EXPECT_EQ(ui().HelpButton->cursor().shape(), Qt::WhatsThisCursor);
    EXPECT_EQ(ui().ExitButton->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(form.Timer1().interval(), 50000);
    EXPECT_FALSE(form.Timer1().isActive());

    // The window font maps to a font Debian has, at the described character height.
    const QFontInfo font(ui().Label1->font());
    EXPECT_EQ(font.family(), "Liberation Sans");
    EXPECT_EQ(font.pixelSize(), 11);
    EXPECT_LE(QFontMetrics(ui().Label1->font()).height(), ui().Label1->height());
    const QFontMetrics buttonFont(ui().AboutButton->font());
    EXPECT_LT(buttonFont.horizontalAdvance(ui().AboutButton->text()) + 16 + 8,
              ui().AboutButton->width())
        << "caption and glyph fit the button";
}

TEST_F(MainFormTest, TheQuotesFontHasEveryCharacterOfTheQuotes) {
    // No other font stands in for a character that the quotes' font lacks.
    const QFontMetrics font(ui().SecretPanel->font());
    EXPECT_EQ(QFontInfo(ui().SecretPanel->font()).family(), "Liberation Serif");
    for (const QString& line : panelText(QStringLiteral("quotes.txt"))) {
        for (const char32_t character : line.toUcs4())
            EXPECT_TRUE(font.inFontUcs4(character)) << line.toStdString();
    }
}

TEST_F(MainFormTest, EnterGoesThroughTheConversationOntoTheReplyLine) {
    form.FormCreate();
    EXPECT_TRUE(kOpenings.contains(replyLine())) << replyLine().toStdString();

    typeText(ui().Edit1, "Ёжик");
    QTest::keyClick(ui().Edit1, Qt::Key_Return);
    EXPECT_EQ(replyLine(), "Привет ЁЖИК! Давай поболтаем?");
    EXPECT_EQ(ui().Edit1->text(), "");

    enter("ТЕАТР");
    EXPECT_EQ(replyLine(), "art reply");
    enter(" ");
    EXPECT_EQ(replyLine(), "Ты что, не хочешь со мной разговаривать?");
    EXPECT_EQ(ui().Edit1->text(), " ");
    EXPECT_TRUE(reported.isEmpty());
}

TEST_F(MainFormTest, ErrorInATurnReachesTheErrorReportAndKeepsTheInput) {
    dir.write("life.zmz", "");
    form.FormCreate();
    enter("Вася");
    enter("как дела на работе");
    EXPECT_EQ(reported, QStringList{"List index out of bounds (0)"});
    EXPECT_EQ(replyLine(), "work reply");
    EXPECT_EQ(ui().Edit1->text(), "как дела на работе");
    enter("да"); // the program goes on
    EXPECT_EQ(ui().Edit1->text(), "");
}

TEST_F(MainFormTest, MissingReplyFileStopsTheCreationStep) {
    std::filesystem::remove(dir.path() / "all.zmz");
    EXPECT_THROW(form.FormCreate(), Error);
    EXPECT_EQ(replyLine(), "");
    EXPECT_EQ(form.conversation().lists().ArtBox.count(), 0u);
    EXPECT_EQ(form.conversation().lists().YesBox.count(), 6u);
}

TEST_F(MainFormTest, AmpersandIsAMnemonicForTheInputField) {
    form.setReplyLine(Cp1251::fromUtf8("Том && &Джерри"));
    EXPECT_EQ(ui().Label1->buddy(), ui().Edit1);
    EXPECT_EQ(replyLine(), "Том && &Джерри");
    // What a screen reader reads is what the label shows: one ampersand, no mnemonic marker.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(ui().Label1);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Том & Джерри");
}

TEST_F(MainFormTest, HugeReplyIsCutBeforeLayout) {
    const std::string huge(10 * 1024 * 1024, '\xE0');
    form.setReplyLine(huge);
    EXPECT_EQ(replyLine(), QString(int(kReplyLineMaxCharacters), QChar(0x0430)));
    // The cut keeps far more than the window can show in any font.
    EXPECT_GT(QFontMetrics(ui().Label1->font()).horizontalAdvance(replyLine()), 4 * form.width());
}

TEST_F(MainFormTest, FocusStaysInTheInputFieldAfterEveryButton) {
    auto* about = new TAboutBox(links, &form);
    auto* info = new TInfoBox(&form);
    form.setSecondaryWindows(about, info);
    form.showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ASSERT_EQ(QApplication::focusWidget(), ui().Edit1);

    for (QPushButton* button : {ui().AboutButton, ui().HelpButton}) {
        // Close the modal window as soon as it is up.
        bool closed = false;
        QMetaObject::invokeMethod(
            &form,
            [&closed] {
                waitFor([] { return QApplication::activeModalWidget() != nullptr; });
                QApplication::activeModalWidget()->close();
                closed = true;
            },
            Qt::QueuedConnection);
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_TRUE(closed) << button->objectName().toStdString();
        EXPECT_TRUE(waitFor([&] { return QApplication::focusWidget() == ui().Edit1; }))
            << button->objectName().toStdString();
    }
    EXPECT_EQ(log.events, QStringList{"sound: ohh.wav"}) << "only the Information button plays";
    QTest::keyClicks(QApplication::focusWidget(), "abc");
    EXPECT_EQ(ui().Edit1->text(), "abc");
}

TEST_F(MainFormTest, F1AndShiftF1OpenInformationAndAboutFromTheInputFieldTypingNothing) {
    auto* about = new TAboutBox(links, &form);
    auto* info = new TInfoBox(&form);
    form.setSecondaryWindows(about, info);
    form.FormCreate();
    form.showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const QString reply = replyLine();
    typeText(ui().Edit1, "abc");

    // Closes whatever modal window opens, from within its own event loop.
    QWidget* opened = nullptr;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&opened] {
        if ((opened = QApplication::activeModalWidget()))
            opened->close();
    });
    closer.start(10);
    const std::pair<Qt::KeyboardModifiers, QWidget*> keys[] = {{Qt::NoModifier, info},
                                                               {Qt::ShiftModifier, about}};
    for (const auto& [modifiers, window] : keys) {
        opened = nullptr;
        QTest::keyClick(ui().Edit1, Qt::Key_F1, modifiers);
        EXPECT_TRUE(waitFor([&] { return opened == window && !window->isVisible(); }))
            << window->windowTitle().toStdString();
        EXPECT_TRUE(waitFor([&] { return QApplication::focusWidget() == ui().Edit1; }));
    }
    EXPECT_EQ(log.events, QStringList{"sound: ohh.wav"}) << "F1 plays the Information cue";
    EXPECT_EQ(ui().Edit1->text(), "abc");
    EXPECT_EQ(replyLine(), reply);
}

TEST_F(MainFormTest, EveryCloseProtestsOnceWithAPleaFromTheSharedSequence) {
    form.random().setSeed(2024);
    RandomGenerator expected;
    expected.setSeed(2024);
    const QString plea = ExitProtest::plea(int(expected.randomBelow(8)));

    // A second close request while the box is open (the user clicks Exit again) adds no box.
    boxes.whileOpen = [this] { ui().ExitButton->click(); };
    QSignalSpy closed(&form, &TMainForm::closed);
    form.show();
    QTest::mouseClick(ui().ExitButton, Qt::LeftButton);
    EXPECT_EQ(log.events, (QStringList{"sound: ohoh.wav", "protest: " + plea}));
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.random().seed(), expected.seed());
}

TEST_F(MainFormTest, ACloseFromOutsideCancelsAnOpenSecondaryWindowBeforeTheProtest) {
    auto* about = new TAboutBox(links, &form);
    form.setSecondaryWindows(about, new TInfoBox(&form));
    form.showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QSignalSpy closed(&form, &TMainForm::closed);
    QWidget* blockingTheBox = about;
    boxes.whileOpen = [&] { blockingTheBox = QApplication::activeModalWidget(); };
    bool aboutOpenAfterTheClose = true;
    // The window manager's close or log-off, while the About window is open.
    QMetaObject::invokeMethod(
        &form,
        [&] {
            waitFor([about] { return about->isVisible(); });
            form.close();
            aboutOpenAfterTheClose = about->isVisible();
            about->close(); // whatever happened, the About window's loop ends
        },
        Qt::QueuedConnection);
    QTest::mouseClick(ui().AboutButton, Qt::LeftButton);
    EXPECT_EQ(blockingTheBox, nullptr) << "a modal window blocks the protest box";
    EXPECT_FALSE(aboutOpenAfterTheClose);
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(MainFormTest, HiddenWindowStillProtestsOnClose) {
    // Log-off reaches the main window while it hides in the tray.
    QSignalSpy closed(&form, &TMainForm::closed);
    EXPECT_TRUE(form.close());
    EXPECT_EQ(log.events.size(), 2);
    EXPECT_EQ(closed.count(), 1);
}

TEST(ExitProtest, AllEightPleasComeAboutEquallyOften) {
    test::ServiceLog log;
    test::FakeMessageBoxes boxes(log);
    test::FakeSoundPlayer sound(log);
    RandomGenerator random;
    random.setSeed(7);
    ExitProtest protest(random, sound, boxes);
    QMap<QString, int> counts;
    constexpr int kCloses = 8000;
    for (int i = 0; i < kCloses; ++i) {
        log.events.clear();
        protest.run();
        ASSERT_EQ(log.events.size(), 2);
        ++counts[log.events[1]];
    }
    ASSERT_EQ(counts.size(), 8);
    for (int count : counts)
        EXPECT_NEAR(count, kCloses / 8, kCloses / 8 / 5);
}

class ErrorBoxTest : public ::testing::Test {
protected:
    test::ServiceLog log;
    test::FakeMessageBoxes boxes{log};
    ErrorBox errorBox{boxes};
};

TEST_F(ErrorBoxTest, AppliesTheFullStopRuleAndNeverStacksBoxes) {
    int nested = 0;
    boxes.whileOpen = [&] {
        if (nested++ == 0) {
            errorBox.show("second");
            EXPECT_EQ(log.events.size(), 1) << "the second waits for the first to close";
        }
    };
    errorBox.show("Cannot open file \"/x/all.zmz\". No such file or directory");
    EXPECT_EQ(log.events,
              (QStringList{"error: Cannot open file \"/x/all.zmz\". No such file or directory.",
                           "error: second."}));
    log.events.clear();
    for (const char* message : {"List index out of bounds (0)", "Stop.", "Hey!", "a b ", ""})
        errorBox.show(message);
    EXPECT_EQ(log.events, (QStringList{"error: List index out of bounds (0)", "error: Stop.",
                                       "error: Hey!", "error: a b ", "error: ."}));
}

TEST_F(ErrorBoxTest, AnErrorThatKeepsComingShowsOnceWhileTheBoxStandsOpen) {
    int opened = 0;
    boxes.whileOpen = [&] {
        if (opened++ > 0)
            return;
        // A tick handler that fails every time, and errors that are all different.
        for (int tick = 0; tick < 100; ++tick)
            errorBox.show("Tick failed");
        for (int error = 0; error < 100; ++error)
            errorBox.show(QStringLiteral("Error %1").arg(error));
    };
    errorBox.show("Tick failed");
    QStringList expected{"error: Tick failed."};
    for (int error = 0; error < ErrorBox::kMaxWaiting; ++error)
        expected << QStringLiteral("error: Error %1.").arg(error);
    EXPECT_EQ(log.events, expected);
    log.events.clear();
    errorBox.show("Tick failed");
    EXPECT_EQ(log.events, QStringList{"error: Tick failed."}) << "shown again once it was closed";
}

// Tray residence: the window hides into the tray icon on a minimise and comes back on a click or,
// after a while, by itself.
class TrayResidenceTest : public MainFormTest {
protected:
    const QString reproach = "Вы что же, забыли обо мне? Нехорошо как-то это!";

    void start() {
        form.FormCreate();
        form.showCentred();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    void minimise() {
        form.showMinimized();
        ASSERT_TRUE(waitFor([this] { return !form.isVisible(); }));
    }
    void expectShown() {
        EXPECT_TRUE(form.isVisible());
        EXPECT_FALSE(form.isMinimized());
        EXPECT_FALSE(form.TrayIcon().Animated());
        EXPECT_EQ(tray.shownIcon().cacheKey(), form.TrayIcon().Icon()->Handle().cacheKey());
        EXPECT_FALSE(form.Timer1().isActive());
        // The offscreen platform keeps the desktop's focus on the window while it is hidden, so
        // the application is not told again that it is active: what is checked here is that the
        // window has the desktop's focus and that the input field is its focus control.
        EXPECT_TRUE(
            waitFor([this] { return QGuiApplication::focusWindow() == form.windowHandle(); }));
        EXPECT_EQ(form.focusWidget(), ui().Edit1);
    }
    void expectInTheTray() {
        EXPECT_FALSE(form.isVisible());
        EXPECT_TRUE(form.TrayIcon().Animated());
        EXPECT_TRUE(form.Timer1().isActive());
    }
    void recall() { QMetaObject::invokeMethod(&form.Timer1(), "timeout"); }
};

TEST_F(TrayResidenceTest, TrayIconIsThereFromStartUpWithTheStillFace) {
    EXPECT_TRUE(tray.shown());
    EXPECT_EQ(tray.shownTip(), "Zumzik!");
    TRxTrayIcon& icon = form.TrayIcon();
    EXPECT_EQ(icon.objectName(), "TrayIcon");
    EXPECT_EQ(tray.shownIcon().cacheKey(), icon.Icon()->Handle().cacheKey());
    EXPECT_FALSE(icon.Animated());
    EXPECT_EQ(icon.Interval(), 200);
    EXPECT_TRUE(icon.Active());
    EXPECT_EQ(icon.PopupMenu(), nullptr);

    // The still face and the two frames of the stored form, the first frame the still face.
    QBuffer still;
    still.open(QIODevice::WriteOnly);
    icon.Icon()->SaveToStream(still);
    EXPECT_EQ(still.data().size(), 9662);
    ASSERT_EQ(icon.Icons()->Count(), 2);
    QByteArray frames[2];
    for (int index = 0; index < 2; ++index) {
        QBuffer frame(&frames[index]);
        frame.open(QIODevice::WriteOnly);
        icon.Icons()->Icons(index)->SaveToStream(frame);
        EXPECT_EQ(frames[index].size(), 9662);
    }
    EXPECT_EQ(frames[0], still.data());
    EXPECT_NE(frames[1], still.data());
}

TEST_F(TrayResidenceTest, MinimiseHidesIntoTheAnimatedIconAndAClickBringsTheWindowBack) {
    start();
    const QString line = replyLine();
    minimise();
    expectInTheTray();
    EXPECT_GT(form.Timer1().remainingTime(), 49000) << "a fresh 50-second count";
    // The icon steps through both frames.
    const qint64 secondFrame = form.TrayIcon().Icons()->Icons(1)->Handle().cacheKey();
    EXPECT_TRUE(QTest::qWaitFor([&] { return tray.shownIcon().cacheKey() == secondFrame; }, 5000));
    EXPECT_EQ(tray.shownTip(), "Zumzik!");

    tray.send({TrayMouseMessage::MiddleDown, TrayMouseMessage::MiddleUp});
    expectInTheTray();

    tray.send({TrayMouseMessage::LeftDown, TrayMouseMessage::LeftUp});
    expectShown();
    EXPECT_EQ(replyLine(), line) << "no reproach after a click";

    minimise();
    tray.send({TrayMouseMessage::RightDown, TrayMouseMessage::RightUp});
    expectShown();
    EXPECT_EQ(replyLine(), line);
    EXPECT_TRUE(reported.isEmpty());
}

TEST_F(TrayResidenceTest, IdleRecallBringsTheWindowBackWithTheReproach) {
    start();
    enter("Вася");
    enter("как дела");
    const std::string name = form.conversation().userName();
    minimise();
    recall();
    expectShown();
    EXPECT_EQ(replyLine(), reproach);
    EXPECT_EQ(form.conversation().turnCounter(), 2);
    EXPECT_EQ(form.conversation().userName(), name);

    // A real count, shortened: the window comes back by itself, once.
    form.Timer1().setInterval(30);
    form.setReplyLine("before");
    minimise();
    EXPECT_TRUE(waitFor([this] { return form.isVisible(); }));
    EXPECT_EQ(replyLine(), reproach);
    expectShown();
}

TEST_F(TrayResidenceTest, EveryMinimiseStartsAFullCountOfItsOwn) {
    start();
    minimise();
    tray.send({TrayMouseMessage::LeftDown, TrayMouseMessage::LeftUp});
    ASSERT_TRUE(form.isVisible());
    minimise();
    EXPECT_GT(form.Timer1().remainingTime(), 49000);
    EXPECT_TRUE(form.Timer1().isActive());
}

TEST_F(TrayResidenceTest, ClickWhileShownOnlyBringsTheWindowToTheFront) {
    start();
    const QString line = replyLine();
    tray.send({TrayMouseMessage::LeftDown, TrayMouseMessage::LeftUp});
    expectShown();
    EXPECT_EQ(replyLine(), line);
}

TEST_F(TrayResidenceTest, StartedMinimisedItIsInTheTrayAndComesBackCentred) {
    form.FormCreate();
    form.startMinimised();
    expectInTheTray();
    recall();
    expectShown();
    EXPECT_EQ(replyLine(), reproach);
    // The offscreen platform cannot tell its frame in advance, so the client area is centred.
    const QRect area = form.screen()->availableGeometry();
    EXPECT_EQ(form.geometry().topLeft(),
              area.topLeft() +
                  QPoint((area.width() - form.width()) / 2, (area.height() - form.height()) / 2));
}

TEST_F(TrayResidenceTest, StartedMinimisedItWaitsForATrayThatAnswersLateOrForNone) {
    // A tray that says only after start-up that it is there.
    tray.trayAvailable = false;
    form.FormCreate();
    form.startMinimised();
    EXPECT_FALSE(form.isVisible()) << "neither shown nor on the taskbar while the tray may answer";
    tray.trayAvailable = true;
    ASSERT_TRUE(waitFor([this] { return form.TrayIcon().Animated(); }));
    expectInTheTray();

    // Without the minimise handler there is no tray residence to wait for.
    TMainForm failed(services());
    std::filesystem::remove(dir.path() / "all.zmz");
    EXPECT_THROW(failed.FormCreate(), Error);
    failed.startMinimised();
    EXPECT_TRUE(failed.isVisible());
    EXPECT_TRUE(failed.isMinimized());
    EXPECT_FALSE(failed.Timer1().isActive());
}

TEST_F(TrayResidenceTest, WithoutANotificationAreaAMinimiseStaysOrdinaryUntilOneAppears) {
    tray.trayAvailable = false;
    start();
    form.showMinimized();
    QCoreApplication::processEvents(); // where a minimise handler would run
    EXPECT_TRUE(form.isVisible()) << "on the taskbar, not hidden";
    EXPECT_TRUE(form.isMinimized());
    EXPECT_FALSE(form.TrayIcon().Animated());
    // The idle recall comes all the same.
    EXPECT_TRUE(form.Timer1().isActive());
    recall();
    expectShown();
    EXPECT_EQ(replyLine(), reproach);
    // Restored by hand before the count ends: nothing left to recall.
    form.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.Timer1().isActive());
    form.showNormal();
    EXPECT_FALSE(form.Timer1().isActive());

    tray.trayAvailable = true;
    minimise();
    expectInTheTray();
}

TEST_F(TrayResidenceTest, FailedCreationStepLeavesMinimiseOrdinary) {
    std::filesystem::remove(dir.path() / "all.zmz");
    EXPECT_THROW(form.FormCreate(), Error);
    form.showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.showMinimized();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.Timer1().isActive());
    EXPECT_TRUE(tray.shown()) << "the icon itself is there all the same";
}

} // namespace
