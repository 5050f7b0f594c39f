#include "desk/desk_timers.h"

#include "desk/music.h"

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

void DeskTimers::tickTimer3() {
    if (onAlarmTick)
        onAlarmTick();
}
