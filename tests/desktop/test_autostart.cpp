// The session autostart entry.
#include "desktop/autostart.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(Autostart, FileFollowsXdgConfigHomeThenHome) {
    auto env = [](std::string config, std::string home) {
        return [=](const char* name) { return std::string(name) == "XDG_CONFIG_HOME" ? config : home; };
    };
    EXPECT_EQ(autostartFile(env("/c", "/h")), fs::path("/c/autostart/cn.orlin.Quillet.desktop"));
    EXPECT_EQ(autostartFile(env("", "/h")), fs::path("/h/.config/autostart/cn.orlin.Quillet.desktop"));
    EXPECT_EQ(autostartFile(env("rel", "/h")), fs::path("/h/.config/autostart/cn.orlin.Quillet.desktop"));
    EXPECT_EQ(autostartFile(env("", "")), fs::path());
}

TEST(Autostart, OnWritesAnEntryStartingTheProgramAndOffRemovesIt) {
    TempWorkDir dir;
    const fs::path file = dir / "config/autostart/cn.orlin.Quillet.desktop";
    ASSERT_EQ(setAutostart(file, true, "/opt/my apps/bin/quillet"), std::nullopt);
    EXPECT_TRUE(autostartEnabled(file));
    const std::string entry = dir.read("config/autostart/cn.orlin.Quillet.desktop");
    EXPECT_NE(entry.find("[Desktop Entry]\nType=Application\n"), std::string::npos);
    EXPECT_NE(entry.find("\nExec=\"/opt/my apps/bin/quillet\"\n"), std::string::npos) << entry;
    EXPECT_NE(autostartEntry("/usr/bin/quillet").find("\nExec=/usr/bin/quillet\n"), std::string::npos);
    EXPECT_NE(autostartEntry("/a$b/quillet").find("\nExec=\"/a\\$b/quillet\"\n"), std::string::npos);

    ASSERT_EQ(setAutostart(file, false, {}), std::nullopt);
    EXPECT_FALSE(autostartEnabled(file));
    EXPECT_EQ(setAutostart(file, false, {}), std::nullopt); // already off
}

TEST(Autostart, BrokenFolderIsNamedInTheMessage) {
    TempWorkDir dir;
    dir.write("config/autostart", "a file, not a folder");
    const fs::path file = dir / "config/autostart/cn.orlin.Quillet.desktop";
    auto problem = setAutostart(file, true, "/usr/bin/quillet");
    ASSERT_TRUE(problem.has_value());
    EXPECT_NE(problem->find((dir / "config/autostart").string()), std::string::npos) << *problem;
    EXPECT_FALSE(autostartEnabled(file));
    EXPECT_TRUE(setAutostart({}, true, "/usr/bin/quillet").has_value());
}
