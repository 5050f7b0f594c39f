#include "calendar/calendar_x.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The two lines the desk and wall calendars compose from the component.
std::string yearLine(const CalendarX& c) {
    return " " + c.YearText() + "(" + c.YearTag() + ") " + std::to_string(c.YearNumber()) + "年 ";
}
std::string dayLine(const CalendarX& c) {
    return c.MonthText() + std::to_string(c.MonthNumber()) + "月 " + c.DayText() + std::to_string(c.DayNumber()) + "日";
}

CalendarX at(int y, int m, int d) {
    CalendarX c;
    c.setDateDay(d);
    c.setDateMonth(m);
    c.setDateYear(y);
    c.Recalc();
    return c;
}

std::string referencePath() {
    return (testDataDir() / "lunar" / "reference.tsv").string();
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t'))
        fields.push_back(field);
    if (!line.empty() && line.back() == '\t')
        fields.emplace_back();
    return fields;
}

std::string weekdayText(int y, int m, int d) {
    namespace chr = std::chrono;
    static const char* const names[7] = {"日", "一", "二", "三", "四", "五", "六"};
    const chr::sys_days date{chr::year{y} / chr::month{static_cast<unsigned>(m)} / chr::day{static_cast<unsigned>(d)}};
    return names[chr::weekday{date}.c_encoding()];
}

void expectNoLunar(const CalendarX& c) {
    EXPECT_EQ(c.YearNumber(), 0);
    EXPECT_EQ(c.YearText(), "");
    EXPECT_EQ(c.YearTag(), "");
    EXPECT_EQ(c.MonthText(), "");
    EXPECT_EQ(c.MonthNumber(), 0);
    EXPECT_EQ(c.DayText(), "");
    EXPECT_EQ(c.DayNumber(), 0);
}

} // namespace

TEST(CalendarX, AgreesWithTheReferenceOnEveryDayOfTheRange) {
    std::ifstream in(referencePath());
    ASSERT_TRUE(in) << referencePath();
    std::string line;
    int days = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::vector<std::string> f = splitTabs(line);
        ASSERT_EQ(f.size(), 9u) << line;
        const int y = std::stoi(f[0].substr(0, 4)), m = std::stoi(f[0].substr(5, 2)), d = std::stoi(f[0].substr(8, 2));
        const CalendarX c = at(y, m, d);
        std::string dayText = f[7].empty() ? "" : f[7] + " ";
        dayText += f[8].empty() ? "" : f[8] + " ";
        ASSERT_EQ(c.WeekdayText(), weekdayText(y, m, d)) << line;
        ASSERT_EQ(c.YearNumber(), std::stoi(f[1])) << line;
        ASSERT_EQ(c.YearText(), f[2]) << line;
        ASSERT_EQ(c.YearTag(), f[3]) << line;
        ASSERT_EQ(c.MonthText(), f[4] == "1" ? "农历闰" : "农历") << line;
        ASSERT_EQ(c.MonthNumber(), std::stoi(f[5])) << line;
        ASSERT_EQ(c.DayNumber(), std::stoi(f[6])) << line;
        ASSERT_EQ(c.DayText(), dayText) << line;
        ++days;
    }
    EXPECT_EQ(days, 73414); // 1900-01-01 .. 2100-12-31
}

TEST(CalendarX, ComposesTheDeskCalendarLines) {
    struct Case {
        int y, m, d;
        const char* year;
        const char* day;
    };
    const Case cases[] = {
        {2026, 2, 24, " 丙午(马) 2026年 ", "农历1月 8日"},
        {2025, 7, 25, " 乙巳(蛇) 2025年 ", "农历闰6月 1日"},
        {2026, 12, 22, " 丙午(马) 2026年 ", "农历11月 冬至 14日"},
        {2026, 2, 17, " 丙午(马) 2026年 ", "农历1月 春节 1日"},
        {2026, 2, 16, " 乙巳(蛇) 2025年 ", "农历12月 除夕 29日"},
        {2027, 1, 20, " 丙午(马) 2026年 ", "农历12月 大寒 13日"}, // January before 春节: still 丙午
        {1900, 1, 1, " 己亥(猪) 1899年 ", "农历12月 1日"},        // first day of the range
        {2049, 12, 31, " 己巳(蛇) 2049年 ", "农历12月 7日"},
        {2050, 1, 1, " 己巳(蛇) 2049年 ", "农历12月 腊八节 8日"},
        {2057, 9, 29, " 丁丑(牛) 2057年 ", "农历9月 1日"},     // new moon 23:5x Beijing time the day before
        {2100, 12, 31, " 庚申(猴) 2100年 ", "农历12月 1日"},   // last day of the range
        {2033, 12, 22, " 癸丑(牛) 2033年 ", "农历闰11月 1日"}, // leap month after 冬至 (GB/T 33661)
        {1987, 7, 26, " 丁卯(兔) 1987年 ", "农历闰6月 1日"},
        {2025, 1, 29, " 乙巳(蛇) 2025年 ", "农历1月 春节 1日"},
        {2026, 3, 3, " 丙午(马) 2026年 ", "农历1月 元宵节 15日"},
        {2026, 1, 26, " 乙巳(蛇) 2025年 ", "农历12月 腊八节 8日"},
        {2026, 9, 25, " 丙午(马) 2026年 ", "农历8月 中秋节 15日"},
        {2038, 2, 18, " 戊午(马) 2038年 ", "农历1月 元宵节 雨水 15日"}, // festival and term on one day
        {2038, 2, 4, " 戊午(马) 2038年 ", "农历1月 春节 立春 1日"},
        {2028, 7, 22, " 戊申(猴) 2028年 ", "农历6月 大暑 1日"},
    };
    for (const Case& k : cases) {
        const CalendarX c = at(k.y, k.m, k.d);
        EXPECT_EQ(yearLine(c), k.year) << k.y << "-" << k.m << "-" << k.d;
        EXPECT_EQ(dayLine(c), k.day) << k.y << "-" << k.m << "-" << k.d;
    }
}

// Dates where an event lies close to midnight or the official almanacs counted another zone.
TEST(CalendarX, FollowsTheOfficialTablesAtTheDifficultDates) {
    struct Case {
        int y, m, d;
        const char* day;
    };
    const Case cases[] = {
        {1906, 4, 24, "农历4月 1日"},         // new moon 00:06 UTC+8, 23:52 Beijing local time
        {1914, 11, 17, "农历10月 1日"},       // new moon 23:47 Beijing local time (00:01 UTC+8)
        {1916, 2, 3, "农历1月 春节 1日"},     // new moon 23:51 Beijing local time
        {1920, 11, 10, "农历10月 1日"},       // new moon 23:50 Beijing local time
        {1917, 12, 7, "农历10月 大雪 23日"},  // 23:47 Beijing local time
        {1933, 7, 23, "农历6月 大暑 1日"},    // new moon 00:03 UTC+8
        {1979, 1, 21, "农历12月 大寒 23日"},  // 大寒 4 s before midnight; the official tables print the 21st
        {2021, 12, 21, "农历11月 冬至 18日"}, // 23:59 UTC+8
        {1951, 12, 23, "农历11月 冬至 25日"}, // 00:00:05 UTC+8
    };
    for (const Case& k : cases)
        EXPECT_EQ(dayLine(at(k.y, k.m, k.d)), k.day) << k.y << "-" << k.m << "-" << k.d;
}

TEST(CalendarX, AcceptsDigitTexts) {
    CalendarX c;
    c.setDateDay("08");
    c.setDateMonth("3");
    c.setDateYear("2026");
    EXPECT_EQ(c.DateDay(), 8);
    EXPECT_EQ(c.DateMonth(), 3);
    EXPECT_EQ(c.DateYear(), 2026);
    c.Recalc();
    EXPECT_EQ(c.WeekdayText(), "日");
    EXPECT_EQ(dayLine(c), "农历1月 20日");

    c.setDateDay(" 01 ");
    c.setDateMonth("+01");
    c.setDateYear("2026");
    c.Recalc();
    EXPECT_EQ(c.DateDay(), 1);
    EXPECT_EQ(c.DateMonth(), 1);
    EXPECT_EQ(dayLine(c), "农历11月 13日");
}

TEST(CalendarX, TextsThatAreNotNumbersCountAsZero) {
    for (const char* text : {"", " ", "abc", "1a", "0x10", "12.5", "99999999999999999999"}) {
        CalendarX c;
        c.setDateYear(2026);
        c.setDateMonth(1);
        c.setDateDay(text);
        EXPECT_EQ(c.DateDay(), 0) << text;
        c.Recalc();
        EXPECT_EQ(c.WeekdayText(), "") << text;
        expectNoLunar(c);
    }
}

TEST(CalendarX, InvalidDatesGiveEmptySlots) {
    struct Case {
        int y, m, d;
    };
    const Case cases[] = {{2026, 4, 31}, {2026, 13, 1}, {2026, 0, 10}, {2026, 6, 0},  {2025, 2, 29},
                          {1900, 2, 29}, {0, 1, 1},     {-5, 3, 3},    {40000, 1, 1}, {2026, -1, -1}};
    for (const Case& k : cases) {
        const CalendarX c = at(k.y, k.m, k.d);
        EXPECT_EQ(c.WeekdayText(), "") << k.y << "-" << k.m << "-" << k.d;
        expectNoLunar(c);
    }
    EXPECT_EQ(at(2024, 2, 29).WeekdayText(), "四");
    EXPECT_EQ(at(2000, 2, 29).WeekdayText(), "二");
}

TEST(CalendarX, GivesTheWeekdayOutsideTheLunarRange) {
    struct Case {
        int y, m, d;
        const char* weekday;
    };
    const Case cases[] = {{1899, 12, 31, "日"}, {2101, 1, 1, "六"}, {1, 1, 1, "一"},      {1582, 10, 15, "五"},
                          {1800, 2, 28, "五"},  {2200, 1, 1, "三"}, {9999, 12, 31, "五"}, {32767, 12, 31, "日"}};
    for (const Case& k : cases) {
        const CalendarX c = at(k.y, k.m, k.d);
        EXPECT_EQ(c.WeekdayText(), k.weekday) << k.y << "-" << k.m << "-" << k.d;
        expectNoLunar(c);
    }
}

TEST(CalendarX, RecalcReplacesEverySlot) {
    CalendarX c = at(2026, 2, 17);
    ASSERT_EQ(c.DayText(), "春节 ");
    c.setDateDay(31);
    c.setDateMonth(4);
    c.Recalc();
    EXPECT_EQ(c.WeekdayText(), "");
    expectNoLunar(c);
    c.setDateDay(30);
    c.Recalc();
    EXPECT_EQ(c.WeekdayText(), "四");
    EXPECT_EQ(dayLine(c), "农历3月 14日");
}

TEST(CalendarX, StartsEmpty) {
    const CalendarX c;
    EXPECT_EQ(c.WeekdayText(), "");
    expectNoLunar(c);
}
