#include "desk/desk_texts.h"

#include "common/numeric_text.h"

namespace {
// "Text of" a number read from the component: a signed 16-bit value in decimal.
std::string text16(int value) {
    return textOf(static_cast<int16_t>(value));
}
} // namespace

DeskTexts composeDeskTexts(CalendarX& calendar, int year, int month, int day) {
    calendar.setDateDay(day);
    calendar.setDateMonth(month);
    calendar.setDateYear(year);
    calendar.Recalc();
    DeskTexts t;
    t.label1 = text16(calendar.DateYear()) + "年" + text16(calendar.DateMonth()) + "月";
    t.label2 = text16(calendar.DateDay());
    t.label5 = "星期" + calendar.WeekdayText();
    if (calendar.MonthNumber() == 0) {
        // A day outside the component's lunar tables has no lunar texts: the Gregorian date instead of "() 0年".
        t.label4 = " 公元" + text16(calendar.DateYear()) + "年 ";
        t.label6 = "公历" + text16(calendar.DateMonth()) + "月 " + text16(calendar.DateDay()) + "日";
        return t;
    }
    t.label4 = " " + calendar.YearText() + "(" + calendar.YearTag() + ") " + text16(calendar.YearNumber()) + "年 ";
    t.label6 = calendar.MonthText() + text16(calendar.MonthNumber()) + "月 " + calendar.DayText() +
               text16(calendar.DayNumber()) + "日";
    return t;
}
