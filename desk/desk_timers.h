#pragma once
// The desk calendar's second (Timer2) and alarm (Timer3) ticks. Timer2 first stops the music while the
// music flag is down, then counts seconds towards the memo check, which comes every `dss` minutes.
// Neither needs to wake every second: the window asks here when each must run next.
#include "common/clock.h"
#include "common/program_state.h"
#include "reminder/alarm_timer.h"

#include <functional>
#include <optional>

class Music;

class DeskTimers {
public:
    DeskTimers(Form3State& desk, Music& music) : m_desk(desk), m_music(music) {}

    // One second of Timer2. The count is wide, so no interval overflows it; an interval of 0 or below never
    // checks. A check comes at the first tick whose count reaches dss x 60 (a lowered interval that the count
    // has already passed fires at the next tick instead of waiting for an overflow).
    void tickTimer2() { countSeconds(1); }
    // `seconds` whole seconds of Timer2 at once, as that many ticks would have counted them: slept through
    // while no tune was open, so the music stop of the skipped ticks had nothing to close.
    void countSeconds(int64_t seconds);
    // Whole seconds until Timer2 must run again: every second while a tune may be open (it closes within a
    // second of the music flag going down), else when the memo check is due; none when neither can come.
    std::optional<int64_t> secondsToNextTimer2() const;

    // The alarm timer (reminder/alarm_timer.h). When the alarm clears itself, onAlarmExpired lets an open
    // launcher show "定时器 " again.
    AlarmTick tickTimer3(const LocalDateTime& now);
    // Milliseconds until Timer3 must run again after a tick that gave `last`: every 900 ms through the ringing
    // minute, so that the tune restarts soon after it ends; else at the next minute, the only moment an alarm
    // can start ringing or expire.
    static int msecToNextTimer3(AlarmTick last, const LocalDateTime& now);

    std::function<void()> onMemoCheck;
    std::function<void()> onAlarmExpired;

private:
    Form3State& m_desk;
    Music& m_music;
};
