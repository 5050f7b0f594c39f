#pragma once
// The delivered holiday table in use while the object lives (window tests that look at the 休/班 marks).
#include "calendar/holidays.h"
#include "support/build_paths.h"

struct DeliveredHolidayTable {
    DeliveredHolidayTable() { setHolidayCalendar(loadHolidays(sourceDir() / "data" / kHolidayFileName, {}).calendar); }
    ~DeliveredHolidayTable() { setHolidayCalendar({}); }
};
