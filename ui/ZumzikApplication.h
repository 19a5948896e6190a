#pragma once

#include "Clock.h"
#include "DesktopLinkOpener.h"
#include "DesktopTrayService.h"
#include "ErrorBox.h"
#include "QtMessageBoxes.h"
#include "QtSoundPlayer.h"
#include "SoundOutputPlugin.h"

#include <QApplication>
#include <memory>

namespace zumzik {

class TAboutBox;
class TInfoBox;
class TMainForm;

// The application: its title, its windows, and an event dispatch that catches every error that
// escapes a handler and shows it in the error box, after which the program goes on.
class ZumzikApplication : public QApplication {
    Q_OBJECT
public:
    ZumzikApplication(int& argc, char** argv);
    ~ZumzikApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // Start-up: creates the main window (running its creation step), then the About and the
    // Information windows, hidden; shows the main window, or starts it minimised, and runs the
    // event loop until the main window has been allowed to close.
    int run(bool startMinimised);

    // Whether there is a desktop to show windows on; without one the program says so and ends.
    static bool hasDisplay();
    // Turns Qt's failure to reach the display into one clear line on stderr and exit status 1.
    static void reportMissingDisplayClearly();
    // Asks Qt, unless the user has said otherwise, to send repaints to the X server with the
    // request rather than through shared memory; called before the application is made.
    static void sendRepaintsWithoutSharedMemory();

private:
    void commitData(QSessionManager& manager);
    // Gives the windows the program's icon, once.
    static void showProgramIcon();

    QtMessageBoxes m_boxes;
    ErrorBox m_errorBox{m_boxes};
    QtSoundPlayer m_sound{SoundOutputPlugin::defaultDirectories()};
    SystemClock m_clock;
    DesktopLinkOpener m_links;
    DesktopTrayService m_tray{{QStringLiteral("zumzik"), QStringLiteral("Zumzik")}};
    std::unique_ptr<TMainForm> m_mainForm;
    TAboutBox* m_aboutBox = nullptr;
    TInfoBox* m_infoBox = nullptr;
};

} // namespace zumzik
