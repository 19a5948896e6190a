#pragma once

#include "FakeClock.h"
#include "LinkOpener.h"
#include "MessageBoxes.h"
#include "RecordingTrayService.h"
#include "Services.h"
#include "SoundPlayer.h"

#include <QStringList>
#include <functional>

namespace zumzik::test {

// Everything the program shows or plays, in the order it happened: "error: …", "protest: …",
// "sound: …", "open: …".
struct ServiceLog {
    QStringList events;
};

class FakeMessageBoxes final : public MessageBoxes {
public:
    explicit FakeMessageBoxes(ServiceLog& log) : m_log(log) {}

    // Runs while a box is "open", before the user's OK.
    std::function<void()> whileOpen;

    void showError(const QString& text) override { open("error: " + text); }
    void showProtest(const QString& text) override { open("protest: " + text); }

private:
    void open(const QString& entry) {
        m_log.events << entry;
        if (whileOpen)
            whileOpen();
    }
    ServiceLog& m_log;
};

class FakeSoundPlayer final : public SoundPlayer {
public:
    explicit FakeSoundPlayer(ServiceLog& log) : m_log(log) {}
    void play(const QString& fileName) override { m_log.events << "sound: " + fileName; }

private:
    ServiceLog& m_log;
};

class FakeLinkOpener final : public LinkOpener {
public:
    explicit FakeLinkOpener(ServiceLog& log) : m_log(log) {}
    void open(const QString& address) override { m_log.events << "open: " + address; }

private:
    ServiceLog& m_log;
};

// One fake of every service, all writing to one log, ready to hand to a window.
struct FakeServiceSet {
    ServiceLog log;
    FakeMessageBoxes boxes{log};
    FakeSoundPlayer sound{log};
    FakeLinkOpener links{log};
    FakeClock clock;
    RecordingTrayService tray;

    Services services() { return Services{boxes, sound, clock, links, tray}; }
};

} // namespace zumzik::test
