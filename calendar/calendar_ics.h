#pragma once
// The Chinese calendar as an iCalendar (RFC 5545) feed for other calendar programs: one all-day, transparent
// event per festival and per solar term (the names the desk calendar shows), and optionally one per day with
// that day's lunar date ("农历十月三十"). Days outside the range the date component knows get no events.
#include <string>

class CalendarX;
class HolidayCalendar;

struct CivilDate {
    int year, month, day;
};
CivilDate nextCivilDay(CivilDate date);
bool isLaterThan(const CivilDate& a, const CivilDate& b);
// Writes the date into the component (day, month, year, in the desk calendar's order) and recalculates.
void recalcOn(CalendarX& calendar, const CivilDate& date);

// The lunar date as a calendar writes it: "农历正月初一", "农历闰六月十五", "农历十月三十".
std::string lunarDateText(bool leap, int month, int day);

// Every event from `from` to `to` (both included, valid dates, from <= to). UIDs depend only on the date and the
// event's text, so a feed written again replaces the same events. `dtstampUtc` is YYYYMMDDTHHMMSSZ. Given
// `holidays`, each holiday day gets an event "春节 休" and each make-up workday one "春节 调休上班".
std::string chineseCalendarIcs(CivilDate from, CivilDate to, bool lunarDays, const std::string& dtstampUtc,
                               const HolidayCalendar* holidays = nullptr);
