// quillet-cli calendar [YYYY-MM-DD] | calendar --tsv FROM TO | calendar --ics FROM TO [--lunar-days] [--holidays]
#include "calendar/calendar_ics.h"
#include "calendar/calendar_x.h"
#include "calendar/holidays.h"
#include "cli/cli_holidays.h"
#include "cli/cli_registry.h"
#include "common/clock.h"
#include "common/numeric_text.h"
#include "desk/desk_texts.h"

#include <iostream>
#include <optional>

namespace {

using Date = CivilDate;

int printTexts(const Date& d) {
    CalendarX calendar;
    DeskTexts t = composeDeskTexts(calendar, d.year, d.month, d.day);
    std::cout << t.label1 << "\n" << t.label2 << "\n" << t.label5 << "\n" << t.label4 << "\n" << t.label6 << "\n";
    return 0;
}

int printTable(const Date& from, const Date& to) {
    CalendarX c;
    const HolidayCalendar& holidays = cliHolidays();
    for (Date d = from; !isLaterThan(d, to); d = nextCivilDay(d)) {
        recalcOn(c, d);
        const DayMark mark = holidays.mark(d.year, d.month, d.day);
        cliTellUnknownYear(d.year);
        std::cout << isoDateText(d) << '\t' << c.WeekdayText() << '\t' << c.YearNumber() << '\t' << c.YearText() << '\t'
                  << c.YearTag() << '\t' << c.MonthText() << '\t' << c.MonthNumber() << '\t' << c.DayText() << '\t'
                  << c.DayNumber() << '\t' << mark.mark() << '\t' << (mark.name ? *mark.name : "") << '\n';
    }
    return 0;
}

int runCalendar(const CliArgs& args) {
    if (args.empty()) {
        LocalDateTime now = SystemClock().now();
        return printTexts({now.year, now.month, now.day});
    }
    if (args[0] == "--tsv" || args[0] == "--ics") {
        const bool ics = args[0] == "--ics";
        bool lunarDays = false, holidays = false,
             known = args.size() >= 3 && args.size() <= 5 && (ics || args.size() == 3);
        for (std::size_t i = 3; known && i < args.size(); ++i) {
            bool& flag = args[i] == "--lunar-days" ? lunarDays : holidays;
            known = !flag && (args[i] == "--lunar-days" || args[i] == "--holidays");
            flag = true;
        }
        if (!known)
            return cliUsageError("calendar " + args[0] + " needs FROM and TO (YYYY-MM-DD)" +
                                 (ics ? " and optionally --lunar-days, --holidays" : ""));
        auto from = parseIsoDate(args[1]);
        auto to = parseIsoDate(args[2]);
        if (!from || !to)
            return cliUsageError("calendar " + args[0] +
                                 ": dates must be valid, from 0001-01-01 to 9999-12-31, and written YYYY-MM-DD");
        if (isLaterThan(*from, *to))
            return cliUsageError("calendar " + args[0] + ": FROM is after TO");
        if (!ics)
            return printTable(*from, *to);
        std::cout << chineseCalendarIcs(*from, *to, lunarDays, utcStamp(), holidays ? &cliHolidays() : nullptr);
        return 0;
    }
    if (args.size() != 1)
        return cliUsageError("calendar takes at most one date (YYYY-MM-DD)");
    auto date = parseIsoDate(args[0]);
    if (!date)
        return cliUsageError("calendar: '" + args[0] +
                             "' is not a valid date from 0001-01-01 to 9999-12-31 written YYYY-MM-DD");
    return printTexts(*date);
}

CliRegistrar reg("calendar", {"  quillet-cli calendar [YYYY-MM-DD]\n  quillet-cli calendar --tsv FROM TO\n"
                              "  quillet-cli calendar --ics FROM TO [--lunar-days] [--holidays]\n",
                              runCalendar});

} // namespace
