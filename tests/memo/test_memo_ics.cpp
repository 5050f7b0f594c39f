// The memos as iCalendar: CR LF lines, folding at 75 octets, escaping, stable UIDs.
#include "memo/memo_ics.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

const std::string kDtstamp = "20240301T020000Z";

MemoBook bookOf(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& l : lines)
        bytes += l + "\r\n";
    TempWorkDir dir;
    dir.write("bwl/bwl.cjf", gb(bytes));
    MemoBook book;
    EXPECT_TRUE(book.load(dir / "bwl/bwl.cjf").ok());
    return book;
}

std::vector<std::string> contentLines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t crlf; (crlf = text.find("\r\n", start)) != std::string::npos; start = crlf + 2)
        out.push_back(text.substr(start, crlf - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return out;
}

TEST(MemoIcs, OneEventWithADisplayAlarmPerActiveMemo) {
    MemoBook book = bookOf(
        {"1   @@2024030114@@开会; 带上报告,别忘了@@F@@2024030110", "2   @@2024030115@@已注销@@T@@2024030110", "坏行"});
    MemoIcs ics = memosToIcs(book, kDtstamp);
    EXPECT_TRUE(ics.skipped.empty());
    std::vector<std::string> lines = contentLines(ics.text);
    const std::vector<std::string> expected = {"BEGIN:VCALENDAR",
                                               "VERSION:2.0",
                                               "PRODID:-//Orlin//Quillet//ZH",
                                               "CALSCALE:GREGORIAN",
                                               "BEGIN:VEVENT",
                                               lines.at(5),
                                               "DTSTAMP:20240301T020000Z",
                                               "DTSTART:20240301T140000",
                                               "DURATION:PT1H",
                                               "SUMMARY:开会\\; 带上报告\\,别忘了",
                                               "BEGIN:VALARM",
                                               "ACTION:DISPLAY",
                                               "DESCRIPTION:开会\\; 带上报告\\,别忘了",
                                               "TRIGGER:PT0S",
                                               "END:VALARM",
                                               "END:VEVENT",
                                               "END:VCALENDAR"};
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(lines.at(5).starts_with("UID:"));
    EXPECT_TRUE(lines.at(5).ends_with("@quillet"));
}

TEST(MemoIcs, UidDependsOnTheMemoNotOnItsNumber) {
    std::string first = memosToIcs(bookOf({"1   @@2024030114@@甲@@F@@2024030110"}), kDtstamp).text;
    std::string moved =
        memosToIcs(bookOf({"1   @@2024030113@@乙@@T@@2024030110", "2   @@2024030114@@甲@@F@@2024030110"}), kDtstamp)
            .text;
    EXPECT_EQ(contentLines(first).at(5), contentLines(moved).at(5));
    std::string twice =
        memosToIcs(bookOf({"1   @@2024030114@@甲@@F@@2024030110", "2   @@2024030114@@甲@@F@@2024030110"}), kDtstamp)
            .text;
    std::vector<std::string> lines = contentLines(twice);
    EXPECT_EQ(lines.at(5), contentLines(first).at(5));
    EXPECT_EQ(lines.at(17), lines.at(5).substr(0, lines.at(5).size() - 8) + "-2@quillet");
}

TEST(MemoIcs, HourTwentyFourIsMidnightOfTheNextDayAndImpossibleDatesAreSkipped) {
    MemoIcs ics =
        memosToIcs(bookOf({"1   @@2023123124@@跨年@@F@@2024030110", "2   @@2023023110@@二月三十一@@F@@2024030110",
                           "3   @@2024022924@@闰日@@F@@2024030110"}),
                   kDtstamp);
    EXPECT_NE(ics.text.find("DTSTART:20240101T000000\r\n"), std::string::npos);
    EXPECT_NE(ics.text.find("DTSTART:20240301T000000\r\n"), std::string::npos);
    EXPECT_EQ(ics.skipped, std::vector<int>{2});
}

TEST(MemoIcs, LongLinesFoldAt75OctetsWithoutSplittingACharacter) {
    std::string text(100, 'a');
    std::string folded = icsFoldLine("SUMMARY:" + text);
    std::vector<std::string> parts = contentLines(folded + "\r\n");
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].size(), 75u);
    EXPECT_EQ(parts[1], " " + std::string(108 - 75, 'a'));

    std::string chinese;
    for (int i = 0; i < 40; ++i)
        chinese += "备"; // 3 octets each
    parts = contentLines(icsFoldLine("SUMMARY:" + chinese) + "\r\n");
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0], "SUMMARY:" + chinese.substr(0, 66)); // 8 + 66 = 74: the next character would pass 75
    EXPECT_EQ(parts[1], " " + chinese.substr(66));
    for (const std::string& p : parts)
        EXPECT_LE(p.size(), 75u);
    EXPECT_EQ(icsFoldLine(std::string(75, 'x')), std::string(75, 'x'));
}

TEST(MemoIcs, EscapesTextSpecials) {
    EXPECT_EQ(icsEscapeText("a\\b;c,d\ne\tf\x01g"), "a\\\\b\\;c\\,d\\ne\tf g");
}

} // namespace
