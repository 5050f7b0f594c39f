#include "app/form1.h"
#include "app/launcher_window.h"
#include "desk/desk_calendar_window.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "support/holiday_table.h"
#include "support/temp_dir.h"
#include "ui/clock_change_watch.h"

#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {
class DeskTest : public ::testing::Test {
protected:
    DeskTest() : mci(new FakeMciDevice), app(clock, std::unique_ptr<MciDevice>(mci)) { desk = app.showDeskCalendar(); }
    QString text(const char* name) { return control<QLabel>(desk, name)->text(); }

    TempWorkDir dir;
    FakeClock clock{{2026, 2, 16, 23, 59, 59, 995}};
    FakeMciDevice* mci;
    Form1 app;
    Form3* desk;
};
} // namespace

TEST_F(DeskTest, TitleAndNames) {
    EXPECT_EQ(desk->windowTitle(), "☆Quillet>>台历");
    EXPECT_EQ(desk->objectName(), "Form3");
    EXPECT_TRUE(duplicateControlNames(desk).isEmpty());
}

TEST_F(DeskTest, TextsChangeAtTheFirstTickAfterMidnight) {
    desk->refreshClock();
    EXPECT_EQ(text("Label1"), "2026年2月");
    EXPECT_EQ(text("Label2(0)"), "16");
    EXPECT_EQ(text("Label2(1)"), "日");
    EXPECT_EQ(text("Label5"), "星期一");
    EXPECT_EQ(text("Label4"), " 乙巳(蛇) 2025年 ");
    EXPECT_EQ(text("Label6"), "农历12月 除夕 29日");
    EXPECT_EQ(text("Label3"), "23:59:59");
    clock.advanceMsec(10);
    QTest::qWait(40); // Timer1 ticks on its own
    EXPECT_EQ(text("Label1"), "2026年2月");
    EXPECT_EQ(text("Label2(0)"), "17");
    EXPECT_EQ(text("Label5"), "星期二");
    EXPECT_EQ(text("Label4"), " 丙午(马) 2026年 ");
    EXPECT_EQ(text("Label6"), "农历1月 春节 1日");
    EXPECT_EQ(text("Label3"), "00:00:00");
}

TEST_F(DeskTest, LauncherOpensBesideTheIconDownwardOrUpward) {
    const int screenHeight = 800;
    const QSize launcherSize(132, 232);
    desk->move(500, 100);
    auto* image2 = control<QWidget>(desk, "Image2");
    const int iconLeft = image2->mapTo(desk, QPoint(0, 0)).x();
    EXPECT_EQ(desk->launcherPositionFromIcon(launcherSize, screenHeight), QPoint(500 + iconLeft - 132, 100));
    // Within 4000 twips (266 px) of the bottom the launcher opens upward.
    desk->move(500, 600);
    EXPECT_EQ(desk->launcherPositionFromIcon(launcherSize, screenHeight),
              QPoint(500 + iconLeft - 132, 600 + image2->height() - 232));
    desk->move(500, 533); // 7995 twips: still above screen height - 4000
    EXPECT_EQ(desk->launcherPositionFromIcon(launcherSize, screenHeight).y(), 533);
    desk->move(500, 534);
    EXPECT_NE(desk->launcherPositionFromIcon(launcherSize, screenHeight).y(), 534);
}

TEST_F(DeskTest, IconClickAndRightPressOpenTheLauncher) {
    desk->move(400, 100);
    clickWidget(control<QWidget>(desk, "Image2"));
    QWidget* launcher = app.window(WindowId::Form2);
    ASSERT_NE(launcher, nullptr);
    EXPECT_TRUE(launcher->isVisible());
    EXPECT_EQ(launcher->pos(), desk->launcherPositionFromIcon(launcher->size(), desk->screen()->geometry().height()));
    app.closeLauncher();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // A right press anywhere on the page, texts and icons included, opens the launcher at the pointer.
    for (QPoint at :
         {QPoint(30, 40), QPoint(90, 30), QPoint(90, 90), QPoint(90, 150), QPoint(90, 212), QPoint(170, 240)}) {
        QWidget* under = desk->childAt(at);
        ASSERT_NE(under, nullptr);
        pressWidget(under, Qt::LeftButton, under->mapFrom(desk, at));
        EXPECT_EQ(app.window(WindowId::Form2), nullptr) << under->objectName().toStdString();
        pressWidget(under, Qt::RightButton, under->mapFrom(desk, at));
        launcher = app.window(WindowId::Form2);
        ASSERT_NE(launcher, nullptr) << under->objectName().toStdString();
        EXPECT_EQ(launcher->pos(), desk->pos() + at);
        app.closeLauncher();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // At the screen's right edge the menu opens as near the pointer as the screen allows.
    const QRect area = desk->screen()->availableGeometry();
    desk->move(area.right() + 1 - desk->width(), area.top());
    QWidget* under = desk->childAt(QPoint(170, 240));
    pressWidget(under, Qt::RightButton, under->mapFrom(desk, QPoint(170, 240)));
    launcher = app.window(WindowId::Form2);
    ASSERT_NE(launcher, nullptr);
    EXPECT_EQ(launcher->x() + launcher->width(), area.right() + 1);
}

TEST_F(DeskTest, DraggingByTheStripFollowsThePointer) {
    desk->move(300, 300);
    auto* strip = control<QWidget>(desk, "Image3");
    QMouseEvent move(QEvent::MouseMove, QPointF(12, 7), strip->mapToGlobal(QPointF(12, 7)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(strip, &move);
    EXPECT_EQ(desk->pos(), QPoint(312, 307));
    QMouseEvent noButton(QEvent::MouseMove, QPointF(12, 7), strip->mapToGlobal(QPointF(12, 7)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control<QWidget>(desk, "Label3"), &noButton);
    EXPECT_EQ(desk->pos(), QPoint(312, 307));
}

TEST_F(DeskTest, DraggedAsFarAsTheUserLikesItsStripStaysOnTheScreen) {
    const QRect area = desk->screen()->availableVirtualGeometry();
    desk->move(300, 300);
    auto* strip = control<QWidget>(desk, "Image3");
    for (QPoint pull : {QPoint(-5000, -5000), QPoint(5000, 5000)}) {
        const QPoint before = desk->pos();
        dragWidget(strip, QPoint(12, 7), QPoint(12, 7) + pull);
        EXPECT_NE(desk->pos(), before);
        const QRect stripOnScreen(desk->mapToGlobal(strip->geometry().topLeft()), strip->size());
        EXPECT_GE(stripOnScreen.intersected(area).width(), 20) << pull.x();
        EXPECT_GE(stripOnScreen.intersected(area).height(), 10) << pull.x();
    }
}

TEST_F(DeskTest, YearsBeyondTheLunarTablesShowTheGregorianDate) {
    for (int year : {1899, 2150, 9999}) {
        clock.set({year, 3, 7, 12, 0, 0, 0});
        emit app.clockWatch().clockChanged(); // the system tells of the jump
        EXPECT_EQ(text("Label1"), QString("%1年3月").arg(year));
        EXPECT_EQ(text("Label4"), QString(" 公元%1年 ").arg(year));
        EXPECT_EQ(text("Label6"), "公历3月 7日");
    }
}

TEST_F(DeskTest, MemoCheckComesEveryIntervalAndTheFlagStopsTheMusic) {
    int checks = 0;
    desk->timers().onMemoCheck = [&] { ++checks; };
    app.desk().dss = 1;
    for (int i = 0; i < 59; ++i)
        desk->timers().tickTimer2();
    EXPECT_EQ(checks, 0);
    desk->timers().tickTimer2();
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(app.desk().reminderTicks, 0);
    // A new interval takes effect from the next tick; the count is not reset.
    for (int i = 0; i < 30; ++i)
        desk->timers().tickTimer2();
    app.desk().dss = 5;
    for (int i = 30; i < 299; ++i)
        desk->timers().tickTimer2();
    EXPECT_EQ(checks, 1);
    desk->timers().tickTimer2();
    EXPECT_EQ(checks, 2);
    // No interval: counting goes on, no check, no overflow.
    app.desk().dss = 0;
    app.desk().reminderTicks = 40000;
    desk->timers().tickTimer2();
    EXPECT_EQ(checks, 2);
    mci->clear();
    app.desk().txyybz = false;
    desk->timers().tickTimer2();
    EXPECT_EQ(mci->count("CLOSE"), 1);
    app.desk().txyybz = true;
    desk->timers().tickTimer2();
    EXPECT_EQ(mci->count("CLOSE"), 1);
}

TEST_F(DeskTest, AlarmThatClearsItselfResetsAHiddenLaunchersCaption) {
    clock.set({2026, 12, 8, 7, 0, 0, 0});
    app.desk().dshh = "07";
    app.desk().dsmm = "00";
    app.desk().alarmDay = 20261208;
    Form2* launcher = app.launcher(); // loaded while the alarm is set, then hidden as after the panel's OK
    auto* item = control<QLabel>(launcher, "Label1(4)");
    EXPECT_EQ(item->text(), "关定时 ");
    clock.set({2026, 12, 8, 7, 4, 0, 0});
    desk->timers().tickTimer3(clock.now());
    EXPECT_EQ(app.desk().dshh, "--");
    EXPECT_EQ(item->text(), "定时器 ");
}

TEST_F(DeskTest, WallCalendarTakesThePlaceButStaysOnTheScreen) {
    const QRect area = desk->screen()->availableGeometry();
    desk->move(area.right() + 1 - desk->width(), area.top() + 40);
    clickWidget(control<QWidget>(desk, "Image4"));
    processEvents();
    QWidget* wall = app.window(WindowId::Form4);
    ASSERT_NE(wall, nullptr);
    EXPECT_TRUE(area.contains(wall->frameGeometry().topLeft()));
    EXPECT_LE(wall->x() + wall->width(), area.right() + 1);
    EXPECT_EQ(wall->y(), area.top() + 40);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(app.window(WindowId::Form3), desk);
    EXPECT_FALSE(desk->isVisible());
}

namespace {
class DeskHolidayTest : public ::testing::Test {
protected:
    DeskHolidayTest() : app(clock, std::make_unique<FakeMciDevice>()) { desk = app.showDeskCalendar(); }
    QLabel* mark() { return control<QLabel>(desk, "HolidayMark"); }

    DeliveredHolidayTable table;
    TempWorkDir dir;
    FakeClock clock{{2026, 2, 17, 10, 0, 0}};
    Form1 app;
    Form3* desk = nullptr;
};
} // namespace

TEST_F(DeskHolidayTest, MarkBesideTheDayLeavesTheTextsAsTheyAre) {
    EXPECT_EQ(mark()->text(), "休");
    EXPECT_EQ(mark()->palette().color(QPalette::WindowText), QColor(196, 32, 38));
    EXPECT_EQ(mark()->toolTip(), "春节 放假第3天");
    EXPECT_EQ(control<QLabel>(desk, "Label6")->text(), "农历1月 春节 1日");
    EXPECT_EQ(control<QLabel>(desk, "Label2(0)")->text(), "17");
    clock.set({2026, 9, 20, 10, 0, 0}); // a make-up Sunday
    emit app.clockWatch().clockChanged();
    EXPECT_EQ(mark()->text(), "班");
    EXPECT_EQ(mark()->palette().color(QPalette::WindowText), QColor(40, 60, 120));
    EXPECT_EQ(mark()->toolTip(), "国庆节 调休上班");
    EXPECT_EQ(control<QLabel>(desk, "Label5")->text(), "星期日");
    clock.set({2026, 9, 21, 10, 0, 0});
    emit app.clockWatch().clockChanged();
    EXPECT_EQ(mark()->text(), "");
}
