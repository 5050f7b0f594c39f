#pragma once
// The wall calendar's month view: one month of 1900..2049 laid out in six week rows of seven day cells,
// Sunday first. Cell 7r+c is week row r (0 at the top) and column c (0 Sunday .. 6 Saturday). The month
// length and leap years are our own arithmetic; the weekday of day 1 and the details line of a day come
// from the date-information component.
#include "calendar/calendar_x.h"
#include "calendar/holidays.h"
#include "common/clock.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

constexpr int kWallFirstYear = 1900;
constexpr int kWallLastYear = 2049;
constexpr int kWallCells = 42;
constexpr int kWallColumns = 7;

using MonthCells = std::array<std::string, kWallCells>;

// The year list "1900".."2049" and the month list "01".."12".
std::vector<std::string> wallYearEntries();
std::vector<std::string> wallMonthEntries();

// Days of the month given as list texts (numeric values): 0 for a month outside 1..12.
int wallDaysInMonth(std::string_view year, std::string_view month);
// Column of day 1 for a weekday text: "日" 0, "一" 1 .. "六" 6; any other text 0.
int weekdayColumn(std::string_view weekdayText);
// Sunday and Saturday columns are drawn in red, the others in teal.
bool isWeekendCell(int cell);

// Captions of the 42 cells: "1".."31" from the cell of day 1 on, the others empty.
MonthCells ShowMonth(CalendarX& calendarX1, std::string_view glnian, std::string_view glyue);
// The details line of a day: a blank, the year texts, then the month and day texts, e.g.
// " 庚辰(龙) 2000年 农历正月 初一 1日" with the component's own wording.
std::string dayDetails(CalendarX& calendarX2, std::string_view dayCaption, std::string_view glyue,
                       std::string_view glnian);
// The cells as six lines of seven tab-separated captions, each line ended by "\n".
std::string monthGridText(const MonthCells& cells);

// The state of the open window: the month shown, the cells, today's mark and the cell under the mouse.
class WallCalendar {
public:
    // Opening: the current year and month are chosen, the month is shown and today is marked.
    explicit WallCalendar(const LocalDateTime& today);

    void chooseYear(std::string_view entry);
    void chooseMonth(std::string_view entry);

    const std::string& glnian() const { return m_glnian; }
    const std::string& glyue() const { return m_glyue; }
    const MonthCells& cells() const { return m_cells; }
    // The blue mark is on today's cell while today's month is shown.
    bool isMarked(int cell) const { return cell == m_marked; }
    // Empty when today's year is in the year list; else a plain sentence saying which years the lists cover
    // (the window then opens on today's month of the nearest listed year).
    const std::string& rangeNote() const { return m_rangeNote; }

    // The mouse over a cell: true when it holds a day, which then becomes the highlighted cell with its
    // details; an empty cell changes nothing. Another month clears the highlight and the details.
    bool hoverCell(int cell);
    // The mouse over the large picture: no highlight, no details.
    void clearHover();
    int highlighted() const { return m_highlighted; }
    const std::string& details() const { return m_details; }

    // The holiday mark of the day in a cell (ordinary for an empty cell), from the holiday table in use.
    DayMark cellMark(int cell) const;
    // The line under the details: the highlighted day's holiday ("国庆节 放假第3天", "国庆节 调休上班"); for a year
    // the holiday table does not know, the plain notice that its arrangement is not known yet.
    std::string holidayLine() const;

private:
    void showMonth();

    CalendarX m_calendarX1;
    CalendarX m_calendarX2;
    std::string m_glnian;
    std::string m_glyue;
    MonthCells m_cells;
    LocalDateTime m_today;
    int m_marked = -1;
    std::string m_rangeNote;
    int m_highlighted = -1;
    std::string m_details;
};
