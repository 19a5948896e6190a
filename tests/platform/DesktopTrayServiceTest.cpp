// The tray service against a watcher on a private session bus: what a StatusNotifierItem tray
// sees of the tray icon component's start-up, clicks and frames, and how the service follows a
// watcher that comes and goes.

#include "DesktopTrayService.h"

#include "RecordingTrayService.h"
#include "StatusNotifierIconCache.h"
#include "TRxTrayIcon.h"

#include <QBuffer>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

using namespace zumzik;

namespace {

const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kItem = QStringLiteral("org.kde.StatusNotifierItem");

// A session bus of the test's own.
class PrivateBus {
public:
    PrivateBus() {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        if (m_daemon.waitForStarted(10000) &&
            QTest::qWaitFor([this] { return m_daemon.canReadLine(); }, 10000))
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateBus() {
        m_daemon.terminate();
        m_daemon.waitForFinished(10000);
    }
    const QString& address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

// The part of org.kde.StatusNotifierWatcher that items use, with a host that can register.
class FakeWatcher : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
public:
    // The bus names of the items registered, and how each call named its item.
    QStringList registrations;
    QStringList named;
    // How many registrations to refuse before taking one.
    int refusals = 0;

    bool hostRegistered() const { return m_host; }
    void registerHost() {
        m_host = true;
        emit StatusNotifierHostRegistered();
    }

public Q_SLOTS:
    Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString& service) {
        // An item names its bus name, or its object path on the caller's connection.
        named << service;
        registrations << (service.startsWith('/') ? message().service() : service);
        if (refusals > 0) {
            --refusals;
            sendErrorReply(QDBusError::Failed, QStringLiteral("not now"));
        }
    }

Q_SIGNALS:
    Q_SCRIPTABLE void StatusNotifierHostRegistered();

private:
    bool m_host = false;
};

class SignalCounter : public QObject {
    Q_OBJECT
public:
    int received = 0;
public Q_SLOTS:
    void receive() { ++received; }
};

QIcon artwork(const char* name) {
    QFile file(QStringLiteral(ZUMZIK_ARTWORK_DIR "/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    TIcon icon;
    icon.LoadFromStream(file);
    return icon.Handle();
}

class DesktopTrayServiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_bus = new PrivateBus; }
    static void TearDownTestSuite() { delete s_bus; }

    DesktopTrayServiceTest() { EXPECT_FALSE(s_bus->address().isEmpty()) << "no dbus-daemon"; }
    ~DesktopTrayServiceTest() override {
        tray.reset();
        service.reset();
        for (const QString& name : {itemSide.name(), watcherSide.name()})
            QDBusConnection::disconnectFromBus(name);
    }

    static QDBusConnection connect(const char* role) {
        static int count = 0;
        return QDBusConnection::connectToBus(s_bus->address(),
                                             QStringLiteral("%1-%2").arg(role).arg(++count));
    }

    // Starts the service, with what makes the XEmbed tray when the test gives one.
    void startService(DesktopTrayService::TrayFactory xembed = {}) {
        service = std::make_unique<DesktopTrayService>(
            itemSide, StatusNotifierTrayService::Identity{"zumzik", "Zumzik"}, std::move(xembed));
        tray = std::make_unique<TRxTrayIcon>(*service);
    }
    // The component's start-up as the main window runs it: hint, picture, frames, Loaded.
    void loadTrayIcon() {
        tray->SetHint("Zumzik!");
        tray->Icon()->SetHandle(artwork("zumzik.ico"));
        for (const char* frame : {"tray-frame0.ico", "tray-frame1.ico"}) {
            TIcon icon;
            icon.SetHandle(artwork(frame));
            tray->Icons()->Add(&icon);
        }
        tray->SetInterval(60000);
        tray->Loaded();
    }

    void startWatcher(bool withHost) {
        watcher = std::make_unique<FakeWatcher>();
        if (withHost)
            watcher->registerHost();
        watcherSide.registerObject("/StatusNotifierWatcher", watcher.get(),
                                   QDBusConnection::ExportScriptableContents |
                                       QDBusConnection::ExportAllProperties);
        ASSERT_TRUE(watcherSide.registerService(kWatcher));
    }
    void stopWatcher() {
        watcherSide.unregisterService(kWatcher);
        watcherSide.unregisterObject("/StatusNotifierWatcher");
    }

    // Serves events until everything that the service has sent the watcher so far has arrived:
    // the bus keeps the order of one connection's messages, so a call behind them is answered
    // only after them.
    void settle() {
        QCoreApplication::processEvents();
        QDBusMessage call = QDBusMessage::createMethodCall(
            kWatcher, "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties", "Get");
        call << kWatcher << "IsStatusNotifierHostRegistered";
        QDBusPendingCallWatcher answer(itemSide.asyncCall(call));
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer.isFinished(); }, 10000));
        QCoreApplication::processEvents();
    }

    // Calls a method of the item as a tray does, and waits for the answer.
    QDBusMessage callItem(const QString& path, const QString& interface, const QString& method,
                          const QVariantList& arguments = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(itemService(), path, interface, method);
        call.setArguments(arguments);
        QDBusPendingCallWatcher answer(watcherSide.asyncCall(call));
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer.isFinished(); }, 10000))
            << method.toStdString();
        return answer.reply();
    }
    QVariant itemProperty(const char* name) {
        const QDBusMessage reply = callItem(
            "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get", {kItem, name});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage)
            << name << reply.errorMessage().toStdString();
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    QString itemService() const { return watcher ? watcher->registrations.value(0) : QString(); }

    static inline PrivateBus* s_bus = nullptr;
    QDBusConnection itemSide = connect("item");
    QDBusConnection watcherSide = connect("watcher");
    std::unique_ptr<FakeWatcher> watcher;
    std::unique_ptr<DesktopTrayService> service;
    std::unique_ptr<TRxTrayIcon> tray;
};

template <typename T> T demarshal(const QVariant& value) {
    T result;
    value.value<QDBusArgument>() >> result;
    return result;
}

} // namespace

TEST_F(DesktopTrayServiceTest, StartUpRegistersTheItemOnceWithWhatTraysShow) {
    startWatcher(true);
    startService();
    loadTrayIcon();
    settle();
    ASSERT_EQ(watcher->registrations.size(), 1) << watcher->registrations.join(' ').toStdString();
    EXPECT_TRUE(service->available());

    EXPECT_EQ(itemProperty("Id").toString(), "zumzik");
    EXPECT_EQ(itemProperty("Title").toString(), "Zumzik");
    EXPECT_EQ(itemProperty("Category").toString(), "ApplicationStatus");
    EXPECT_EQ(itemProperty("Status").toString(), "Active");
    EXPECT_EQ(itemProperty("IconName").toString(), "") << "pictures only, never a theme icon";
    EXPECT_EQ(itemProperty("IconAccessibleDesc").toString(), "Zumzik");
    EXPECT_FALSE(itemProperty("ItemIsMenu").toBool());
    // Trays refresh an icon by reading its whole set of properties, and drop the refresh when
    // one is missing; GNOME's AppIndicator extension watches an item named by a bus name of its
    // own, and drops it when that watch reports late.
    EXPECT_EQ(watcher->named, QStringList{"/StatusNotifierItem"});
    const QDBusMessage all =
        callItem("/StatusNotifierItem", "org.freedesktop.DBus.Properties", "GetAll", {kItem});
    const QVariantMap properties = qdbus_cast<QVariantMap>(all.arguments().value(0));
    for (const char* name :
         {"IconThemePath", "OverlayIconName", "OverlayIconPixmap", "AttentionIconName",
          "AttentionIconPixmap", "AttentionMovieName", "AttentionAccessibleDesc", "WindowId",
          "XAyatanaLabel", "XAyatanaLabelGuide", "XAyatanaOrderingIndex"})
        EXPECT_TRUE(properties.contains(name)) << name;
    EXPECT_EQ(demarshal<SniToolTip>(itemProperty("ToolTip")).title, "Zumzik!");
    QList<int> sides;
    for (const SniPixmap& pixmap : demarshal<SniPixmapList>(itemProperty("IconPixmap")))
        sides << pixmap.width;
    EXPECT_EQ(sides, (QList<int>{16, 22, 24, 32, 48}));
}

TEST_F(DesktopTrayServiceTest, WatcherThatComesLaterGetsTheItemAndOneThatLeavesEndsTheTray) {
    startService();
    loadTrayIcon();
    QCoreApplication::processEvents();
    EXPECT_FALSE(service->available());

    startWatcher(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !itemService().isEmpty(); }, 10000));
    EXPECT_FALSE(service->available()) << "a watcher without a host shows nothing";
    watcher->registerHost();
    EXPECT_TRUE(QTest::qWaitFor([&] { return service->available(); }, 10000));

    stopWatcher();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !service->available(); }, 10000));
    settle();
    EXPECT_EQ(watcher->registrations.size(), 1);
}

TEST_F(DesktopTrayServiceTest, TraysClicksAndMenuReachOnClickAsLeftAndRight) {
    startWatcher(true);
    startService();
    loadTrayIcon();
    QStringList clicks;
    tray->SetOnClick([&](QObject*, TMouseButton button, TShiftState, int, int) {
        clicks << (button == mbLeft ? "left" : button == mbRight ? "right" : "middle");
    });
    settle();
    for (const char* method : {"Activate", "ContextMenu", "SecondaryActivate"})
        callItem("/StatusNotifierItem", kItem, method, {0, 0});
    // A tray that opens the item's menu on a right click, instead of asking the item, prepares
    // the menu's root in more than one way for one opening.
    const QString menu = qvariant_cast<QDBusObjectPath>(itemProperty("Menu")).path();
    callItem(menu, "com.canonical.dbusmenu", "Event",
             {0, QStringLiteral("opened"), QVariant::fromValue(QDBusVariant(0)), 0u});
    callItem(menu, "com.canonical.dbusmenu", "AboutToShow", {0});
    EXPECT_EQ(clicks.join(' ').toStdString(), "left right right");
}

// A tray that reads the layout without opening the menu, as GNOME's AppIndicator extension does
// when the item appears, gives no click; one that reads it and then opens the menu, as the
// extension does on every opening and as a tray that polls the layout may do at any time, gives
// one right click all the same.
TEST_F(DesktopTrayServiceTest, LayoutReadsNeitherClickNorCancelAnOpening) {
    startWatcher(true);
    startService();
    loadTrayIcon();
    int clicks = 0;
    tray->SetOnClick([&](QObject*, TMouseButton, TShiftState, int, int) { ++clicks; });
    settle();
    const QString menu = qvariant_cast<QDBusObjectPath>(itemProperty("Menu")).path();
    const QDBusMessage layout =
        callItem(menu, "com.canonical.dbusmenu", "GetLayout", {0, -1, QStringList()});
    callItem(menu, "com.canonical.dbusmenu", "AboutToShow", {0});
    EXPECT_EQ(clicks, 0);
    const auto root = demarshal<DBusMenuLayoutItem>(layout.arguments().value(1));
    ASSERT_EQ(root.children.size(), 1) << "a menu that a tray will open";
    EXPECT_EQ(root.children[0].properties.value("label").toString(), "Zumzik");

    callItem(menu, "com.canonical.dbusmenu", "GetLayout", {0, -1, QStringList()});
    callItem(menu, "com.canonical.dbusmenu", "Event",
             {0, QStringLiteral("opened"), QVariant::fromValue(QDBusVariant(0)), 0u});
    callItem(menu, "com.canonical.dbusmenu", "GetLayout", {0, -1, QStringList()});
    callItem(menu, "com.canonical.dbusmenu", "AboutToShow", {0});
    EXPECT_EQ(clicks, 1);
}

// The watcher's answer is awaited without blocking this thread (the test's watcher answers in
// it): a refused registration leaves no tray, so that a minimise stays ordinary, and is tried
// again.
TEST_F(DesktopTrayServiceTest, RegistrationHoldsOnceTheWatcherTakesItAndIsTriedAgainIfRefused) {
    startWatcher(true);
    watcher->refusals = 1;
    startService();
    loadTrayIcon();
    settle();
    EXPECT_EQ(watcher->registrations.size(), 1);
    EXPECT_FALSE(service->available()) << "no registration holds";
    EXPECT_TRUE(QTest::qWaitFor([&] { return service->available(); }, 10000));
    EXPECT_EQ(watcher->registrations.size(), 2);
}

TEST_F(DesktopTrayServiceTest, FrameChangeIsOneNewIconAfterWhichThePicturesAreTheFrames) {
    startWatcher(true);
    startService();
    loadTrayIcon();
    settle();
    SignalCounter newIcons;
    ASSERT_TRUE(watcherSide.connect(itemService(), "/StatusNotifierItem", kItem, "NewIcon",
                                    &newIcons, SLOT(receive())));
    // A call behind the match rule that connect() asked the bus for, so that it is in place.
    watcherSide.interface()->isServiceRegistered(kWatcher);

    // The interval is a minute: the frames that change here are the test's own steps.
    tray->SetAnimated(true);
    settle();
    tray->AdvanceFrame();
    settle();
    EXPECT_EQ(newIcons.received, 2) << "the first frame, then the second";
    const SniPixmapList shown = demarshal<SniPixmapList>(itemProperty("IconPixmap"));
    const SniPixmapList frame = StatusNotifierIconCache::convert(tray->Icons()->Icons(1)->Handle());
    ASSERT_EQ(shown.size(), frame.size());
    for (int i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i].pixels, frame[i].pixels) << shown[i].width;
}

// A tray reads the pictures after every frame: the item answers in the bus connection's own
// thread, so the reads neither wait for nor wake the user-interface thread.
TEST_F(DesktopTrayServiceTest, TrayReadsThePicturesWhileTheUserInterfaceThreadIsBusy) {
    startWatcher(true);
    startService();
    loadTrayIcon();
    settle();
    QDBusMessage get = QDBusMessage::createMethodCall(itemService(), "/StatusNotifierItem",
                                                      "org.freedesktop.DBus.Properties", "Get");
    get << kItem << QStringLiteral("IconPixmap");
    // Blocks this thread, serving no events, until the answer is in.
    const QDBusMessage reply = watcherSide.call(get, QDBus::Block, 5000);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(
        demarshal<SniPixmapList>(reply.arguments().value(0).value<QDBusVariant>().variant()).size(),
        5);
}

// Trays learn of the item from a watcher and read it then: without one, a frame change sends
// nothing over the bus, and the watcher that comes later finds the frame that is current.
TEST_F(DesktopTrayServiceTest, WithoutAWatcherFramesSendNoSignals) {
    startService();
    loadTrayIcon();
    QCoreApplication::processEvents(); // the item is on the bus
    SignalCounter newIcons;
    ASSERT_TRUE(watcherSide.connect(QString(), "/StatusNotifierItem", kItem, "NewIcon", &newIcons,
                                    SLOT(receive())));
    watcherSide.interface()->isServiceRegistered(kWatcher);
    tray->SetAnimated(true);
    tray->AdvanceFrame();
    // The bus keeps the order of the item's messages: once its answer to a ping is in, every
    // signal sent before it is in as well.
    QCoreApplication::processEvents();
    const QDBusMessage ping = QDBusMessage::createMethodCall(itemSide.baseService(), "/",
                                                             "org.freedesktop.DBus.Peer", "Ping");
    QDBusPendingCallWatcher answer(watcherSide.asyncCall(ping));
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.isFinished(); }, 10000));
    QCoreApplication::processEvents();
    EXPECT_EQ(newIcons.received, 0);

    startWatcher(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !itemService().isEmpty(); }, 10000));
    const SniPixmapList shown = demarshal<SniPixmapList>(itemProperty("IconPixmap"));
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.back().pixels,
              StatusNotifierIconCache::convert(tray->Icons()->Icons(1)->Handle()).back().pixels);
    tray->AdvanceFrame();
    settle();
    EXPECT_TRUE(QTest::qWaitFor([&] { return newIcons.received == 1; }, 10000));
}

TEST_F(DesktopTrayServiceTest, OneIconShowsAtATimeAndTheXEmbedTrayStandsInWithoutAHost) {
    test::RecordingTrayService* xembed = nullptr;
    startService([&] {
        auto made = std::make_unique<test::RecordingTrayService>();
        xembed = made.get();
        return made;
    });
    ASSERT_NE(xembed, nullptr) << "made while no watcher is on the bus";
    loadTrayIcon();
    QCoreApplication::processEvents();
    EXPECT_EQ(xembed->kinds().join(' ').toStdString(), "add")
        << "one icon, not removed and added again";
    EXPECT_TRUE(service->available());

    startWatcher(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !xembed->shown(); }, 10000));
    settle();
    EXPECT_EQ(watcher->registrations.size(), 1);

    stopWatcher();
    EXPECT_TRUE(QTest::qWaitFor([&] { return xembed->shown(); }, 10000));
    QStringList comingAndGoing = xembed->kinds();
    comingAndGoing.removeAll("modify");
    EXPECT_EQ(comingAndGoing.join(' ').toStdString(), "add remove add");
}

#include "DesktopTrayServiceTest.moc"
