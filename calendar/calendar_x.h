#pragma once
// Date-information component: given a Gregorian date, the weekday and the Chinese lunar texts.
// Callers write DateDay, DateMonth, DateYear (numbers or digit texts such as "01"), call Recalc, then read.
#include <cstdint>
#include <string>
#include <string_view>

class CalendarX {
public:
    // Writes accept whole numbers or texts of digits; a text that is not a number counts as 0.
    void setDateYear(int year) { m_year = year; }
    void setDateYear(std::string_view digits);
    void setDateMonth(int month) { m_month = month; }
    void setDateMonth(std::string_view digits);
    void setDateDay(int day) { m_day = day; }
    void setDateDay(std::string_view digits);

    int DateYear() const { return m_year; }
    int DateMonth() const { return m_month; }
    int DateDay() const { return m_day; }

    // Recomputes every read-only slot from the three date values. Never throws; must return at once.
    void Recalc();

    const std::string& WeekdayText() const { return *m_weekday; } // "一".."六", "日"
    int YearNumber() const { return m_yearNumber; }               // Gregorian year in which the lunar year began
    const std::string& YearText() const { return *m_yearText; }   // 干支, e.g. "丙午"
    const std::string& YearTag() const { return *m_yearTag; }     // 生肖, e.g. "马"
    const std::string& MonthText() const { return *m_monthText; } // "农历" or "农历闰"
    int MonthNumber() const { return m_monthNumber; }             // 1..12
    const std::string& DayText() const { return *m_dayText; }     // "春节 立春 " style, or ""
    int DayNumber() const { return m_dayNumber; }                 // 1..30

private:
    static const std::string kEmpty;
    void clearSlots();
    void setLunarSlots(int days);
    int m_year = 0, m_month = 0, m_day = 0;
    const std::string* m_weekday = &kEmpty;
    const std::string* m_yearText = &kEmpty;
    const std::string* m_yearTag = &kEmpty;
    const std::string* m_monthText = &kEmpty;
    const std::string* m_dayText = &kEmpty; // one of the precomposed festival-and-term texts
    int m_yearNumber = 0, m_monthNumber = 0, m_dayNumber = 0;
};
