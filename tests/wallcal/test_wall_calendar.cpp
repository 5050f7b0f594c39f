#include "wallcal/wall_calendar.h"

#include <gtest/gtest.h>

namespace {

// Cell index of a day in a month's layout, -1 when absent.
int cellOf(const MonthCells& cells, const std::string& day) {
    for (int i = 0; i < kWallCells; ++i)
        if (cells[i] == day)
            return i;
    return -1;
}

int filledCells(const MonthCells& cells) {
    int n = 0;
    for (const std::string& c : cells)
        n += c.empty() ? 0 : 1;
    return n;
}

} // namespace

TEST(WallCalendarLists, YearsAndMonthsAsListed) {
    std::vector<std::string> years = wallYearEntries();
    ASSERT_EQ(years.size(), 150u);
    EXPECT_EQ(years.front(), "1900");
    EXPECT_EQ(years[100], "2000");
    EXPECT_EQ(years.back(), "2049");
    std::vector<std::string> months = wallMonthEntries();
    ASSERT_EQ(months.size(), 12u);
    EXPECT_EQ(months.front(), "01");
    EXPECT_EQ(months[8], "09");
    EXPECT_EQ(months.back(), "12");
}

TEST(WallCalendarArithmetic, MonthLengthsAndLeapYears) {
    struct Case {
        const char* year;
        const char* month;
        int days;
    };
    const Case cases[] = {{"1900", "02", 28}, {"2000", "02", 29}, {"2004", "02", 29}, {"2003", "02", 28},
                          {"2100", "02", 28}, {"2001", "01", 31}, {"2001", "04", 30}, {"2001", "06", 30},
                          {"2001", "09", 30}, {"2001", "11", 30}, {"2001", "12", 31}, {"2001", "08", 31},
                          {"2001", "00", 0},  {"2001", "13", 0},  {"2001", "abc", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(wallDaysInMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
}

TEST(WallCalendarArithmetic, WeekdayTextGivesColumn) {
    const char* names[] = {"日", "一", "二", "三", "四", "五", "六"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(weekdayColumn(names[i]), i) << names[i];
    EXPECT_EQ(weekdayColumn(""), 0);
    EXPECT_EQ(weekdayColumn("七"), 0);
    EXPECT_EQ(weekdayColumn("星期一"), 0);
}

TEST(WallCalendarArithmetic, WeekendColumnsAreSundayAndSaturday) {
    EXPECT_TRUE(isWeekendCell(0));
    EXPECT_TRUE(isWeekendCell(6));
    EXPECT_TRUE(isWeekendCell(35));
    EXPECT_TRUE(isWeekendCell(41));
    EXPECT_FALSE(isWeekendCell(1));
    EXPECT_FALSE(isWeekendCell(40));
}

TEST(ShowMonthLayout, SaturdayStartThirtyOneDaysUsesCell36) {
    CalendarX cal;
    MonthCells cells = ShowMonth(cal, "2000", "01"); // 1 January 2000 was a Saturday
    EXPECT_EQ(cells[5], "");
    EXPECT_EQ(cells[6], "1");
    EXPECT_EQ(cells[7], "2");
    EXPECT_EQ(cells[35], "30");
    EXPECT_EQ(cells[36], "31");
    for (int i = 37; i < kWallCells; ++i)
        EXPECT_EQ(cells[i], "") << i;
    EXPECT_EQ(filledCells(cells), 31);
}

TEST(ShowMonthLayout, SundayStartFebruaryFillsToCell27) {
    CalendarX cal;
    MonthCells cells = ShowMonth(cal, "2015", "02"); // 1 February 2015 was a Sunday
    EXPECT_EQ(cells[0], "1");
    EXPECT_EQ(cells[27], "28");
    for (int i = 28; i < kWallCells; ++i)
        EXPECT_EQ(cells[i], "") << i;
}

TEST(ShowMonthLayout, LeapFebruaries) {
    CalendarX cal;
    MonthCells feb2004 = ShowMonth(cal, "2004", "02"); // a Sunday start in a leap year
    EXPECT_EQ(feb2004[0], "1");
    EXPECT_EQ(feb2004[28], "29");
    EXPECT_EQ(feb2004[29], "");
    MonthCells feb1900 = ShowMonth(cal, "1900", "02"); // Thursday start, no 29th in 1900
    EXPECT_EQ(feb1900[3], "");
    EXPECT_EQ(feb1900[4], "1");
    EXPECT_EQ(feb1900[31], "28");
    EXPECT_EQ(cellOf(feb1900, "29"), -1);
    MonthCells feb2000 = ShowMonth(cal, "2000", "02"); // Tuesday start, 2000 is a leap year
    EXPECT_EQ(feb2000[2], "1");
    EXPECT_EQ(feb2000[30], "29");
}

TEST(ShowMonthLayout, EdgesOfTheRange) {
    CalendarX cal;
    MonthCells jan1900 = ShowMonth(cal, "1900", "01"); // Monday
    EXPECT_EQ(jan1900[0], "");
    EXPECT_EQ(jan1900[1], "1");
    EXPECT_EQ(jan1900[31], "31");
    MonthCells dec2049 = ShowMonth(cal, "2049", "12"); // Wednesday
    EXPECT_EQ(dec2049[3], "1");
    EXPECT_EQ(dec2049[33], "31");
}

TEST(ShowMonthLayout, EveryMonthFitsAndStartsOnItsWeekday) {
    CalendarX cal;
    for (const std::string& year : wallYearEntries()) {
        for (const std::string& month : wallMonthEntries()) {
            MonthCells cells = ShowMonth(cal, year, month);
            int first = cellOf(cells, "1");
            ASSERT_GE(first, 0);
            ASSERT_LT(first, 7);
            int days = wallDaysInMonth(year, month);
            ASSERT_EQ(filledCells(cells), days) << year << month;
            ASSERT_EQ(cells[first + days - 1], std::to_string(days));
            ASSERT_LE(first + days - 1, 36);
        }
    }
}

TEST(ShowMonthLayout, GridTextIsSixLinesOfSevenFields) {
    CalendarX cal;
    std::string text = monthGridText(ShowMonth(cal, "2000", "01"));
    EXPECT_EQ(text.substr(0, 14), "\t\t\t\t\t\t1\n2\t3\t4\t");
    int lines = 0, tabs = 0;
    for (char ch : text) {
        lines += ch == '\n';
        tabs += ch == '\t';
    }
    EXPECT_EQ(lines, 6);
    EXPECT_EQ(tabs, 36);
    // The sixth row holds the 30th and 31st.
    EXPECT_EQ(text.substr(text.size() - 12), "\n30\t31\t\t\t\t\t\n");
    std::string february = monthGridText(ShowMonth(cal, "2015", "02")); // the last two rows stay blank
    EXPECT_EQ(february.substr(february.size() - 17), "28\n\t\t\t\t\t\t\n\t\t\t\t\t\t\n");
}

TEST(WallCalendarState, OpensOnTodayAndMarksIt) {
    WallCalendar wall(LocalDateTime{2024, 3, 15, 9, 30, 0});
    EXPECT_EQ(wall.glnian(), "2024");
    EXPECT_EQ(wall.glyue(), "03");
    EXPECT_EQ(wall.cells()[19], "15"); // 1 March 2024 was a Friday
    for (int i = 0; i < kWallCells; ++i)
        EXPECT_EQ(wall.isMarked(i), i == 19) << i;
}

TEST(WallCalendarState, TodayMarkAndHoverFollowTheMonthShown) {
    WallCalendar wall(LocalDateTime{2024, 3, 15});
    ASSERT_TRUE(wall.hoverCell(19));
    wall.chooseMonth("04");
    EXPECT_EQ(wall.glyue(), "04");
    EXPECT_EQ(wall.cells()[19], "19"); // 1 April 2024 was a Monday
    EXPECT_EQ(wall.highlighted(), -1);
    EXPECT_EQ(wall.details(), "");
    for (int i = 0; i < kWallCells; ++i)
        EXPECT_FALSE(wall.isMarked(i)) << i;
    wall.chooseYear("1900");
    wall.chooseMonth("03");
    EXPECT_FALSE(wall.isMarked(cellOf(wall.cells(), "15")));
    wall.chooseYear("2024");
    EXPECT_TRUE(wall.isMarked(19));
}

TEST(WallCalendarState, ATodayOutsideTheListsOpensOnTheNearestYearAndSaysSo) {
    for (auto [year, shown] : {std::pair{2150, kWallLastYear}, std::pair{1850, kWallFirstYear}}) {
        WallCalendar wall(LocalDateTime{year, 5, 4});
        EXPECT_EQ(wall.glnian(), std::to_string(shown));
        EXPECT_EQ(wall.glyue(), "05");
        EXPECT_EQ(wall.rangeNote(),
                  "挂历只有1900年至" + std::to_string(kWallLastYear) + "年, 没有" + std::to_string(year) + "年");
        for (int i = 0; i < kWallCells; ++i)
            EXPECT_FALSE(wall.isMarked(i)) << i;
    }
    EXPECT_EQ(WallCalendar(LocalDateTime{kWallLastYear, 12, 31}).rangeNote(), "");
}

TEST(WallCalendarState, HoverGivesDetailsStartingWithABlank) {
    WallCalendar wall(LocalDateTime{2000, 1, 1});
    ASSERT_TRUE(wall.hoverCell(6));
    EXPECT_EQ(wall.highlighted(), 6);
    const std::string& details = wall.details();
    ASSERT_FALSE(details.empty());
    EXPECT_EQ(details[0], ' ');
    EXPECT_NE(details.find("("), std::string::npos);
    EXPECT_NE(details.find(") "), std::string::npos);
    EXPECT_NE(details.find("年 "), std::string::npos);
    EXPECT_NE(details.find("月 "), std::string::npos);
    EXPECT_EQ(details.substr(details.size() - 3), "日");
    CalendarX direct;
    EXPECT_EQ(details, dayDetails(direct, "1", "01", "2000"));
}

TEST(WallCalendarState, EmptyCellKeepsTheLastHighlightAndDetails) {
    WallCalendar wall(LocalDateTime{2000, 1, 1});
    ASSERT_TRUE(wall.hoverCell(10));
    std::string details = wall.details();
    EXPECT_FALSE(wall.hoverCell(40));
    EXPECT_FALSE(wall.hoverCell(-1));
    EXPECT_FALSE(wall.hoverCell(42));
    EXPECT_EQ(wall.highlighted(), 10);
    EXPECT_EQ(wall.details(), details);
    wall.clearHover();
    EXPECT_EQ(wall.highlighted(), -1);
    EXPECT_EQ(wall.details(), "");
}

TEST(WallCalendarState, DetailsFollowTheMonthShown) {
    WallCalendar wall(LocalDateTime{2000, 1, 1});
    ASSERT_TRUE(wall.hoverCell(6));
    std::string january = wall.details();
    wall.chooseYear("2001"); // 1 January 2001 was a Monday: cell 6 now holds the 6th
    ASSERT_TRUE(wall.hoverCell(6));
    CalendarX direct;
    EXPECT_EQ(wall.details(), dayDetails(direct, "6", "01", "2001"));
    EXPECT_NE(wall.details(), january);
}
