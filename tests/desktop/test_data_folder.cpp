// Choosing and preparing the data folder.
#include "desktop/data_folder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
EnvLookup fakeEnv(std::map<std::string, std::string> values) {
    return [values](const char* name) {
        auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    };
}
} // namespace

TEST(DataFolder, ChoiceFollowsOptionThenPortableFolderThenUserData) {
    TempWorkDir dir;
    const fs::path cwd = dir.path();
    struct Case {
        std::optional<fs::path> option;
        bool settingsHere;
        std::map<std::string, std::string> env;
        std::string expected; // "" for a failure
        DataFolderSource source;
    } cases[] = {
        {fs::path("/srv/q"), true, {{"HOME", "/home/a"}}, "/srv/q", DataFolderSource::Option},
        {std::nullopt, true, {{"HOME", "/home/a"}}, cwd.string(), DataFolderSource::Portable},
        {std::nullopt, false, {{"HOME", "/home/a"}}, "/home/a/.local/share/quillet", DataFolderSource::UserData},
        {std::nullopt, false, {{"HOME", "/home/a"}, {"XDG_DATA_HOME", "/x"}}, "/x/quillet", DataFolderSource::UserData},
        {std::nullopt,
         false,
         {{"HOME", "/home/a"}, {"XDG_DATA_HOME", "rel"}},
         "/home/a/.local/share/quillet",
         DataFolderSource::UserData},
        {std::nullopt, false, {}, "", DataFolderSource::UserData},
    };
    for (const Case& c : cases) {
        fs::remove(cwd / "pavosz.cjf");
        if (c.settingsHere)
            dir.write("pavosz.cjf", "\r\n\r\n\r\n5\r\n");
        auto chosen = chooseDataFolder(c.option, cwd, fakeEnv(c.env));
        if (c.expected.empty()) {
            EXPECT_TRUE(std::holds_alternative<std::string>(chosen));
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<DataFolder>(chosen)) << c.expected;
        EXPECT_EQ(std::get<DataFolder>(chosen).path, fs::path(c.expected));
        EXPECT_EQ(std::get<DataFolder>(chosen).source, c.source);
    }
}

TEST(DataFolder, MissingUserFolderIsSeededWholeAndExistingOneLeftAlone) {
    TempWorkDir dir;
    dir.write("share/defaults/pavosz.cjf", "settings");
    dir.write("share/defaults/bwl/bwl.cjf", "memos");
    dir.write("share/defaults/rjb/.keep", "");
    dir.write("share/defaults/bwyy.mid", "tune");
    dir.write("share/defaults/jjr.cjf", "the delivered holiday table"); // the user's file is his own
    const DataFolder folder{dir / "home/.local/share/quillet", DataFolderSource::UserData};
    ASSERT_EQ(prepareDataFolder(folder, dir / "share/defaults"), std::nullopt);
    EXPECT_EQ(dir.read("home/.local/share/quillet/pavosz.cjf"), "settings");
    EXPECT_EQ(dir.read("home/.local/share/quillet/bwl/bwl.cjf"), "memos");
    EXPECT_TRUE(fs::is_directory(folder.path / "rjb"));
    EXPECT_FALSE(dir.exists("home/.local/share/quillet/rjb/.keep"));
    EXPECT_FALSE(dir.exists("home/.local/share/quillet/bwyy.mid"));
    EXPECT_FALSE(dir.exists("home/.local/share/quillet/jjr.cjf"));

    // Only the user may enter the folders and read the files (the settings hold the diary key and password).
    for (const auto& entry : fs::recursive_directory_iterator(folder.path))
        EXPECT_EQ(entry.status().permissions() & fs::perms::all,
                  entry.is_directory() ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write)
            << entry.path();
    EXPECT_EQ(fs::status(folder.path).permissions() & fs::perms::all, fs::perms::owner_all);
    dir.write("home/.local/share/quillet/pavosz.cjf", "mine");
    ASSERT_EQ(prepareDataFolder(folder, dir / "share/defaults"), std::nullopt);
    EXPECT_EQ(dir.read("home/.local/share/quillet/pavosz.cjf"), "mine");
    EXPECT_EQ(fs::directory_iterator(dir / "home/.local/share").operator*().path(), folder.path); // no leftovers
}

TEST(DataFolder, BadPlacesNameThePathAndLeaveNothingBehind) {
    TempWorkDir dir;
    dir.write("defaults/pavosz.cjf", "settings");
    dir.write("afile", "x");
    fs::create_directories(dir / "locked");
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    const bool root = ::geteuid() == 0; // root writes anywhere
    struct Case {
        DataFolder folder;
        fs::path defaults;
        std::string says;
    } cases[] = {
        {{dir / "afile", DataFolderSource::Option}, dir / "defaults", "不是文件夹"},
        {{dir / "afile", DataFolderSource::UserData}, dir / "defaults", "不是文件夹"},
        {{dir / "nowhere", DataFolderSource::Option}, dir / "defaults", "不存在"},
        {{dir / "share-missing/quillet", DataFolderSource::UserData}, dir / "no-share", "no-share"},
        {{dir / "afile/quillet", DataFolderSource::UserData}, dir / "defaults", "afile"},
        {{dir / "locked/quillet", DataFolderSource::UserData}, dir / "defaults", root ? "" : "locked/quillet"},
    };
    for (const Case& c : cases) {
        if (c.says.empty())
            continue;
        std::optional<std::string> problem = prepareDataFolder(c.folder, c.defaults);
        ASSERT_TRUE(problem.has_value()) << c.folder.path;
        EXPECT_NE(problem->find(c.folder.path.string()), std::string::npos) << *problem;
        EXPECT_NE(problem->find(c.says), std::string::npos) << *problem;
    }
    // A folder that cannot be written can still be read: each write there says why it is refused.
    EXPECT_EQ(prepareDataFolder({dir / "locked", DataFolderSource::Portable}, dir / "defaults"), std::nullopt);
    EXPECT_FALSE(dir.exists("share-missing/quillet"));
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".quillet.new"), std::string::npos) << entry.path();
    fs::permissions(dir / "locked", fs::perms::owner_all);
}

TEST(DataFolder, ShareFolderIsBesideTheBinFolderOrTheProgramItself) {
    TempWorkDir dir;
    fs::create_directories(dir / "prefix/bin");
    fs::create_directories(dir / "prefix/share/quillet/defaults");
    fs::create_directories(dir / "build/app/defaults");
    EXPECT_EQ(findShareFolder(dir / "prefix/bin"), dir / "prefix/share/quillet");
    EXPECT_EQ(findShareFolder(dir / "build/app"), dir / "build/app");
    EXPECT_EQ(findShareFolder(dir / "elsewhere"), fs::path());
}

// Several first starts at once (a session starting the program twice, scripts): each one succeeds and finds
// the folder seeded whole.
TEST(DataFolder, FirstStartsAtOnceAllSucceed) {
    TempWorkDir dir;
    for (int n = 0; n < 300; ++n)
        dir.write("share/defaults/bwl/f" + std::to_string(n), std::string(2000, 'x'));
    const DataFolder folder{dir / "home/quillet", DataFolderSource::UserData};
    std::vector<pid_t> starts;
    for (int n = 0; n < 6; ++n)
        if (const pid_t child = ::fork(); child == 0)
            ::_exit(prepareDataFolder(folder, dir / "share/defaults") ? 1 : 0);
        else
            starts.push_back(child);
    for (pid_t child : starts) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path / "bwl"), fs::directory_iterator()), 300);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "home"), fs::directory_iterator()), 1); // no leftovers
}
