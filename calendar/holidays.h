#pragma once
// Public holidays (休) and the weekend days worked in exchange (班), as the State Council General Office's
// yearly notices arrange them. The program delivers a table of the published years ("jjr.cjf" in the share
// folder); a file of the same form in the data folder ("jjr.cjf") replaces or adds years one by one.
//
// File form (GB18030, CR LF; see the delivered table's head): "#" comment lines and blank lines are skipped;
// "[YYYY]" opens the arrangement of one year; then "YYYY-MM-DD[..YYYY-MM-DD] 休|班 NAME" lines, the fields
// apart by blanks or tabs. A year's days may lie in the year before or after it (元旦's make-up days often do).
#include "calendar/calendar_ics.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

enum class DayOff : std::uint8_t { Ordinary = 0, Holiday = 1, MakeUpWorkday = 2 };

struct HolidayDay {
    CivilDate date;
    DayOff kind;
    std::string name; // 春节, 中秋节、国庆节, ...
};
// The days of each year's arrangement, by the year of the notice.
using HolidayYears = std::map<int, std::vector<HolidayDay>>;

// The lines of a file, decoded. A malformed line refuses the whole file: "第N行: reason".
std::variant<HolidayYears, std::string> parseHolidayLines(const std::vector<std::string>& lines);
// The file's lines for the given years, runs of holiday days written as ranges, each year after a comment.
std::vector<std::string> holidayFileLines(const HolidayYears& years, const std::string& comment);

// A valid date written YYYY-MM-DD.
std::optional<CivilDate> parseIsoDate(std::string_view text);
// "YYYY-MM-DD".
std::string isoDateText(const CivilDate& d);

// Days from 1970-01-01 of a valid Gregorian date, and the weekday (0 Sunday .. 6 Saturday).
int daysFromCivil(int year, int month, int day);
inline int weekdayOf(int year, int month, int day) {
    const int w = (daysFromCivil(year, month, day) + 4) % 7;
    return w < 0 ? w + 7 : w;
}

struct DayMark {
    DayOff kind = DayOff::Ordinary;
    int dayOfRun = 0;                  // for a holiday: 1 on the first day off of its run, 2 on the next, ...
    const std::string* name = nullptr; // null for an ordinary day
    std::string_view mark() const { return kind == DayOff::Holiday ? "休" : kind == DayOff::MakeUpWorkday ? "班" : ""; }
};

// Every day of the years it knows, precomputed into one dense array: a lookup is a subtraction and a load.
class HolidayCalendar {
public:
    HolidayCalendar() = default;
    explicit HolidayCalendar(const HolidayYears& years);

    DayMark mark(int year, int month, int day) const {
        const long i = static_cast<long>(daysFromCivil(year, month, day)) - m_first;
        if (i < 0 || i >= static_cast<long>(m_days.size()) || m_days[i] == 0)
            return {};
        const std::uint32_t v = m_days[i];
        return {static_cast<DayOff>(v & 3), static_cast<int>((v >> 2) & 63), &m_names[v >> 8]};
    }
    // Whether the arrangement of the year is in the table; outside it only the weekends are days off.
    bool knows(int year) const {
        return year >= m_firstYear && year < m_firstYear + int(m_known.size()) && m_known[year - m_firstYear];
    }
    bool isWorkday(int year, int month, int day) const;
    const HolidayYears& years() const { return m_years; }

private:
    HolidayYears m_years;
    int m_first = 0;                   // day number of m_days[0]
    std::vector<std::uint32_t> m_days; // kind | dayOfRun << 2 | name index << 8; 0 for an ordinary day
    std::vector<std::string> m_names;
    int m_firstYear = 0;
    std::vector<bool> m_known;
};

// A marked day in words: "国庆节 放假第3天", "国庆节 调休上班"; "" for an ordinary day.
std::string holidayText(const DayMark& mark);

// The plain notice for a year outside the table.
std::string unknownYearNotice(int year);

// The delivered table overridden year by year by the user's file. A missing user file is no problem; a missing
// or malformed delivered table, or a malformed user file, is left out whole and named in `problems`.
struct HolidayLoad {
    HolidayCalendar calendar;
    std::vector<std::string> problems;
};
HolidayLoad loadHolidays(const std::filesystem::path& delivered, const std::filesystem::path& user);

// The table the windows and the command-line tool use, loaded once at start.
const HolidayCalendar& holidayCalendar();
void setHolidayCalendar(HolidayCalendar calendar);
// The file names: the delivered table in the share folder and the user's file in the data folder.
inline constexpr const char* kHolidayFileName = "jjr.cjf";

// A published holiday calendar (iCalendar): each all-day VEVENT whose SUMMARY or CATEGORIES holds 班 is a
// make-up workday, else one holding 休 a holiday; the name is the SUMMARY's first word without those marks.
// Days go to the year of their notice (a December 元旦 day to the next year). Other events are skipped.
std::variant<HolidayYears, std::string> holidaysFromIcs(const std::string& icsText);
