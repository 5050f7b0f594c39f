#include "support/cli_runner.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

TEST(CliCalendar, PrintsTheDeskCalendarTexts) {
    TempWorkDir dir;
    CliRun r = runCli({"calendar", "2026-12-22"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "2026年12月\n22\n星期二\n 丙午(马) 2026年 \n农历11月 冬至 14日\n");
}

TEST(CliCalendar, TableHasOneLinePerDay) {
    TempWorkDir dir;
    CliRun r = runCli({"calendar", "--tsv", "2025-07-24", "2025-07-25"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "2025-07-24\t四\t2025\t乙巳\t蛇\t农历\t6\t\t30\t\t\n"
                     "2025-07-25\t五\t2025\t乙巳\t蛇\t农历闰\t6\t\t1\t\t\n");
}

TEST(CliCalendar, BadArgumentsGiveOneLineAndCodeTwo) {
    TempWorkDir dir;
    for (auto args : std::vector<std::vector<std::string>>{{"calendar", "2026-02-30"},
                                                           {"calendar", "tomorrow"},
                                                           {"calendar", "0000-01-01"},
                                                           {"calendar", "--tsv", "0000-12-31", "0001-01-01"},
                                                           {"calendar", "--tsv", "2026-01-02"},
                                                           {"calendar", "--tsv", "2026-01-02", "2026-01-01"},
                                                           {"nosuch"},
                                                           {}}) {
        CliRun r = runCli(args);
        EXPECT_EQ(r.code, 2);
        if (!args.empty()) {
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
    }
}

namespace {

// The ICS text without its DTSTAMP lines (the time of writing), CR LF turned into LF.
std::string withoutStamps(const std::string& ics) {
    std::string out;
    std::size_t start = 0;
    while (start < ics.size()) {
        std::size_t end = ics.find("\r\n", start);
        EXPECT_NE(end, std::string::npos);
        const std::string line = ics.substr(start, end - start);
        EXPECT_LE(line.size(), 75u) << line;
        if (!line.starts_with("DTSTAMP:"))
            out += line + "\n";
        start = end + 2;
    }
    return out;
}

std::string event(const char* day, const char* next, const char* uid, const char* summary) {
    return std::string("BEGIN:VEVENT\nUID:") + day + "-" + uid + "@quillet-lunar\nDTSTART;VALUE=DATE:" + day +
           "\nDTEND;VALUE=DATE:" + next + "\nSUMMARY:" + summary +
           "\nTRANSP:TRANSPARENT\nCATEGORIES:农历节日与节气\nEND:VEVENT\n";
}

} // namespace

TEST(CliCalendar, IcsFeedHasTheFestivalsTermsAndLunarDays) {
    TempWorkDir dir;
    CliRun r = runCli({"calendar", "--ics", "2026-02-16", "2026-02-18", "--lunar-days"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(withoutStamps(r.out),
              "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Orlin//Quillet//ZH\nCALSCALE:GREGORIAN\nMETHOD:PUBLISH\n"
              "X-WR-CALNAME:农历节日与节气\n" +
                  event("20260216", "20260217", "e999a4e5a495", "除夕") +
                  event("20260216", "20260217", "lunar", "农历十二月廿九") +
                  event("20260217", "20260218", "e698a5e88a82", "春节") +
                  event("20260217", "20260218", "lunar", "农历正月初一") +
                  event("20260218", "20260219", "e99ba8e6b0b4", "雨水") +
                  event("20260218", "20260219", "lunar", "农历正月初二") + "END:VCALENDAR\n");
    CliRun plain = runCli({"calendar", "--ics", "2026-02-16", "2026-02-18"});
    EXPECT_EQ(plain.out.find("农历正月"), std::string::npos);
    EXPECT_NE(plain.out.find("SUMMARY:春节\r\n"), std::string::npos);
}

TEST(CliCalendar, LunarDayNamesFollowTheAlmanac) {
    TempWorkDir dir;
    struct Case {
        const char* date;
        const char* text;
    };
    for (const Case& c : {Case{"1900-12-21", "农历十月三十"}, Case{"2025-07-25", "农历闰六月初一"},
                          Case{"2026-01-02", "农历十一月十四"}, Case{"2026-02-06", "农历十二月十九"},
                          Case{"2026-01-08", "农历十一月二十"}, Case{"2026-01-09", "农历十一月廿一"}}) {
        CliRun r = runCli({"calendar", "--ics", c.date, c.date, "--lunar-days"});
        EXPECT_NE(r.out.find(std::string("SUMMARY:") + c.text + "\r\n"), std::string::npos) << c.date << r.out;
    }
    for (auto args : std::vector<std::vector<std::string>>{{"calendar", "--ics", "2026-01-02"},
                                                           {"calendar", "--ics", "2026-01-02", "2026-01-01"},
                                                           {"calendar", "--ics", "2026-01-01", "2026-01-02", "-x"}})
        EXPECT_EQ(runCli(args).code, 2);
}
