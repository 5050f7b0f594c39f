// The desk calendar's memo check and alarm as its window runs them (DeskTimers with the window's two single
// shots), on a fake clock: the loop below stands for the event loop, waking only at the shots' aimed moments.
#include "desk/desk_timers.h"
#include "reminder/music.h"

#include "support/fake_mci.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A shot on the test's steady time line.
struct FakeShot : ShotTimer {
    explicit FakeShot(const int64_t& now) : m_now(now) {}
    void start(int msec) override {
        m_started = m_now;
        m_due = m_now + msec;
    }
    void stop() override { m_due = -1; }
    bool isActive() const override { return m_due >= 0; }
    int64_t msecSinceStart() const override { return m_now - m_started; }

    const int64_t& m_now;
    int64_t m_started = 0, m_due = -1;
};

class DeskTimerAimsTest : public ::testing::Test {
protected:
    void load(const LocalDateTime& now) {
        m_clock.set(now);
        m_desk.txyybz = true;
        m_timers.onMemoCheck = [this] { m_checks.push_back(m_elapsed); };
        m_timers.start(m_timer2, m_timer3);
    }
    // Lets `msec` of time pass, firing each shot when it falls due; returns how often the program woke.
    int run(int64_t msec) {
        const int64_t end = m_elapsed + msec;
        int wakes = 0;
        for (;;) {
            FakeShot* next = nullptr;
            for (FakeShot* s : {&m_timer2, &m_timer3})
                if (s->isActive() && s->m_due <= end && (!next || s->m_due < next->m_due))
                    next = s;
            if (!next)
                break;
            m_clock.advanceMsec(next->m_due - m_elapsed);
            m_elapsed = next->m_due;
            next->stop();
            ++wakes;
            next == &m_timer2 ? m_timers.timer2Fired() : m_timers.timer3Fired();
        }
        m_clock.advanceMsec(end - m_elapsed);
        m_elapsed = end;
        return wakes;
    }

    int64_t m_elapsed = 0; // steady ms since the load
    FakeClock m_clock;
    FakeMciDevice m_mci;
    Music m_music{m_mci, "/opt/quillet"};
    Form3State m_desk;
    DeskTimers m_timers{m_desk, m_music, m_clock};
    FakeShot m_timer2{m_elapsed}, m_timer3{m_elapsed};
    std::vector<int64_t> m_checks; // steady ms of each memo check
};

TEST_F(DeskTimerAimsTest, AnIdleHourChecksEveryDssMinutesAndWakesOnlyAtTheMinutes) {
    m_desk.dss = 5;
    load({2026, 2, 16, 23, 30, 0, 400});
    EXPECT_LE(run(3600 * 1000), 12 + 61); // the checks, each minute's alarm look and the first one at 900 ms
    ASSERT_EQ(m_checks.size(), 12u);
    EXPECT_GT(m_checks[0], 299000); // dss minutes after the load, counted in whole seconds
    EXPECT_LE(m_checks[0], 300000);
    for (std::size_t i = 1; i < m_checks.size(); ++i)
        EXPECT_EQ(m_checks[i] - m_checks[i - 1], 300000);
    // A shorter interval set halfway through a wait counts the seconds already slept.
    run(100 * 1000);
    m_desk.dss = 2;
    m_timers.stateChanged();
    run(20 * 1000);
    EXPECT_EQ(m_checks.size(), 13u);
}

TEST_F(DeskTimerAimsTest, AlarmRingsThroughItsMinuteAndItsTuneClosesWithinASecondOfExpiry) {
    m_desk.dss = 0; // no memo check: Timer2 sleeps until a tune is open
    load({2026, 5, 1, 7, 29, 10, 250});
    run(5000);
    m_desk.dshh = "07";
    m_desk.dsmm = "30";
    m_desk.alarmDay = 20260501;
    m_timers.stateChanged();
    run(45000); // to 07:30:00.250
    EXPECT_TRUE(m_mci.isPlaying());
    run(19750); // 07:30:20: the tune ends and starts again within 900 ms
    m_mci.setMode("stopped");
    const int plays = m_mci.plays();
    run(900);
    EXPECT_EQ(m_mci.plays(), plays + 1);
    run(40000); // 07:31:00.900: nothing starts after the minute
    const int played = m_mci.plays();
    m_mci.setMode("stopped");
    run(180100); // 07:34:01: cleared at 07:34, the tune closed at the next whole second
    EXPECT_EQ(m_mci.plays(), played);
    EXPECT_EQ(m_desk.dshh, "--");
    EXPECT_FALSE(m_mci.isOpen());
    m_mci.clear();
    EXPECT_LE(run(60000), 1); // idle again: the minute's look, nothing more
    EXPECT_EQ(m_mci.count("CLOSE"), 0);
}

} // namespace
