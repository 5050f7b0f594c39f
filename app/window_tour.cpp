#include "app/window_tour.h"

#include "addressbook/photo_picker_window.h"
#include "app/form1.h"
#include "app/launcher_model.h"
#include "app/launcher_window.h"
#include "common/numeric_text.h"
#include "desk/desk_calendar_window.h"
#include "diary/diary_book.h"
#include "reminder/memo_reminder.h"
#include "reminder/reminder_popup.h"
#include "ui/ui_names.h"
#include "wallcal/wall_calendar_window.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

// Each step opens (or changes) a window and names the window to photograph, or nothing.
struct Step {
    QString picture;
    std::function<QWidget*()> run;
};

void storeSampleDiary(Form1& app) {
    const LocalDateTime now = app.clock().now();
    const std::string year = std::to_string(now.year), month = twoDigits(now.month);
    if (std::filesystem::exists(diaryMonthFile({}, year, month)))
        return;
    DiaryBook book(app.clock());
    const char* entries[] = {"去图书馆还书，顺路买了新的笔记本。", "和老同学吃饭，聊起大学时的趣事。",
                             "整理了通讯录，补上几个新电话。"};
    for (int back = 2; back >= 0; --back) // today and the two days before, as far as the month goes
        if (now.day - back >= 1)
            book.SaveDay(year, month, twoDigits(now.day - back), entries[2 - back], app.state().password);
}

void runSteps(std::shared_ptr<std::vector<Step>> steps, size_t index, QString folder, Form1* app) {
    if (index == steps->size()) {
        app->exitProgram();
        return;
    }
    QWidget* shown = (*steps)[index].run();
    // Give the window time to lay out and paint before its picture is taken.
    QTimer::singleShot(400, app, [steps, index, folder, app, w = QPointer<QWidget>(shown)] {
        if (w) {
            const QString file = QDir(folder).filePath((*steps)[index].picture + ".png");
            if (!w->grab().save(file, "PNG"))
                std::fprintf(stderr, "could not save %s\n", qPrintable(file));
        }
        runSteps(steps, index + 1, folder, app);
    });
}

// The pointer rests on today's cell, so that the picture shows the details and holiday lines under the grid.
void restPointerOnToday(Form4* wall) {
    for (int i = 0; wall && i < kWallCells; ++i)
        if (QWidget* cell = wall->findChild<QWidget*>(arrayName("Label3", i)); cell && wall->model().isMarked(i)) {
            QMouseEvent move(QEvent::MouseMove, QPointF(4, 4), cell->mapToGlobal(QPointF(4, 4)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(cell, &move);
        }
}

} // namespace

void startWindowTour(Form1& app, const QString& folder) {
    QDir().mkpath(folder);
    Form1* a = &app;
    auto close = [a](WindowId id) {
        if (QWidget* w = a->window(id))
            w->close();
    };
    auto launcherWith = [a](int item) -> QWidget* {
        Form2* launcher = a->launcher();
        QWidget* desk = a->window(WindowId::Form3);
        launcher->move(desk ? desk->pos() - QPoint(launcher->width(), 0) : QPoint(100, 100));
        launcher->show();
        if (item >= 0)
            launcher->clickItem(item);
        return launcher;
    };
    auto steps = std::make_shared<std::vector<Step>>(std::vector<Step>{
        {"desk-calendar", [a] { return static_cast<QWidget*>(a->showDeskCalendar()); }},
        {"launcher", [launcherWith] { return launcherWith(-1); }},
        {"launcher-password", [launcherWith] { return launcherWith(ItemMemoBook); }},
        {"launcher-alarm", [launcherWith] { return launcherWith(ItemAlarm); }},
        {"memo-book",
         [a] {
             a->closeLauncher();
             a->openMemoBook();
             return a->window(WindowId::Form6);
         }},
        {"reminder",
         [a, close] {
             close(WindowId::Form6);
             return static_cast<QWidget*>(
                 a->showReminder(AnnouncedMemo{"1", "下午三点到会议室开项目例会，带上季度报表。", "", 1}));
         }},
        {"wall-calendar",
         [a, close] {
             close(WindowId::Form7);
             a->openWallCalendar(QPoint(200, 100));
             restPointerOnToday(a->windowAs<Form4>(WindowId::Form4));
             return a->window(WindowId::Form4);
         }},
        {"diary",
         [a, close] {
             close(WindowId::Form4);
             a->showDeskCalendar();
             storeSampleDiary(*a);
             const LocalDateTime now = a->clock().now();
             a->openDiary(now.year, now.month, now.day);
             return a->window(WindowId::Form5);
         }},
        {"address-book",
         [a, close] {
             close(WindowId::Form5);
             a->openAddressBook();
             return a->window(WindowId::Form8);
         }},
        {"photo-picker",
         [a] {
             auto* picker = new Form11(*a);
             picker->setAttribute(Qt::WA_DeleteOnClose);
             picker->show();
             QTimer::singleShot(600, picker, &QWidget::close);
             return picker;
         }},
        {"scrambler",
         [a, close] {
             close(WindowId::Form8);
             a->openEncryptor();
             return a->window(WindowId::Form10);
         }},
        {"settings",
         [a, close] {
             close(WindowId::Form10);
             a->openSettings();
             return a->window(WindowId::Form9);
         }},
        {"about",
         [a, close] {
             close(WindowId::Form9);
             a->openAbout();
             return a->window(WindowId::FrmAbout);
         }},
    });
    QTimer::singleShot(800, &app, [steps, folder, a] { runSteps(steps, 0, folder, a); });
}
