// quillet-cli calendar [YYYY-MM-DD] | calendar --tsv FROM TO
#include "calendar/calendar_x.h"
#include "cli/cli_registry.h"
#include "common/clock.h"
#include "common/numeric_text.h"
#include "desk/desk_texts.h"

#include <iostream>
#include <optional>
#include <regex>

namespace {

struct Date {
    int year, month, day;
};

std::optional<Date> parseDate(const std::string& text) {
    static const std::regex form(R"((\d{4})-(\d{2})-(\d{2}))");
    std::smatch m;
    if (!std::regex_match(text, m, form))
        return std::nullopt;
    Date d{std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3])};
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > daysInMonth(d.year, d.month))
        return std::nullopt;
    return d;
}

Date nextDay(Date d) {
    if (++d.day > daysInMonth(d.year, d.month)) {
        d.day = 1;
        if (++d.month > 12) {
            d.month = 1;
            ++d.year;
        }
    }
    return d;
}

bool after(const Date& a, const Date& b) {
    return std::tie(a.year, a.month, a.day) > std::tie(b.year, b.month, b.day);
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
    for (Date d = from; !after(d, to); d = nextDay(d)) {
        c.setDateDay(d.day);
        c.setDateMonth(d.month);
        c.setDateYear(d.year);
        c.Recalc();
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
    if (args[0] == "--tsv") {
        if (args.size() != 3)
            return cliUsageError("calendar --tsv needs FROM and TO (YYYY-MM-DD)");
        auto from = parseDate(args[1]);
        auto to = parseDate(args[2]);
        if (!from || !to)
            return cliUsageError("calendar --tsv: dates must be valid and written YYYY-MM-DD");
        if (after(*from, *to))
            return cliUsageError("calendar --tsv: FROM is after TO");
        return printTable(*from, *to);
    }
    if (args.size() != 1)
        return cliUsageError("calendar takes at most one date (YYYY-MM-DD)");
    auto date = parseDate(args[0]);
    if (!date)
        return cliUsageError("calendar: '" + args[0] + "' is not a valid date written YYYY-MM-DD");
    return printTexts(*date);
}

CliRegistrar reg("calendar",
                 {"  quillet-cli calendar [YYYY-MM-DD]\n  quillet-cli calendar --tsv FROM TO\n", runCalendar});

} // namespace
