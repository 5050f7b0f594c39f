#pragma once
// Form3: the small desk calendar that stays on the desktop for the whole run. It carries the clock refresh
// (Timer1, 10 ms), the memo check (Timer2, 1 s) and the alarm timer (Timer3, 900 ms).
#include "calendar/calendar_x.h"
#include "desk/desk_timers.h"

#include <QWidget>

class EventLabel;
class ProgramHost;
class QFrame;
class QTimer;

class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(ProgramHost& app, QWidget* parent = nullptr);

    DeskTimers& timers() { return m_timers; }
    // Rewrites every caption from the clock (the Timer1 tick).
    void refreshClock();
    // Where the launcher goes when Image2 is clicked, for a launcher of the given size (pixels).
    QPoint launcherPositionFromIcon(QSize launcherSize, int screenHeight) const;

protected:
    void changeEvent(QEvent* e) override;

private:
    void buildControls();
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
    QTimer* m_timer1;
    QTimer* m_timer2;
    QTimer* m_timer3;
};
