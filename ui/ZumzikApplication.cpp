#include "ZumzikApplication.h"

#include "AfterFirstFrame.h"
#include "ApplicationErrorReport.h"
#include "Artwork.h"
#include "TAboutBox.h"
#include "TInfoBox.h"
#include "TMainForm.h"
#include "WindowFont.h"

#include <QSessionManager>
#include <cstdio>
#include <unistd.h>
#include <utility>

namespace zumzik {
namespace {

constexpr const char* kNoDisplay = "zumzik: there is no graphical display to show the window on; "
                                   "try the terminal chat, zumzik-chat, instead.\n";

void missingDisplayHandler(QtMsgType type, const QMessageLogContext&, const QString&) {
    // Qt says that it cannot reach the display in several lines and then aborts; one line is
    // clearer, and a missing desktop is not a crash.
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplay, stderr);
        ::_exit(1);
    }
}

// Qt's X11 backing store hands a repaint to the server through shared memory and, before it paints
// the same pixels again, waits for a round trip to the server, which wakes two of the program's
// threads for every repaint. The repaints left are small (the blinking cursor, the tray icon's
// frames) since the scrolling panels copy on the server, so sending the pixels with the request
// costs less. Qt reads the variable while it connects to the display.
constexpr const char* kNoSharedMemory = "QT_XCB_NO_MITSHM";
bool s_setsNoSharedMemory = false;

} // namespace

void ZumzikApplication::sendRepaintsWithoutSharedMemory() {
    if (qEnvironmentVariableIsSet(kNoSharedMemory))
        return; // the user's own choice
    s_setsNoSharedMemory = qputenv(kNoSharedMemory, "1");
}

bool ZumzikApplication::hasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

void ZumzikApplication::reportMissingDisplayClearly() {
    if (!hasDisplay()) {
        std::fputs(kNoDisplay, stderr);
        std::exit(1);
    }
    qInstallMessageHandler(missingDisplayHandler);
}

ZumzikApplication::ZumzikApplication(int& argc, char** argv) : QApplication(argc, argv) {
    qInstallMessageHandler(nullptr);
    // Read by now; programs started from this one (the browser, the mail program) keep theirs.
    if (std::exchange(s_setsNoSharedMemory, false))
        qunsetenv(kNoSharedMemory);
    setApplicationName(QStringLiteral("zumzik"));
    setDesktopFileName(QStringLiteral("org.example.Zumzik"));
    // The program ends when its main window closes, not when the last visible window does: a
    // message box may be the only visible window while the main window hides in the tray.
    setQuitOnLastWindowClosed(false);
    installFontSubstitutes();
    // The program's icon, on the windows' frames and task bar buttons, is read just after the first
    // frame rather than before it.
    new AfterFirstFrame([] { showProgramIcon(); }, this);
    ApplicationErrorReport::setHandler(
        [this](const QString& message) { m_errorBox.show(message); });
    connect(this, &QGuiApplication::commitDataRequest, this, &ZumzikApplication::commitData);
}

ZumzikApplication::~ZumzikApplication() {
    ApplicationErrorReport::setHandler({});
}

void ZumzikApplication::showProgramIcon() {
    if (windowIcon().isNull())
        setWindowIcon(Artwork::programIcon());
}

bool ZumzikApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ApplicationErrorReport::reportCurrentException();
        return false;
    }
}

void ZumzikApplication::commitData(QSessionManager& manager) {
    // Log-off or shutdown: the close request reaches the main window even while it hides in the
    // tray, and the protest runs when the session lets the program talk to the user.
    if (m_mainForm && manager.allowsInteraction()) {
        m_mainForm->close();
        manager.release();
    } else if (m_mainForm) {
        exit(0);
    }
}

int ZumzikApplication::run(bool startMinimised) {
    m_mainForm = std::make_unique<TMainForm>(Services{m_boxes, m_sound, m_clock, m_links, m_tray});
    connect(
        m_mainForm.get(), &TMainForm::closed, this, [] { exit(0); }, Qt::QueuedConnection);
    try {
        m_mainForm->FormCreate();
    } catch (...) {
        ApplicationErrorReport::reportCurrentException();
    }
    m_aboutBox = new TAboutBox(m_links, m_mainForm.get());
    m_infoBox = new TInfoBox(m_mainForm.get());
    m_mainForm->setSecondaryWindows(m_aboutBox, m_infoBox);
    if (startMinimised) {
        // No frame is painted before the task bar or the tray shows the program.
        showProgramIcon();
        m_mainForm->startMinimised();
    } else
        m_mainForm->showCentred();
    const int status = exec();
    m_mainForm.reset();
    return status;
}

} // namespace zumzik
