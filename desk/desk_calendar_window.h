#pragma once
// Form3: the small desk calendar that stays on the desktop for the whole run. It carries the clock refresh
// (Timer1), the memo check (Timer2) and the alarm timer (Timer3). Each is a single shot aimed at its next
// moment of work, so that the idle calendar wakes once a second, for the time text: Timer1 at every turn of the
// clock's second, Timer2 when the memo check is due (every second only while a tune may need closing), Timer3
// at every turn of the minute (every 900 ms through a ringing alarm minute). A jump of the clock aims them anew.
// The window lives for the whole run: behind the wall calendar, or closed to the tray, it is only hidden, so
// that reminders and the alarm keep coming whichever window shows.
#include "calendar/calendar_x.h"
#include "common/clock_face.h"
#include "common/time_text_probe.h"
#include "desk/desk_timers.h"

#include <QWidget>
#include <memory>

class EventLabel;
class ProgramHost;
class QFrame;
class QTimer;

class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(ProgramHost& app, QWidget* parent = nullptr);
    ~Form3() override;

    DeskTimers& timers() { return m_timers; }
    // Rewrites the captions that the clock has changed and aims Timer1 at the next second (the Timer1 tick).
    void refreshClock();
    // The alarm or the memo-check interval changed: the alarm is looked at now and Timer2 aimed anew.
    void deskStateChanged();
    // Where the launcher goes when Image2 is clicked, for a launcher of the given size (pixels).
    QPoint launcherPositionFromIcon(QSize launcherSize, int screenHeight) const;

protected:
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildControls();
    void showHolidayMark(const LocalDateTime& today);
    void openLauncherAt(QPoint topLeft);

    ProgramHost& m_app;
    CalendarX m_calendarX1;
    DeskTimers m_timers;
    EventLabel* m_image1;
    EventLabel* m_image2;
    EventLabel* m_image3;
    EventLabel* m_image4;
    QFrame* m_frame1;
    EventLabel* m_label1;
    EventLabel* m_label2[2];
    EventLabel* m_label3;
    EventLabel* m_label4;
    EventLabel* m_label5;
    EventLabel* m_label6;
    EventLabel* m_holidayMark; // "休" or "班" beside the day, from the holiday table
    QTimer* m_timer1;
    std::unique_ptr<ShotTimer> m_timer2;
    std::unique_ptr<ShotTimer> m_timer3;
    ClockFace m_face;
    TimeTextProbe m_probe{"Label3"};
};
