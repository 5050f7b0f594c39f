#include "app/launcher_model.h"

#include <gtest/gtest.h>

TEST(LauncherModel, CaptionsAndGuardedItems) {
    Form1State s;
    Form3State d;
    LauncherModel m(s, d);
    EXPECT_EQ(m.caption(ItemExit), "退  出 ");
    EXPECT_EQ(m.caption(ItemMemoBook), "   备忘录 ");
    EXPECT_EQ(m.caption(ItemAlarm), "定时器 ");
    d.dshh = "07";
    EXPECT_EQ(m.caption(ItemAlarm), "关定时 ");
    int guarded = 0;
    for (int i = 0; i < kLauncherItems; ++i)
        guarded += LauncherModel::isGuarded(i);
    EXPECT_EQ(guarded, 4);
    EXPECT_TRUE(LauncherModel::isGuarded(ItemSettings) && LauncherModel::isGuarded(ItemDiary));
    EXPECT_EQ(LauncherModel::hourEntries().size(), 25u);
    EXPECT_EQ(LauncherModel::minuteEntries().back(), "59");
}

TEST(LauncherModel, PasswordRulesForRememberedAndWrongPasswords) {
    Form1State s;
    Form3State d;
    LauncherModel m(s, d);
    s.password3 = "";
    EXPECT_FALSE(m.confirm(false, "").has_value()); // empty access password opens with an empty box
    s.password3 = "Abc";
    auto wrong = m.confirm(true, "abc"); // case-sensitive; the wrong text is still remembered
    ASSERT_TRUE(wrong.has_value());
    EXPECT_EQ(wrong->text, "密码错误!");
    EXPECT_EQ(wrong->title, "警告");
    EXPECT_TRUE(s.mryy);
    EXPECT_EQ(s.password2, "abc");
    EXPECT_EQ(m.prefill(), "abc");
    EXPECT_TRUE(m.confirm(true, " Abc").has_value()); // no trimming
    EXPECT_FALSE(m.confirm(false, "Abc").has_value());
    EXPECT_FALSE(s.mryy);
    EXPECT_EQ(s.password2, " Abc"); // kept, but no longer offered
    EXPECT_EQ(m.prefill(), "");
}

TEST(LauncherModel, AlarmOnAndOff) {
    Form1State s;
    Form3State d;
    LauncherModel m(s, d);
    m.setAlarm("07", "30", {2026, 12, 8, 7, 0, 0, 0});
    EXPECT_TRUE(m.alarmSet());
    EXPECT_EQ(d.alarmDay, 20261208);
    m.alarmOff();
    EXPECT_EQ(d.dshh, "--");
    EXPECT_EQ(d.dsmm, "--");
    EXPECT_FALSE(d.txyybz);
    m.setAlarm("--", "15", {2026, 12, 8, 7, 0, 0, 0});
    EXPECT_FALSE(m.alarmSet());
}
