#pragma once
// The alarm timer: the desk calendar's Timer3 tick (every 900 ms). An alarm set for hh:mm rings through that
// minute (the tune restarts whenever it ends) and clears itself once more than three minutes have passed.
// The alarm belongs to the day it was set on (`alarmDay`), so one set for 23:57-23:59 clears itself after
// midnight instead of ringing again the next day.
#include "common/clock.h"
#include "common/program_state.h"

class Music;

inline constexpr const char* kAlarmTune = "dsyy.mid";

enum class AlarmTick {
    NoAlarm, // `dshh` is "--": nothing done
    Expired, // cleared: `dshh`/`dsmm` "--", music flag down; the launcher's item must read "定时器 " again
    Ringing, // the alarm minute: music flag up, tune started (it plays only when stopped)
    Waiting, // set, not yet due or in the three minutes after
};

// One Timer3 tick. Times compare as minutes: the alarm's is `dshh` x 60 + `dsmm` (numeric values, "--" minute
// is 0) on day `alarmDay`; it expires when its minutes + 3 < the clock's. An alarm without a day (0) takes the
// day of its first tick, which comes within a second of setting it.
AlarmTick runAlarmTick(Form3State& desk, Music& music, const LocalDateTime& now);
