// Temporary files of killed saves, the permission bits of private files, and reads that fail midway.
#include "common/safe_write.h"
#include "common/temp_debris.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The pid of a process that has ended.
long deadPid() {
    pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

unsigned modeOf(const fs::path& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0u;
}

} // namespace

TEST(TempDebris, NamesCarryTheTargetAndTheWriter) {
    const std::string name = tempPathFor("/d/bwl.cjf").filename().string();
    std::optional<TempName> parsed = parseTempName(name);
    ASSERT_TRUE(parsed) << name;
    EXPECT_EQ(parsed->target, "bwl.cjf");
    EXPECT_EQ(parsed->pid, ::getpid());
    for (const char* other : {".bwl.cjf.tmp1a2b3c", "bwl.cjf.quillet-tmp.12.abcdef", ".bwl.cjf.quillet-tmp.12.abcde",
                              ".bwl.cjf.quillet-tmp.x.abcdef", ".bwl.cjf.quillet-tmp.12.ABCDEF",
                              ".quillet-tmp.1.abcdef", ".a.quillet-tmp.12.abcdefg"})
        EXPECT_FALSE(parseTempName(other)) << other;
}

TEST(TempDebris, ASaveRemovesOnlyStaleTempsOfItsOwnTarget) {
    TempWorkDir dir;
    const std::string dead = std::to_string(deadPid()), parent = std::to_string(::getppid());
    const std::set<std::string> kept = {
        ".other.cjf.quillet-tmp." + dead + ".000001", // another target: the start-up sweep's
        ".bwl.cjf.quillet-tmp." + parent + ".000002", // its writer still runs
        ".bwl.cjf.tmp3f2a1b",                         // not our pattern
        "bwl.cjf.quillet-tmp." + dead + ".000003",    // not hidden: not ours
    };
    for (const std::string& name : kept)
        dir.write("bwl/" + name, "x");
    dir.write("bwl/.bwl.cjf.quillet-tmp." + dead + ".00000a", "partial");
    fs::create_directories(dir / ("bwl/.bwl.cjf.quillet-tmp." + dead + ".00000b")); // a folder is never removed
    ASSERT_TRUE(writeFileAtomic(dir / "bwl/bwl.cjf", "memo").ok());

    std::set<std::string> expected = kept;
    expected.insert({"bwl.cjf", ".bwl.cjf.quillet-tmp." + dead + ".00000b"});
    EXPECT_EQ(namesIn(dir / "bwl"), expected);

    // The start-up sweep takes the other target's debris too, in every data folder.
    dir.write("rjb/.rj200306.cjf.quillet-tmp." + dead + ".00000c", "half a month");
    dir.write(".pavosz.cjf.quillet-tmp." + dead + ".00000d", "key");
    EXPECT_EQ(sweepDataFolders(dir.path()), 3);
    EXPECT_FALSE(dir.exists("bwl/.other.cjf.quillet-tmp." + dead + ".000001"));
    EXPECT_TRUE(fs::is_empty(dir / "rjb"));
}

TEST(PrivateFiles, FinalBitsByAccess) {
    TempWorkDir dir;
    const mode_t oldMask = ::umask(022);
    struct Case {
        FileAccess access;
        std::optional<unsigned> before; // nullopt: the file is new
        unsigned after;
    };
    const Case cases[] = {
        {FileAccess::Private, std::nullopt, 0600}, {FileAccess::Private, 0644, 0600}, {FileAccess::Private, 0600, 0600},
        {FileAccess::Usual, std::nullopt, 0644},   {FileAccess::Usual, 0640, 0640},
    };
    int i = 0;
    for (const Case& c : cases) {
        const fs::path file = dir / ("f" + std::to_string(i++));
        if (c.before) {
            dir.write(file.filename().string(), "old");
            ::chmod(file.c_str(), *c.before);
        }
        ASSERT_TRUE(writeFileAtomic(file, "new", c.access).ok()) << file;
        EXPECT_EQ(modeOf(file), c.after) << file;
    }
    ::umask(oldMask);
}

TEST(PrivateFiles, TheTemporaryFileHasItsFinalBitsBeforeTheFirstByte) {
    TempWorkDir dir;
    std::vector<unsigned> seen;
    auto producer = [&](const ChunkSink& sink) -> Result<void> {
        for (const auto& e : fs::directory_iterator(dir.path()))
            if (parseTempName(e.path().filename().string()))
                seen.push_back(modeOf(e.path()));
        sink("plain text");
        return {};
    };
    AtomicWriteOptions readOnly;
    readOnly.mode = 0400;
    ASSERT_TRUE(writeFileAtomicStreamed(dir / "a.txt", producer, readOnly).ok());
    EXPECT_EQ(seen, std::vector<unsigned>{0400});
    EXPECT_EQ(modeOf(dir / "a.txt"), 0400u);
}
