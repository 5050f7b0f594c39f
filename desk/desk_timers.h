#pragma once
// The desk calendar's second (Timer2) and alarm (Timer3) ticks, and where each is aimed next. Timer2 first
// stops the music while the music flag is down, then counts seconds towards the memo check, which comes every
// `dss` minutes. Neither needs to wake every second: each is a single shot aimed at its next moment of work,
// Timer2 when the memo check is due (every second only while a tune may need closing), Timer3 at every turn
// of the minute (every 900 ms through a ringing alarm minute).
#include "common/clock.h"
#include "common/program_state.h"
#include "reminder/alarm_timer.h"

#include <functional>
#include <optional>

class Music;

// A single-shot timer as the window has one.
class ShotTimer {
public:
    virtual ~ShotTimer() = default;
    // Fires once, `msec` from now; a running shot is aimed anew.
    virtual void start(int msec) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    // Steady milliseconds since the last start.
    virtual int64_t msecSinceStart() const = 0;
};

class DeskTimers {
public:
    DeskTimers(Form3State& desk, Music& music, const Clock& clock) : m_desk(desk), m_music(music), m_clock(clock) {}

    // The window's load: Timer2 aimed at the memo check, Timer3 after 900 ms or at the minute if sooner. The
    // timers are the window's and outlive every call here.
    void start(ShotTimer& timer2, ShotTimer& timer3);
    // What each shot does when it fires.
    void timer2Fired();
    void timer3Fired();
    // The alarm or the memo-check interval changed, or the clock jumped: the alarm is looked at now and
    // Timer2 aimed anew, the seconds it slept so far counted.
    void stateChanged();
    // The window goes away: the seconds slept towards the memo check still count.
    void keepSleptSeconds();

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

    std::function<void()> onMemoCheck;
    std::function<void()> onAlarmExpired;

private:
    void aimTimer2();
    int64_t secondsSlept() const;
    void countSlept();

    Form3State& m_desk;
    Music& m_music;
    const Clock& m_clock;
    ShotTimer* m_timer2 = nullptr;
    ShotTimer* m_timer3 = nullptr;
    int64_t m_timer2Seconds = 0; // the seconds Timer2 is aimed for
};
