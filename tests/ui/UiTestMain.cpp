// The window tests run inside the real application object, so that errors escaping a handler take
// the same road as in the program: through the application's event dispatch to its error report.

#include "ZumzikApplication.h"

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    zumzik::ZumzikApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
