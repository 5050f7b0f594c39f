#pragma once
// Form4: the wall calendar. It takes the desk calendar's place: one month of 1900..2049 in six week rows,
// the details of the day under the mouse, the time of day, the launcher beside Image2, and Image4 back to
// the desk calendar. A right-button press on the sheet opens the small menu Frame2 at the pointer.
#include "common/clock_face.h"
#include "common/time_text_probe.h"
#include "wallcal/wall_calendar.h"

#include <QWidget>

class EventLabel;
class ProgramHost;
class QFrame;
class QLabel;
class QListWidget;
class QTimer;

class Form4 : public QWidget {
    Q_OBJECT
public:
    explicit Form4(ProgramHost& app, QWidget* parent = nullptr);

    const WallCalendar& model() const { return m_model; }
    // Where the launcher goes when Image2 is clicked, for a launcher of the given size (pixels).
    QPoint launcherPositionFromIcon(QSize launcherSize, int screenHeight) const;

protected:
    void changeEvent(QEvent* e) override;

private:
    // Label7 := the time of day when its second has turned; aims Timer1 at the next (the Timer1 tick).
    void refreshClock();
    void buildPicturesAndHeader();
    void buildLists();
    void buildGrid();
    void buildMenu();
    void showCells();
    void paintCells();
    void showHolidayLine();
    void hoverCell(int cell);
    void hoverSheet();
    void showLauncher();
    void backToDeskCalendar();
    void showMenuAt(QPoint pos);
    void highlightMenuItem(int item);
    void clickMenuItem(int item);

    ProgramHost& m_app;
    WallCalendar m_model;
    QFrame* m_frame1;
    EventLabel* m_image1;
    EventLabel* m_image2;
    EventLabel* m_image3;
    EventLabel* m_image4;
    EventLabel* m_label4;
    EventLabel* m_label5;
    QLabel* m_label7;
    QLabel* m_label1[2];
    QLabel* m_label2[7];
    EventLabel* m_label3[kWallCells];
    QLabel* m_holidayMark[kWallCells]; // "休" or "班" in the corner of each day cell
    QLabel* m_holidayLine;             // the highlighted day's holiday, under Label5
    QListWidget* m_list1;
    QListWidget* m_list2;
    QTimer* m_timer1;
    QFrame* m_frame2;
    EventLabel* m_label6[3];
    QLabel* m_image5[3];
    ClockFace m_face;
    TimeTextProbe m_probe{"Label7"};
};
