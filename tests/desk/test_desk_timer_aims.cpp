// The desk calendar's three timers aimed the way its window aims them, on a fake clock: the loop below wakes
// only at their aimed moments, and what the user sees still matches the old fixed intervals.
#include "common/clock_face.h"
#include "desk/desk_timers.h"
#include "reminder/music.h"

#include "support/fake_mci.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

namespace {

constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

class DeskTimerAimsTest : public ::testing::Test {
protected:
    // The window's load: Timer1 draws and aims, Timer2 aims, Timer3 comes after 900 ms or at the minute.
    void load(const LocalDateTime& now) {
        m_clock.set(now);
        m_desk.txyybz = true;
        m_timers.onMemoCheck = [this] { m_checks.push_back(m_elapsed); };
        refresh();
        aimTimer2();
        m_due3 = std::min(900, msecToNextMinute(now));
    }
    // Lets `msec` of steady time pass; returns how often the process woke.
    int run(int64_t msec) {
        const int64_t end = m_elapsed + msec;
        int wakes = 0;
        for (int64_t next; (next = std::min({m_due1, m_due2, m_due3})) <= end; ++wakes) {
            m_clock.advanceMsec(next - m_elapsed);
            m_elapsed = next;
            if (m_due1 == next)
                refresh();
            if (m_due2 == next) {
                m_timers.countSeconds(m_timer2Seconds);
                aimTimer2();
            }
            if (m_due3 == next)
                tick3();
        }
        m_clock.advanceMsec(end - m_elapsed);
        m_elapsed = end;
        return wakes;
    }
    // The wall clock jumps; the clock watch makes the window draw, aim Timer1 and look at the alarm at once.
    void jumpTo(const LocalDateTime& now) {
        m_clock.set(now);
        refresh();
        m_due3 = m_elapsed;
    }
    // The launcher set or cleared the alarm.
    void deskStateChanged() {
        creditTimer2();
        aimTimer2();
        m_due3 = m_elapsed;
    }

    FakeClock m_clock;
    FakeMciDevice m_mci;
    Music m_music{m_mci, "/opt/quillet"};
    Form3State m_desk;
    DeskTimers m_timers{m_desk, m_music};
    std::vector<LocalDateTime> m_turns; // the time text's turns, at the clock reading that drew them
    std::vector<LocalDateTime> m_dateTurns;
    std::vector<LocalDateTime> m_rings;
    std::vector<int64_t> m_checks; // steady ms of each memo check
    int64_t m_elapsed = 0;         // steady ms since load

private:
    void refresh() {
        const LocalDateTime now = m_clock.now();
        const ClockFace::Turn t = m_face.turn(now);
        if (t.second)
            m_turns.push_back(now);
        if (t.date)
            m_dateTurns.push_back(now);
        m_due1 = m_elapsed + msecToNextSecond(now);
    }
    void aimTimer2() {
        const std::optional<int64_t> seconds = m_timers.secondsToNextTimer2();
        m_timer2Seconds = seconds.value_or(0);
        m_aimed2 = m_elapsed;
        m_due2 = seconds ? m_elapsed + (*seconds - 1) * 1000 + msecToNextSecond(m_clock.now()) : kNever;
    }
    void creditTimer2() {
        if (m_due2 != kNever)
            if (int64_t slept = std::min(m_timer2Seconds - 1, (m_elapsed - m_aimed2) / 1000); slept > 0)
                m_timers.countSeconds(slept);
    }
    void tick3() {
        const LocalDateTime now = m_clock.now();
        const AlarmTick t = m_timers.tickTimer3(now);
        if (t == AlarmTick::Ringing)
            m_rings.push_back(now);
        m_due3 = m_elapsed + DeskTimers::msecToNextTimer3(t, now);
        if (m_music.mayBeOpen() && m_timer2Seconds != 1) {
            creditTimer2();
            aimTimer2();
        }
    }

    ClockFace m_face;
    int64_t m_due1 = kNever, m_due2 = kNever, m_due3 = kNever, m_aimed2 = 0, m_timer2Seconds = 0;
};

TEST_F(DeskTimerAimsTest, AnIdleHourWakesOnceASecondTurnsOnTimeAndChecksEveryDssMinutes) {
    m_desk.dss = 5;
    load({2026, 2, 16, 23, 30, 0, 400});
    const int wakes = run(3600 * 1000);
    EXPECT_LE(wakes, 3601); // the first Timer3, 900 ms after the load, is the one extra
    ASSERT_EQ(m_turns.size(), 3601u);
    for (std::size_t i = 1; i < m_turns.size(); ++i)
        ASSERT_EQ(m_turns[i].msec, 0) << i; // each second's text drawn as the second turns
    ASSERT_EQ(m_dateTurns.size(), 2u);
    EXPECT_EQ(m_dateTurns[1], (LocalDateTime{2026, 2, 17, 0, 0, 0, 0}));
    ASSERT_EQ(m_checks.size(), 12u);
    EXPECT_GT(m_checks[0], 299000); // dss minutes after the load, counted in whole seconds
    EXPECT_LE(m_checks[0], 300000);
    for (std::size_t i = 1; i < m_checks.size(); ++i)
        EXPECT_EQ(m_checks[i] - m_checks[i - 1], 300000);
}

TEST_F(DeskTimerAimsTest, AlarmRingsThroughItsMinuteAndItsTuneClosesWithinASecondOfExpiry) {
    m_desk.dss = 0; // no memo check: Timer2 sleeps until a tune is open
    load({2026, 5, 1, 7, 29, 10, 250});
    run(5000);
    m_desk.dshh = "07";
    m_desk.dsmm = "30";
    m_desk.alarmDay = 20260501;
    deskStateChanged();
    run(45000); // to 07:30:00.250
    ASSERT_FALSE(m_rings.empty());
    EXPECT_EQ(m_rings.front(), (LocalDateTime{2026, 5, 1, 7, 30, 0, 0}));
    EXPECT_TRUE(m_mci.isPlaying());
    run(19750); // 07:30:20: the tune ends and starts again within 900 ms
    m_mci.setMode("stopped");
    const int plays = m_mci.plays();
    run(900);
    EXPECT_EQ(m_mci.plays(), plays + 1);
    run(40000); // 07:31:00.900: nothing rings after the minute
    EXPECT_EQ(m_rings.back().minute, 30);
    const std::size_t rings = m_rings.size();
    run(180100); // 07:34:01: cleared at 07:34, the tune closed at the next whole second
    EXPECT_EQ(m_rings.size(), rings);
    EXPECT_EQ(m_desk.dshh, "--");
    EXPECT_FALSE(m_mci.isOpen());
    m_mci.clear();
    EXPECT_LE(run(60000), 61); // idle again: once a second for the time text, nothing more
    EXPECT_EQ(m_mci.count("CLOSE"), 0);
}

TEST_F(DeskTimerAimsTest, AClockJumpDrawsAtOnceAndTheNextTurnComesOnTheSecond) {
    load({2026, 3, 8, 12, 0, 0, 0});
    run(2500);
    for (LocalDateTime to : {LocalDateTime{2026, 3, 8, 12, 0, 40, 600}, LocalDateTime{2026, 3, 8, 11, 59, 0, 300}}) {
        jumpTo(to);
        EXPECT_EQ(m_turns.back(), to);
        run(1000);
        LocalDateTime next = to;
        next.second += 1;
        next.msec = 0;
        EXPECT_EQ(m_turns.back(), next);
    }
}

} // namespace
