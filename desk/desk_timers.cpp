#include "desk/desk_timers.h"

#include "reminder/music.h"

void DeskTimers::tickTimer2() {
    if (!m_desk.txyybz)
        m_music.stop();
    ++m_desk.reminderTicks;
    if (m_desk.dss <= 0 || m_desk.reminderTicks < static_cast<int64_t>(m_desk.dss) * 60)
        return;
    m_desk.reminderTicks = 0;
    if (onMemoCheck)
        onMemoCheck();
}

AlarmTick DeskTimers::tickTimer3(const LocalDateTime& now) {
    AlarmTick result = runAlarmTick(m_desk, m_music, now);
    if (result == AlarmTick::Expired && onAlarmExpired)
        onAlarmExpired();
    return result;
}
