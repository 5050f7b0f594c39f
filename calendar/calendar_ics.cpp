#include "calendar/calendar_ics.h"

#include "calendar/calendar_x.h"
#include "calendar/holidays.h"
#include "common/clock.h"
#include "common/ics_text.h"
#include "common/numeric_text.h"

#include <string_view>
#include <tuple>

namespace {

constexpr std::string_view kCalendarName = "农历节日与节气";

std::string basicDate(const CivilDate& d) {
    return fourDigits(d.year) + twoDigits(d.month) + twoDigits(d.day);
}

// UID part for an event text: its UTF-8 bytes in hex, so it stays ASCII and never changes with the wording's order.
std::string hexOf(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : text) {
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    return out;
}

void addLine(std::string& out, std::string_view line) {
    out += icsFoldLine(line);
    out += "\r\n";
}

void addEvent(std::string& out, const CivilDate& date, const std::string& uidKey, std::string_view summary,
              const std::string& dtstamp, std::string_view category = kCalendarName) {
    const std::string day = basicDate(date);
    addLine(out, "BEGIN:VEVENT");
    addLine(out, "UID:" + day + "-" + uidKey + "@quillet-lunar");
    addLine(out, "DTSTAMP:" + dtstamp);
    addLine(out, "DTSTART;VALUE=DATE:" + day);
    addLine(out, "DTEND;VALUE=DATE:" + basicDate(nextCivilDay(date)));
    addLine(out, "SUMMARY:" + icsEscapeText(summary));
    addLine(out, "TRANSP:TRANSPARENT");
    addLine(out, "CATEGORIES:" + std::string(category));
    addLine(out, "END:VEVENT");
}

} // namespace

CivilDate nextCivilDay(CivilDate d) {
    if (++d.day > daysInMonth(d.year, d.month)) {
        d.day = 1;
        if (++d.month > 12) {
            d.month = 1;
            ++d.year;
        }
    }
    return d;
}

bool isLaterThan(const CivilDate& a, const CivilDate& b) {
    return std::tie(a.year, a.month, a.day) > std::tie(b.year, b.month, b.day);
}

void recalcOn(CalendarX& calendar, const CivilDate& date) {
    calendar.setDateDay(date.day);
    calendar.setDateMonth(date.month);
    calendar.setDateYear(date.year);
    calendar.Recalc();
}

std::string lunarDateText(bool leap, int month, int day) {
    static const char* const kNumbers[11] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
    std::string text = leap ? "农历闰" : "农历";
    text += month == 1    ? std::string("正")
            : month <= 10 ? std::string(kNumbers[month])
                          : "十" + std::string(kNumbers[month - 10]);
    text += "月";
    if (day <= 10)
        text += "初" + std::string(kNumbers[day]);
    else if (day < 20)
        text += "十" + std::string(kNumbers[day - 10]);
    else if (day == 20 || day == 30)
        text += std::string(kNumbers[day / 10]) + "十";
    else
        text += "廿" + std::string(kNumbers[day - 20]);
    return text;
}

std::string chineseCalendarIcs(CivilDate from, CivilDate to, bool lunarDays, const std::string& dtstampUtc,
                               const HolidayCalendar* holidays) {
    std::string out;
    for (std::string_view line :
         {"BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Orlin//Quillet//ZH", "CALSCALE:GREGORIAN", "METHOD:PUBLISH"})
        addLine(out, line);
    addLine(out, "X-WR-CALNAME:" + std::string(kCalendarName));
    CalendarX calendar;
    for (CivilDate d = from; !isLaterThan(d, to); d = nextCivilDay(d)) {
        if (const DayMark mark = holidays ? holidays->mark(d.year, d.month, d.day) : DayMark{}; mark.name) {
            const std::string summary = *mark.name + (mark.kind == DayOff::Holiday ? " 休" : " 调休上班");
            addEvent(out, d, "holiday-" + hexOf(summary), summary, dtstampUtc, "法定节假日");
        }
        recalcOn(calendar, d);
        if (calendar.MonthNumber() == 0)
            continue; // outside the lunar tables
        // The day text is "festival term " with a blank after each name.
        std::string_view names = calendar.DayText();
        for (std::size_t blank; (blank = names.find(' ')) != std::string_view::npos; names.remove_prefix(blank + 1))
            if (blank > 0)
                addEvent(out, d, hexOf(names.substr(0, blank)), names.substr(0, blank), dtstampUtc);
        if (lunarDays)
            addEvent(out, d, "lunar",
                     lunarDateText(calendar.MonthText() != "农历", calendar.MonthNumber(), calendar.DayNumber()),
                     dtstampUtc);
    }
    addLine(out, "END:VCALENDAR");
    return out;
}
