#include "desk/desk_timers.h"

#include "reminder/music.h"

#include <algorithm>
#include <limits>

void DeskTimers::start(ShotTimer& timer2, ShotTimer& timer3) {
    m_timer2 = &timer2;
    m_timer3 = &timer3;
    aimTimer2();
    m_timer3->start(std::min(900, msecToNextMinute(m_clock.now())));
}

void DeskTimers::timer2Fired() {
    countSeconds(m_timer2Seconds);
    aimTimer2();
}

void DeskTimers::timer3Fired() {
    const LocalDateTime now = m_clock.now();
    const AlarmTick tick = tickTimer3(now);
    m_timer3->start(tick == AlarmTick::Ringing ? std::min(900, msecToNextMinute(now)) : msecToNextMinute(now));
    // A tune the alarm started must close within a second of the music flag going down.
    if (m_music.mayBeOpen() && m_timer2Seconds != 1) {
        countSlept();
        aimTimer2();
    }
}

void DeskTimers::stateChanged() {
    countSlept();
    aimTimer2();
    m_timer3->start(0);
}

void DeskTimers::keepSleptSeconds() {
    if (m_timer2 && m_timer2->isActive())
        m_desk.reminderTicks += secondsSlept();
}

void DeskTimers::countSlept() {
    if (const int64_t slept = secondsSlept(); slept > 0)
        countSeconds(slept);
}

int64_t DeskTimers::secondsSlept() const {
    return m_timer2->isActive() ? std::max<int64_t>(0, std::min(m_timer2Seconds - 1, m_timer2->msecSinceStart() / 1000))
                                : 0;
}

void DeskTimers::aimTimer2() {
    const std::optional<int64_t> seconds = secondsToNextTimer2();
    m_timer2Seconds = seconds.value_or(0);
    if (!seconds) {
        m_timer2->stop();
        return;
    }
    // At a turn of the clock's second, so that it wakes together with Timer1.
    const int64_t msec = (*seconds - 1) * 1000 + msecToNextSecond(m_clock.now());
    m_timer2->start(static_cast<int>(std::min<int64_t>(msec, std::numeric_limits<int>::max())));
}

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
