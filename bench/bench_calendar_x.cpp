// The date component is called every 10 ms by the desk calendar: Recalc plus every read must stay under 100 ns.
// Timed beside ICU's Chinese calendar (setTime + year, month, day, leap flag) on the same spread of dates. The ICU
// benchmark also counts the days of 1900-2100 on which ICU's lunar date differs from ours. The Chinese-calendar feed
// (calendar --ics) of the whole range must take well under a second.
#include "calendar/calendar_ics.h"
#include "calendar/calendar_x.h"

#include <benchmark/benchmark.h>
#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <memory>
#include <random>
#include <vector>

namespace {

struct Date {
    int y, m, d;
    double udate; // noon UTC+8 of that civil day, in ms since 1970
};

int daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

Date dateOf(int days) {
    // Inverse of daysFromCivil (H. Hinnant's civil_from_days).
    const int z = days + 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int doe = z - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    const int d = doy - (153 * mp + 2) / 5 + 1;
    const int m = mp < 10 ? mp + 3 : mp - 9;
    return {yoe + era * 400 + (m <= 2), m, d, days * 86400000.0 + 4 * 3600000.0};
}

const int kFirst = daysFromCivil(1900, 1, 1);
const int kLast = daysFromCivil(2100, 12, 31);

// 4096 dates spread at random over the whole range, the same in every run.
const std::vector<Date>& spread() {
    static const std::vector<Date> dates = [] {
        std::mt19937 random(20260224);
        std::uniform_int_distribution<int> pick(kFirst, kLast);
        std::vector<Date> out;
        for (int i = 0; i < 4096; ++i)
            out.push_back(dateOf(pick(random)));
        return out;
    }();
    return dates;
}

std::unique_ptr<icu::Calendar> chineseCalendar() {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(icu::TimeZone::createTimeZone("GMT+08:00"),
                                                                          icu::Locale("zh@calendar=chinese"), status));
    if (U_FAILURE(status))
        return nullptr;
    return calendar;
}

int readAll(const CalendarX& c) {
    return static_cast<int>(c.WeekdayText().size() + c.YearText().size() + c.YearTag().size() + c.MonthText().size() +
                            c.DayText().size()) +
           c.YearNumber() + c.MonthNumber() + c.DayNumber();
}

void BM_CalendarX_RecalcAndRead(benchmark::State& state) {
    const std::vector<Date>& dates = spread();
    CalendarX calendar;
    std::size_t i = 0;
    for (auto _ : state) {
        const Date& date = dates[i++ & 4095];
        calendar.setDateDay(date.d);
        calendar.setDateMonth(date.m);
        calendar.setDateYear(date.y);
        calendar.Recalc();
        benchmark::DoNotOptimize(readAll(calendar));
    }
}
BENCHMARK(BM_CalendarX_RecalcAndRead);

// What the desk calendar does every 10 ms: the same day again.
void BM_CalendarX_SameDayAgain(benchmark::State& state) {
    CalendarX calendar;
    for (auto _ : state) {
        calendar.setDateDay(24);
        calendar.setDateMonth(2);
        calendar.setDateYear(2026);
        calendar.Recalc();
        benchmark::DoNotOptimize(readAll(calendar));
    }
}
BENCHMARK(BM_CalendarX_SameDayAgain);

// Days of 1900-2100 where ICU's lunar year, month, day or leap flag differ from ours.
int daysWhereIcuDiffers(icu::Calendar& icu) {
    CalendarX ours;
    int differing = 0;
    for (int days = kFirst; days <= kLast; ++days) {
        const Date date = dateOf(days);
        UErrorCode status = U_ZERO_ERROR;
        icu.setTime(date.udate, status);
        ours.setDateDay(date.d);
        ours.setDateMonth(date.m);
        ours.setDateYear(date.y);
        ours.Recalc();
        const bool leap = icu.get(UCAL_IS_LEAP_MONTH, status) != 0;
        const bool same = icu.get(UCAL_MONTH, status) + 1 == ours.MonthNumber() &&
                          icu.get(UCAL_DATE, status) == ours.DayNumber() && leap == (ours.MonthText() == "农历闰") &&
                          icu.get(UCAL_EXTENDED_YEAR, status) - 2637 == ours.YearNumber();
        differing += same ? 0 : 1;
    }
    return differing;
}

void BM_IcuChineseCalendar_SetTimeAndGet(benchmark::State& state) {
    const std::vector<Date>& dates = spread();
    std::unique_ptr<icu::Calendar> calendar = chineseCalendar();
    if (!calendar) {
        state.SkipWithError("ICU Chinese calendar unavailable");
        return;
    }
    std::size_t i = 0;
    for (auto _ : state) {
        UErrorCode status = U_ZERO_ERROR;
        calendar->setTime(dates[i++ & 4095].udate, status);
        benchmark::DoNotOptimize(calendar->get(UCAL_EXTENDED_YEAR, status) + calendar->get(UCAL_MONTH, status) +
                                 calendar->get(UCAL_DATE, status) + calendar->get(UCAL_IS_LEAP_MONTH, status));
    }
    state.counters["days_differing_from_CalendarX"] = daysWhereIcuDiffers(*calendar);
}
BENCHMARK(BM_IcuChineseCalendar_SetTimeAndGet);

void BM_ChineseCalendarIcs_1900To2100(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = chineseCalendarIcs({1900, 1, 1}, {2100, 12, 31}, state.range(0) != 0, "20261208T000000Z").size();
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ChineseCalendarIcs_1900To2100)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
