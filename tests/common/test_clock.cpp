#include "common/clock.h"
#include "common/clock_face.h"
#include "common/time_text_probe.h"

#include <gtest/gtest.h>

TEST(Clock, FakeClockCrossesMidnightMonthAndYear) {
    FakeClock clock({2026, 12, 31, 23, 59, 59, 990});
    clock.advanceMsec(20);
    EXPECT_EQ(clock.now(), (LocalDateTime{2027, 1, 1, 0, 0, 0, 10}));
    clock.set({2024, 2, 28, 23, 0, 0, 0});
    clock.advanceSeconds(3600);
    EXPECT_EQ(clock.now().day, 29);
    clock.advanceSeconds(86400);
    EXPECT_EQ(clock.now().month, 3);
}

TEST(Clock, MonthLengthsAndLeapYears) {
    EXPECT_EQ(daysInMonth(1900, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(daysInMonth(2026, 4), 30);
    EXPECT_EQ(daysInMonth(2026, 13), 0);
    EXPECT_EQ(timeOfDayText({2026, 1, 1, 7, 5, 9, 0}), "07:05:09");
}

// Where the calendars aim their timers: never 0, so a tick that lands exactly on the turn waits a whole period.
TEST(Clock, AimsAtTheNextSecondMinuteAndHour) {
    struct Case {
        LocalDateTime now;
        int second, minute, hour;
    } cases[] = {
        {{2026, 1, 1, 7, 5, 9, 0}, 1000, 51000, 3291000},
        {{2026, 1, 1, 7, 5, 9, 999}, 1, 50001, 3290001},
        {{2026, 12, 31, 23, 59, 59, 995}, 5, 5, 5},
        {{2026, 1, 1, 0, 0, 0, 1}, 999, 59999, 3599999},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(msecToNextSecond(c.now), c.second) << timeOfDayText(c.now);
        EXPECT_EQ(msecToNextMinute(c.now), c.minute) << timeOfDayText(c.now);
        EXPECT_EQ(msecToNextHour(c.now), c.hour) << timeOfDayText(c.now);
    }
}

TEST(Clock, FaceRedrawsOnlyWhatTurned) {
    struct Step {
        LocalDateTime now;
        bool date, hour, second;
    } steps[] = {
        {{2026, 2, 16, 23, 59, 58, 0}, true, true, true},      // the first reading draws everything
        {{2026, 2, 16, 23, 59, 58, 700}, false, false, false}, // an early tick: nothing to redraw
        {{2026, 2, 16, 23, 59, 59, 0}, false, false, true},
        {{2026, 2, 17, 0, 0, 0, 0}, true, true, true}, // midnight
        {{2026, 2, 17, 1, 0, 0, 0}, false, true, true},
        {{2026, 2, 17, 0, 59, 0, 0}, false, true, true}, // the clock set back
        {{2025, 2, 17, 0, 59, 0, 0}, true, true, true},  // the same time a year earlier
    };
    ClockFace face;
    for (const Step& s : steps) {
        const ClockFace::Turn t = face.turn(s.now);
        EXPECT_EQ(t.date, s.date) << timeOfDayText(s.now);
        EXPECT_EQ(t.hour, s.hour) << timeOfDayText(s.now);
        EXPECT_EQ(t.second, s.second) << timeOfDayText(s.now);
    }
}

TEST(Clock, TimeTextLagCountsFromTheSecondTheTextShouldHaveTurnedAt) {
    const LocalDateTime before{2026, 2, 16, 23, 59, 59, 3};
    EXPECT_EQ(TimeTextProbe::lagMs(std::nullopt, before), 3);
    EXPECT_EQ(TimeTextProbe::lagMs(before, {2026, 2, 17, 0, 0, 0, 7}), 7);
    EXPECT_EQ(TimeTextProbe::lagMs(before, {2026, 2, 17, 0, 0, 1, 7}), 1007); // a second skipped
    EXPECT_EQ(TimeTextProbe::lagMs(before, {2026, 2, 16, 23, 0, 0, 9}), 9);   // the clock set back
}
