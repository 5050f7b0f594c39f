#include "common/data_paths.h"
#include "common/line_file.h"
#include "common/result.h"
#include "common/safe_write.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

TEST(LineFile, SplitsCrLfAndLfAndKeepsLoneCr) {
    EXPECT_EQ(splitRawLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(splitRawLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(splitRawLines("x\ry\r\n"), (std::vector<std::string>{"x\ry"}));
    EXPECT_TRUE(splitRawLines("").empty());
    EXPECT_EQ(joinRawLines({"a", ""}), "a\r\n\r\n");
}

TEST(LineFile, ReadWriteIsByteForByteForCrLfFiles) {
    TempWorkDir dir;
    const std::string bytes = "1   @@2003061514@@" + gb("开会") + "\x80\xFF@@F@@2003061209\r\n\r\n";
    dir.write("f.cjf", bytes);
    auto lines = readTextLines(dir / "f.cjf");
    ASSERT_TRUE(lines.ok());
    ASSERT_TRUE(writeTextLines(dir / "g.cjf", *lines).ok());
    EXPECT_EQ(dir.read("g.cjf"), bytes);
}

TEST(SafeWrite, ReplacesAtomicallyAndKeepsOldFileOnEveryFailedStep) {
    TempWorkDir dir;
    dir.write("data.cjf", "old");
    ASSERT_TRUE(writeFileAtomic(dir / "data.cjf", "new").ok());
    EXPECT_EQ(dir.read("data.cjf"), "new");
    for (const char* step : {"write", "fsync", "rename"}) {
        setSafeWriteFaultForTests([step](std::string_view s, const fs::path&) {
            return s == step ? std::string("No space left on device") : std::string();
        });
        Result<void> r = writeFileAtomic(dir / "data.cjf", "broken");
        setSafeWriteFaultForTests(nullptr);
        ASSERT_FALSE(r.ok()) << step;
        EXPECT_EQ(r.error().reason, "No space left on device");
        EXPECT_EQ(r.error().path, (dir / "data.cjf").string());
        EXPECT_EQ(dir.read("data.cjf"), "new") << step;
    }
    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(SafeWrite, ReportsTheOperatingSystemReason) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions";
    TempWorkDir dir;
    fs::create_directory(dir / "ro");
    dir.write("ro/a.cjf", "keep");
    fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    Result<void> r = writeFileAtomic(dir / "ro/a.cjf", "x");
    fs::permissions(dir / "ro", fs::perms::owner_all);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().reason, "没有权限 (Permission denied)");
    EXPECT_EQ(dir.read("ro/a.cjf"), "keep");
}

TEST(SafeWrite, MissingFolderIsAnErrorNotACrash) {
    TempWorkDir dir;
    Result<void> r = writeFileAtomic(dir / "nope/a.cjf", "x");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().reason, systemReason(ENOENT));
    ASSERT_TRUE(ensureFolder(dir / "nope").ok());
    EXPECT_TRUE(writeFileAtomic(dir / "nope/a.cjf", "x").ok());
}

TEST(SafeWrite, KeepsPermissionsAndRefusesExistingWhenAsked) {
    TempWorkDir dir;
    dir.write("p.cjf", "a");
    fs::permissions(dir / "p.cjf", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(writeFileAtomic(dir / "p.cjf", "b").ok());
    EXPECT_EQ(fs::status(dir / "p.cjf").permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    auto producer = [](const ChunkSink& sink) -> Result<void> {
        sink("c");
        return {};
    };
    AtomicWriteOptions noReplace;
    noReplace.replaceExisting = false;
    EXPECT_FALSE(writeFileAtomicStreamed(dir / "p.cjf", producer, noReplace).ok());
    EXPECT_EQ(dir.read("p.cjf"), "b");
}

TEST(SafeWrite, ReadingAFolderOrAMissingFileIsAnError) {
    TempWorkDir dir;
    fs::create_directory(dir / "folder");
    Result<std::string> folder = readFileBytes(dir / "folder");
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(folder.error().reason, "是文件夹 (Is a directory)");
    EXPECT_FALSE(readFileBytes(dir / "missing").ok());
    dir.write("empty", "");
    ASSERT_TRUE(readFileBytes(dir / "empty").ok());
    EXPECT_EQ(*readFileBytes(dir / "empty"), "");
}

TEST(SafeWrite, AppendGrowsTheFile) {
    TempWorkDir dir;
    ASSERT_TRUE(appendFileSynced(dir / "log.cjf", "a\r\n").ok());
    ASSERT_TRUE(appendFileSynced(dir / "log.cjf", "b\r\n").ok());
    EXPECT_EQ(dir.read("log.cjf"), "a\r\nb\r\n");
}

TEST(DataPaths, JoinTheWorkingDirectoryAtTheMomentOfUse) {
    TempWorkDir dir;
    EXPECT_EQ(dataPath({"bwl", "bwl.cjf"}), fs::current_path() / "bwl" / "bwl.cjf");
    EXPECT_EQ(pathToUtf8(dataPathIn("/x", {"txl", "照片.gif"})), "/x/txl/照片.gif");
}

// Files the user set up around the data: a file made read-only is refused and kept; a symbolic link is written
// through to its target, which is replaced in its own folder, and stays a link; a file others could read
// becomes owner-only on its next save, as a new one is.
TEST(SafeWrite, ReadOnlyFilesAreKeptLinksWrittenThroughBitsTightened) {
    TempWorkDir dir;
    dir.write("ro.cjf", "keep");
    ::chmod((dir / "ro.cjf").c_str(), 0444);
    Result<void> refused = writeFileAtomic(dir / "ro.cjf", "new", FileAccess::Private);
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().reason.find("只读"), std::string::npos) << refused.error().reason;
    EXPECT_FALSE(appendFileSynced(dir / "ro.cjf", "more").ok());
    EXPECT_EQ(dir.read("ro.cjf"), "keep");

    dir.write("synced/book.cjf", "old");
    ::chmod((dir / "synced/book.cjf").c_str(), 0644);
    fs::create_directory(dir / "bwl");
    fs::create_symlink("../synced/book.cjf", dir / "bwl/bwl.cjf");
    ASSERT_TRUE(writeFileAtomic(dir / "bwl/bwl.cjf", "new", FileAccess::Private).ok());
    EXPECT_TRUE(fs::is_symlink(dir / "bwl/bwl.cjf"));
    EXPECT_EQ(dir.read("synced/book.cjf"), "new");
    EXPECT_EQ(fs::status(dir / "synced/book.cjf").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "bwl"), fs::directory_iterator()), 1);
    dir.write("log.cjf", "a");
    ::chmod((dir / "log.cjf").c_str(), 0644);
    ASSERT_TRUE(appendFileSynced(dir / "log.cjf", "b").ok());
    EXPECT_EQ(fs::status(dir / "log.cjf").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(ensureFolder(dir / "new/deeper").ok());
    EXPECT_EQ(fs::status(dir / "new/deeper").permissions() & fs::perms::all, fs::perms::owner_all);
}

// What is in a data file's place is read only when it is a plain file of a sane size: a FIFO (which nobody
// writes) or a device is refused at once instead of hanging or filling the memory, and so is an over-big file.
TEST(SafeWrite, OnlyPlainFilesOfASaneSizeAreRead) {
    TempWorkDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const fs::path& odd : {dir / "fifo", fs::path("/dev/zero")}) {
        Result<std::string> read = readFileBytes(odd);
        ASSERT_FALSE(read.ok()) << odd;
        EXPECT_NE(read.error().reason.find("不是普通文件"), std::string::npos) << read.error().reason;
        EXPECT_FALSE(writeFileAtomic(odd, "x").ok()) << odd;
    }
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    dir.write("big", "");
    fs::resize_file(dir / "big", kReadLimit + 1); // sparse: nothing is really written
    Result<std::string> big = readFileBytes(dir / "big");
    ASSERT_FALSE(big.ok());
    EXPECT_NE(big.error().reason.find("太大"), std::string::npos) << big.error().reason;
    dir.write("small", "12345");
    EXPECT_FALSE(readFileBytes(dir / "small", 4).ok());
    EXPECT_EQ(*readFileBytes(dir / "small", 5), "12345");
}
