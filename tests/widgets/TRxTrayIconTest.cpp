#include "TRxTrayIcon.h"

#include "ApplicationErrorReport.h"
#include "QtTrayService.h"
#include "RecordingTrayService.h"

#include <QBuffer>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

using namespace zumzik;
using test::RecordingTrayService;
using Kind = RecordingTrayService::Kind;
using M = TrayMouseMessage;

namespace {

QByteArray artwork(const char* name) {
    QFile file(QStringLiteral(ZUMZIK_ARTWORK_DIR "/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

void load(TIcon& icon, QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    icon.LoadFromStream(buffer);
}

// Everything a tray icon did, as "down left 10,20 shift,left" lines.
struct EventLog {
    QStringList events;

    static QString shift(TShiftState state) {
        QStringList names;
        const std::pair<TShiftStateFlag, const char*> flags[] = {
            {ssShift, "shift"}, {ssAlt, "alt"},       {ssCtrl, "ctrl"},    {ssLeft, "left"},
            {ssRight, "right"}, {ssMiddle, "middle"}, {ssDouble, "double"}};
        for (const auto& [flag, name] : flags) {
            if (state & flag)
                names << name;
        }
        return names.join(',');
    }
    static QString button(TMouseButton button) {
        return button == mbLeft ? "left" : button == mbRight ? "right" : "middle";
    }

    void attach(TRxTrayIcon& tray) {
        auto mouse = [this, &tray](const char* what) {
            return [this, what, &tray](QObject* sender, TMouseButton b, TShiftState s, int x,
                                       int y) {
                EXPECT_EQ(sender, &tray);
                events
                    << QString("%1 %2 %3,%4 %5").arg(what, button(b)).arg(x).arg(y).arg(shift(s));
            };
        };
        tray.SetOnMouseDown(mouse("down"));
        tray.SetOnMouseUp(mouse("up"));
        tray.SetOnClick(mouse("click"));
        tray.SetOnDblClick([this, &tray](QObject* sender) {
            EXPECT_EQ(sender, &tray);
            events << "dblclick";
        });
        tray.SetOnMouseMove([this](QObject*, TShiftState s, int x, int y) {
            events << QString("move %1,%2 %3").arg(x).arg(y).arg(shift(s));
        });
    }
};

class TrayIconTest : public ::testing::Test {
protected:
    RecordingTrayService service;
    std::unique_ptr<TRxTrayIcon> tray = std::make_unique<TRxTrayIcon>(service);
    TIcon still;
    TIcon frame0;
    TIcon frame1;
    QStringList reported;

    TrayIconTest() {
        load(still, artwork("zumzik.ico"));
        load(frame0, artwork("tray-frame0.ico"));
        load(frame1, artwork("tray-frame1.ico"));
        ApplicationErrorReport::setHandler([this](const QString& message) { reported << message; });
    }
    ~TrayIconTest() override {
        ApplicationErrorReport::setHandler({});
        EXPECT_EQ(service.foreignThreadCalls, 0) << "the tray is touched only on this thread";
    }

    // A tray icon set up as the main window sets up its own, with a fast animation.
    void setUpShown(quint16 interval = 5) {
        tray->SetHint("Zumzik!");
        tray->SetIcon(&still);
        tray->Icons()->Add(&frame0);
        tray->Icons()->Add(&frame1);
        tray->SetInterval(interval);
        tray->Loaded();
        service.calls.clear();
    }
    qint64 stillKey() const { return tray->Icon()->Handle().cacheKey(); }
    qint64 frameKey(int index) const {
        try {
            return tray->Icons()->Icons(index)->Handle().cacheKey();
        } catch (const std::exception&) {
            return -1; // a frame whose bytes hold no picture
        }
    }
    // Which picture each modification showed: "S" for the still one, "0", "1"… for the frames.
    QString pictures() const {
        QString shown;
        for (const auto& call : service.calls) {
            if (call.kind != Kind::Modify)
                continue;
            const qint64 key = call.record.icon.cacheKey();
            if (key == stillKey())
                shown += 'S';
            for (int index = 0; index < tray->Icons()->Count(); ++index) {
                if (!tray->Icons()->Icons(index)->Empty() && key == frameKey(index))
                    shown += QString::number(index);
            }
        }
        return shown;
    }
    bool waitForPictures(int count) {
        return QTest::qWaitFor([&] { return pictures().size() >= count; }, 5000);
    }
};

TEST_F(TrayIconTest, LoadingShowsTheIconOnlyOnceThereIsAPicture) {
    EXPECT_TRUE(tray->Active());
    EXPECT_EQ(tray->Interval(), 150);
    EXPECT_TRUE(service.calls.empty()) << "nothing is shown at creation";

    // The stored order: the hint finds no picture, the still picture adds the icon, the frames
    // modify it, and Loaded removes and adds it again.
    tray->SetHint("Zumzik!");
    EXPECT_EQ(service.kinds(), QStringList{"remove"});
    tray->SetIcon(&still);
    tray->Icons()->Assign(nullptr);
    tray->Icons()->Add(&frame0);
    tray->Loaded();
    EXPECT_EQ(service.kinds(),
              (QStringList{"remove", "remove", "add", "modify", "modify", "remove", "add"}));
    EXPECT_TRUE(tray->Shown());
    EXPECT_EQ(service.shownTip(), "Zumzik!");
    EXPECT_EQ(service.shownIcon().cacheKey(), stillKey()) << "not animated: the still picture";

    tray->SetHint("Zumzik!");
    EXPECT_EQ(service.calls.size(), 7u) << "the same hint changes nothing";

    tray->SetActive(false);
    EXPECT_FALSE(service.shown());
    tray->SetActive(true);
    EXPECT_TRUE(service.shown());
}

TEST_F(TrayIconTest, TipIsTheShortHintCutTo63Characters) {
    tray->SetIcon(&still);
    tray->SetHint("Status|A longer explanation");
    EXPECT_EQ(service.shownTip(), "Status");
    tray->SetHint(QString(70, 'x') + "|more");
    EXPECT_EQ(service.shownTip(), QString(63, 'x'));

    // With no tip the add is followed by a modification of the same record.
    tray->SetHint("|only a long hint");
    tray->SetActive(false);
    service.calls.clear();
    tray->SetActive(true);
    EXPECT_EQ(service.kinds(), (QStringList{"remove", "add", "modify"}));
    EXPECT_EQ(service.shownTip(), "");
}

TEST_F(TrayIconTest, EmptyStillPictureShowsNothingAndHasNoFallback) {
    tray->SetHint("Zumzik!");
    tray->Loaded();
    EXPECT_FALSE(tray->Shown());
    EXPECT_EQ(service.kinds(), (QStringList{"remove", "remove"}));
}

TEST_F(TrayIconTest, RefusedAddIsTriedAgainAtTheNextRefresh) {
    service.acceptAdd = false;
    tray->SetIcon(&still);
    EXPECT_FALSE(tray->Shown());
    service.acceptAdd = true;
    tray->SetHint("again");
    EXPECT_TRUE(tray->Shown());
    EXPECT_EQ(service.kinds(), (QStringList{"remove", "add", "remove", "add"}));
}

TEST_F(TrayIconTest, AnimationStepsOneFrameAtATimeAndStopsAtOnce) {
    setUpShown();
    tray->SetAnimated(true);
    EXPECT_EQ(pictures(), "0") << "frame 0 at once";
    ASSERT_TRUE(waitForPictures(7));
    tray->SetAnimated(false);
    const QString seen = pictures();
    EXPECT_TRUE(seen.startsWith("0101010")) << seen.toStdString();
    EXPECT_FALSE(seen.contains("00") || seen.contains("11")) << seen.toStdString();
    EXPECT_EQ(seen.back(), 'S') << "the still picture at once";
    EXPECT_EQ(tray->FrameIndex(), 0);

    // No step comes afterwards.
    QTest::qWait(60);
    EXPECT_EQ(pictures(), seen);
    EXPECT_TRUE(reported.isEmpty());
}

TEST_F(TrayIconTest, SingleFrameIsSentAgainAtEveryStep) {
    setUpShown();
    tray->Icons()->Delete(1);
    service.calls.clear();
    tray->SetAnimated(true);
    ASSERT_TRUE(waitForPictures(4));
    EXPECT_TRUE(pictures().startsWith("0000"));
}

TEST_F(TrayIconTest, AnimationNeedsFramesAndEndsWhenTheyGo) {
    tray->SetIcon(&still);
    service.calls.clear();
    tray->SetAnimated(true);
    EXPECT_FALSE(tray->Animated());
    EXPECT_TRUE(service.calls.empty()) << "no frames: nothing changes";

    tray->Icons()->Add(&frame0);
    tray->Icons()->Add(&frame1);
    tray->SetAnimated(true);
    ASSERT_TRUE(tray->Animated());
    tray->Icons()->Clear();
    EXPECT_FALSE(tray->Animated());
    EXPECT_EQ(service.shownIcon().cacheKey(), stillKey());
}

TEST_F(TrayIconTest, EmptyFrameTakesTheIconOutAndPausesUntilAFrameIsThere) {
    setUpShown();
    tray->Icons()->Delete(1);
    tray->Icons()->Add(nullptr); // an empty frame
    service.calls.clear();
    tray->SetAnimated(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !tray->Shown(); }, 5000));
    EXPECT_EQ(service.kinds(), (QStringList{"modify", "remove"}));
    EXPECT_EQ(tray->FrameIndex(), 1);

    // Paused on the empty frame: no steps, so the icon stays out.
    QTest::qWait(60);
    EXPECT_EQ(service.calls.size(), 2u);
    EXPECT_EQ(tray->FrameIndex(), 1);

    // The frame gets a picture: the icon comes back with it and the animation goes on.
    tray->Icons()->SetIcons(1, &frame1);
    EXPECT_TRUE(tray->Shown());
    EXPECT_EQ(service.shownIcon().cacheKey(), frameKey(1));
    service.calls.clear();
    ASSERT_TRUE(waitForPictures(3));
    EXPECT_TRUE(pictures().startsWith("010")) << pictures().toStdString();
}

TEST_F(TrayIconTest, AnimationWaitsWhileTheIconIsNotShownAndFollowsActive) {
    setUpShown();
    tray->SetActive(false);
    service.calls.clear();
    tray->SetAnimated(true);
    EXPECT_TRUE(service.calls.empty());
    QTest::qWait(60);
    EXPECT_TRUE(service.calls.empty()) << "no step while the icon is not shown";
    EXPECT_EQ(tray->FrameIndex(), 0);

    tray->SetActive(true);
    ASSERT_TRUE(waitForPictures(2));
    EXPECT_TRUE(pictures().startsWith("10")) << "frame 0 came with the add";
}

TEST_F(TrayIconTest, TakingTheIconOutStopsTheStepsUntilItIsBack) {
    setUpShown(0);
    tray->SetAnimated(true);
    ASSERT_TRUE(waitForPictures(3));
    tray->SetActive(false);
    const int frame = tray->FrameIndex();
    service.calls.clear();
    QTest::qWait(30);
    EXPECT_EQ(tray->FrameIndex(), frame) << "no step while the icon is out";
    EXPECT_TRUE(service.calls.empty());

    tray->SetActive(true);
    ASSERT_TRUE(waitForPictures(2));
    EXPECT_EQ(pictures().left(2), QString::number(1 - frame) + QString::number(frame))
        << "the add brings the frame it stopped at, and the steps go on from there";
}

TEST_F(TrayIconTest, AnimationSwitchedOffAndOnAgainStartsAFreshInterval) {
    setUpShown(0);
    tray->SetAnimated(true);
    ASSERT_TRUE(waitForPictures(2));
    tray->SetAnimated(false);
    tray->SetInterval(60000); // the next step lies far beyond this test
    tray->SetAnimated(true);
    service.calls.clear();
    QTest::qWait(30);
    EXPECT_EQ(tray->FrameIndex(), 0);
    EXPECT_TRUE(service.calls.empty());
}

// Animating adds no thread to the process: the steps come from the event loop of the component's
// own thread, which wakes for nothing else while the icon animates.
TEST_F(TrayIconTest, AnimationRunsWithoutAThreadOfItsOwn) {
    const auto threads = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                             std::filesystem::directory_iterator());
    };
    setUpShown(0);
    const auto before = threads();
    tray->SetAnimated(true);
    ASSERT_TRUE(waitForPictures(3));
    EXPECT_EQ(threads(), before);
}

TEST_F(TrayIconTest, StepThatFailsIsReportedAndTheAnimationGoesOn) {
    setUpShown();
    QByteArray broken("\0\0\1\0\1\0garbage", 13);
    TIcon bad;
    load(bad, broken);
    tray->Icons()->SetIcons(1, &bad);
    tray->SetAnimated(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reported.size() >= 2; }, 5000));
    EXPECT_EQ(reported.front(), "Icon image is not valid");
    EXPECT_GE(pictures().count('0'), 2) << "the good frame keeps coming";
}

TEST_F(TrayIconTest, DestroyingTheIconWhileItAnimatesLeavesNoStepBehind) {
    setUpShown(0);
    tray->SetAnimated(true);
    ASSERT_TRUE(waitForPictures(2));
    tray.reset();
    EXPECT_EQ(service.calls.back().kind, Kind::Remove);
    EXPECT_FALSE(service.hasListener());
    const size_t calls = service.calls.size();
    QTest::qWait(30);
    EXPECT_EQ(service.calls.size(), calls);
    tray = std::make_unique<TRxTrayIcon>(service);
}

class TrayMouseTest : public TrayIconTest {
protected:
    EventLog log;
    TrayMouseTest() {
        setUpShown();
        log.attach(*tray);
        service.cursor = QPoint(1900, 1060);
    }
};

TEST_F(TrayMouseTest, ClicksOfEachButton) {
    service.send({M::LeftDown, M::LeftUp});
    service.modifiers = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    service.send({M::RightDown, M::RightUp});
    service.modifiers = {};
    service.send({M::MiddleDown, M::MiddleUp, M::Move});
    EXPECT_EQ(
        log.events,
        (QStringList{"down left 1900,1060 left", "click left 1900,1060 left",
                     "up left 1900,1060 left", "down right 1900,1060 shift,alt,ctrl,right",
                     "click right 1900,1060 shift,alt,ctrl,right",
                     "up right 1900,1060 shift,alt,ctrl,right", "down middle 1900,1060 middle",
                     "up middle 1900,1060 middle", "move 1900,1060 "}));
}

TEST_F(TrayMouseTest, DoubleClicksGiveOneClick) {
    service.send({M::LeftDown, M::LeftUp, M::LeftDoubleClick, M::LeftUp});
    EXPECT_EQ(log.events, (QStringList{"down left 1900,1060 left", "click left 1900,1060 left",
                                       "up left 1900,1060 left", "dblclick",
                                       "down left 1900,1060 double", "up left 1900,1060 left"}));
    log.events.clear();
    service.send({M::RightDoubleClick, M::RightUp, M::MiddleDoubleClick});
    EXPECT_EQ(log.events, (QStringList{"down right 1900,1060 double", "up right 1900,1060 right",
                                       "down middle 1900,1060 double"}));
}

TEST_F(TrayMouseTest, PressBeforeTheIconWasAddedAgainGivesNoClick) {
    service.send({M::LeftDown, M::RightDown});
    tray->SetActive(false);
    tray->SetActive(true);
    log.events.clear();
    service.send({M::LeftUp, M::RightUp});
    EXPECT_EQ(log.events, (QStringList{"up left 1900,1060 left", "up right 1900,1060 right"}));
}

TEST_F(TrayMouseTest, DisabledIconRaisesNoEventsButKeepsAnimating) {
    tray->SetEnabled(false);
    tray->SetAnimated(true);
    service.send({M::LeftDown, M::LeftUp, M::LeftDoubleClick, M::Move, M::RightDown, M::RightUp});
    EXPECT_TRUE(log.events.isEmpty());
    EXPECT_TRUE(waitForPictures(3));
    EXPECT_TRUE(tray->Shown());
    tray->SetEnabled(true);
    service.send({M::LeftDown, M::LeftUp});
    EXPECT_EQ(log.events.size(), 3);
}

TEST_F(TrayMouseTest, ErrorInAHandlerIsReportedAndTheIconStaysUsable) {
    tray->SetOnClick([](QObject*, TMouseButton, TShiftState, int, int) {
        throw std::runtime_error("handler failed");
    });
    service.send({M::LeftDown, M::LeftUp});
    EXPECT_EQ(reported, QStringList{"handler failed"});
    EXPECT_EQ(log.events, QStringList{"down left 1900,1060 left"}) << "the error ends the dispatch";
    service.send({M::LeftDown, M::LeftUp});
    EXPECT_EQ(reported.size(), 2) << "the pressed button was cleared before the click";
}

TEST_F(TrayMouseTest, PopupMenuTakesRightClicksAndDoubleClicks) {
    auto* menu = new TPopupMenu;
    QAction* open = menu->addAction("Open");
    int opened = 0;
    QObject::connect(open, &QAction::triggered, [&] { ++opened; });
    tray->SetPopupMenu(menu);

    // A right click shows the menu where the mouse is; it closes again here.
    QPoint shownAt;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (menu->isVisible()) {
            shownAt = menu->pos();
            menu->close();
        }
    });
    closer.start(10);
    service.cursor = QPoint(100, 80);
    service.send({M::RightDown, M::RightUp});
    service.cursor = QPoint(1900, 1060);
    EXPECT_EQ(menu->PopupComponent(), tray.get());
    EXPECT_EQ(shownAt, QPoint(100, 80));
    EXPECT_FALSE(log.events.contains("click right 1900,1060 right"));

    // Without AutoPopup the right click is an ordinary click.
    menu->SetAutoPopup(false);
    service.send({M::RightDown, M::RightUp});
    EXPECT_TRUE(log.events.contains("click right 1900,1060 right"));

    // A double click runs the enabled default item instead of OnDblClick.
    log.events.clear();
    service.send({M::LeftDoubleClick});
    EXPECT_EQ(opened, 0) << "no default item yet";
    EXPECT_TRUE(log.events.contains("dblclick"));
    menu->setDefaultAction(open);
    log.events.clear();
    service.send({M::LeftDoubleClick});
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(log.events.contains("dblclick"));
    open->setEnabled(false);
    service.send({M::LeftDoubleClick});
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(log.events.contains("dblclick"));

    delete menu;
    EXPECT_EQ(tray->PopupMenu(), nullptr);
}

// The desktop reports whole clicks; the service turns each into the messages it stands for, so
// that a left and a right click both reach OnClick with their own button and a middle one does not.
TEST(QtTrayServiceTest, DesktopClicksBecomeTheirMouseMessages) {
    QtTrayService service;
    auto* icon = service.findChild<QSystemTrayIcon*>();
    ASSERT_NE(icon, nullptr);
    TRxTrayIcon tray(service);
    EventLog log;
    log.attach(tray);
    emit icon->activated(QSystemTrayIcon::Trigger);
    emit icon->activated(QSystemTrayIcon::Context);
    emit icon->activated(QSystemTrayIcon::MiddleClick);
    emit icon->activated(QSystemTrayIcon::DoubleClick);
    emit icon->activated(QSystemTrayIcon::Unknown);
    QStringList kinds;
    for (const QString& event : log.events)
        kinds << (event.section(' ', 0, 1) + ' ' + event.section(' ', 3)).trimmed();
    EXPECT_EQ(kinds,
              (QStringList{"down left left", "click left left", "up left left", "down right right",
                           "click right right", "up right right", "down middle middle",
                           "up middle middle", "dblclick", "down left double", "up left left"}));
}

} // namespace
