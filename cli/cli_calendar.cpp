// quillet-cli calendar [YYYY-MM-DD] | calendar --tsv FROM TO | calendar --ics FROM TO [--lunar-days]
#include "calendar/calendar_ics.h"
#include "calendar/calendar_x.h"
#include "cli/cli_registry.h"
#include "common/clock.h"
#include "common/numeric_text.h"
#include "desk/desk_texts.h"

#include <iostream>
#include <optional>
#include <regex>

namespace {

using Date = CivilDate;

std::optional<Date> parseDate(const std::string& text) {
    static const std::regex form(R"((\d{4})-(\d{2})-(\d{2}))");
    std::smatch m;
    if (!std::regex_match(text, m, form))
        return std::nullopt;
    Date d{std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3])};
    // Year 0 does not exist in the calendar: the first day is 0001-01-01.
    if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > daysInMonth(d.year, d.month))
        return std::nullopt;
    return d;
}

std::string isoDate(const Date& d) {
    return fourDigits(d.year) + "-" + twoDigits(d.month) + "-" + twoDigits(d.day);
}

int printTexts(const Date& d) {
    CalendarX calendar;
    DeskTexts t = composeDeskTexts(calendar, d.year, d.month, d.day);
    std::cout << t.label1 << "\n" << t.label2 << "\n" << t.label5 << "\n" << t.label4 << "\n" << t.label6 << "\n";
    return 0;
}

int printTable(const Date& from, const Date& to) {
    CalendarX c;
    for (Date d = from; !isLaterThan(d, to); d = nextCivilDay(d)) {
        recalcOn(c, d);
        std::cout << isoDate(d) << '\t' << c.WeekdayText() << '\t' << c.YearNumber() << '\t' << c.YearText() << '\t'
                  << c.YearTag() << '\t' << c.MonthText() << '\t' << c.MonthNumber() << '\t' << c.DayText() << '\t'
                  << c.DayNumber() << '\n';
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
        const bool lunarDays = ics && args.size() == 4 && args[3] == "--lunar-days";
        if (args.size() != 3 && !lunarDays)
            return cliUsageError("calendar " + args[0] + " needs FROM and TO (YYYY-MM-DD)" +
                                 (ics ? " and optionally --lunar-days" : ""));
        auto from = parseDate(args[1]);
        auto to = parseDate(args[2]);
        if (!from || !to)
            return cliUsageError("calendar " + args[0] +
                                 ": dates must be valid, from 0001-01-01 to 9999-12-31, and written YYYY-MM-DD");
        if (isLaterThan(*from, *to))
            return cliUsageError("calendar " + args[0] + ": FROM is after TO");
        if (!ics)
            return printTable(*from, *to);
        std::cout << chineseCalendarIcs(*from, *to, lunarDays, utcStamp());
        return 0;
    }
    if (args.size() != 1)
        return cliUsageError("calendar takes at most one date (YYYY-MM-DD)");
    auto date = parseDate(args[0]);
    if (!date)
        return cliUsageError("calendar: '" + args[0] +
                             "' is not a valid date from 0001-01-01 to 9999-12-31 written YYYY-MM-DD");
    return printTexts(*date);
}

CliRegistrar reg("calendar", {"  quillet-cli calendar [YYYY-MM-DD]\n  quillet-cli calendar --tsv FROM TO\n"
                              "  quillet-cli calendar --ics FROM TO [--lunar-days]\n",
                              runCalendar, false});

} // namespace
