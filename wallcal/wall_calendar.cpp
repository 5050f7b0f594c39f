#include "wallcal/wall_calendar.h"

#include "common/numeric_text.h"

#include <algorithm>

namespace {

// List texts are read with the program's numeric rule ("01" is 1, "abc" is 0).
int numberOf(std::string_view text) {
    std::optional<int16_t> value = textToInt16(text);
    return value ? *value : 0;
}

} // namespace

std::vector<std::string> wallYearEntries() {
    std::vector<std::string> entries;
    for (int year = kWallFirstYear; year <= kWallLastYear; ++year)
        entries.push_back(fourDigits(year));
    return entries;
}

std::vector<std::string> wallMonthEntries() {
    std::vector<std::string> entries;
    for (int month = 1; month <= 12; ++month)
        entries.push_back(twoDigits(month));
    return entries;
}

int wallDaysInMonth(std::string_view year, std::string_view month) {
    return daysInMonth(numberOf(year), numberOf(month));
}

int weekdayColumn(std::string_view weekdayText) {
    static constexpr std::string_view kNames[] = {"日", "一", "二", "三", "四", "五", "六"};
    for (int column = 0; column < kWallColumns; ++column)
        if (weekdayText == kNames[column])
            return column;
    return 0;
}

bool isWeekendCell(int cell) {
    int column = cell % kWallColumns;
    return column == 0 || column == kWallColumns - 1;
}

MonthCells ShowMonth(CalendarX& calendarX1, std::string_view glnian, std::string_view glyue) {
    MonthCells cells;
    int days = wallDaysInMonth(glnian, glyue);
    calendarX1.setDateDay("01");
    calendarX1.setDateMonth(glyue);
    calendarX1.setDateYear(glnian);
    calendarX1.Recalc();
    int first = weekdayColumn(calendarX1.WeekdayText());
    for (int day = 1; day <= days; ++day)
        cells[day + first - 1] = textOf(day);
    return cells;
}

std::string dayDetails(CalendarX& calendarX2, std::string_view dayCaption, std::string_view glyue,
                       std::string_view glnian) {
    calendarX2.setDateDay(dayCaption);
    calendarX2.setDateMonth(glyue);
    calendarX2.setDateYear(glnian);
    calendarX2.Recalc();
    return " " + calendarX2.YearText() + "(" + calendarX2.YearTag() + ") " + textOf(calendarX2.YearNumber()) + "年 " +
           calendarX2.MonthText() + textOf(calendarX2.MonthNumber()) + "月 " + calendarX2.DayText() +
           textOf(calendarX2.DayNumber()) + "日";
}

std::string monthGridText(const MonthCells& cells) {
    std::string text;
    for (int cell = 0; cell < kWallCells; ++cell) {
        text += cells[cell];
        text += cell % kWallColumns == kWallColumns - 1 ? "\n" : "\t";
    }
    return text;
}

WallCalendar::WallCalendar(const LocalDateTime& today)
    : m_glnian(fourDigits(std::clamp(today.year, kWallFirstYear, kWallLastYear))), m_glyue(twoDigits(today.month)),
      m_today(today) {
    if (today.year < kWallFirstYear || today.year > kWallLastYear)
        m_rangeNote = "挂历只有" + textOf(kWallFirstYear) + "年至" + textOf(kWallLastYear) + "年, 没有" +
                      textOf(today.year) + "年";
    showMonth();
}

void WallCalendar::chooseYear(std::string_view entry) {
    m_glnian = entry;
    showMonth();
}

void WallCalendar::chooseMonth(std::string_view entry) {
    m_glyue = entry;
    showMonth();
}

void WallCalendar::showMonth() {
    m_cells = ShowMonth(m_calendarX1, m_glnian, m_glyue);
    clearHover();
    m_marked = -1;
    if (numberOf(m_glnian) == m_today.year && numberOf(m_glyue) == m_today.month)
        for (int cell = 0; cell < kWallCells; ++cell)
            if (!m_cells[cell].empty() && numberOf(m_cells[cell]) == m_today.day)
                m_marked = cell;
}

bool WallCalendar::hoverCell(int cell) {
    if (cell < 0 || cell >= kWallCells || m_cells[cell].empty())
        return false;
    m_highlighted = cell;
    m_details = dayDetails(m_calendarX2, m_cells[cell], m_glyue, m_glnian);
    return true;
}

void WallCalendar::clearHover() {
    m_highlighted = -1;
    m_details.clear();
}

DayMark WallCalendar::cellMark(int cell) const {
    if (cell < 0 || cell >= kWallCells || m_cells[cell].empty())
        return {};
    return holidayCalendar().mark(numberOf(m_glnian), numberOf(m_glyue), numberOf(m_cells[cell]));
}

std::string WallCalendar::holidayLine() const {
    const int year = numberOf(m_glnian);
    if (!holidayCalendar().knows(year))
        return unknownYearNotice(year);
    return holidayText(cellMark(m_highlighted));
}
