#include "reminder/alarm_timer.h"

#include "common/numeric_text.h"
#include "reminder/music.h"

#include <cstdint>

namespace {

int64_t minutesOfDate(int year, int month, int day, int64_t minuteOfDay) {
    return daysFromCivil(year, month, day) * 1440 + minuteOfDay;
}

int dayKeyOf(const LocalDateTime& t) {
    return t.year * 10000 + t.month * 100 + t.day;
}

} // namespace

AlarmTick runAlarmTick(Form3State& desk, Music& music, const LocalDateTime& now) {
    if (desk.dshh == "--")
        return AlarmTick::NoAlarm;
    if (desk.alarmDay == 0)
        desk.alarmDay = dayKeyOf(now);
    // Numeric values as the launcher's lists give them; "--" reads as 0.
    auto alarmHour = static_cast<int64_t>(numericValue(desk.dshh));
    auto alarmMinute = static_cast<int64_t>(numericValue(desk.dsmm));
    int64_t alarmAt = minutesOfDate(desk.alarmDay / 10000, desk.alarmDay / 100 % 100, desk.alarmDay % 100,
                                    alarmHour * 60 + alarmMinute);
    int64_t clockAt = minutesOfDate(now.year, now.month, now.day, now.minutesOfDay());
    if (alarmAt + 3 < clockAt) {
        desk.txyybz = false;
        desk.dshh = "--";
        desk.dsmm = "--";
        desk.alarmDay = 0;
        return AlarmTick::Expired;
    }
    if (dayKeyOf(now) == desk.alarmDay && now.hour == alarmHour && now.minute == alarmMinute) {
        desk.txyybz = true;
        music.start(kAlarmTune);
        return AlarmTick::Ringing;
    }
    return AlarmTick::Waiting;
}
