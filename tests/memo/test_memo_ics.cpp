// The memos as iCalendar: CR LF lines, folding at 75 octets, escaping, stable UIDs.
#include "memo/memo_ics.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace {

namespace fs = std::filesystem;

const std::string kDtstamp = "20240301T020000Z";

std::vector<std::string> uidsOf(const MemoBook& book) {
    std::vector<std::string> out;
    for (int n = 1; n <= book.count(); ++n)
        out.push_back(book.uid(n));
    return out;
}

// The VEVENT whose UID is `uid`, empty when there is none.
std::string eventOf(const std::string& ics, const std::string& uid) {
    const std::size_t at = ics.find("UID:" + uid + "\r\n");
    if (at == std::string::npos)
        return {};
    const std::size_t begin = ics.rfind("BEGIN:VEVENT", at);
    return ics.substr(begin, ics.find("END:VEVENT", at) - begin);
}

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
    EXPECT_EQ(lines.at(5), "UID:" + book.uid(1));
}

// A memo keeps its identity, and so its event, through its own edits, deletions of other memos, a cancel
// written by the reminder (which leaves the side file alone) and a load by a fresh book.
TEST(MemoIcs, EachMemoKeepsItsUidThroughEditsAndDeletions) {
    TempWorkDir dir;
    const fs::path file = dir / "bwl/bwl.cjf";
    dir.write("bwl/bwl.cjf", gb("1   @@2024030114@@甲@@F@@2024030110\r\n2   @@2024030115@@乙@@F@@2024030110\r\n"
                                "3   @@2024030116@@丙@@F@@2024030110\r\n3   @@2024030116@@丙@@F@@2024030110\r\n"));
    MemoBook book;
    ASSERT_TRUE(book.load(file).ok());
    const std::vector<std::string> first = uidsOf(book);
    EXPECT_TRUE(
        std::regex_match(first[0], std::regex("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}")))
        << first[0];
    EXPECT_EQ(std::set<std::string>(first.begin(), first.end()).size(), 4u); // two alike memos, two identities
    ASSERT_TRUE(book.save(file).ok());
    const std::string fourth = eventOf(memosToIcs(book, kDtstamp).text, first[3]);
    EXPECT_FALSE(fourth.empty());

    ASSERT_TRUE(book.change(2, "2024030117", "乙改", "2024030111"));
    ASSERT_TRUE(book.remove(1));
    ASSERT_TRUE(book.save(file).ok());
    ASSERT_TRUE(book.load(file).ok());
    EXPECT_EQ(uidsOf(book), (std::vector<std::string>{first[1], first[2], first[3]}));
    EXPECT_EQ(eventOf(memosToIcs(book, kDtstamp).text, first[3]), fourth);

    ASSERT_TRUE(cancelAnnouncedMemo(file, book.record(1)->line).value());
    MemoBook fresh;
    ASSERT_TRUE(fresh.load(file).ok());
    EXPECT_EQ(uidsOf(fresh), uidsOf(book));
    ASSERT_TRUE(fresh.add("2024030118", "丁", "2024030112"));
    EXPECT_EQ(std::set<std::string>({fresh.uid(1), fresh.uid(2), fresh.uid(3), fresh.uid(4)}).size(), 4u);
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
