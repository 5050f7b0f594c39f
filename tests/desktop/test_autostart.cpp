// The session autostart entry.
#include "desktop/autostart.h"
#include "desktop/calendar_places.h"
#include "desktop/command_line.h"
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

    EXPECT_NE(autostartEntry("/b/quillet", "/d/50%").find("\nExec=/b/quillet --data /d/50%%\n"), std::string::npos);

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

// Started on a folder of its own (--data or the portable layout), the program writes an entry that starts it on
// that folder again; on the user data folder it names none.
TEST(Autostart, TheEntryStartsTheProgramOnTheFolderItUses) {
    TempWorkDir dir;
    dir.write("portable/pavosz.cjf", "\r\n\r\n\r\n5\r\n");
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    const fs::path file = dir / "config/autostart/cn.orlin.Quillet.desktop";
    auto execLine = [&](std::optional<fs::path> data, const fs::path& cwd) {
        fs::current_path(cwd);
        ProgramOptions options;
        options.data = std::move(data);
        options.autostart = true;
        EXPECT_EQ(runTerminalOptions(options), 0);
        const std::string entry = dir.read("config/autostart/cn.orlin.Quillet.desktop");
        const size_t at = entry.find("Exec=");
        return entry.substr(at, entry.find('\n', at) - at);
    };
    const std::string program = (runningProgramFolder() / "quillet").string();
    EXPECT_EQ(execLine(dir / "my data", dir.path()),
              "Exec=" + program + " --data \"" + (dir / "my data").string() + "\"");
    EXPECT_EQ(execLine(std::nullopt, dir / "portable"), "Exec=" + program + " --data " + (dir / "portable").string());
    EXPECT_EQ(execLine(std::nullopt, dir / "config"), "Exec=" + program);
    EXPECT_TRUE(autostartEnabled(file));
    unsetenv("XDG_CONFIG_HOME");
}

TEST(CalendarPlaces, WrittenPlacesReadBackAndBadLinesGiveNone) {
    TempWorkDir dir;
    EXPECT_EQ(calendarPlacesFile([](const char* name) { return std::string(name) == "HOME" ? "/h" : ""; }),
              fs::path("/h/.config/quillet/places"));
    const fs::path file = dir / "config/quillet/places";
    EXPECT_EQ(readCalendarPlaces(file), CalendarPlaces{}); // no file yet
    const CalendarPlaces places{ScreenPoint{-1200, 40}, ScreenPoint{300, 2000}, true};
    ASSERT_EQ(writeCalendarPlaces(file, places), std::nullopt);
    EXPECT_EQ(readCalendarPlaces(file), places);
    dir.write("config/quillet/places", "desk 10\nwall 1 2 3\nshown\ndesk x 5\n");
    EXPECT_EQ(readCalendarPlaces(file), CalendarPlaces{});
}
