#include "PlatformChoice.h"
#include "ZumzikApplication.h"

int main(int argc, char* argv[]) {
    zumzik::ZumzikApplication::reportMissingDisplayClearly();
    zumzik::PlatformChoice platform(argc, argv);
    zumzik::ZumzikApplication app(platform.argc(), platform.argv());
    return app.run();
}
