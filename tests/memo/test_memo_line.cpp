// The memo line layout: fields counted from both ends, numbers, stamps, the due test.
#include "memo/memo_line.h"

#include <gtest/gtest.h>

namespace {

const std::string kMeeting = "3   @@2003061514@@开会@@F@@2003061209";

TEST(MemoLine, SplitsTheFieldsFromBothEnds) {
    MemoRecord r = MemoRecord::fromLine(kMeeting);
    EXPECT_FALSE(r.damaged);
    EXPECT_EQ(r.bwxh, "3   ");
    EXPECT_EQ(r.due, "2003061514");
    EXPECT_EQ(r.text, "开会");
    EXPECT_EQ(r.flag, "F");
    EXPECT_EQ(r.stamp(), "2003061209");
    EXPECT_EQ(r.line, kMeeting);
}

TEST(MemoLine, AtSignsInsideTheTextAreHarmless) {
    MemoRecord r = MemoRecord::fromLine("12  @@2024010109@@a@@b@@T@@c@@T@@2023123123");
    EXPECT_EQ(r.bwxh, "12  ");
    EXPECT_EQ(r.text, "a@@b@@T@@c");
    EXPECT_EQ(r.flag, "T");
    EXPECT_EQ(r.stamp(), "2023123123");
}

TEST(MemoLine, ShortLinesAreDamagedAndKeepTheirText) {
    for (std::string line : {std::string(), std::string("1   @@2003061514@@@@F@@200306120"), std::string("乱码")}) {
        MemoRecord r = MemoRecord::fromLine(line);
        EXPECT_TRUE(r.damaged) << line;
        EXPECT_EQ(r.line, line);
        EXPECT_TRUE(r.text.empty());
        EXPECT_FALSE(isMemoDue(r, LocalDateTime{2099, 12, 31, 23}));
    }
    // Exactly 33 characters is a memo with an empty text.
    MemoRecord r = MemoRecord::fromLine("1   @@2003061514@@@@F@@2003061209");
    EXPECT_FALSE(r.damaged);
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.flag, "F");
}

TEST(MemoLine, BuildsTheLayoutByteForByte) {
    EXPECT_EQ(memoNumber(1), "1   ");
    EXPECT_EQ(memoNumber(12), "12  ");
    EXPECT_EQ(memoNumber(9999), "9999");
    EXPECT_EQ(memoStamp(LocalDateTime{2003, 6, 12, 9, 59, 59}), "2003061209");
    EXPECT_EQ(buildMemoLine("3   ", "2003061514", "开会", "F", "2003061209"), kMeeting);
}

TEST(MemoLine, FlagReplacementTouchesOnlyColumnLMinus12) {
    std::string cancelled = memoLineWithFlag(kMeeting, U'T');
    EXPECT_EQ(cancelled, "3   @@2003061514@@开会@@T@@2003061209");
    EXPECT_EQ(memoLineWithFlag("short", U'T'), "short");
}

TEST(MemoLine, SameMemoIgnoresOnlyTheNumber) {
    EXPECT_TRUE(sameMemo(kMeeting, "2   @@2003061514@@开会@@F@@2003061209"));
    EXPECT_FALSE(sameMemo(kMeeting, "3   @@2003061514@@开会@@T@@2003061209"));
    EXPECT_FALSE(sameMemo(kMeeting, "3   @@2003061514@@开会@@F@@2003061210"));
    EXPECT_FALSE(sameMemo("", ""));
}

TEST(MemoLine, LineBreaksBecomeOneBlankEach) {
    EXPECT_EQ(oneLineText("a\r\nb\nc\rd"), "a b c d");
    EXPECT_EQ(oneLineText("一\n\n二"), "一  二");
    EXPECT_EQ(oneLineText("x\u2028y\u2029z\u0085w"), "x y z w");
    EXPECT_EQ(oneLineText("  "), "  ");
}

TEST(MemoLine, PickerDuesAreTenDigitsOfListValues) {
    EXPECT_TRUE(isPickerDue("1900010100"));
    EXPECT_TRUE(isPickerDue("2049123124"));
    EXPECT_TRUE(isPickerDue("2003023114")); // 31 February: the picker does not check the month
    for (const char* bad : {"200306151", "20030615140", "1899123123", "2050010100", "2003001514", "2003130114",
                            "2003060014", "2003063225", "2003 61514", "２００３061514"})
        EXPECT_FALSE(isPickerDue(bad)) << bad;
}

struct DueCase {
    const char* due;
    const char* flag;
    LocalDateTime now;
    bool expected;
};

TEST(MemoLine, DueTestComparesEachFieldOnItsOwn) {
    const DueCase cases[] = {
        {"2003061514", "F", {2003, 6, 15, 14, 0}, true},
        {"2003061514", "F", {2003, 6, 15, 13, 59}, false},
        {"2003061514", "F", {2003, 6, 16, 13}, false}, // the 16th before 14 o'clock
        {"2003061514", "F", {2003, 6, 16, 14}, true},
        {"2003122810", "F", {2004, 1, 5, 12}, false}, // month 12 is above 1
        {"2003061514", "T", {2010, 12, 31, 23}, false},
        {"2003061514", "t", {2010, 12, 31, 23}, false},
        {"2003061524", "F", {2003, 6, 30, 23}, false}, // hour 24 never comes
        {"2003061500", "F", {2003, 6, 15, 0}, true},
    };
    for (const DueCase& c : cases) {
        MemoRecord r = MemoRecord::fromLine(buildMemoLine("1   ", c.due, "x", c.flag, "2003010100"));
        EXPECT_EQ(isMemoDue(r, c.now), c.expected) << c.due << " " << c.flag << " " << c.now.day << " " << c.now.hour;
    }
}

} // namespace
