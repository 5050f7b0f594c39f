// The desk calendar asks for today's holiday mark whenever the date turns, the wall calendar for 42 cells per
// month shown: a lookup must cost nothing measurable, ≤ 50 ns. Timed over random days of 2000-2030 (inside and
// outside the delivered table) and for isWorkday, which adds the weekday.
#include "calendar/holidays.h"
#include "common/line_file.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <vector>

namespace {

const HolidayCalendar& table() {
    static const HolidayCalendar loaded = [] {
        const auto path = std::filesystem::path(QUILLET_SOURCE_DIR) / "data" / kHolidayFileName;
        return loadHolidays(path, {}).calendar;
    }();
    return loaded;
}

std::vector<CivilDate> randomDays() {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> day(daysFromCivil(2000, 1, 1), daysFromCivil(2030, 12, 31));
    std::vector<CivilDate> days;
    for (int i = 0; i < 4096; ++i) {
        CivilDate d{2000, 1, 1};
        for (int n = day(random) - daysFromCivil(2000, 1, 1); n > 0; --n)
            d = nextCivilDay(d);
        days.push_back(d);
    }
    return days;
}

void BM_HolidayMark(benchmark::State& state) {
    const HolidayCalendar& t = table();
    const std::vector<CivilDate> days = randomDays();
    std::size_t i = 0;
    for (auto _ : state) {
        const CivilDate& d = days[i++ & 4095];
        benchmark::DoNotOptimize(t.mark(d.year, d.month, d.day));
    }
}
BENCHMARK(BM_HolidayMark);

void BM_IsWorkday(benchmark::State& state) {
    const HolidayCalendar& t = table();
    const std::vector<CivilDate> days = randomDays();
    std::size_t i = 0;
    for (auto _ : state) {
        const CivilDate& d = days[i++ & 4095];
        benchmark::DoNotOptimize(t.isWorkday(d.year, d.month, d.day));
    }
}
BENCHMARK(BM_IsWorkday);

} // namespace
