#include "ZumzikApplication.h"

int main(int argc, char* argv[]) {
    zumzik::ZumzikApplication::reportMissingDisplayClearly();
    zumzik::ZumzikApplication app(argc, argv);
    return app.run();
}
