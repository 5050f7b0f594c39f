#pragma once
// The five texts of the desk calendar for one date, composed from the date component's slots.
#include "calendar/calendar_x.h"
#include "common/clock.h"

#include <string>

struct DeskTexts {
    std::string label1; // year and month: "2026年12月"
    std::string label2; // day of month: "8"
    std::string label5; // "星期二"
    std::string label4; // " 丙午(马) 2026年 "
    std::string label6; // "农历10月 19日"
};

// Sets the component to the date (day, month, year, in this order), recalculates and composes the texts.
DeskTexts composeDeskTexts(CalendarX& calendar, int year, int month, int day);
