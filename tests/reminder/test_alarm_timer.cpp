// The alarm timer's Timer3 ticks, every 900 ms of a fake clock, with the tune played on a fake sequencer.
#include "reminder/alarm_timer.h"

#include "app/launcher_model.h"
#include "desk/desk_timers.h"
#include "reminder/music.h"

#include "support/fake_mci.h"

#include <gtest/gtest.h>

namespace {

class AlarmTimerTest : public ::testing::Test {
protected:
    void setAlarm(const char* hour, const char* minute, LocalDateTime now) {
        m_clock.set(now);
        m_desk.dshh = hour;
        m_desk.dsmm = minute;
        m_desk.alarmDay = now.year * 10000 + now.month * 100 + now.day;
    }
    AlarmTick tick() { return runAlarmTick(m_desk, m_music, m_clock.now()); }
    struct Ticks {
        int ticks = 0;
        int rang = 0;
    };
    // Ticks every 900 ms until the clock reaches `until`, counting the ticks and those that rang.
    Ticks tickUntil(const LocalDateTime& until) {
        Ticks count;
        while (order(m_clock.now()) < order(until)) {
            ++count.ticks;
            count.rang += tick() == AlarmTick::Ringing;
            m_clock.advanceMsec(900);
        }
        return count;
    }
    // Orders two clock readings (not a count of anything).
    static int64_t order(const LocalDateTime& t) {
        return ((((t.year * 13L + t.month) * 32 + t.day) * 24 + t.hour) * 60 + t.minute) * 60000 + t.second * 1000 +
               t.msec;
    }
    bool alarmCleared() const { return m_desk.dshh == "--" && m_desk.dsmm == "--"; }

    FakeClock m_clock;
    FakeMciDevice m_mci;
    Music m_music{m_mci, "/opt/quillet"};
    Form3State m_desk;
};

TEST_F(AlarmTimerTest, NoAlarmNeverStartsATuneNorTouchesTheFlag) {
    m_clock.set({2026, 5, 1, 0, 0});
    for (bool flag : {true, false}) {
        m_desk.txyybz = flag;
        for (int i = 0; i < 200; ++i) {
            EXPECT_EQ(tick(), AlarmTick::NoAlarm);
            m_clock.advanceSeconds(30);
        }
        EXPECT_EQ(m_desk.txyybz, flag);
    }
    EXPECT_TRUE(m_mci.commands().empty());
}

TEST_F(AlarmTimerTest, CourseOfAnAlarmAtSevenThirty) {
    setAlarm("07", "30", {2026, 5, 1, 7, 29, 0});
    m_desk.txyybz = false;
    EXPECT_EQ(tickUntil({2026, 5, 1, 7, 30}).rang, 0);
    EXPECT_TRUE(m_mci.commands().empty());

    // 07:30:00-07:30:59: every tick starts the tune, which plays only when stopped; it restarts when it ends.
    EXPECT_EQ(tick(), AlarmTick::Ringing);
    EXPECT_TRUE(m_desk.txyybz);
    EXPECT_EQ(m_mci.openCommand(), "OPEN \"/opt/quillet/dsyy.mid\" TYPE SEQUENCER ALIAS BackgroundMusic");
    EXPECT_EQ(m_mci.plays(), 1);
    m_clock.advanceMsec(900);
    Ticks first = tickUntil({2026, 5, 1, 7, 30, 20});
    EXPECT_EQ(first.rang, first.ticks);
    EXPECT_EQ(m_mci.plays(), 1);
    m_mci.setMode("stopped"); // the 10 s tune ended
    Ticks rest = tickUntil({2026, 5, 1, 7, 31});
    EXPECT_EQ(rest.rang, rest.ticks);
    EXPECT_EQ(1 + first.ticks + rest.ticks, 67); // every tick of the minute
    EXPECT_EQ(m_mci.plays(), 2);

    // 07:31-07:33: nothing started, the alarm waits; the tune still playing plays to its end.
    m_mci.clear();
    for (; m_clock.now().minute < 34; m_clock.advanceMsec(900))
        EXPECT_EQ(tick(), AlarmTick::Waiting);
    EXPECT_TRUE(m_mci.commands().empty());
    EXPECT_TRUE(m_desk.txyybz);

    // First tick at 07:34: 450 + 3 < 454.
    EXPECT_EQ(tick(), AlarmTick::Expired);
    EXPECT_TRUE(alarmCleared());
    EXPECT_FALSE(m_desk.txyybz);
    EXPECT_EQ(tick(), AlarmTick::NoAlarm);
    EXPECT_TRUE(m_mci.commands().empty()); // the memo check's tick closes the tune, not the alarm
}

TEST_F(AlarmTimerTest, MinuteDashesMeansOnTheHour) {
    setAlarm("08", "--", {2026, 5, 1, 7, 59, 30});
    EXPECT_EQ(tickUntil({2026, 5, 1, 8, 0}).rang, 0);
    Ticks minute = tickUntil({2026, 5, 1, 8, 1});
    EXPECT_GE(minute.rang, 66);
    EXPECT_EQ(minute.rang, minute.ticks);
    EXPECT_EQ(m_mci.plays(), 1);
    tickUntil({2026, 5, 1, 8, 4});
    EXPECT_FALSE(alarmCleared());
    EXPECT_EQ(tick(), AlarmTick::Expired);
}

TEST_F(AlarmTimerTest, AlarmLongPastIsClearedAtOnceWithoutSound) {
    setAlarm("09", "50", {2026, 5, 1, 10, 0}); // 590 + 3 < 600
    m_desk.txyybz = true;
    EXPECT_EQ(tick(), AlarmTick::Expired);
    EXPECT_TRUE(alarmCleared());
    EXPECT_TRUE(m_mci.commands().empty());
}

TEST_F(AlarmTimerTest, AlarmThreeMinutesPastStaysUntilTheNextMinuteWithoutSound) {
    setAlarm("09", "57", {2026, 5, 1, 10, 0}); // 597 + 3 = 600 is not below 600
    EXPECT_EQ(tickUntil({2026, 5, 1, 10, 1}).rang, 0);
    EXPECT_FALSE(alarmCleared());
    EXPECT_EQ(tick(), AlarmTick::Expired);
    EXPECT_TRUE(m_mci.commands().empty());
}

TEST_F(AlarmTimerTest, LateEveningAlarmClearsAfterMidnightInsteadOfRingingNextDay) {
    setAlarm("23", "58", {2026, 12, 31, 23, 50});
    Ticks evening = tickUntil({2026, 12, 31, 23, 59});
    EXPECT_GE(evening.rang, 66); // the whole of 23:58
    // 23:58 + 3 minutes is 00:01 of the next day: waiting through it, cleared at 00:02.
    EXPECT_EQ(tickUntil({2027, 1, 1, 0, 2}).rang, 0);
    EXPECT_FALSE(alarmCleared());
    EXPECT_EQ(tick(), AlarmTick::Expired);
    m_mci.clear();
    EXPECT_EQ(tickUntil({2027, 1, 1, 23, 59}).rang, 0); // a day of ticks, nothing rings at 23:58
    EXPECT_TRUE(m_mci.commands().empty());
}

TEST_F(AlarmTimerTest, LateEveningAlarmFoundTheNextDayExpiresAtTheFirstTick) {
    // Timer3 did not run (the wall calendar was shown) from the evening until 23:58 of the next day.
    setAlarm("23", "59", {2026, 2, 28, 23, 0});
    m_clock.set({2026, 3, 1, 23, 59, 10});
    EXPECT_EQ(tick(), AlarmTick::Expired);
    EXPECT_TRUE(m_mci.commands().empty());
}

TEST_F(AlarmTimerTest, AlarmWithoutADayTakesTheDayOfItsFirstTick) {
    m_clock.set({2026, 5, 1, 23, 0});
    m_desk.dshh = "23";
    m_desk.dsmm = "59";
    m_desk.alarmDay = 0;
    EXPECT_EQ(tick(), AlarmTick::Waiting);
    EXPECT_EQ(m_desk.alarmDay, 20260501);
    m_clock.set({2026, 5, 2, 0, 3});
    EXPECT_EQ(tick(), AlarmTick::Expired);
}

TEST_F(AlarmTimerTest, MidnightAlarmSetLateInTheDayIsForToday) {
    // "00:05" chosen at 23:59 lies in the past of today: cleared at the first tick, never sounds.
    setAlarm("00", "05", {2026, 5, 1, 23, 59});
    EXPECT_EQ(tick(), AlarmTick::Expired);
    EXPECT_TRUE(m_mci.commands().empty());
}

// With the desk calendar's two timers: Timer3 rings, Timer2 closes the tune once the music flag is down.
class DeskAlarmTest : public AlarmTimerTest {
protected:
    // One second of the desk calendar: Timer2 once, Timer3 at 900 ms.
    void second() {
        m_timers.tickTimer2();
        m_timers.tickTimer3(m_clock.now());
        m_clock.advanceMsec(1000);
    }
    DeskTimers m_timers{m_desk, m_music, m_clock};
    Form1State m_state;
    LauncherModel m_launcher{m_state, m_desk};
};

TEST_F(DeskAlarmTest, SwitchingTheAlarmOffStopsTheTuneWithinASecond) {
    m_launcher.setAlarm("07", "30", {2026, 5, 1, 7, 29, 58});
    m_clock.set({2026, 5, 1, 7, 29, 58});
    for (int i = 0; i < 5; ++i)
        second();
    ASSERT_TRUE(m_mci.isPlaying());
    m_launcher.alarmOff(); // "关定时 "
    m_timers.tickTimer2();
    EXPECT_FALSE(m_mci.isOpen());
    EXPECT_EQ(m_mci.count("CLOSE"), 1);
    EXPECT_EQ(m_timers.tickTimer3(m_clock.now()), AlarmTick::NoAlarm);
}

TEST_F(DeskAlarmTest, ExpiryLowersTheFlagSoTheNextSecondClosesTheTune) {
    int expired = 0;
    m_timers.onAlarmExpired = [&] { ++expired; };
    m_launcher.setAlarm("07", "30", {2026, 5, 1, 7, 30, 0});
    m_clock.set({2026, 5, 1, 7, 30, 50});
    second();
    ASSERT_TRUE(m_mci.isPlaying());
    m_clock.set({2026, 5, 1, 7, 34, 0});
    second();
    EXPECT_EQ(expired, 1);
    EXPECT_TRUE(m_mci.isOpen()); // Timer2 ran before Timer3 cleared the alarm in that second
    second();
    EXPECT_FALSE(m_mci.isOpen());
    EXPECT_FALSE(m_launcher.alarmSet());
    EXPECT_EQ(expired, 1);
}

} // namespace
