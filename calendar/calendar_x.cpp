#include "calendar/calendar_x.h"

#include "calendar/lunar_tables.h"

#include <array>
#include <charconv>
#include <cstdint>

// Every text a slot can hold is built once at start-up, so Recalc only points at them and never allocates.
// Lunar dates come from the generated tables (month lengths, leap month and 正月初一 per lunar year; the day of each
// solar term per Gregorian year), which cover 1900-01-01 to 2100-12-31.

const std::string CalendarX::kEmpty;

namespace {

using namespace lunar_tables;

constexpr int kMaxYear = 32767; // every date value is read back as a signed 16-bit number
constexpr int kFestivalCount = 9;
constexpr int kTermSlots = 25; // 24 terms and "none"
constexpr int kDayTextCount = kFestivalCount * kTermSlots;

enum Festival : int { kNoFestival, kSpring, kLantern, kDragonBoat, kQixi, kMidAutumn, kDoubleNinth, kLaba, kEve };

const char* const kFestivalNames[kFestivalCount] = {"",       "春节",   "元宵节", "端午节", "七夕节",
                                                    "中秋节", "重阳节", "腊八节", "除夕"};
const char* const kTermNames[24] = {"小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨",
                                    "立夏", "小满", "芒种", "夏至", "小暑", "大暑", "立秋", "处暑",
                                    "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"};

const std::array<std::string, 7> kWeekdays = {"日", "一", "二", "三", "四", "五", "六"}; // Sunday first
const std::string kLunarMonth = "农历";
const std::string kLunarLeapMonth = "农历闰";

std::array<std::string, 60> makeGanzhi() {
    static const char* const stems[10] = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
    static const char* const branches[12] = {"子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};
    std::array<std::string, 60> names;
    for (int k = 0; k < 60; ++k)
        names[k] = std::string(stems[k % 10]) + branches[k % 12];
    return names;
}

// Festival name and blank, then term name and blank, each only when present: index festival * 25 + term + 1.
std::array<std::string, kDayTextCount> makeDayTexts() {
    std::array<std::string, kDayTextCount> texts;
    for (int f = 0; f < kFestivalCount; ++f) {
        for (int t = -1; t < 24; ++t) {
            std::string& text = texts[f * kTermSlots + t + 1];
            if (f != kNoFestival)
                text.append(kFestivalNames[f]).append(" ");
            if (t >= 0)
                text.append(kTermNames[t]).append(" ");
        }
    }
    return texts;
}

const std::array<std::string, 60> kGanzhi = makeGanzhi();
const std::array<std::string, 12> kAnimals = {"鼠", "牛", "虎", "兔", "龙", "蛇", "马", "羊", "猴", "鸡", "狗", "猪"};
const std::array<std::string, kDayTextCount> kDayTexts = makeDayTexts();

constexpr bool isLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

constexpr int daysInMonth(int y, int m) {
    constexpr int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : lengths[m - 1];
}

constexpr bool isValidDate(int y, int m, int d) {
    return y >= 1 && y <= kMaxYear && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

// Days since 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's days_from_civil).
constexpr int daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

constexpr int kFirstDay = daysFromCivil(1900, 1, 1);
constexpr int kLastDay = daysFromCivil(kLastLunarYear, 12, 31);

constexpr int weekdayOf(int days) {
    return ((days % 7) + 11) % 7;
} // 1970-01-01 was a Thursday; 0 = Sunday

int springFestival(int lunarYear) {
    const std::uint32_t info = kLunarYears[lunarYear - kFirstLunarYear];
    return daysFromCivil(lunarYear, 1, 1) + static_cast<int>((info >> 17) & 63);
}

struct LunarDate {
    int year = 0, month = 0, day = 0;
    bool leap = false, lastDayOfMonth = false;
};

// Walks the months of the lunar year holding `days` (1900-01-01..2100-12-31, Gregorian year `year`).
LunarDate lunarDateOf(int year, int days) {
    LunarDate date;
    date.year = days < springFestival(year) ? year - 1 : year;
    const std::uint32_t info = kLunarYears[date.year - kFirstLunarYear];
    const int leapMonth = static_cast<int>((info >> 13) & 15);
    int offset = days - springFestival(date.year);
    for (int k = 0;; ++k) {
        const int length = 29 + static_cast<int>((info >> k) & 1);
        if (offset < length) {
            date.leap = leapMonth != 0 && k == leapMonth;
            date.month = leapMonth != 0 && k >= leapMonth ? k : k + 1;
            date.day = offset + 1;
            date.lastDayOfMonth = offset == length - 1;
            return date;
        }
        offset -= length;
    }
}

Festival festivalOf(const LunarDate& date) {
    if (date.leap)
        return kNoFestival;
    switch (date.month * 100 + date.day) {
    case 101:
        return kSpring;
    case 115:
        return kLantern;
    case 505:
        return kDragonBoat;
    case 707:
        return kQixi;
    case 815:
        return kMidAutumn;
    case 909:
        return kDoubleNinth;
    case 1208:
        return kLaba;
    default:
        return date.month == 12 && date.lastDayOfMonth ? kEve : kNoFestival;
    }
}

// Index 0..23 of the solar term on this civil date, or -1.
int solarTermOf(int year, int month, int day) {
    const std::uint64_t offsets = kTermOffsets[year - kFirstTermYear];
    for (int i = 2 * (month - 1); i < 2 * month; ++i) {
        if (day == kTermBase[i] + static_cast<int>((offsets >> (2 * i)) & 3))
            return i;
    }
    return -1;
}

// Whole number from a text of digits (blanks around it and a sign allowed); anything else counts as 0.
int parseDigits(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty() ? value : 0;
}

} // namespace

void CalendarX::setDateYear(std::string_view digits) {
    m_year = parseDigits(digits);
}
void CalendarX::setDateMonth(std::string_view digits) {
    m_month = parseDigits(digits);
}
void CalendarX::setDateDay(std::string_view digits) {
    m_day = parseDigits(digits);
}

void CalendarX::clearSlots() {
    m_weekday = m_yearText = m_yearTag = m_monthText = m_dayText = &kEmpty;
    m_yearNumber = m_monthNumber = m_dayNumber = 0;
}

void CalendarX::setLunarSlots(int days) {
    const LunarDate date = lunarDateOf(m_year, days);
    const int cycle = ((date.year - 4) % 60 + 60) % 60;
    m_yearNumber = date.year;
    m_yearText = &kGanzhi[cycle];
    m_yearTag = &kAnimals[cycle % 12];
    m_monthText = date.leap ? &kLunarLeapMonth : &kLunarMonth;
    m_monthNumber = date.month;
    m_dayNumber = date.day;
    m_dayText = &kDayTexts[festivalOf(date) * kTermSlots + solarTermOf(m_year, m_month, m_day) + 1];
}

void CalendarX::Recalc() {
    clearSlots();
    if (!isValidDate(m_year, m_month, m_day))
        return;
    const int days = daysFromCivil(m_year, m_month, m_day);
    m_weekday = &kWeekdays[weekdayOf(days)];
    if (days >= kFirstDay && days <= kLastDay)
        setLunarSlots(days);
}
