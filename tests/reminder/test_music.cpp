#include "reminder/music.h"

#include "support/fake_mci.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(Music, StartSendsOpenStatusAndPlayWithTheQuotedPath) {
    FakeMciDevice mci;
    Music music(mci, "/opt/My Programs/quillet");
    music.start("bwyy.mid");
    EXPECT_EQ(mci.commands(), (std::vector<std::string>{
                                  "OPEN \"/opt/My Programs/quillet/bwyy.mid\" TYPE SEQUENCER ALIAS BackgroundMusic",
                                  "STATUS BackgroundMusic MODE", "PLAY BackgroundMusic FROM 0"}));
}

TEST(Music, PlaysOnlyWhenTheStatusBeginsWithStopped) {
    struct Case {
        const char* mode;
        int plays;
    };
    for (Case c : {Case{"stopped", 1}, Case{"STOPPED", 1}, Case{"Stopped and more", 1}, Case{"playing", 0},
                   Case{"stop", 0}, Case{"", 0}, Case{" stopped", 0}}) {
        FakeMciDevice mci;
        Music music(mci, "/opt/quillet");
        mci.sendString("OPEN x ALIAS BackgroundMusic");
        mci.setMode(c.mode);
        mci.clear();
        music.start("dsyy.mid");
        EXPECT_EQ(mci.plays(), c.plays) << '"' << c.mode << '"';
    }
}

TEST(Music, StopClosesTheAlias) {
    FakeMciDevice mci;
    Music music(mci, "/opt/quillet");
    music.stop();
    EXPECT_EQ(mci.commands(), (std::vector<std::string>{"CLOSE BackgroundMusic"}));
}

TEST(Music, TuneFolderIsTheProgramFolderWhenItHoldsTheReminderTune) {
    TempWorkDir dir;
    dir.write("bin/bwyy.mid", "MThd");
    EXPECT_EQ(findTuneFolder(dir / "bin"), dir / "bin");
}

TEST(Music, TuneFolderOfAnInstalledProgramIsShareQuillet) {
    TempWorkDir dir;
    fs::create_directories(dir / "usr" / "bin");
    EXPECT_EQ(findTuneFolder(dir / "usr" / "bin"), dir / "usr" / "share" / "quillet");
}

} // namespace
