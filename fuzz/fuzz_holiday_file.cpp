// jjr.cjf and published holiday calendars: any bytes give a table or a refusal naming a line; a table written
// back reads back the same; the dense lookup answers for every day the table names.
#include "calendar/holidays.h"
#include "common/line_file.h"
#include "fuzz/fuzz_support.h"

#include <cstdint>

namespace {
void checkTable(const HolidayYears& years) {
    const HolidayCalendar table(years);
    for (const auto& [year, days] : years) {
        FUZZ_CHECK(table.knows(year));
        for (const HolidayDay& d : days)
            FUZZ_CHECK(table.mark(d.date.year, d.date.month, d.date.day).name != nullptr);
    }
    const auto again = parseHolidayLines(holidayFileLines(years, "fuzz"));
    FUZZ_CHECK(std::holds_alternative<HolidayYears>(again));
    FUZZ_CHECK(holidayFileLines(std::get<HolidayYears>(again), "fuzz") == holidayFileLines(years, "fuzz"));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto parsed = parseHolidayLines(decodeLines(bytes));
    if (const auto* why = std::get_if<std::string>(&parsed))
        FUZZ_CHECK(why->starts_with("第"));
    else
        checkTable(std::get<HolidayYears>(parsed));
    if (const auto ics = holidaysFromIcs(std::string(bytes)); std::holds_alternative<HolidayYears>(ics))
        checkTable(std::get<HolidayYears>(ics));
    return 0;
}
