#include "desk/desk_timers.h"

#include "reminder/music.h"

#include <algorithm>

void DeskTimers::countSeconds(int64_t seconds) {
    if (!m_desk.txyybz)
        m_music.stop();
    m_desk.reminderTicks += seconds;
    if (m_desk.dss <= 0 || m_desk.reminderTicks < static_cast<int64_t>(m_desk.dss) * 60)
        return;
    m_desk.reminderTicks = 0;
    if (onMemoCheck)
        onMemoCheck();
}

std::optional<int64_t> DeskTimers::secondsToNextTimer2() const {
    if (m_music.mayBeOpen())
        return 1;
    if (m_desk.dss <= 0)
        return std::nullopt;
    return std::max<int64_t>(1, static_cast<int64_t>(m_desk.dss) * 60 - m_desk.reminderTicks);
}

AlarmTick DeskTimers::tickTimer3(const LocalDateTime& now) {
    AlarmTick result = runAlarmTick(m_desk, m_music, now);
    if (result == AlarmTick::Expired && onAlarmExpired)
        onAlarmExpired();
    return result;
}

int DeskTimers::msecToNextTimer3(AlarmTick last, const LocalDateTime& now) {
    return last == AlarmTick::Ringing ? std::min(900, msecToNextMinute(now)) : msecToNextMinute(now);
}
