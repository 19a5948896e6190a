#include "CommandLine.h"

#include <gtest/gtest.h>

using zumzik::CommandLine;

namespace {

TEST(CommandLine, ReadsItsOwnOptionsAndNamesTheFirstStranger) {
    EXPECT_FALSE(CommandLine(QStringList{"zumzik"}).startMinimised());
    const CommandLine minimised(QStringList{"zumzik", "--minimized"});
    EXPECT_TRUE(minimised.startMinimised());
    EXPECT_EQ(minimised.error(), "");
    EXPECT_TRUE(CommandLine(QStringList{"zumzik", "-h"}).helpRequested());
    // Help is looked for before Qt has taken its own options out, and they do not hide it.
    EXPECT_TRUE(CommandLine(QStringList{"zumzik", "-platform", "xcb", "--help"}).helpRequested());
    EXPECT_TRUE(CommandLine::helpText().contains("--minimized"));

    EXPECT_EQ(CommandLine(QStringList{"zumzik", "--minimised", "-x"}).error(),
              "zumzik: unknown option '--minimised'; try 'zumzik --help'");
    EXPECT_EQ(CommandLine(QStringList{"zumzik", "--minimized", "data"}).error(),
              "zumzik: unexpected argument 'data'; try 'zumzik --help'");
}

} // namespace
