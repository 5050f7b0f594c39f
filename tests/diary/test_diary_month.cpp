#include "diary/diary_month.h"

#include "common/line_file.h"
#include "common/text_codec.h"

#include <gtest/gtest.h>

TEST(DiaryMonth, HeaderAndTimeLines) {
    EXPECT_EQ(dayHeaderLine("2003", "12", "05"), "@@@@@@@@@@20031205@@@@@@@@@@");
    EXPECT_EQ(dayTimeLine({2003, 12, 5, 10, 30, 0}), "@@@@@@@@20031205103000@@@@@@");
    EXPECT_EQ(dayTimeLine({2004, 1, 2, 3, 4, 5}), "@@@@@@@@20040102030405@@@@@@");
    EXPECT_TRUE(isTimeLine("@@@@@@@@x"));
    EXPECT_FALSE(isTimeLine("@@@@@@@x"));
}

TEST(DiaryMonth, TwoDigitText) {
    EXPECT_EQ(twoDigitText("5"), "05");
    EXPECT_EQ(twoDigitText("05"), "05");
    EXPECT_EQ(twoDigitText("12"), "12");
    EXPECT_EQ(twoDigitText("31"), "31");
    EXPECT_EQ(twoDigitText(""), "0");
}

TEST(DiaryMonth, LineBreaksBecomeCrLf) {
    EXPECT_EQ(withCrLf("a\nb\r\nc\rd\n"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(withCrLf(""), "");
}

// Days 00 and 32 to 40 cannot be picked but can be read from a file: they are kept after day 31.
TEST(DiaryMonth, SerializesDaysOneToThirtyOneThenTheOthersRead) {
    DayTables t;
    for (int d : {0, 3, 10, 31, 35}) {
        t.dayHeader[d] = "H" + std::to_string(d);
        t.dayBody[d] = "B" + std::to_string(d);
        t.dayTime[d] = "T" + std::to_string(d);
    }
    t.dayHeader[4] = "empty day";
    t.dayTime[4] = "never written";
    t.dayBody[10] = "第一行\r\n第二行";
    EXPECT_EQ(monthPlainBytes(t), encodeGb("H3\r\nB3\r\nT3\r\nH10\r\n第一行\r\n第二行\r\nT10\r\nH31\r\nB31\r\nT31\r\n"
                                           "H0\r\nB0\r\nT0\r\nH35\r\nB35\r\nT35\r\n"));
}

TEST(DiaryMonth, ReadingFollowsTheRecords) {
    const std::vector<std::string> lines = {
        "@@@@@@@@@@20031201@@@@@@@@@@", "@@@@@@@@20031201080000@@@@@@", "@@@@@@@@@@20031215@@@@@@@@@@", "a", "", "b",
        "@@@@@@@@20031215090000@@@@@@"};
    const MonthRead read = readMonthLines(lines, 15);
    EXPECT_TRUE(read.readable);
    EXPECT_EQ(read.shownEntry, "a\r\n\r\nb");
    EXPECT_EQ(read.tables.dayBody[1], "");
    EXPECT_EQ(read.tables.dayTime[1], "@@@@@@@@20031201080000@@@@@@");
    EXPECT_EQ(read.tables.dayHeader[15], "@@@@@@@@@@20031215@@@@@@@@@@");
    EXPECT_TRUE(readMonthLines({}, 1).readable);
}

// A file may hold a day twice: its lines are kept as lines, and the month writes back to the same days.
TEST(DiaryMonth, ADayRecordedTwiceKeepsItsLinesApart) {
    const std::vector<std::string> lines = {"@@@@@@@@@@20031205@@@@@@@@@@",
                                            "",
                                            "@@@@",
                                            "@@@@@@@@20031205080000@@@@@@",
                                            "@@@@@@@@@@20031205@@@@@@@@@@",
                                            "@@@@开会",
                                            "@@@@@@@@20031205090000@@@@@@"};
    const MonthRead read = readMonthLines(lines, 5);
    ASSERT_TRUE(read.readable);
    EXPECT_EQ(read.shownEntry, "\r\n@@@@\r\n@@@@开会");
    const MonthRead again = readMonthLines(decodeLines(monthPlainBytes(read.tables)), 5);
    EXPECT_TRUE(again.readable);
    EXPECT_EQ(again.tables.dayBody, read.tables.dayBody);
}

TEST(DiaryMonth, AnEntryLineWithEightAtSignsReadsAsATimeLine) {
    // The format cannot carry such a line (saves refuse it); reading shows what the text then means.
    const MonthRead read = readMonthLines({"@@@@@@@@@@20031205@@@@@@@@@@", "@@@@@@@@ oops"}, 5);
    EXPECT_TRUE(read.readable);
    EXPECT_EQ(read.tables.dayTime[5], "@@@@@@@@ oops");
}

TEST(DiaryMonth, ExportLines) {
    std::string text;
    readMonthLines({"@@@@@@@@@@20031205@@@@@@@@@@", "line", "@@@@@@@@20031205103000@@@@@@"}, 5, &text);
    EXPECT_EQ(text, "---------05日" + std::string(49, '-') + "\r\n\r\nline\r\n\r\n---------记录时间:20031205103000" +
                        std::string(30, '-') + "\r\n\r\n");
    EXPECT_EQ(exportHeading("2003", "12"), "2003年12月  日记内容\r\n\r\n");
}
