// quillet-cli month YYYY MM: the wall calendar's 42 day cells as six lines of seven tab-separated captions.
#include "calendar/calendar_x.h"
#include "cli/cli_registry.h"
#include "common/numeric_text.h"
#include "wallcal/wall_calendar.h"

#include <iostream>
#include <regex>

namespace {

int runMonth(const CliArgs& args) {
    static const std::regex year(R"(\d{4})"), month(R"(\d{1,2})");
    if (args.size() != 2 || !std::regex_match(args[0], year) || !std::regex_match(args[1], month))
        return cliUsageError("month: expected YYYY MM, e.g. month 2000 02");
    const int y = std::stoi(args[0]), m = std::stoi(args[1]);
    if (y < kWallFirstYear || y > kWallLastYear)
        return cliUsageError("month: the year must be from " + std::to_string(kWallFirstYear) + " to " +
                             std::to_string(kWallLastYear));
    if (m < 1 || m > 12)
        return cliUsageError("month: the month must be from 1 to 12");
    CalendarX calendarX1;
    // The lists hand the month over as two digits ("02"), as the window does.
    std::cout << monthGridText(ShowMonth(calendarX1, fourDigits(y), twoDigits(m)));
    return 0;
}

CliRegistrar reg("month",
                 {"  quillet-cli month YYYY MM      the wall calendar's six weeks (1900-2049)\n", runMonth, false});

} // namespace
