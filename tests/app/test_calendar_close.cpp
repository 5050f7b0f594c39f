// Closing a calendar through the window manager, and the tray icon's menu.
#include "app/calendar_close_guard.h"
#include "app/calendar_place_keeper.h"
#include "app/form1.h"
#include "app/launcher_window.h"
#include "app/tray_icon.h"
#include "desk/desk_calendar_window.h"
#include "desktop/autostart.h"
#include "diary/diary_window.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "support/temp_dir.h"
#include "ui/ui_prompts.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>

namespace {

class CalendarCloseTest : public ::testing::Test {
protected:
    CalendarCloseTest() : app(clock, std::make_unique<FakeMciDevice>()), guard(app, [this] { return hasTray; }) {
        Prompts::clearShown();
        qApp->installEventFilter(&guard);
    }
    ~CalendarCloseTest() override { qApp->removeEventFilter(&guard); }
    // What the window manager sends for Alt+F4 or the title bar's close button.
    static bool closeFromWindowManager(QWidget* w) {
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        qApp->notify(w, &close); // as delivered from the window system: sendEvent would clear the flag
        processEvents();
        return close.isAccepted();
    }

    FakeClock clock{{2026, 12, 8, 7, 5, 0, 0}};
    Form1 app;
    bool hasTray = false;
    CalendarCloseGuard guard;
};

} // namespace

TEST_F(CalendarCloseTest, WithATrayTheCalendarsOnlyHide) {
    hasTray = true;
    QSignalSpy exits(&app, &Form1::exitRequested);
    QWidget* desk = app.showDeskCalendar();
    EXPECT_FALSE(closeFromWindowManager(desk));
    EXPECT_EQ(app.window(WindowId::Form3), desk);
    EXPECT_FALSE(desk->isVisible());
    app.raiseCalendar();
    EXPECT_TRUE(desk->isVisible());

    app.openWallCalendar(desk->pos());
    QWidget* wall = app.window(WindowId::Form4);
    ASSERT_NE(wall, nullptr);
    EXPECT_FALSE(closeFromWindowManager(wall));
    EXPECT_FALSE(wall->isVisible());
    EXPECT_TRUE(Prompts::shown().empty());
    EXPECT_EQ(exits.count(), 0);
}

TEST_F(CalendarCloseTest, WithoutATrayClosingAsksAndCountsAsExit) {
    QSignalSpy exits(&app, &Form1::exitRequested);
    QWidget* desk = app.showDeskCalendar();
    Prompts::setNextAnswer(NoticeAnswer::No);
    EXPECT_FALSE(closeFromWindowManager(desk));
    EXPECT_TRUE(desk->isVisible());
    ASSERT_EQ(Prompts::shown().size(), 1u);
    EXPECT_EQ(Prompts::shown()[0].title, "提醒");
    EXPECT_EQ(exits.count(), 0);

    Prompts::setNextAnswer(NoticeAnswer::Yes);
    closeFromWindowManager(desk);
    processEvents();
    EXPECT_EQ(exits.count(), 1);
    EXPECT_EQ(app.window(WindowId::Form3), nullptr);
}

TEST_F(CalendarCloseTest, ClosesTheProgramMakesPassUntouched) {
    QWidget* desk = app.showDeskCalendar();
    app.openWallCalendar(desk->pos());
    app.window(WindowId::Form4)->close(); // the wall calendar's back button does this
    processEvents();
    EXPECT_EQ(app.window(WindowId::Form4), nullptr);
    EXPECT_TRUE(Prompts::shown().empty());
}

// The desk calendar swapped for the wall calendar, and that one closed to the tray: a memo falling due is still
// announced.
TEST_F(CalendarCloseTest, RemindersComeWhileBothCalendarsAreHidden) {
    hasTray = true;
    TempWorkDir dir;
    dir.write("bwl/bwl.cjf", "1   @@2026120807@@tea@@F@@2026120101\r\n");
    app.desk().dss = 1;
    app.desk().reminderTicks = 58; // the check is two seconds away
    app.showDeskCalendar()->deskStateChanged();
    QPointer<QWidget> desk = app.window(WindowId::Form3);
    clickWidget(control<QWidget>(desk, "Image4")); // to the wall calendar
    processEvents();
    ASSERT_NE(app.window(WindowId::Form4), nullptr);
    EXPECT_FALSE(closeFromWindowManager(app.window(WindowId::Form4)));
    EXPECT_FALSE(desk && desk->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(app.window(WindowId::Form7) && app.window(WindowId::Form7)->isVisible(), 4000);
    EXPECT_EQ(control<QLabel>(app.window(WindowId::Form7), "Label2")->text(), "tea    ");
}

TEST_F(CalendarCloseTest, TrayMenuReachesTheToolsAndSwitchesAutostart) {
    TempWorkDir dir;
    const std::filesystem::path file = dir / "autostart/cn.orlin.Quillet.desktop";
    TrayIcon tray(app, file, "/usr/bin/quillet", "/home/u/my data");
    auto action = [&](const QString& text) -> QAction* {
        for (QAction* a : tray.menu()->actions())
            if (a->text() == text)
                return a;
        ADD_FAILURE() << text.toStdString();
        return nullptr;
    };
    QStringList texts;
    for (QAction* a : tray.menu()->actions())
        if (!a->isSeparator() && a->isVisible())
            texts << a->text();
    EXPECT_EQ(texts,
              (QStringList{"显示日历", "备忘录", "日记簿", "通讯录", "加解密", "设置", "关于", "开机启动", "退出"}));

    action("显示日历")->trigger();
    EXPECT_NE(app.window(WindowId::Form3), nullptr);
    // A guarded tool asks for the access password in the launcher first.
    action("日记簿")->trigger();
    Form2* launcher = app.windowAs<Form2>(WindowId::Form2);
    ASSERT_NE(launcher, nullptr);
    EXPECT_TRUE(launcher->findChild<QFrame*>("Frame1")->isVisible());
    EXPECT_EQ(app.window(WindowId::Form5), nullptr); // the diary waits for the password

    QAction* autostart = action("开机启动");
    EXPECT_FALSE(autostart->isChecked());
    autostart->trigger();
    EXPECT_NE(
        dir.read("autostart/cn.orlin.Quillet.desktop").find("\nExec=/usr/bin/quillet --data \"/home/u/my data\"\n"),
        std::string::npos); // the folder the program runs on
    autostart->trigger();
    EXPECT_FALSE(autostartEnabled(file));

    QSignalSpy exits(&app, &Form1::exitRequested);
    action("退出")->trigger();
    EXPECT_EQ(exits.count(), 1);
}

// The desk calendar dragged to a place starts there after 退出; a place on a screen that is gone is not used.
TEST_F(CalendarCloseTest, TheCalendarStartsWhereTheUserLeftIt) {
    TempWorkDir dir;
    const std::filesystem::path file = dir / "config/quillet/places";
    auto startedAfter = [&](auto&& run) {
        auto program = std::make_unique<Form1>(clock, std::make_unique<FakeMciDevice>());
        CalendarPlaceKeeper keeper(*program, file);
        program->showDeskCalendar();
        keeper.restore();
        qApp->installEventFilter(&keeper);
        const QPoint at = program->window(WindowId::Form3)->pos();
        run(*program);
        qApp->removeEventFilter(&keeper);
        return at;
    };
    QPoint dragged;
    const QPoint first = startedAfter([&](Form1& program) {
        QWidget* desk = program.window(WindowId::Form3);
        dragWidget(control<QWidget>(desk, "Image3"), QPoint(20, 8), QPoint(-180, 108));
        dragged = desk->pos();
        program.exitProgram();
    });
    EXPECT_EQ(dragged, first + QPoint(-180, 108)); // moved by the pointer's place on the strip
    EXPECT_EQ(startedAfter([](Form1& program) { program.exitProgram(); }), dragged);
    // Ended with the wall calendar shown: the desk calendar starts where the wall calendar stood.
    startedAfter([](Form1& program) {
        clickWidget(control<QWidget>(program.window(WindowId::Form3), "Image4"));
        program.window(WindowId::Form4)->move(150, 120);
        program.exitProgram();
    });
    EXPECT_EQ(startedAfter([](Form1&) {}), QPoint(150, 120));
    ASSERT_EQ(writeCalendarPlaces(file, CalendarPlaces{ScreenPoint{9000, 9000}, std::nullopt, false}), std::nullopt);
    EXPECT_EQ(startedAfter([](Form1&) {}), first);
}

// Every way out (the tray's 退出, closing the calendar with 是) first closes the tools; one that keeps unsaved
// work, because the user went back to it or its save failed, keeps the program running with it.
TEST_F(CalendarCloseTest, AQuitWaitsForEveryWindowWithUnsavedWork) {
    TempWorkDir dir;
    TrayIcon tray(app, dir / "autostart/q.desktop", "/usr/bin/quillet");
    QAction* quit = tray.menu()->actions().last();
    ASSERT_EQ(quit->text(), "退出");
    QSignalSpy exits(&app, &Form1::exitRequested);
    QWidget* desk = app.showDeskCalendar();
    app.state().password = "key";
    app.openDiary(2026, 12, 8);
    processEvents();
    auto* text1 = app.window(WindowId::Form5)->findChild<QPlainTextEdit*>("Text1");
    QTest::mouseClick(text1->viewport(), Qt::LeftButton);
    typeText(text1, "unsaved");

    Prompts::setNextAnswer(NoticeAnswer::Cancel);
    quit->trigger();
    std::filesystem::remove_all(dir / "rjb");
    dir.write("rjb", "a file where the diary folder was");
    Prompts::setNextAnswer(NoticeAnswer::Yes); // close the calendar: 是
    Prompts::setNextAnswer(NoticeAnswer::Yes); // save the diary: 是, and the save fails
    closeFromWindowManager(desk);
    processEvents();
    EXPECT_EQ(exits.count(), 0);
    ASSERT_NE(app.window(WindowId::Form5), nullptr);
    EXPECT_EQ(text1->toPlainText(), "unsaved");
    EXPECT_EQ(app.window(WindowId::Form3), desk);
    EXPECT_EQ(Prompts::shown().back().title, "警告");

    std::filesystem::remove(dir / "rjb");
    std::filesystem::create_directory(dir / "rjb");
    quit->trigger(); // 是
    EXPECT_EQ(exits.count(), 1);
    EXPECT_TRUE(dir.exists("rjb/rj202612.cjf"));
}
