#include "CommandLine.h"
#include "PlatformChoice.h"
#include "ZumzikApplication.h"

#include <cstdio>

int main(int argc, char* argv[]) {
    // Help needs no desktop, so it is given before anything looks for one.
    if (zumzik::CommandLine(argc, argv).helpRequested()) {
        std::fputs(qUtf8Printable(zumzik::CommandLine::helpText()), stdout);
        return 0;
    }
    zumzik::ZumzikApplication::reportMissingDisplayClearly();
    zumzik::ZumzikApplication::sendRepaintsWithoutSharedMemory();
    zumzik::PlatformChoice platform(argc, argv);
    zumzik::ZumzikApplication app(platform.argc(), platform.argv());
    // Qt has taken its own options out of the arguments by now; the rest are the program's.
    const zumzik::CommandLine options(platform.argc(), platform.argv());
    if (!options.error().isEmpty()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(options.error()));
        return 2;
    }
    return app.run(options.startMinimised());
}
