// Where the General MIDI SoundFont is looked for.
#include "platform/soundfont.h"

#include <gtest/gtest.h>
#include <set>

namespace fs = std::filesystem;

TEST(SoundFont, EnvironmentFirstThenDebianFedoraAndArchPlaces) {
    struct Case {
        std::string env;
        std::set<std::string> present;
        std::string found;
    } cases[] = {
        {"/mine.sf2", {"/mine.sf2", "/usr/share/sounds/sf2/default-GM.sf2"}, "/mine.sf2"},
        {"/missing.sf2", {"/usr/share/sounds/sf2/TimGM6mb.sf2"}, "/usr/share/sounds/sf2/TimGM6mb.sf2"},
        {"",
         {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"},
         "/usr/share/sounds/sf2/FluidR3_GM.sf2"},
        {"", {"/usr/share/soundfonts/FluidR3_GM2-2.sf2"}, "/usr/share/soundfonts/FluidR3_GM2-2.sf2"}, // Fedora
        {"", {"/usr/share/soundfonts/FluidR3_GM.sf2"}, "/usr/share/soundfonts/FluidR3_GM.sf2"},       // Arch
        {"",
         {"/usr/share/soundfonts/default.sf2", "/usr/share/soundfonts/FluidR3_GM.sf2"},
         "/usr/share/soundfonts/default.sf2"},
        {"", {}, ""},
    };
    for (const Case& c : cases) {
        auto isFile = [&](const fs::path& p) { return c.present.count(p.string()) > 0; };
        EXPECT_EQ(findSoundFont(c.env, isFile), fs::path(c.found)) << c.env;
    }
}
