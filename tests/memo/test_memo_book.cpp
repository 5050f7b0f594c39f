// MemoBook: load, add, change, cancel, delete and save of bwl/bwl.cjf, and the reminder's write-back.
#include "common/safe_write.h"
#include "memo/memo_book.h"
#include "support/temp_dir.h"

#include <cerrno>
#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* kFile = "bwl/bwl.cjf";
const std::string kStamp = "2024030110";

std::string lines(std::initializer_list<std::string> all) {
    std::string out;
    for (const std::string& l : all)
        out += l + "\r\n";
    return gb(out);
}

std::string memo(int n, const std::string& due, const std::string& text, const std::string& flag = "F",
                 const std::string& stamp = "2024010108") {
    return buildMemoLine(memoNumber(n), due, text, flag, stamp);
}

class MemoBookTest : public ::testing::Test {
protected:
    MemoBook loaded(const std::string& bytes) {
        dir.write(kFile, bytes);
        MemoBook book;
        EXPECT_TRUE(book.load(dir / kFile).ok());
        return book;
    }
    void saveAndCompare(MemoBook& book, std::initializer_list<std::string> expected) {
        ASSERT_TRUE(book.save(dir / kFile).ok());
        EXPECT_EQ(dir.read(kFile), lines(expected));
    }
    TempWorkDir dir;
};

TEST_F(MemoBookTest, MissingFolderIsAnEmptyBookAndTheFirstSaveCreatesIt) {
    MemoBook book;
    ASSERT_TRUE(book.load(dir / kFile).ok());
    EXPECT_EQ(book.count(), 0);
    EXPECT_FALSE(dir.exists("bwl"));
    ASSERT_TRUE(book.add("2024030114", "开会", kStamp));
    saveAndCompare(book, {"1   @@2024030114@@开会@@F@@2024030110"});
}

TEST_F(MemoBookTest, EmptyFileLoadsAsNoMemosAndTheFirstIsNumberOne) {
    MemoBook book = loaded("");
    EXPECT_EQ(book.count(), 0);
    EXPECT_EQ(book.record(0), nullptr);
    EXPECT_EQ(book.record(1), nullptr);
    ASSERT_TRUE(book.add("2024030114", "a", kStamp));
    EXPECT_EQ(book.record(1)->bwxh, "1   ");
}

TEST_F(MemoBookTest, LoadReadsLfEndingsAndALastLineWithoutEnding) {
    MemoBook book = loaded(gb(memo(1, "2024030114", "甲") + "\n" + memo(2, "2024030115", "乙")));
    ASSERT_EQ(book.count(), 2);
    EXPECT_EQ(book.record(2)->text, "乙");
    saveAndCompare(book, {memo(1, "2024030114", "甲"), memo(2, "2024030115", "乙")});
}

TEST_F(MemoBookTest, LoadDiscardsThePreviousContents) {
    MemoBook book = loaded(lines({memo(1, "2024030114", "a"), memo(2, "2024030114", "b")}));
    dir.write(kFile, lines({memo(1, "2024030114", "c")}));
    ASSERT_TRUE(book.load(dir / kFile).ok());
    ASSERT_EQ(book.count(), 1);
    EXPECT_EQ(book.record(1)->text, "c");
}

TEST_F(MemoBookTest, AddAppendsAnActiveNumberedLinePuttingTheTextOnOneLine) {
    MemoBook book = loaded(lines({memo(1, "2024030114", "a")}));
    ASSERT_TRUE(book.add("2049123124", "第一行\r\n第二行\n第三行", kStamp));
    saveAndCompare(book, {memo(1, "2024030114", "a"), "2   @@2049123124@@第一行 第二行 第三行@@F@@2024030110"});
}

TEST_F(MemoBookTest, AddRefusesWhatTheLayoutCannotHold) {
    MemoBook book = loaded("");
    EXPECT_FALSE(book.add("202403011", "x", kStamp));
    EXPECT_FALSE(book.add("2024030125", "x", kStamp));
    EXPECT_FALSE(book.add("2024030114", "", kStamp));
    EXPECT_TRUE(book.add("2024030114", " ", kStamp)); // blanks count as a text
    EXPECT_EQ(book.count(), 1);
}

TEST_F(MemoBookTest, TheBookIsFullAt9999Memos) {
    std::string bytes;
    for (int n = 1; n <= 9998; ++n)
        bytes += memo(n, "2024030114", "m") + "\r\n";
    MemoBook book = loaded(bytes);
    EXPECT_FALSE(book.isFull());
    ASSERT_TRUE(book.add("2024030114", "last", kStamp));
    EXPECT_EQ(book.record(9999)->bwxh, "9999");
    EXPECT_TRUE(book.isFull());
    EXPECT_FALSE(book.add("2024030114", "one too many", kStamp));
    EXPECT_EQ(book.count(), 9999);
    Notice n = MemoBook::fullNotice();
    EXPECT_EQ(n.title, "提醒");
    EXPECT_NE(n.text.find("9999"), std::string::npos);
}

TEST_F(MemoBookTest, ChangeKeepsTheNumberAndMakesTheMemoActive) {
    MemoBook book = loaded(lines({memo(1, "2024030114", "a"), "2   @@2024030114@@b@@T@@2024010108"}));
    ASSERT_TRUE(book.change(2, "2024040108", "新\n内容", kStamp));
    saveAndCompare(book, {memo(1, "2024030114", "a"), "2   @@2024040108@@新 内容@@F@@2024030110"});
    EXPECT_FALSE(book.change(3, "2024040108", "x", kStamp));
    EXPECT_FALSE(book.change(0, "2024040108", "x", kStamp));
}

TEST_F(MemoBookTest, ToggleFlipsTheFlagAndWritesANewStamp) {
    MemoBook book = loaded(lines({memo(1, "2024030114", "a")}));
    ASSERT_TRUE(book.toggleCancel(1, "2024030111"));
    EXPECT_EQ(book.record(1)->line, "1   @@2024030114@@a@@T@@2024030111");
    ASSERT_TRUE(book.toggleCancel(1, "2024030112"));
    EXPECT_EQ(book.record(1)->line, "1   @@2024030114@@a@@F@@2024030112");
}

TEST_F(MemoBookTest, ToggleTurnsADamagedFlagIntoT) {
    MemoBook book = loaded(lines({"1   @@2024030114@@a@@x@@2024010108"}));
    ASSERT_TRUE(book.toggleCancel(1, kStamp));
    EXPECT_EQ(book.record(1)->flag, "T");
}

TEST_F(MemoBookTest, DeleteRenumbersTheMemosAfterIt) {
    MemoBook book = loaded(lines({memo(1, "2024030101", "一"), memo(2, "2024030102", "二"),
                                  memo(3, "2024030103", "三", "T", "2023120101"), memo(4, "2024030104", "四")}));
    ASSERT_TRUE(book.remove(2));
    saveAndCompare(book, {memo(1, "2024030101", "一"), memo(2, "2024030103", "三", "T", "2023120101"),
                          memo(3, "2024030104", "四")});
}

TEST_F(MemoBookTest, DeletingTheOnlyMemoLeavesAnEmptyFile) {
    MemoBook book = loaded(lines({memo(1, "2024030101", "一")}));
    ASSERT_TRUE(book.remove(1));
    EXPECT_FALSE(book.remove(1));
    saveAndCompare(book, {});
    EXPECT_EQ(fs::file_size(dir / kFile), 0u);
}

TEST_F(MemoBookTest, DamagedLinesAreCarriedUnchangedThroughEveryRewrite) {
    const std::string shortLine = "2   @@2024030102@@@@F";
    MemoBook book = loaded(lines({memo(1, "2024030101", "一"), shortLine, "", memo(4, "2024030104", "四")}));
    ASSERT_EQ(book.count(), 4);
    EXPECT_TRUE(book.record(2)->damaged);
    EXPECT_FALSE(book.toggleCancel(2, kStamp));
    ASSERT_TRUE(book.add("2024030105", "五", kStamp));
    ASSERT_TRUE(book.toggleCancel(1, kStamp));
    saveAndCompare(book, {"1   @@2024030101@@一@@T@@2024030110", shortLine, "", memo(4, "2024030104", "四"),
                          "5   @@2024030105@@五@@F@@2024030110"});
    ASSERT_TRUE(book.remove(1));
    saveAndCompare(book, {shortLine, "", memo(3, "2024030104", "四"), "4   @@2024030105@@五@@F@@2024030110"});
}

TEST_F(MemoBookTest, UndecodableBytesSurviveASave) {
    std::string raw = gb(memo(1, "2024030101", "甲")) + "\r\n" + "2   @@2024030102@@\xff\x80zz@@F@@2024010108\r\n";
    MemoBook book = loaded(raw);
    ASSERT_TRUE(book.toggleCancel(1, "2024010108"));
    ASSERT_TRUE(book.toggleCancel(1, "2024010108"));
    ASSERT_TRUE(book.save(dir / kFile).ok());
    EXPECT_EQ(dir.read(kFile), raw);
}

TEST_F(MemoBookTest, AReadThatFailsMidwayRefusesTheSaveSoNoMemoIsDropped) {
    std::string book;
    for (int n = 1; n <= 3000; ++n) // well over one read
        book += memo(n, "2024030101", "备忘 " + std::to_string(n)) + "\r\n";
    dir.write(kFile, book);
    int reads = 0;
    setSafeWriteFaultForTests([&](std::string_view step, const fs::path&) {
        return step == "read" && ++reads == 2 ? std::string("fails") : std::string();
    });
    MemoBook memos;
    Result<void> loaded = memos.load(dir / kFile);
    setSafeWriteFaultForTests(nullptr);
    ASSERT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.error().reason, systemReason(EIO));
    EXPECT_EQ(loaded.error().path, (dir / kFile).string());
    memos.add("2024030105", "新的", kStamp);
    EXPECT_FALSE(memos.save(dir / kFile).ok());
    EXPECT_EQ(dir.read(kFile), book);
}

TEST_F(MemoBookTest, AFailedSaveNamesTheFileAndKeepsTheOldOne) {
    const std::string before = lines({memo(1, "2024030101", "一")});
    MemoBook book = loaded(before);
    ASSERT_TRUE(book.add("2024030105", "五", kStamp));
    setSafeWriteFaultForTests([](std::string_view step, const fs::path&) {
        return step == "write" ? std::string("No space left on device") : std::string();
    });
    Result<void> saved = book.save(dir / kFile);
    setSafeWriteFaultForTests(nullptr);
    ASSERT_FALSE(saved.ok());
    EXPECT_NE(saved.error().path.find("bwl.cjf"), std::string::npos);
    EXPECT_EQ(saved.error().reason, "No space left on device");
    EXPECT_EQ(dir.read(kFile), before);
    Notice n = writeFailureNotice(saved.error());
    EXPECT_NE(n.text.find("bwl.cjf"), std::string::npos);
}

TEST_F(MemoBookTest, AnUnreadableFileIsNeverOverwritten) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const std::string before = lines({memo(1, "2024030101", "一")});
    dir.write(kFile, before);
    fs::permissions(dir / kFile, fs::perms::none);
    MemoBook book;
    EXPECT_FALSE(book.load(dir / kFile).ok());
    EXPECT_EQ(book.count(), 0);
    ASSERT_TRUE(book.add("2024030105", "五", kStamp));
    EXPECT_FALSE(book.save(dir / kFile).ok());
    fs::permissions(dir / kFile, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(dir.read(kFile), before);
}

// The reminder pop-up's write-back.
class CancelAnnouncedTest : public MemoBookTest {};

TEST_F(CancelAnnouncedTest, ChangesOnlyColumnLMinus12OfTheLine) {
    const std::string announced = memo(2, "2024030102", "二@@三");
    dir.write(kFile, lines({memo(1, "2024030101", "一"), announced, memo(3, "2024030103", "三")}));
    Result<bool> done = cancelAnnouncedMemo(dir / kFile, announced);
    ASSERT_TRUE(done.ok());
    EXPECT_TRUE(*done);
    EXPECT_EQ(dir.read(kFile),
              lines({memo(1, "2024030101", "一"), memo(2, "2024030102", "二@@三", "T"), memo(3, "2024030103", "三")}));
}

TEST_F(CancelAnnouncedTest, FollowsTheMemoWhenADeleteMovedItUp) {
    const std::string announced = memo(3, "2024030103", "三");
    // Memo 1 was deleted in the memo book while the pop-up showed memo 3: line 3 is now memo 4's.
    dir.write(kFile, lines({memo(1, "2024030102", "二"), memo(2, "2024030103", "三"), memo(3, "2024030104", "四")}));
    ASSERT_TRUE(*cancelAnnouncedMemo(dir / kFile, announced));
    EXPECT_EQ(dir.read(kFile),
              lines({memo(1, "2024030102", "二"), memo(2, "2024030103", "三", "T"), memo(3, "2024030104", "四")}));
}

TEST_F(CancelAnnouncedTest, CancelsNothingWhenTheMemoIsGoneOrChanged) {
    const std::string announced = memo(2, "2024030102", "二");
    const std::string gone = lines({memo(1, "2024030101", "一")});
    dir.write(kFile, gone);
    EXPECT_FALSE(*cancelAnnouncedMemo(dir / kFile, announced));
    EXPECT_EQ(dir.read(kFile), gone);
    const std::string changed = lines({memo(1, "2024030101", "一"), memo(2, "2024030102", "改过", "F", kStamp)});
    dir.write(kFile, changed);
    EXPECT_FALSE(*cancelAnnouncedMemo(dir / kFile, announced));
    EXPECT_EQ(dir.read(kFile), changed);
}

TEST_F(CancelAnnouncedTest, AMissingFileStaysMissing) {
    Result<bool> done = cancelAnnouncedMemo(dir / kFile, memo(1, "2024030101", "一"));
    ASSERT_TRUE(done.ok());
    EXPECT_FALSE(*done);
    EXPECT_FALSE(dir.exists("bwl"));
}

TEST(FindAnnouncedMemo, PrefersTheNumberedLineThenTheNearestAboveThenBelow) {
    const std::string a = memo(3, "2024030103", "same");
    std::vector<std::string> file = {memo(1, "2024030103", "same"), memo(2, "2024030103", "same"),
                                     memo(3, "2024030103", "same"), memo(4, "2024030103", "same")};
    EXPECT_EQ(findAnnouncedMemo(file, a), 2);
    file[2] = memo(3, "2024030109", "other");
    EXPECT_EQ(findAnnouncedMemo(file, a), 1);
    file[0] = file[1] = memo(1, "2024030109", "other");
    EXPECT_EQ(findAnnouncedMemo(file, a), 3);
    EXPECT_EQ(findAnnouncedMemo({}, a), -1);
    EXPECT_EQ(findAnnouncedMemo(file, memo(9, "2024030103", "same")), 3); // past the end
}

} // namespace
