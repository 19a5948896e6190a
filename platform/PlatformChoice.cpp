#include "PlatformChoice.h"

#include <QtGlobal>
#include <cstring>

namespace zumzik {
namespace {

// Whether the arguments choose a platform, read as Qt 6 reads them: an option has one dash or two,
// and its value is the next argument. So "-platform=name", and "-platform" with nothing after it,
// choose nothing; nor does the value of another of Qt's platform options, as in
// "-platformtheme -platform".
bool namesPlatform(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (option[0] != '-')
            continue;
        if (option[1] == '-')
            ++option;
        if (std::strcmp(option, "-platform") == 0 && i + 1 < argc)
            return true;
        for (const char* takesValue : {"-platformpluginpath", "-platformtheme", "-qwindowgeometry",
                                       "-qwindowtitle", "-qwindowicon"}) {
            if (std::strcmp(option, takesValue) == 0) {
                ++i;
                break;
            }
        }
    }
    return false;
}

char platformOption[] = "-platform";
// XWayland first; the native platform should XWayland not answer.
char xcbThenWayland[] = "xcb;wayland";

} // namespace

PlatformChoice::Environment PlatformChoice::Environment::ofThisProcess() {
    return {qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"), qgetenv("QT_QPA_PLATFORM")};
}

PlatformChoice::PlatformChoice(int argc, char** argv, const Environment& environment)
    : m_argc(argc), m_argv(argv, argv + argc) {
    const bool userChose = !environment.platform.isEmpty() || namesPlatform(argc, argv);
    m_choosesXWayland =
        !userChose && !environment.waylandDisplay.isEmpty() && !environment.display.isEmpty();
    if (m_choosesXWayland) {
        m_argv.insert(m_argv.begin() + (argc > 0 ? 1 : 0), {platformOption, xcbThenWayland});
        m_argc += 2;
    }
    m_argv.push_back(nullptr);
}

} // namespace zumzik
