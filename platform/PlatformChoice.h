#pragma once

#include <QByteArray>
#include <vector>

namespace zumzik {

// The window system platform the program asks Qt for. Hiding into the tray needs X11's ways:
// Qt's native Wayland platform is never told of a minimise, and a compositor may refuse to raise a
// window that comes back. So on a Wayland session that also offers XWayland, and where the user
// has not chosen a platform, the program runs through XWayland. The choice travels as a
// "-platform" argument to the application, which Qt takes out again, rather than through the
// environment, so that programs started from ours (the browser, the mail program) keep the
// desktop's own platform.
class PlatformChoice {
public:
    // What of the environment the choice depends on.
    struct Environment {
        QByteArray waylandDisplay; // WAYLAND_DISPLAY
        QByteArray display;        // DISPLAY
        QByteArray platform;       // QT_QPA_PLATFORM

        static Environment ofThisProcess();
    };

    PlatformChoice(int argc, char** argv,
                   const Environment& environment = Environment::ofThisProcess());
    PlatformChoice(const PlatformChoice&) = delete;
    PlatformChoice& operator=(const PlatformChoice&) = delete;

    // Whether the program asks for XWayland itself (and for the native platform should XWayland
    // not answer).
    bool choosesXWayland() const { return m_choosesXWayland; }

    // The arguments for the application: the program's own, with the platform added after the
    // program's name when it is chosen here. They stay valid as long as this object.
    int& argc() { return m_argc; }
    char** argv() { return m_argv.data(); }

private:
    bool m_choosesXWayland;
    int m_argc;
    std::vector<char*> m_argv;
};

} // namespace zumzik
