// The card file: loading and splitting, storing, saving, serial numbers, discarding with the deletion log,
// photo paths, and the decisions for damaged or unusual files.
#include "addressbook/card_book.h"
#include "common/safe_write.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

const LocalDateTime kMay2003{2003, 5, 12, 9, 30};

// A card line with the given fields, the rest empty, photo "######".
std::string cardLine(const std::string& serial, const std::string& nickname, const std::string& name = "") {
    return "%" + serial + "%" + nickname + "%" + name + std::string(10, '%') + "%######";
}

CardEntries entries(std::initializer_list<std::pair<int, std::string>> values) {
    CardEntries texts;
    for (const auto& [field, text] : values)
        texts[field - 1] = text;
    return texts;
}

struct Book {
    FakeClock clock{kMay2003};
    CardBook book;
    explicit Book(const TempWorkDir& dir) : book(dir.path(), clock) {}
};

} // namespace

TEST(CardLine, SplitsAfterTheFirstPercentSign) {
    using Pieces = std::vector<std::string>;
    EXPECT_EQ(splitCardLine("x%a%%b"), (Pieces{"a", "", "b"}));
    EXPECT_EQ(splitCardLine("%01%张三"), (Pieces{"01", "张三"}));
    EXPECT_EQ(splitCardLine("%a%"), (Pieces{"a", ""}));
    EXPECT_EQ(splitCardLine("abc"), Pieces{});
    EXPECT_EQ(splitCardLine(""), Pieces{});
    EXPECT_EQ(splitCardLine("%"), Pieces{""});
}

TEST(CardLine, SerialNumbersHaveTwoDigitsBelowTen) {
    EXPECT_EQ(newSerialNumber(0), "01");
    EXPECT_EQ(newSerialNumber(8), "09");
    EXPECT_EQ(newSerialNumber(9), "10");
    EXPECT_EQ(newSerialNumber(99), "100");
}

TEST(CardLine, TrimRemovesOnlySpaces) {
    EXPECT_EQ(trimSpaces("  张三  "), "张三");
    EXPECT_EQ(trimSpaces("   "), "");
    EXPECT_EQ(trimSpaces("\ta b\t"), "\ta b\t");
}

TEST(CardBook, EmptyFileGivesNoCards) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", "");
    Book b(dir);
    CardLoad loaded = b.book.load();
    EXPECT_FALSE(loaded.missing);
    EXPECT_FALSE(loaded.error);
    EXPECT_EQ(b.book.count(), 0);
    EXPECT_TRUE(loaded.nicknames.empty());
    EXPECT_EQ(b.book.field(1, 2), "");
}

TEST(CardBook, LoadSplitsEveryLineAndKeepsEmptyLines) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", gb("%01%张三\r\nabc\r\n\r\nx%04%老王%王五\n"));
    Book b(dir);
    CardLoad loaded = b.book.load();
    ASSERT_EQ(b.book.count(), 4);
    EXPECT_EQ(loaded.nicknames, (std::vector<std::string>{"张三", "", "", "老王"}));
    EXPECT_EQ(b.book.field(1, 1), "01");
    EXPECT_EQ(b.book.field(1, 2), "张三");
    for (int f = 3; f <= 14; ++f)
        EXPECT_EQ(b.book.field(1, f), "") << f;
    for (int f = 1; f <= 14; ++f)
        EXPECT_EQ(b.book.field(2, f), "") << f;
    EXPECT_EQ(b.book.line(2), "abc");
    EXPECT_EQ(b.book.field(4, 1), "04"); // text before the first "%" is dropped
    EXPECT_EQ(b.book.field(4, 3), "王五");
}

TEST(CardBook, FieldsAreNotTrimmedWhenRead) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", gb("%01% 老张 %张三\r\n"));
    Book b(dir);
    b.book.load();
    EXPECT_EQ(b.book.field(1, 2), " 老张 ");
}

TEST(CardBook, MissingFileIsCreatedWithItsFolder) {
    TempWorkDir dir;
    Book b(dir);
    CardLoad loaded = b.book.load();
    EXPECT_TRUE(loaded.missing);
    EXPECT_FALSE(loaded.error);
    EXPECT_EQ(b.book.count(), 0);
    ASSERT_TRUE(dir.exists("txl/txl.cjf"));
    EXPECT_EQ(dir.read("txl/txl.cjf"), "");
}

TEST(CardBook, ReadOnlyLoadDoesNotCreateTheFile) {
    TempWorkDir dir;
    Book b(dir);
    EXPECT_TRUE(b.book.load(false).missing);
    EXPECT_FALSE(dir.exists("txl"));
}

TEST(CardBook, PathsAreFormedAtLoadWithTodaysYear) {
    TempWorkDir dir;
    Book b(dir);
    b.book.load();
    EXPECT_EQ(b.book.cardFilePath(), dir / "txl/txl.cjf");
    EXPECT_EQ(b.book.logPath(), dir / "txl/mphs2003.cjf");
    b.clock.set({2026, 1, 1});
    b.book.load();
    EXPECT_EQ(b.book.logPath(), dir / "txl/mphs2026.cjf");
}

TEST(CardBook, StoreTrimsFieldsAndRebuildsTheLine) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", gb(cardLine("01", "老张") + "\r\n"));
    Book b(dir);
    b.book.load();
    EXPECT_FALSE(b.book.storeCard(1, entries({{1, "01"}, {2, "老张"}, {3, "  张三  "}, {11, " a@b.cn"}}), "######"));
    EXPECT_EQ(b.book.field(1, 3), "张三");
    EXPECT_EQ(b.book.line(1), "%01%老张%张三%%%%%%%%a@b.cn%%%######");
    ASSERT_TRUE(b.book.saveAll());
    EXPECT_EQ(dir.read("txl/txl.cjf"), gb("%01%老张%张三%%%%%%%%a@b.cn%%%######\r\n"));
}

TEST(CardBook, StoreRefusesPercentSignsAndLineBreaksNamingTheField) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", gb(cardLine("01", "老张") + "\r\n"));
    Book b(dir);
    b.book.load();
    const std::string before = b.book.line(1);
    struct Case {
        CardEntries texts;
        std::string photo;
        std::string field;
    };
    for (const Case& c : std::vector<Case>{{entries({{3, "张%三"}}), "######", "[姓名]"},
                                           {entries({{9, "北京\r\n海淀"}}), "######", "[地址]"},
                                           {entries({{4, "经理\n"}}), "######", "[职务/称]"},
                                           {entries({{1, "01"}}), "a%b.jpg", "[照片]"}}) {
        std::optional<Notice> refusal = b.book.storeCard(1, c.texts, c.photo);
        ASSERT_TRUE(refusal) << c.field;
        EXPECT_EQ(refusal->title, "敬告");
        EXPECT_NE(refusal->text.find(c.field), std::string::npos) << refusal->text;
        EXPECT_EQ(b.book.line(1), before);
        EXPECT_EQ(b.book.field(1, 2), "老张");
    }
}

TEST(CardBook, SaveWritesExactlyCountLinesAndKeepsUnknownBytes) {
    TempWorkDir dir;
    // A GBK file with a stray byte (0xFF) that is not a character: it must come back unchanged.
    const std::string bytes = gb(cardLine("01", "老张", "张三")) + "\xFF\r\n" + gb(cardLine("02", "小李")) + "\r\n";
    dir.write("txl/txl.cjf", bytes);
    Book b(dir);
    b.book.load();
    ASSERT_EQ(b.book.count(), 2);
    ASSERT_TRUE(b.book.saveAll());
    EXPECT_EQ(dir.read("txl/txl.cjf"), bytes);
}

TEST(CardBook, MoreThanAThousandLinesAreAllKept) {
    TempWorkDir dir;
    std::string bytes;
    for (int k = 1; k <= 1200; ++k)
        bytes += gb(cardLine(newSerialNumber(k - 1), "人" + std::to_string(k))) + "\r\n";
    dir.write("txl/txl.cjf", bytes);
    Book b(dir);
    CardLoad loaded = b.book.load();
    ASSERT_EQ(b.book.count(), 1200);
    EXPECT_EQ(loaded.nicknames.back(), "人1200");
    EXPECT_EQ(b.book.field(1200, 1), "1200");
    EXPECT_TRUE(b.book.full());
    ASSERT_TRUE(b.book.saveAll());
    EXPECT_EQ(dir.read("txl/txl.cjf"), bytes);
    ASSERT_TRUE(b.book.discard(1));
    EXPECT_EQ(b.book.count(), 1199);
    EXPECT_EQ(b.book.field(1199, 2), "人1200");
}

TEST(CardBook, OverLongLinesKeepTheirHiddenFieldsUntilEdited) {
    TempWorkDir dir;
    std::string line = "%01%老张%张三" + std::string(11, '%');
    for (int f = 15; f <= 25; ++f)
        line += "%x" + std::to_string(f);
    dir.write("txl/txl.cjf", gb(line + "\r\n"));
    Book b(dir);
    b.book.load();
    EXPECT_EQ(b.book.field(1, 14), "");
    EXPECT_EQ(b.book.field(1, 15), "x15");
    EXPECT_EQ(b.book.field(1, 20), "x20");
    // Leaving the card unchanged (as paging does) keeps the line; an edit rebuilds it with 14 fields.
    EXPECT_FALSE(b.book.storeCard(1, entries({{1, "01"}, {2, "老张"}, {3, "张三"}}), ""));
    ASSERT_TRUE(b.book.saveAll());
    EXPECT_EQ(dir.read("txl/txl.cjf"), gb(line + "\r\n"));
    EXPECT_FALSE(b.book.storeCard(1, entries({{1, "01"}, {2, "老张"}, {3, "张四"}}), "######"));
    EXPECT_EQ(b.book.line(1), "%01%老张%张四" + std::string(10, '%') + "%######");
}

TEST(CardBook, DiscardLogsMovesUpAndRenumbers) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", gb(cardLine("01", "甲") + "\r\n" + cardLine("02", "乙") + "\r\n" + cardLine("03", "丙") +
                                "\r\n" + cardLine("04", "丁") + "\r\n"));
    dir.write("txl/mphs2003.cjf", gb("记录[old]已删除\r\n"));
    Book b(dir);
    b.book.load();
    ASSERT_TRUE(b.book.discard(2));
    EXPECT_EQ(b.book.count(), 3);
    EXPECT_EQ(dir.read("txl/txl.cjf"),
              gb(cardLine("01", "甲") + "\r\n" + cardLine("02", "丙") + "\r\n" + cardLine("03", "丁") + "\r\n"));
    EXPECT_EQ(dir.read("txl/mphs2003.cjf"), gb("记录[old]已删除\r\n记录[" + cardLine("02", "乙") + "]已删除\r\n"));
}

TEST(CardBook, AMergedSaveNumbersEveryCardByItsRow) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", gb(cardLine("01", "甲") + "\r\n" + cardLine("02", "乙") + "\r\n"));
    Book here(dir), there(dir);
    here.book.load();
    there.book.load();
    // Here: card 1 edited and a new card 03; there, meanwhile: card 1 edited too and another new card 03.
    ASSERT_FALSE(here.book.storeCard(1, entries({{1, "01"}, {2, "甲改"}}), "######"));
    ASSERT_FALSE(here.book.storeCard(3, entries({{1, "03"}, {2, "丙"}}), "######"));
    here.book.addCard();
    ASSERT_FALSE(there.book.storeCard(1, entries({{1, "01"}, {2, "甲另"}}), "######"));
    ASSERT_FALSE(there.book.storeCard(3, entries({{1, "03"}, {2, "丁"}}), "######"));
    there.book.addCard();
    ASSERT_TRUE(there.book.saveAll());
    CardMerge merge;
    ASSERT_TRUE(here.book.saveAll(&merge));
    EXPECT_EQ(merge.keptBoth, 1);
    EXPECT_EQ(dir.read("txl/txl.cjf"),
              gb(cardLine("01", "甲另") + "\r\n" + cardLine("02", "乙") + "\r\n" + cardLine("03", "丁") + "\r\n" +
                 cardLine("04", "甲改") + "\r\n" + cardLine("05", "丙") + "\r\n"));
    EXPECT_EQ(here.book.field(5, 1), "05");
}

TEST(CardBook, DiscardingTheOnlyCardLeavesAnEmptyFile) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", gb(cardLine("01", "甲") + "\r\n"));
    Book b(dir);
    b.book.load();
    ASSERT_TRUE(b.book.discard(1));
    EXPECT_EQ(b.book.count(), 0);
    EXPECT_EQ(dir.read("txl/txl.cjf"), "");
    EXPECT_TRUE(dir.exists("txl/mphs2003.cjf"));
}

TEST(CardBook, DiscardOutsideTheCardsDoesNothing) {
    TempWorkDir dir;
    dir.write("txl/txl.cjf", gb(cardLine("01", "甲") + "\r\n"));
    Book b(dir);
    b.book.load();
    EXPECT_TRUE(b.book.discard(2));
    EXPECT_TRUE(b.book.discard(0));
    EXPECT_EQ(b.book.count(), 1);
    EXPECT_FALSE(dir.exists("txl/mphs2003.cjf"));
}

TEST(CardBook, DiscardKeepsTheHiddenFieldsOfLaterCards) {
    TempWorkDir dir;
    const std::string longLine = cardLine("02", "乙") + "%extra1%extra2";
    dir.write("txl/txl.cjf", gb(cardLine("01", "甲") + "\r\n" + longLine + "\r\n"));
    Book b(dir);
    b.book.load();
    ASSERT_TRUE(b.book.discard(1));
    EXPECT_EQ(dir.read("txl/txl.cjf"), gb(cardLine("01", "乙") + "%extra1%extra2\r\n"));
}

// The deletion log names only cards that are gone from the file: a failed save logs nothing, and a failed
// log puts the card back.
TEST(CardBook, FailedDiscardsNeitherLogNorLoseACard) {
    for (const char* failing : {"mphs2003.cjf", "txl.cjf"}) {
        TempWorkDir dir;
        const std::string bytes = gb(cardLine("01", "甲") + "\r\n" + cardLine("02", "乙") + "\r\n");
        dir.write("txl/txl.cjf", bytes);
        Book b(dir);
        b.book.load();
        const std::string uid = b.book.uid(1);
        setSafeWriteFaultForTests([failing](std::string_view step, const std::filesystem::path& target) {
            return step != "read" && target.filename() == failing ? std::string("disk full") : std::string();
        });
        Result<void> done = b.book.discard(1);
        setSafeWriteFaultForTests(nullptr);
        ASSERT_FALSE(done) << failing;
        EXPECT_NE(done.error().path.find(failing), std::string::npos);
        EXPECT_EQ(done.error().reason, "disk full");
        EXPECT_EQ(b.book.count(), 2);
        EXPECT_EQ(b.book.field(1, 2), "甲");
        EXPECT_EQ(b.book.uid(1), uid);
        EXPECT_EQ(dir.read("txl/txl.cjf"), bytes);
        EXPECT_FALSE(dir.exists("txl/mphs2003.cjf") && !dir.read("txl/mphs2003.cjf").empty()) << failing;
    }
}

TEST(CardBook, FailedSaveLeavesTheOldFileWhole) {
    TempWorkDir dir;
    const std::string bytes = gb(cardLine("01", "甲") + "\r\n");
    dir.write("txl/txl.cjf", bytes);
    Book b(dir);
    b.book.load();
    b.book.storeCard(1, entries({{1, "01"}, {2, "乙"}}), "######");
    setSafeWriteFaultForTests([](std::string_view step, const std::filesystem::path&) {
        return step == "rename" ? std::string("read-only file system") : std::string();
    });
    Result<void> saved = b.book.saveAll();
    setSafeWriteFaultForTests(nullptr);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().reason, "read-only file system");
    EXPECT_EQ(dir.read("txl/txl.cjf"), bytes);
}

TEST(CardBook, UnreadableFileIsNeverOverwritten) {
    TempWorkDir dir;
    std::filesystem::create_directories(dir / "txl/txl.cjf"); // a folder where the file should be
    Book b(dir);
    CardLoad loaded = b.book.load();
    ASSERT_TRUE(loaded.error);
    EXPECT_FALSE(loaded.missing);
    EXPECT_EQ(b.book.count(), 0);
    b.book.addCard();
    EXPECT_FALSE(b.book.saveAll());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "txl/txl.cjf"));
}

TEST(CardBook, SaveCreatesAMissingFolder) {
    TempWorkDir dir;
    Book b(dir);
    b.book.load();
    std::filesystem::remove_all(dir / "txl");
    b.book.addCard();
    b.book.storeCard(1, entries({{2, "甲"}}), "######");
    ASSERT_TRUE(b.book.saveAll());
    EXPECT_EQ(dir.read("txl/txl.cjf"), gb("%01%甲" + std::string(11, '%') + "%######\r\n"));
}

TEST(CardBook, PhotoNamesStayInsideThePhotoFolder) {
    TempWorkDir dir;
    Book b(dir);
    b.book.load();
    EXPECT_EQ(b.book.photoPath("######"), dir / "txl/txlphoto/moren.gif");
    EXPECT_EQ(b.book.photoPath("张三.jpg"), dir / "txl/txlphoto/张三.jpg");
    for (std::string_view bad : {"", "../pavosz.cjf", "..", "a/b.jpg", "a\\b.jpg", "/etc/passwd", "x\x01.jpg"})
        EXPECT_FALSE(b.book.photoPath(bad)) << bad;
    EXPECT_EQ(b.book.exportPath(), dir / "dctxl.cjf");
}

TEST(CardBook, CapacityIsAThousandNewCards) {
    TempWorkDir dir;
    std::string bytes;
    for (int k = 1; k <= 999; ++k)
        bytes += cardLine(newSerialNumber(k - 1), "n") + "\r\n";
    dir.write("txl/txl.cjf", bytes);
    Book b(dir);
    b.book.load();
    EXPECT_FALSE(b.book.full());
    b.book.addCard();
    EXPECT_TRUE(b.book.full());
}
