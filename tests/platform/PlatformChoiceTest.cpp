#include "PlatformChoice.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace zumzik;

namespace {

// The arguments a choice hands to the application, checked to end in the terminating null.
QStringList arguments(PlatformChoice& choice) {
    QStringList list;
    for (int i = 0; i < choice.argc(); ++i)
        list << QString::fromLocal8Bit(choice.argv()[i]);
    EXPECT_EQ(choice.argv()[choice.argc()], nullptr);
    return list;
}

struct Program {
    std::vector<std::string> strings;
    std::vector<char*> argv;
    explicit Program(std::vector<std::string> args) : strings(std::move(args)) {
        for (std::string& s : strings)
            argv.push_back(s.data());
        argv.push_back(nullptr);
    }
    int argc() const { return int(strings.size()); }
};

const PlatformChoice::Environment kBothDisplays{"wayland-0", ":1", ""};

} // namespace

TEST(PlatformChoiceTest, WaylandSessionWithXWaylandRunsThroughXWayland) {
    Program program({"zumzik", "--minimized"});
    PlatformChoice choice(program.argc(), program.argv.data(), kBothDisplays);
    EXPECT_TRUE(choice.choosesXWayland());
    EXPECT_EQ(arguments(choice),
              (QStringList{"zumzik", "-platform", "xcb;wayland", "--minimized"}));
}

TEST(PlatformChoiceTest, UsersChoiceAndSessionsWithOneDisplayAreLeftAlone) {
    const std::vector<std::pair<std::vector<std::string>, PlatformChoice::Environment>> cases = {
        {{"zumzik"}, {"wayland-0", ":1", "wayland"}},
        {{"zumzik", "-platform", "wayland"}, kBothDisplays},
        {{"zumzik", "--platform", "wayland"}, kBothDisplays},
        {{"zumzik"}, {"wayland-0", "", ""}},
        {{"zumzik"}, {"", ":1", ""}},
    };
    for (const auto& [args, environment] : cases) {
        Program program(args);
        PlatformChoice choice(program.argc(), program.argv.data(), environment);
        EXPECT_FALSE(choice.choosesXWayland()) << args.back() << ' ' << environment.platform.data();
        EXPECT_EQ(arguments(choice).size(), program.argc());
    }
}

TEST(PlatformChoiceTest, OtherOptionsThatBeginWithPlatformChooseNone) {
    const std::vector<std::vector<std::string>> cases = {
        {"zumzik", "-platformtheme", "gtk3"},
        {"zumzik", "--platformtheme", "gtk3"},
        {"zumzik", "-platformpluginpath", "/opt/plugins"},
        {"zumzik", "--platformpluginpath", "/opt/plugins"},
        // Forms that Qt does not take for a platform either.
        {"zumzik", "-platform=wayland"},
        {"zumzik", "-platformtheme", "-platform", "wayland"},
        {"zumzik", "--minimized", "-platform"},
    };
    for (const auto& args : cases) {
        Program program(args);
        PlatformChoice choice(program.argc(), program.argv.data(), kBothDisplays);
        EXPECT_TRUE(choice.choosesXWayland()) << args[1];
        EXPECT_EQ(arguments(choice).mid(1, 2), (QStringList{"-platform", "xcb;wayland"}))
            << args[1];
    }
}
