#pragma once
// Local date and time, injected into models and windows so tests can drive time.
#include <cstdint>
#include <string>

struct LocalDateTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0, msec = 0;
    int minutesOfDay() const { return hour * 60 + minute; }
    bool operator==(const LocalDateTime&) const = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

// The machine's local clock.
class SystemClock : public Clock {
public:
    LocalDateTime now() const override;
};

// A clock that stands still until a test sets or advances it.
class FakeClock : public Clock {
public:
    explicit FakeClock(LocalDateTime t = {}) : m_now(t) {}
    LocalDateTime now() const override { return m_now; }
    void set(const LocalDateTime& t) { m_now = t; }
    void advanceSeconds(int64_t seconds);
    void advanceMsec(int64_t msec);

private:
    LocalDateTime m_now;
};

// Milliseconds from `now` to the start of the clock's next second, minute and hour (never 0): where the calendars
// aim their single-shot timers, so that they wake only when a text can change.
int msecToNextSecond(const LocalDateTime& now);
int msecToNextMinute(const LocalDateTime& now);
int msecToNextHour(const LocalDateTime& now);

// "HH:MM:SS", the time-of-day form shown by the calendars.
std::string timeOfDayText(const LocalDateTime& t);
// Days in a month of the Gregorian calendar (February 29 in leap years).
int daysInMonth(int year, int month);
bool isLeapYear(int year);
// Days since 1970-01-01 of a Gregorian date, so that dates compare and subtract across months and years.
int64_t daysFromCivil(int64_t year, int month, int day);
