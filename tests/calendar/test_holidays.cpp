#include "calendar/calendar_x.h"
#include "calendar/holidays.h"
#include "common/line_file.h"
#include "common/text_codec.h"
#include "support/build_paths.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

HolidayYears deliveredYears() {
    auto lines = readTextLines(sourceDir() / "data" / kHolidayFileName);
    EXPECT_TRUE(lines.ok());
    auto parsed = parseHolidayLines(lines.ok() ? *lines : std::vector<std::string>{});
    EXPECT_TRUE(std::holds_alternative<HolidayYears>(parsed)) << std::get<std::string>(parsed);
    return std::get<HolidayYears>(parsed);
}

int dayNumber(const CivilDate& d) {
    return daysFromCivil(d.year, d.month, d.day);
}

// Whether a run of days holds the lunar date month/day (not a leap month).
bool holdsLunarDay(const std::vector<CivilDate>& run, int month, int day) {
    CalendarX calendar;
    for (const CivilDate& d : run) {
        recalcOn(calendar, d);
        if (calendar.MonthText() == "农历" && calendar.MonthNumber() == month && calendar.DayNumber() == day)
            return true;
    }
    return false;
}

} // namespace

TEST(Holidays, DeliveredTableKeepsTheRulesOfTheNotices) {
    const HolidayYears years = deliveredYears();
    for (int year = 2004; year <= 2026; ++year)
        EXPECT_TRUE(years.contains(year)) << year;
    const HolidayCalendar table(years);
    EXPECT_FALSE(table.knows(2003));
    EXPECT_FALSE(table.knows(2027));
    for (const auto& [year, days] : years) {
        std::map<std::string, std::vector<CivilDate>> runs;
        for (const HolidayDay& d : days) {
            const int weekday = weekdayOf(d.date.year, d.date.month, d.date.day);
            if (d.kind == DayOff::MakeUpWorkday) {
                EXPECT_TRUE(weekday == 0 || weekday == 6)
                    << year << " " << d.name << " " << d.date.month << "-" << d.date.day;
            } else {
                runs[d.name].push_back(d.date);
            }
            // The dense lookup gives back every day of the file.
            const DayMark mark = table.mark(d.date.year, d.date.month, d.date.day);
            EXPECT_EQ(mark.kind, d.kind);
            ASSERT_NE(mark.name, nullptr);
            EXPECT_EQ(*mark.name, d.name);
        }
        for (const HolidayDay& d : days)
            EXPECT_TRUE(runs.contains(d.name)) << year << ": make-up day for " << d.name << " without its holiday";
        for (auto& [name, run] : runs) {
            std::sort(run.begin(), run.end(), [](auto& a, auto& b) { return dayNumber(a) < dayNumber(b); });
            EXPECT_EQ(dayNumber(run.back()) - dayNumber(run.front()) + 1, int(run.size())) << year << " " << name;
            EXPECT_EQ(table.mark(run.back().year, run.back().month, run.back().day).dayOfRun, int(run.size()));
            if (name == "春节") {
                EXPECT_TRUE(holdsLunarDay(run, 1, 1)) << year << ": 春节 without 正月初一";
            }
            if (name.find("中秋节") != std::string::npos) {
                EXPECT_TRUE(holdsLunarDay(run, 8, 15)) << year << ": 中秋节 without 八月十五";
            }
        }
        EXPECT_TRUE(runs.contains("春节")) << year;
        EXPECT_EQ(year >= 2008, std::any_of(runs.begin(), runs.end(),
                                            [](auto& r) { return r.first.find("中秋节") != std::string::npos; }))
            << year;
    }
    // Outside the marked days: the weekends.
    EXPECT_FALSE(table.isWorkday(2026, 3, 7));
    EXPECT_TRUE(table.isWorkday(2026, 3, 9));
    EXPECT_TRUE(table.isWorkday(2026, 2, 14));  // a make-up Saturday
    EXPECT_FALSE(table.isWorkday(2026, 10, 7)); // a holiday Wednesday
    EXPECT_FALSE(table.isWorkday(2031, 1, 4));
}

TEST(Holidays, MalformedLineRefusesTheFileWithItsNumber) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"# head", "2026-01-01 休 元旦"}, "第2行: "},
        {{"[2026]", "", "2026-01-01 休"}, "第3行: "},
        {{"[2026]", "2026-02-30 休 春节"}, "第2行: "},
        {{"[2026]", "2026-01-01 假 元旦"}, "第2行: "},
        {{"[2026]", "2026-02-23..2026-02-15 休 春节"}, "第2行: "},
        {{"[2026]", "2029-01-01 休 元旦"}, "第2行: "},
        {{"[2026]", "2026-01-01..2026-01-03 休 元旦", "2026-01-03 班 元旦"}, "第3行: 2026-01-03 已在第2行出现"},
        {{"[2026]", "[2026]"}, "第2行: "},
        {{"# 1", "# 2", "[0001]"}, "第3行: "},
    };
    for (const auto& [lines, start] : cases) {
        auto parsed = parseHolidayLines(lines);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << start;
        EXPECT_TRUE(std::get<std::string>(parsed).starts_with(start)) << std::get<std::string>(parsed);
    }
    // The same text written by the program reads back as it was (tabs and CR allowed on reading).
    auto parsed = parseHolidayLines({"[2027]", "2026-12-31\t休\t元旦\r", "2027-01-01 休 元旦", "2027-01-09 班 元旦"});
    ASSERT_TRUE(std::holds_alternative<HolidayYears>(parsed));
    EXPECT_EQ(
        holidayFileLines(std::get<HolidayYears>(parsed), "x"),
        (std::vector<std::string>{"# 2027: x", "[2027]", "2026-12-31..2027-01-01 休 元旦", "2027-01-09 班 元旦", ""}));
}

TEST(Holidays, UserFileReplacesWholeYearsAndABadOneIsLeftOut) {
    TempWorkDir dir;
    dir.write(
        "share.cjf",
        encodeGb("[2025]\r\n2025-01-01 休 元旦\r\n[2026]\r\n2026-01-01..2026-01-03 休 元旦\r\n2026-01-04 班 元旦\r\n"));
    dir.write("mine.cjf", encodeGb("[2026]\r\n2026-01-02 休 元旦\r\n[2027]\r\n2027-01-01 休 元旦\r\n"));
    HolidayLoad load = loadHolidays(dir / "share.cjf", dir / "mine.cjf");
    EXPECT_TRUE(load.problems.empty()) << load.problems.front();
    const HolidayCalendar& t = load.calendar;
    EXPECT_EQ(t.mark(2025, 1, 1).kind, DayOff::Holiday);  // a year the user left alone
    EXPECT_EQ(t.mark(2026, 1, 1).kind, DayOff::Ordinary); // the user's 2026 replaces the whole year
    EXPECT_EQ(t.mark(2026, 1, 4).kind, DayOff::Ordinary);
    EXPECT_EQ(holidayText(t.mark(2026, 1, 2)), "元旦 放假第1天");
    EXPECT_TRUE(t.knows(2027));

    dir.write("mine.cjf", encodeGb("[2026]\r\n2026-01-02 休 元旦\r\n2026-01-05 xx 元旦\r\n"));
    load = loadHolidays(dir / "share.cjf", dir / "mine.cjf");
    ASSERT_EQ(load.problems.size(), 1u);
    EXPECT_NE(load.problems[0].find("第3行"), std::string::npos) << load.problems[0];
    EXPECT_EQ(load.calendar.mark(2026, 1, 4).kind, DayOff::MakeUpWorkday); // nothing of the bad file is used
    EXPECT_EQ(load.calendar.mark(2026, 1, 2).dayOfRun, 2);

    load = loadHolidays(dir / "none.cjf", dir / "none.cjf");
    EXPECT_EQ(load.problems.size(), 1u);
    EXPECT_FALSE(load.calendar.knows(2026));
    EXPECT_EQ(unknownYearNotice(2027), "2027年的放假安排尚不知道,只按周末显示");
}

TEST(Holidays, PublishedIcsGivesHolidaysAndMakeUpDays) {
    const std::string ics =
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:春节 休\r\nDTSTART;VALUE=DATE:20270205\r\n"
        "DTEND;VALUE=DATE:20270212\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nSUMMARY:春节\r\nCATEGORIES:班\r\n"
        "DTSTART;VALUE=DATE:20270130\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nSUMMARY:元旦（休）\r\n"
        "DTSTART;VALUE=DATE:20261231\r\nDTEND;VALUE=DATE:20270102\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nSUMMARY:妈妈生日\r\nDTSTART;VALUE=DATE:20270301\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    auto years = holidaysFromIcs(ics);
    ASSERT_TRUE(std::holds_alternative<HolidayYears>(years)) << std::get<std::string>(years);
    EXPECT_EQ(holidayFileLines(std::get<HolidayYears>(years), "x"),
              (std::vector<std::string>{"# 2027: x", "[2027]", "2026-12-31..2027-01-01 休 元旦", "2027-01-30 班 春节",
                                        "2027-02-05..2027-02-11 休 春节", ""}));
    EXPECT_TRUE(std::holds_alternative<std::string>(holidaysFromIcs("BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n")));
}
