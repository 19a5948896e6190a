#include "PlatformChoice.h"

#include <QtGlobal>
#include <cstring>

namespace zumzik {
namespace {

// Qt reads its options with one dash or two, and the value as the next argument.
bool namesPlatform(const char* argument) {
    return std::strncmp(argument, "-platform", 9) == 0 ||
           std::strncmp(argument, "--platform", 10) == 0;
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
    bool userChose = !environment.platform.isEmpty();
    for (int i = 1; i < argc && !userChose; ++i)
        userChose = namesPlatform(argv[i]);
    m_choosesXWayland =
        !userChose && !environment.waylandDisplay.isEmpty() && !environment.display.isEmpty();
    if (m_choosesXWayland) {
        m_argv.insert(m_argv.begin() + (argc > 0 ? 1 : 0), {platformOption, xcbThenWayland});
        m_argc += 2;
    }
    m_argv.push_back(nullptr);
}

} // namespace zumzik
