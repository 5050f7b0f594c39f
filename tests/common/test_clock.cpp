#include "common/clock.h"

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
