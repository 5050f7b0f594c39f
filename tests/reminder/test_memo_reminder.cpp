// The memo check of the desk calendar's Timer2: which memos are announced, in what order, with which tune,
// and when the check comes.
#include "desk/desk_timers.h"
#include "memo/memo_line.h"
#include "reminder/memo_reminder.h"
#include "reminder/music.h"
#include "support/fake_mci.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

const LocalDateTime kNow{2024, 3, 15, 14, 30};

std::string memo(int n, const std::string& due, const std::string& text, const std::string& flag = "F") {
    return buildMemoLine(memoNumber(n), due, text, flag, "2024010108");
}

class MemoReminderTest : public ::testing::Test {
protected:
    void writeMemos(std::initializer_list<std::string> lines) {
        std::string bytes;
        for (const std::string& l : lines)
            bytes += l + "\r\n";
        dir.write("bwl/bwl.cjf", gb(bytes));
    }
    int check(const LocalDateTime& now) {
        return runMemoCheck(desk, music, dir / "bwl/bwl.cjf", now,
                            [this](const AnnouncedMemo& m) { announced.push_back(m); });
    }

    TempWorkDir dir;
    FakeMciDevice mci;
    Music music{mci, "/opt/quillet tunes"};
    Form3State desk;
    FakeClock clock{kNow};
    std::vector<AnnouncedMemo> announced;
};

TEST_F(MemoReminderTest, AnnouncesEveryDueActiveMemoInFileOrder) {
    writeMemos({memo(1, "2024031515", "later today"), memo(2, "2024031514", "二号"),
                memo(3, "2024031514", "cancelled", "T"), "damaged", memo(5, "2024030109", "五号@@备忘"),
                memo(6, "2024031524", "hour 24")});
    desk.txyybz = false;
    EXPECT_EQ(check(kNow), 2);
    ASSERT_EQ(announced.size(), 2u);
    EXPECT_EQ(announced[0].bwxh, "2   ");
    EXPECT_EQ(announced[0].text, "二号");
    EXPECT_EQ(announced[1].bwxh, "5   ");
    EXPECT_EQ(announced[1].text, "五号@@备忘");
    EXPECT_EQ(announced[1].line, memo(5, "2024030109", "五号@@备忘"));
    EXPECT_TRUE(desk.txyybz);
    // Each announcement starts the reminder tune; the second finds it playing and leaves it alone.
    EXPECT_EQ(mci.openCommand(), "OPEN \"/opt/quillet tunes/bwyy.mid\" TYPE SEQUENCER ALIAS BackgroundMusic");
    EXPECT_EQ(mci.plays(), 1);
    EXPECT_EQ(mci.count("OPEN"), 2);
}

TEST_F(MemoReminderTest, MissingFileOrFolderIsSilent) {
    EXPECT_EQ(check(kNow), 0);
    EXPECT_TRUE(mci.commands().empty());
    dir.write("bwl/other.txt", "");
    EXPECT_EQ(check(kNow), 0);
    EXPECT_TRUE(announced.empty());
}

TEST_F(MemoReminderTest, NothingDueLeavesTheMusicFlagAlone) {
    writeMemos({memo(1, "2024031515", "later"), memo(2, "2023122810", "month 12 is above 3")});
    desk.txyybz = false;
    EXPECT_EQ(check(kNow), 0);
    EXPECT_FALSE(desk.txyybz);
    EXPECT_TRUE(mci.commands().empty());
}

TEST_F(MemoReminderTest, TheFlagIsFoundWhateverCharactersEndTheText) {
    // 0x81 0x40 is a two-byte character whose second byte is "@"; 0x81 0x30 0x81 0x30 a four-byte one.
    const std::string head = "1   @@2024031514@@";
    dir.write("bwl/bwl.cjf", head + "\x81\x40@@T@@2024010108\r\n" + head + "\x81\x40@@F@@2024010108\r\n" + head +
                                 "\x81\x30\x81\x30@@T@@2024010108\r\n" + head + "\x81\x30\x81\x30@@F@@2024010108\r\n" +
                                 head + "\xff@@F@@2024010108\r\n" + head + "x@@T\x81@@2024010108\r\n");
    EXPECT_EQ(check(kNow), 3);
    ASSERT_EQ(announced.size(), 3u);
    EXPECT_EQ(announced[0].text, "丂");
    EXPECT_EQ(announced[0].lineNumber, 2);
    EXPECT_EQ(announced[1].text, "\u0080");
    EXPECT_EQ(announced[1].lineNumber, 4);
    EXPECT_EQ(announced[2].lineNumber, 5);
}

TEST_F(MemoReminderTest, LfFilesAndEmptyLinesAreRead) {
    dir.write("bwl/bwl.cjf", gb(memo(1, "2024031514", "甲") + "\n\n" + memo(3, "2024031514", "丙")));
    EXPECT_EQ(check(kNow), 2);
    EXPECT_EQ(announced.back().bwxh, "3   ");
}

// With the desk calendar's counting: the check comes every dss minutes.
TEST_F(MemoReminderTest, WithAnIntervalOfOneTheFirstCheckComesAtTick60) {
    writeMemos({memo(1, "2024031514", "开会")});
    DeskTimers timers(desk, music, clock);
    timers.onMemoCheck = [this] { check(kNow); };
    desk.dss = 1;
    for (int tick = 1; tick < 60; ++tick)
        timers.tickTimer2();
    EXPECT_TRUE(announced.empty());
    timers.tickTimer2();
    EXPECT_EQ(announced.size(), 1u);
    for (int tick = 1; tick <= 60; ++tick)
        timers.tickTimer2();
    EXPECT_EQ(announced.size(), 2u); // announced again until it is cancelled
}

TEST_F(MemoReminderTest, AnIntervalOfZeroOrBelowNeverChecks) {
    writeMemos({memo(1, "2024031514", "开会")});
    DeskTimers timers(desk, music, clock);
    timers.onMemoCheck = [this] { check(kNow); };
    for (int16_t dss : {int16_t(0), int16_t(-5)}) {
        desk.dss = dss;
        for (int tick = 0; tick < 40000; ++tick)
            timers.tickTimer2();
    }
    EXPECT_TRUE(announced.empty());
}

TEST_F(MemoReminderTest, ALoweredMusicFlagClosesTheTuneAtTheNextTick) {
    writeMemos({memo(1, "2024031514", "开会")});
    check(kNow);
    ASSERT_TRUE(mci.isPlaying());
    DeskTimers timers(desk, music, clock);
    desk.txyybz = false; // the pop-up closed
    timers.tickTimer2();
    EXPECT_FALSE(mci.isOpen());
    EXPECT_EQ(mci.count("CLOSE"), 1);
}

} // namespace
