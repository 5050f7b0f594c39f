#include "app/form1.h"
#include "app/launcher_window.h"
#include "desk/desk_calendar_window.h"
#include "support/fake_mci.h"
#include "support/gui_helpers.h"
#include "support/holiday_table.h"
#include "support/temp_dir.h"
#include "ui/clock_change_watch.h"
#include "ui/ui_names.h"
#include "wallcal/wall_calendar_window.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

namespace {

const QColor kTeal(0, 128, 128);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kLightBlue(123, 185, 253);

class WallTest : public ::testing::Test {
protected:
    WallTest() : app(clock, std::make_unique<FakeMciDevice>()) {
        app.openWallCalendar(QPoint(120, 80));
        wall = app.windowAs<Form4>(WindowId::Form4);
    }

    QLabel* cell(int i) { return control<QLabel>(wall, arrayName("Label3", i)); }
    QString caption(int i) { return cell(i)->text(); }
    QColor textColour(QWidget* w) { return w->palette().color(QPalette::WindowText); }
    bool highlighted(int i) {
        QLabel* c = cell(i);
        return c->autoFillBackground() && c->palette().color(QPalette::Window) == kLightBlue && c->font().bold();
    }
    // Picks a list entry with the mouse, as the user would: scroll it into the one-line view and click it.
    void pick(const char* list, const QString& text) {
        auto* l = control<QListWidget>(wall, list);
        QListWidgetItem* item = l->findItems(text, Qt::MatchExactly).value(0);
        ASSERT_NE(item, nullptr) << text.toStdString();
        l->scrollToItem(item, QAbstractItemView::PositionAtTop);
        QTest::mouseClick(l->viewport(), Qt::LeftButton, Qt::NoModifier, l->visualItemRect(item).center());
    }
    void dragBy(QWidget* handle, QPoint offset) {
        QMouseEvent move(QEvent::MouseMove, QPointF(offset), handle->mapToGlobal(QPointF(offset)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &move);
    }
    void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        processEvents();
    }

    TempWorkDir dir;
    FakeClock clock{{2024, 3, 15, 10, 20, 30}};
    Form1 app;
    Form4* wall = nullptr;
};

} // namespace

TEST_F(WallTest, OpensOnTheCurrentMonthWithItsControls) {
    ASSERT_NE(wall, nullptr);
    EXPECT_TRUE(wall->isVisible());
    EXPECT_EQ(wall->pos(), QPoint(120, 80));
    EXPECT_EQ(wall->windowTitle(), "☆Quillet>>挂历");
    EXPECT_EQ(wall->objectName(), "Form4");
    EXPECT_TRUE(duplicateControlNames(wall).isEmpty()) << duplicateControlNames(wall).join(",").toStdString();
    EXPECT_EQ(control<QLabel>(wall, "Label4")->text(), "挂历(1900-2049)");
    EXPECT_EQ(control<QLabel>(wall, "Label1(0)")->text(), "年");
    EXPECT_EQ(control<QLabel>(wall, "Label1(1)")->text(), "月");
    for (const char* name : {"Image1", "Image2", "Image3", "Image4", "Frame1", "Label5", "Label7"})
        control<QWidget>(wall, name);
    EXPECT_FALSE(control<QFrame>(wall, "Frame2")->isVisible());
    auto* timer = wall->findChild<QTimer*>("Timer1");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive() && timer->isSingleShot());
    EXPECT_LE(timer->remainingTime(), 1000); // aimed at the next turn of the second

    auto* years = control<QListWidget>(wall, "List1");
    auto* months = control<QListWidget>(wall, "List2");
    ASSERT_EQ(years->count(), 150);
    EXPECT_EQ(years->item(0)->text(), "1900");
    EXPECT_EQ(years->item(149)->text(), "2049");
    ASSERT_EQ(months->count(), 12);
    EXPECT_EQ(months->item(0)->text(), "01");
    EXPECT_EQ(months->item(11)->text(), "12");
    EXPECT_EQ(years->currentItem()->text(), "2024");
    EXPECT_EQ(months->currentItem()->text(), "03");
    // One entry high: a second row does not fit.
    for (QListWidget* l : {years, months})
        EXPECT_LT(l->viewport()->height(), 2 * l->visualItemRect(l->item(0)).height());
}

TEST_F(WallTest, WeekdayHeadingsInTheirColours) {
    const char* names[] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    for (int c = 0; c < 7; ++c) {
        auto* heading = control<QLabel>(wall, arrayName("Label2", c));
        EXPECT_EQ(heading->text(), names[c]);
        EXPECT_EQ(textColour(heading), c == 0 || c == 6 ? kRed : kTeal) << c;
    }
}

TEST_F(WallTest, CellsShowTheMonthAndTodayInBlue) {
    // 1 March 2024 was a Friday (column 5); today, the 15th, is cell 19.
    EXPECT_EQ(caption(4), "");
    EXPECT_EQ(caption(5), "1");
    EXPECT_EQ(caption(19), "15");
    EXPECT_EQ(caption(35), "31");
    EXPECT_EQ(caption(36), "");
    EXPECT_EQ(textColour(cell(19)), kBlue);
    EXPECT_EQ(textColour(cell(18)), kTeal);
    EXPECT_EQ(textColour(cell(20)), kRed);
    EXPECT_EQ(textColour(cell(21)), kRed);
    EXPECT_EQ(textColour(cell(14)), kRed);
    for (int i = 0; i < 42; ++i)
        EXPECT_FALSE(cell(i)->autoFillBackground()) << i;
}

TEST_F(WallTest, BrowsingToFebruary1900AndToALeapMonth) {
    pick("List1", "1900");
    pick("List2", "02");
    EXPECT_EQ(wall->model().glnian(), "1900");
    EXPECT_EQ(wall->model().glyue(), "02");
    EXPECT_EQ(caption(3), "");
    EXPECT_EQ(caption(4), "1");
    EXPECT_EQ(caption(31), "28");
    EXPECT_EQ(caption(32), "");
    // Today's blue mark is not carried to another month.
    EXPECT_EQ(caption(19), "16");
    EXPECT_EQ(textColour(cell(19)), kTeal);

    pick("List1", "2000");
    EXPECT_EQ(caption(2), "1");
    EXPECT_EQ(caption(30), "29");
    EXPECT_EQ(caption(31), "");
}

TEST_F(WallTest, ScrollArrowsAndTheWheelChangeTheMonthShown) {
    auto* details = control<QLabel>(wall, "Label5");
    moveOver(cell(19));
    ASSERT_TRUE(highlighted(19));
    // The month list's down arrow, clicked where it is drawn.
    auto* months = control<QListWidget>(wall, "List2");
    QScrollBar* bar = months->verticalScrollBar();
    const QRect down = scrollBarPart(bar, QStyle::SC_ScrollBarAddLine);
    ASSERT_TRUE(down.isValid());
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, down.center());
    EXPECT_EQ(wall->model().glyue(), "04");
    EXPECT_EQ(months->currentItem()->text(), "04");
    EXPECT_EQ(caption(1), "1"); // 1 April 2024 was a Monday
    EXPECT_FALSE(highlighted(19));
    EXPECT_EQ(textColour(cell(19)), kTeal);
    EXPECT_EQ(details->text(), "");
    // The wheel over the year list, one notch towards the user.
    auto* years = control<QListWidget>(wall, "List1");
    const QPoint at = years->viewport()->rect().center();
    QWheelEvent wheel(at, years->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(years->viewport(), &wheel);
    EXPECT_GT(wall->model().glnian(), "2024");
    EXPECT_EQ(years->currentItem()->text().toStdString(), wall->model().glnian());
}

TEST_F(WallTest, ATodayBeyondTheListsIsSaidPlainly) {
    wall->close();
    flushDeletes();
    clock.set({2150, 5, 4, 9, 0, 0});
    app.openWallCalendar(QPoint(120, 80));
    wall = app.windowAs<Form4>(WindowId::Form4);
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(control<QListWidget>(wall, "List1")->currentItem()->text(), QString::number(kWallLastYear));
    EXPECT_EQ(control<QListWidget>(wall, "List2")->currentItem()->text(), "05");
    EXPECT_TRUE(control<QLabel>(wall, "Label5")->text().startsWith("挂历只有1900年至"));
}

TEST_F(WallTest, HoverHighlightsTheDayAndShowsItsDetails) {
    auto* details = control<QLabel>(wall, "Label5");
    moveOver(cell(19));
    EXPECT_TRUE(highlighted(19));
    const QString text = details->text();
    ASSERT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.startsWith(' '));
    EXPECT_TRUE(text.endsWith("日"));
    EXPECT_EQ(cell(19)->toolTip(), text);
    CalendarX direct;
    EXPECT_EQ(text.toStdString(), dayDetails(direct, "15", "03", "2024"));

    moveOver(cell(20));
    EXPECT_FALSE(highlighted(19));
    EXPECT_FALSE(cell(19)->font().bold());
    EXPECT_TRUE(highlighted(20));
    EXPECT_NE(details->text(), text);

    // An empty cell keeps the last day's highlight and details.
    const QString twentyOne = details->text();
    moveOver(cell(40));
    EXPECT_TRUE(highlighted(20));
    EXPECT_EQ(details->text(), twentyOne);
    EXPECT_EQ(cell(40)->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(cell(20)->cursor().shape(), Qt::BitmapCursor);

    // Over the sheet: nothing highlighted, no details.
    moveOver(control<QWidget>(wall, "Image1"), QPoint(3, 200));
    for (int i = 0; i < 42; ++i)
        EXPECT_FALSE(cell(i)->autoFillBackground()) << i;
    EXPECT_EQ(details->text(), "");
}

TEST_F(WallTest, ClockFollowsTimer1AndJumps) {
    clock.advanceSeconds(65);
    QTest::qWait(1100);
    EXPECT_EQ(control<QLabel>(wall, "Label7")->text(), "10:21:35");
    clock.advanceSeconds(3600);
    emit app.clockWatch().clockChanged();
    EXPECT_EQ(control<QLabel>(wall, "Label7")->text(), "11:21:35");
}

TEST_F(WallTest, DraggingByTheHandlesMovesTheWindow) {
    dragBy(control<QWidget>(wall, "Image3"), QPoint(10, 4));
    EXPECT_EQ(wall->pos(), QPoint(130, 84));
    dragBy(control<QWidget>(wall, "Label4"), QPoint(-20, 6));
    EXPECT_EQ(wall->pos(), QPoint(110, 90));
    moveOver(cell(8)); // Label5 needs a text to be seen; it drags either way
    dragBy(control<QWidget>(wall, "Label5"), QPoint(5, 5));
    EXPECT_EQ(wall->pos(), QPoint(115, 95));
    // A cell is no handle.
    dragBy(cell(8), QPoint(30, 30));
    EXPECT_EQ(wall->pos(), QPoint(115, 95));
}

TEST_F(WallTest, Image2PlacesTheLauncherLeftOfTheIcon) {
    QWidget* icon = control<QWidget>(wall, "Image2");
    clickWidget(icon);
    auto* launcher = app.windowAs<Form2>(WindowId::Form2);
    ASSERT_NE(launcher, nullptr);
    EXPECT_TRUE(launcher->isVisible());
    const QPoint iconPos = icon->mapTo(wall, QPoint(0, 0));
    EXPECT_EQ(launcher->pos(), QPoint(wall->x() + iconPos.x() - launcher->width(), wall->y()));
    // Near the bottom of the screen it opens upward from the icon.
    wall->move(120, 700);
    EXPECT_EQ(wall->launcherPositionFromIcon(QSize(100, 300), 800),
              QPoint(wall->x() + iconPos.x() - 100, 700 + icon->height() - 300));
    EXPECT_EQ(wall->launcherPositionFromIcon(QSize(100, 300), 1200), QPoint(wall->x() + iconPos.x() - 100, 700));
    // A click on the sheet closes it.
    clickWidget(control<QWidget>(wall, "Image1"), Qt::LeftButton, QPoint(3, 200));
    flushDeletes();
    EXPECT_EQ(app.window(WindowId::Form2), nullptr);
}

TEST_F(WallTest, ExchangeWithTheDeskCalendarKeepsTheAlarmAndInterval) {
    wall->close();
    flushDeletes();
    Form3* desk = app.showDeskCalendar();
    desk->move(300, 200);
    app.desk().dss = 7;
    app.desk().dshh = "08";
    app.desk().dsmm = "30";
    clickWidget(control<QWidget>(desk, "Image4"));
    flushDeletes();
    EXPECT_FALSE(desk->isVisible()); // hidden behind the wall calendar
    wall = app.windowAs<Form4>(WindowId::Form4);
    ASSERT_NE(wall, nullptr);
    EXPECT_TRUE(wall->isVisible());
    EXPECT_EQ(wall->pos(), QPoint(300, 200));

    wall->move(50, 60);
    app.desk().txyybz = false;
    clickWidget(control<QWidget>(wall, "Image4"));
    flushDeletes();
    EXPECT_EQ(app.window(WindowId::Form4), nullptr);
    desk = app.windowAs<Form3>(WindowId::Form3);
    ASSERT_NE(desk, nullptr);
    EXPECT_TRUE(desk->isVisible());
    EXPECT_EQ(desk->pos(), QPoint(50, 60));
    EXPECT_EQ(app.desk().dss, 7);
    EXPECT_EQ(app.desk().dshh, "08");
    EXPECT_EQ(app.desk().dsmm, "30");
    EXPECT_TRUE(app.desk().txyybz);
}

TEST_F(WallTest, HiddenMenuOpensTheGuardedToolsThroughTheLauncher) {
    auto* menu = control<QFrame>(wall, "Frame2");
    pressWidget(control<QWidget>(wall, "Image1"), Qt::RightButton, QPoint(150, 200));
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(control<QLabel>(wall, "Label6(0)")->text(), "备忘录 ");
    EXPECT_EQ(control<QLabel>(wall, "Label6(1)")->text(), "日记簿 ");
    EXPECT_EQ(control<QLabel>(wall, "Label6(2)")->text(), "定时器 ");
    moveOver(control<QWidget>(wall, "Label6(1)"));
    EXPECT_TRUE(control<QLabel>(wall, "Label6(1)")->font().bold());
    EXPECT_FALSE(control<QLabel>(wall, "Label6(0)")->font().bold());

    clickWidget(control<QWidget>(wall, "Label6(2)")); // no action
    EXPECT_EQ(app.window(WindowId::Form2), nullptr);
    EXPECT_TRUE(menu->isVisible());

    clickWidget(control<QWidget>(wall, "Label6(0)"));
    EXPECT_FALSE(menu->isVisible());
    auto* launcher = app.windowAs<Form2>(WindowId::Form2);
    ASSERT_NE(launcher, nullptr);
    EXPECT_TRUE(launcher->isVisible());
    // The password panel asks first; nothing opens yet.
    EXPECT_TRUE(control<QFrame>(launcher, "Frame1")->isVisible());
    EXPECT_EQ(app.window(WindowId::Form6), nullptr);

    // Moving over the sheet hides the menu again.
    pressWidget(control<QWidget>(wall, "Image1"), Qt::RightButton, QPoint(150, 200));
    EXPECT_TRUE(menu->isVisible());
    moveOver(control<QWidget>(wall, "Image1"), QPoint(3, 200));
    EXPECT_FALSE(menu->isVisible());
}

TEST_F(WallTest, GettingTheFocusClosesTheLauncher) {
    clickWidget(control<QWidget>(wall, "Image2"));
    ASSERT_NE(app.window(WindowId::Form2), nullptr);
    app.window(WindowId::Form2)->activateWindow();
    processEvents();
    wall->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(wall, 1000));
    flushDeletes();
    EXPECT_EQ(app.window(WindowId::Form2), nullptr);
}

namespace {
// The holiday table in use from the first month picked on.
class WallHolidayTest : public WallTest {
protected:
    QLabel* mark(int i) { return control<QLabel>(wall, arrayName("HolidayMark", i)); }
    QString holidayLine() { return control<QLabel>(wall, "HolidayLine")->text(); }

    DeliveredHolidayTable table;
};
} // namespace

TEST_F(WallHolidayTest, CornerMarksColoursAndTheHolidayLine) {
    pick("List1", "2026");
    pick("List2", "10");
    // 1 October 2026 is a Thursday (cell 4); the holiday runs to the 7th, Saturday the 10th is worked.
    EXPECT_EQ(mark(5)->text(), "休");
    EXPECT_EQ(textColour(cell(5)), kRed); // a Friday off
    EXPECT_EQ(textColour(mark(5)), kRed);
    EXPECT_EQ(mark(13)->text(), "班");
    EXPECT_EQ(textColour(cell(13)), kTeal); // a Saturday worked
    EXPECT_EQ(textColour(mark(13)), QColor(40, 60, 120));
    EXPECT_EQ(mark(11)->text(), "");
    EXPECT_EQ(textColour(cell(11)), kTeal);
    EXPECT_EQ(mark(3)->text(), ""); // an empty cell

    auto* details = control<QLabel>(wall, "Label5");
    moveOver(cell(6));
    EXPECT_EQ(holidayLine(), "国庆节 放假第3天");
    EXPECT_TRUE(details->text().startsWith(" 丙午(马) 2026年 农历8月 ") && details->text().endsWith("日"))
        << details->text().toStdString();
    moveOver(cell(13));
    EXPECT_EQ(holidayLine(), "国庆节 调休上班");
    moveOver(cell(14));
    EXPECT_EQ(holidayLine(), "");
    // A year the table does not know: weekend colours, no marks, and the plain notice.
    pick("List1", "2031");
    EXPECT_EQ(holidayLine(), "2031年的放假安排尚不知道,只按周末显示");
    for (int i = 0; i < kWallCells; ++i)
        EXPECT_EQ(mark(i)->text(), "") << i;
}
