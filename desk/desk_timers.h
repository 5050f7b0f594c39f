#pragma once
// The desk calendar's second (Timer2) and alarm (Timer3) ticks. Timer2 first stops the music while the
// music flag is down, then counts seconds towards the memo check, which comes every `dss` minutes.
#include "common/clock.h"
#include "common/program_state.h"
#include "reminder/alarm_timer.h"

#include <functional>

class Music;

class DeskTimers {
public:
    DeskTimers(Form3State& desk, Music& music) : m_desk(desk), m_music(music) {}

    // Runs every second. The count is wide, so no interval overflows it; an interval of 0 or below never
    // checks. A check comes at the first tick whose count reaches dss x 60 (a lowered interval that the count
    // has already passed fires at the next tick instead of waiting for an overflow).
    void tickTimer2();
    // Runs every 900 ms: the alarm timer (reminder/alarm_timer.h). When the alarm clears itself, onAlarmExpired
    // lets an open launcher show "定时器 " again.
    AlarmTick tickTimer3(const LocalDateTime& now);

    std::function<void()> onMemoCheck;
    std::function<void()> onAlarmExpired;

private:
    Form3State& m_desk;
    Music& m_music;
};
