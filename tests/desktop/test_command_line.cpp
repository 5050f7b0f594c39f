// The desktop program's command line.
#include "desktop/command_line.h"

#include <gtest/gtest.h>

TEST(CommandLine, OptionsAreReadAndMistakesNamed) {
    struct Case {
        std::vector<std::string> args;
        std::string data;
        std::optional<bool> autostart;
        bool help, version;
        std::string error;
    } cases[] = {
        {{}, "", std::nullopt, false, false, ""},
        {{"--data", "/d"}, "/d", std::nullopt, false, false, ""},
        {{"--data=/d", "-platform", "xcb"}, "/d", std::nullopt, false, false, ""},
        {{"--autostart", "on"}, "", true, false, false, ""},
        {{"--autostart", "off"}, "", false, false, false, ""},
        {{"--help"}, "", std::nullopt, true, false, ""},
        {{"--version"}, "", std::nullopt, false, true, ""},
        {{"--autostart", "yes"}, "", std::nullopt, false, false, "on or off"},
        {{"--data"}, "", std::nullopt, false, false, "needs"},
        {{"--data="}, "", std::nullopt, false, false, "needs"},
        {{"--frobnicate"}, "", std::nullopt, false, false, "--frobnicate"},
    };
    for (const Case& c : cases) {
        ProgramOptions o = parseProgramOptions(c.args);
        if (!c.error.empty()) {
            EXPECT_NE(o.error.find(c.error), std::string::npos) << o.error;
            continue;
        }
        EXPECT_EQ(o.error, "");
        EXPECT_EQ(o.data.value_or("").string(), c.data);
        EXPECT_EQ(o.autostart, c.autostart);
        EXPECT_EQ(o.help, c.help);
        EXPECT_EQ(o.version, c.version);
    }
}
