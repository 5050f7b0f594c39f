#include "common/clock.h"

#include "common/numeric_text.h"

#include <chrono>
#include <ctime>

LocalDateTime SystemClock::now() const {
    using namespace std::chrono;
    auto tp = system_clock::now();
    std::time_t secs = system_clock::to_time_t(tp);
    std::tm tm{};
    localtime_r(&secs, &tm);
    int msec = static_cast<int>(duration_cast<milliseconds>(tp.time_since_epoch()).count() % 1000);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, msec};
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int64_t daysFromCivil(int64_t year, int month, int day) {
    year -= month <= 2;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t yearOfEra = year - era * 400;
    int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

void FakeClock::advanceMsec(int64_t msec) {
    int64_t total = m_now.msec + msec;
    m_now.msec = static_cast<int>(total % 1000);
    advanceSeconds(total / 1000);
}

void FakeClock::advanceSeconds(int64_t seconds) {
    int64_t s = m_now.second + seconds;
    m_now.second = static_cast<int>(s % 60);
    int64_t m = m_now.minute + s / 60;
    m_now.minute = static_cast<int>(m % 60);
    int64_t h = m_now.hour + m / 60;
    m_now.hour = static_cast<int>(h % 24);
    for (int64_t d = h / 24; d > 0; --d) {
        if (++m_now.day > daysInMonth(m_now.year, m_now.month)) {
            m_now.day = 1;
            if (++m_now.month > 12) {
                m_now.month = 1;
                ++m_now.year;
            }
        }
    }
}

int msecToNextSecond(const LocalDateTime& now) {
    return 1000 - now.msec;
}

int msecToNextMinute(const LocalDateTime& now) {
    return (59 - now.second) * 1000 + msecToNextSecond(now);
}

int msecToNextHour(const LocalDateTime& now) {
    return (59 - now.minute) * 60000 + msecToNextMinute(now);
}

std::string timeOfDayText(const LocalDateTime& t) {
    return twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second);
}
