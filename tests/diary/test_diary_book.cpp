#include "common/data_paths.h"
#include "common/safe_write.h"
#include "diary/diary_book.h"
#include "diary_test_util.h"

#include <gtest/gtest.h>

namespace {

const LocalDateTime kDec5{2003, 12, 5, 10, 30, 0};

class DiaryBookTest : public ::testing::Test {
protected:
    void TearDown() override { setSafeWriteFaultForTests(nullptr); }
    TempWorkDir dir;
    FakeClock clock{kDec5};
    DiaryBook book{clock};
};

} // namespace

TEST_F(DiaryBookTest, FirstOpeningCreatesTheSixtyByteMonthFile) {
    EXPECT_FALSE(dir.exists("rjb")); // created at the first write
    const DiaryReply reply = book.LoadMonth("2003", "12", "05", "key");
    EXPECT_TRUE(reply.ok());
    EXPECT_EQ(reply.text, "");
    const std::string file = dir.read("rjb/rj200312.cjf");
    ASSERT_EQ(file.size(), 60u);
    EXPECT_EQ(CipherPass(file, "abc"), "@@@@@@@@@@20031205@@@@@@@@@@\r\n@@@@@@@@20031205103000@@@@@@\r\n");
    EXPECT_EQ(rjbFiles(dir), std::vector<std::string>{"rj200312.cjf"}); // no temporary plain file
    EXPECT_EQ(book.tables().dayHeader[5], "@@@@@@@@@@20031205@@@@@@@@@@");
    EXPECT_EQ(book.tables().dayTime[5], "@@@@@@@@20031205103000@@@@@@");
    EXPECT_TRUE(book.loadedReadable());
}

TEST_F(DiaryBookTest, SaveWritesDaysInAscendingOrder) {
    storeMonth(dir, "2003", "12", diaryRecord("20031210", {"ten"}, "20031210090000"), "pw");
    ASSERT_TRUE(book.LoadMonth("2003", "12", "10", "pw").ok());
    EXPECT_FALSE(book.SaveDay("2003", "12", "03", "a\nb", "pw"));
    EXPECT_EQ(storedPlain(dir, "2003", "12", "pw"), diaryRecord("20031203", {"a", "b"}, "20031205103000") +
                                                        diaryRecord("20031210", {"ten"}, "20031210090000"));
}

TEST_F(DiaryBookTest, SavingAnEmptyEntryDropsTheDay) {
    storeMonth(dir, "2003", "12",
               diaryRecord("20031201", {"one"}, "20031201080000") +
                   diaryRecord("20031215", {"fifteen"}, "20031215080000"),
               "pw");
    ASSERT_TRUE(book.LoadMonth("2003", "12", "01", "pw").ok());
    EXPECT_FALSE(book.SaveDay("2003", "12", "01", "", "pw"));
    EXPECT_EQ(storedPlain(dir, "2003", "12", "pw"), diaryRecord("20031215", {"fifteen"}, "20031215080000"));
}

TEST_F(DiaryBookTest, NewMonthRecordDisappearsAtFirstSaveOfAnotherDay) {
    ASSERT_TRUE(book.LoadMonth("2003", "12", "05", "").ok());
    EXPECT_FALSE(book.SaveDay("2003", "12", "07", "x", ""));
    EXPECT_EQ(storedPlain(dir, "2003", "12", ""), diaryRecord("20031207", {"x"}, "20031205103000"));
}

TEST_F(DiaryBookTest, SaveThatLeavesNoDayWritesAnEmptyFile) {
    storeMonth(dir, "2003", "12", diaryRecord("20031205", {"only"}, "20031205080000"), "pw");
    ASSERT_TRUE(book.LoadMonth("2003", "12", "05", "pw").ok());
    EXPECT_FALSE(book.SaveDay("2003", "12", "05", "", "pw"));
    EXPECT_EQ(dir.read("rjb/rj200312.cjf"), "");
    const DiaryReply again = book.LoadMonth("2003", "12", "05", "pw");
    EXPECT_TRUE(again.ok());
    EXPECT_EQ(again.text, "");
    EXPECT_TRUE(book.loadedReadable());
    EXPECT_EQ(dir.read("rjb/rj200312.cjf"), ""); // an existing empty month is not recreated
    EXPECT_FALSE(book.SaveDay("2003", "12", "05", "back", "pw"));
    EXPECT_EQ(storedPlain(dir, "2003", "12", "pw"), diaryRecord("20031205", {"back"}, "20031205103000"));
}

TEST_F(DiaryBookTest, LoadShowsTheWantedDay) {
    storeMonth(dir, "2003", "12",
               diaryRecord("20031201", {"first"}, "20031201080000") +
                   diaryRecord("20031215", {"日记 line 1", "line 2"}, "20031215080000"),
               "pw");
    const DiaryReply reply = book.LoadMonth("2003", "12", "15", "pw");
    EXPECT_TRUE(reply.ok());
    EXPECT_EQ(reply.text, "日记 line 1\r\nline 2");
    EXPECT_EQ(book.tables().dayBody[1], "first");
    EXPECT_EQ(book.tables().dayBody[15], "日记 line 1\r\nline 2");
    EXPECT_EQ(book.LoadMonth("2003", "12", "02", "pw").text, "");
}

TEST_F(DiaryBookTest, ExportTextForTheNineLineExample) {
    storeMonth(dir, "2003", "12", diaryRecord("20031205", {"first entry line", "second entry line"}, "20031205103000"),
               "pw");
    ASSERT_TRUE(book.LoadMonth("2003", "12", "05", "pw").ok());
    const DayTables before = book.tables();
    const DiaryReply exported = book.ExportMonth("2003", "12", "pw");
    ASSERT_TRUE(exported.ok());
    const std::string expected = "2003年12月  日记内容\r\n"
                                 "\r\n"
                                 "---------05日-------------------------------------------------\r\n"
                                 "\r\n"
                                 "first entry line\r\n"
                                 "second entry line\r\n"
                                 "\r\n"
                                 "---------记录时间:20031205103000------------------------------\r\n"
                                 "\r\n";
    EXPECT_EQ(exported.text, expected);
    EXPECT_EQ(book.ExportMonth("2003", "12", "pw").text, expected); // twice, the same text
    EXPECT_EQ(book.tables().dayBody, before.dayBody);
    EXPECT_EQ(rjbFiles(dir), std::vector<std::string>{"rj200312.cjf"}); // no scratch file left

    const DiaryReply kept = book.SaveExportText(exported.text);
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(kept.text, pathToUtf8(dir / "rjb/rj200312.txt"));
    EXPECT_EQ(dir.read("rjb/rj200312.txt"), gb(expected + "\r\n"));
}

TEST_F(DiaryBookTest, ExportOfAnEmptyEntryHasTwoEmptyLinesBeforeTheTime) {
    ASSERT_TRUE(book.LoadMonth("2003", "12", "05", "").ok()); // the new month's empty record
    EXPECT_EQ(book.ExportMonth("2003", "12", "").text,
              "2003年12月  日记内容\r\n\r\n---------05日" + std::string(49, '-') +
                  "\r\n\r\n\r\n---------记录时间:20031205103000" + std::string(30, '-') + "\r\n\r\n");
}

TEST_F(DiaryBookTest, ExportFollowsTheBoxesAndKeepsTheLoadedMonth) {
    storeMonth(dir, "2004", "01", diaryRecord("20040102", {"jan"}, "20040102080000"), "pw");
    ASSERT_TRUE(book.LoadMonth("2003", "12", "05", "pw").ok());
    const DiaryReply exported = book.ExportMonth("2004", "1", "pw");
    ASSERT_TRUE(exported.ok());
    EXPECT_NE(exported.text.find("jan\r\n"), std::string::npos);
    EXPECT_EQ(exported.text.rfind("2004年01月", 0), 0u);
    EXPECT_EQ(book.loadedMonth(), "12");
    EXPECT_EQ(book.SaveExportText(exported.text).text, pathToUtf8(dir / "rjb/rj200401.txt"));
    // A month with no file exports as its heading alone, and creates nothing.
    EXPECT_EQ(book.ExportMonth("2004", "02", "pw").text, "2004年02月  日记内容\r\n\r\n");
    EXPECT_FALSE(dir.exists("rjb/rj200402.cjf"));
}

TEST_F(DiaryBookTest, SameLengthKeyReadsAndAnotherLengthIsRefused) {
    const std::string plain = diaryRecord("20031205", {"secret words"}, "20031205080000");
    const std::size_t n = gb(plain).size();
    ASSERT_NE(cipherKeyStart(n, 3), cipherKeyStart(n, 4)); // the lengths really differ for this file
    storeMonth(dir, "2003", "12", plain, "abc");
    const std::string stored = dir.read("rjb/rj200312.cjf");

    EXPECT_EQ(book.LoadMonth("2003", "12", "05", "xyz").text, "secret words");
    EXPECT_TRUE(book.loadedReadable());

    const DiaryReply other = book.LoadMonth("2003", "12", "05", "abcd");
    ASSERT_FALSE(other.ok());
    EXPECT_EQ(other.notice->title, "警告");
    EXPECT_FALSE(book.loadedReadable());
    const auto refused = book.SaveDay("2003", "12", "06", "new day", "abcd");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->title, "警告");
    EXPECT_FALSE(book.ExportMonth("2003", "12", "abcd").ok());
    EXPECT_EQ(dir.read("rjb/rj200312.cjf"), stored);
    // Back under the right length, the month saves again and keeps its day.
    ASSERT_TRUE(book.LoadMonth("2003", "12", "06", "abc").ok());
    EXPECT_FALSE(book.SaveDay("2003", "12", "06", "new day", "abc"));
    EXPECT_EQ(storedPlain(dir, "2003", "12", "abc"), plain + diaryRecord("20031206", {"new day"}, "20031205103000"));
}

TEST_F(DiaryBookTest, DamagedMonthsAreRefusedForSaving) {
    const std::vector<std::string> damaged = {
        "@@@@@@@@@@20031205@@@@@@@@@@\r\n",                                      // ends right after a header
        "@@@@@@@@@@20031245@@@@@@@@@@\r\nx\r\n@@@@@@@@20031205080000@@@@@@\r\n", // day above 40
        "hello\r\n@@@@@@@@20031205080000@@@@@@\r\n",                             // no header
        "@@@@@@@@@@20031205@@@@@@@@@@\r\ntext without end\r\n"};
    for (const auto& plain : damaged) {
        storeMonth(dir, "2003", "12", plain, "k");
        EXPECT_FALSE(book.LoadMonth("2003", "12", "05", "k").ok()) << plain;
        EXPECT_TRUE(book.SaveDay("2003", "12", "05", "x", "k")) << plain;
        EXPECT_EQ(storedPlain(dir, "2003", "12", "k"), plain);
    }
}

TEST_F(DiaryBookTest, SaveToAnotherMonthLoadsItsRecordsFirst) {
    storeMonth(dir, "2003", "12", diaryRecord("20031205", {"december"}, "20031205080000"), "pw");
    storeMonth(dir, "2004", "01", diaryRecord("20040102", {"january"}, "20040102080000"), "pw");
    ASSERT_TRUE(book.LoadMonth("2003", "12", "05", "pw").ok());
    const std::string december = dir.read("rjb/rj200312.cjf");
    EXPECT_FALSE(book.SaveDay("2004", "1", "7", "typed month", "pw"));
    EXPECT_EQ(storedPlain(dir, "2004", "01", "pw"), diaryRecord("20040102", {"january"}, "20040102080000") +
                                                        diaryRecord("20040107", {"typed month"}, "20031205103000"));
    EXPECT_EQ(dir.read("rjb/rj200312.cjf"), december);
    EXPECT_EQ(book.loadedYear(), "2004");
    EXPECT_EQ(book.loadedMonth(), "01");
    EXPECT_EQ(book.tables().dayBody[2], "january");
}

// Another program wrote the month after it was loaded: its days stay, and only a change to the saved day
// itself gives the question.
TEST_F(DiaryBookTest, SaveAfterAnOutsideChangeKeepsItsDays) {
    storeMonth(dir, "2003", "12", diaryRecord("20031205", {"mine"}, "20031205080000"), "pw");
    ASSERT_TRUE(book.LoadMonth("2003", "12", "05", "pw").ok());
    const std::string other = diaryRecord("20031209", {"other"}, "20031209080000");
    storeMonth(dir, "2003", "12", diaryRecord("20031205", {"mine"}, "20031205080000") + other, "pw");
    EXPECT_FALSE(book.changedDayQuestion("2003", "12", "05", "pw"));
    EXPECT_FALSE(book.SaveDay("2003", "12", "05", "mine too", "pw"));
    EXPECT_EQ(storedPlain(dir, "2003", "12", "pw"), diaryRecord("20031205", {"mine too"}, "20031205103000") + other);
    storeMonth(dir, "2003", "12", diaryRecord("20031205", {"theirs"}, "20031205110000") + other, "pw");
    const std::optional<Notice> question = book.changedDayQuestion("2003", "12", "5", "pw");
    ASSERT_TRUE(question);
    EXPECT_EQ(question->buttons, NoticeButtons::YesNo);
    EXPECT_FALSE(book.changedDayQuestion("2003", "12", "09", "pw"));
}

TEST_F(DiaryBookTest, SaveToAnUnreadableOtherMonthIsRefused) {
    storeMonth(dir, "2004", "01", diaryRecord("20040102", {"january"}, "20040102080000"), "four");
    const std::string january = dir.read("rjb/rj200401.cjf");
    ASSERT_TRUE(book.LoadMonth("2003", "12", "05", "pw").ok());
    EXPECT_TRUE(book.SaveDay("2004", "01", "07", "x", "pw"));
    EXPECT_EQ(dir.read("rjb/rj200401.cjf"), january);
}

TEST_F(DiaryBookTest, PasswordWithDoubleByteCharactersStopsEveryOperation) {
    const DiaryReply load = book.LoadMonth("2003", "12", "05", "日记");
    ASSERT_FALSE(load.ok());
    EXPECT_EQ(load.notice->title, "警告");
    EXPECT_FALSE(dir.exists("rjb/rj200312.cjf"));
    EXPECT_TRUE(book.SaveDay("2003", "12", "05", "x", "日记"));
    EXPECT_FALSE(book.ExportMonth("2003", "12", "日记").ok());
    EXPECT_FALSE(dir.exists("rjb"));
}

TEST_F(DiaryBookTest, DatesFromTheBoxesAreCheckedAndPadded) {
    ASSERT_TRUE(book.LoadMonth("2003", "03", "05", "").ok());
    EXPECT_FALSE(book.SaveDay("2003", "3", "5", "x", ""));
    EXPECT_EQ(storedPlain(dir, "2003", "03", ""), diaryRecord("20030305", {"x"}, "20031205103000"));
    for (const auto& [y, m, d] : std::vector<std::array<std::string, 3>>{{"2003", "13", "05"},
                                                                         {"2003", "03", "32"},
                                                                         {"2003", "03", "0"},
                                                                         {"2003", "a", "05"},
                                                                         {"203", "03", "05"},
                                                                         {"2003", "/.", "05"},
                                                                         {"2003", "03", ""},
                                                                         {"2003", "03", "031"}})
        EXPECT_TRUE(book.SaveDay(y, m, d, "x", "")) << y << m << d;
    EXPECT_EQ(rjbFiles(dir), std::vector<std::string>{"rj200303.cjf"});
}

TEST_F(DiaryBookTest, YearsOutsideTheListAreUsable) {
    ASSERT_TRUE(book.LoadMonth("2050", "01", "01", "").ok());
    EXPECT_FALSE(book.SaveDay("2050", "01", "01", "future", ""));
    EXPECT_EQ(book.LoadMonth("2050", "01", "01", "").text, "future");
    ASSERT_TRUE(book.LoadMonth("1899", "12", "31", "").ok());
}

TEST_F(DiaryBookTest, EntryLinesThatLookLikeTimeLinesAreRefused) {
    ASSERT_TRUE(book.LoadMonth("2003", "12", "05", "").ok());
    const std::string before = dir.read("rjb/rj200312.cjf");
    const auto refused = book.SaveDay("2003", "12", "05", "ok\n@@@@@@@@ not a time", "");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->title, "警告");
    EXPECT_EQ(dir.read("rjb/rj200312.cjf"), before);
    EXPECT_FALSE(book.SaveDay("2003", "12", "05", "@@@@@@@ seven is fine", ""));
}

TEST_F(DiaryBookTest, FailedWritesLeaveFilesAsTheyWere) {
    storeMonth(dir, "2003", "12", diaryRecord("20031205", {"kept"}, "20031205080000"), "pw");
    ASSERT_TRUE(book.LoadMonth("2003", "12", "05", "pw").ok());
    const std::string before = dir.read("rjb/rj200312.cjf");
    for (const char* failingStep : {"write", "fsync", "rename"}) {
        setSafeWriteFaultForTests([failingStep](std::string_view step, const std::filesystem::path&) {
            return step == failingStep ? std::string("No space left on device") : std::string();
        });
        const auto failed = book.SaveDay("2003", "12", "06", "lost?", "pw");
        ASSERT_TRUE(failed) << failingStep;
        EXPECT_EQ(failed->title, "警告");
        EXPECT_NE(failed->text.find("rj200312.cjf"), std::string::npos);
        EXPECT_EQ(dir.read("rjb/rj200312.cjf"), before);
        EXPECT_EQ(rjbFiles(dir), std::vector<std::string>{"rj200312.cjf"});
        EXPECT_EQ(book.tables().dayBody[6], ""); // the loaded month is as it was
    }
    ASSERT_TRUE(book.ExportMonth("2003", "12", "pw").ok());
    const auto exportFailed = book.SaveExportText("text");
    EXPECT_FALSE(exportFailed.ok());
    EXPECT_FALSE(dir.exists("rjb/rj200312.txt"));
    // A new month whose first write fails stays usable and saves once the disk is back.
    const DiaryReply created = book.LoadMonth("2003", "11", "05", "pw");
    EXPECT_FALSE(created.ok());
    EXPECT_FALSE(dir.exists("rjb/rj200311.cjf"));
    setSafeWriteFaultForTests(nullptr);
    EXPECT_FALSE(book.SaveDay("2003", "11", "05", "later", "pw"));
    EXPECT_EQ(storedPlain(dir, "2003", "11", "pw"), diaryRecord("20031105", {"later"}, "20031205103000"));
}

TEST_F(DiaryBookTest, NoPlainTextEverReachesTheDiaryFolder) {
    // Every file in rjb, at every step of every write and after each operation, must not show a record.
    std::vector<std::string> leaks;
    const auto scan = [&] {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(dir / "rjb", ec)) {
            const std::string bytes = dir.read("rjb/" + entry.path().filename().string());
            if (bytes.find("@@@@@@@@") != std::string::npos || bytes.find("plain words") != std::string::npos)
                leaks.push_back(entry.path().filename().string());
        }
    };
    setSafeWriteFaultForTests([&](std::string_view, const std::filesystem::path&) {
        scan();
        return std::string();
    });
    ASSERT_TRUE(book.LoadMonth("2003", "12", "05", "pw").ok());
    scan();
    ASSERT_FALSE(book.SaveDay("2003", "12", "05", "plain words", "pw"));
    scan();
    ASSERT_FALSE(book.SaveDay("2004", "01", "01", "plain words", "pw"));
    scan();
    ASSERT_TRUE(book.ExportMonth("2003", "12", "pw").ok());
    scan();
    EXPECT_EQ(book.LoadMonth("2003", "12", "05", "pw").text, "plain words");
    scan();
    EXPECT_EQ(leaks, std::vector<std::string>{});
    EXPECT_EQ(rjbFiles(dir), (std::vector<std::string>{"rj200312.cjf", "rj200401.cjf"}));
}

TEST_F(DiaryBookTest, LoadRefusesDatesThatWouldMakeABadFirstRecord) {
    EXPECT_FALSE(book.LoadMonth("2003", "12", "ab", "").ok());
    EXPECT_FALSE(book.LoadMonth("999", "12", "05", "").ok());
    EXPECT_FALSE(dir.exists("rjb"));
    EXPECT_TRUE(book.LoadMonth("2003", "3", "5", "").ok());
    EXPECT_EQ(storedPlain(dir, "2003", "03", ""), diaryRecord("20030305", {}, "20031205103000"));
}

TEST_F(DiaryBookTest, WindowMessages) {
    EXPECT_EQ(confirmSaveNotice().text, "确实要保存当前日记吗?");
    EXPECT_EQ(confirmSaveNotice().title, "警告");
    EXPECT_EQ(confirmSaveNotice().buttons, NoticeButtons::YesNo);
    EXPECT_EQ(keepExportNotice().text, "是否保存导出的文本?");
    EXPECT_EQ(keepExportNotice().title, "提示");
    EXPECT_FALSE(book.SaveExportText("nothing exported yet").ok());
    ASSERT_TRUE(book.ExportMonth("2003", "12", "").ok());
    const Notice kept = book.exportKeptNotice("/x/rjb/rj200312.txt");
    EXPECT_EQ(kept.title, "恭喜!");
    EXPECT_EQ(kept.text, "2003年12月日记已经成功保存到/x/rjb/rj200312.txt");
    EXPECT_EQ(kept.icon, NoticeIcon::None);
}
