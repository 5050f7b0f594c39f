// The tools the launcher opens. Each tool window takes the start-up window (Form1&) first.
#include "about/about_window.h"
#include "addressbook/address_book_window.h"
#include "app/form1.h"
#include "app/settings_window.h"
#include "app/show_single.h"
#include "diary/diary_window.h"
#include "encryptor/encryptor_window.h"
#include "memo/memo_book_window.h"
#include "reminder/reminder_popup.h"
#include "wallcal/wall_calendar_window.h"

#include <QGuiApplication>
#include <QScreen>

void Form1::openSettings() {
    showSingle<Form9>(WindowId::Form9);
}

void Form1::openAbout() {
    showSingle<frmAbout>(WindowId::FrmAbout);
}

void Form1::openEncryptor() {
    showSingle<Form10>(WindowId::Form10);
}

void Form1::openAddressBook() {
    showSingle<Form8>(WindowId::Form8);
}

void Form1::openDiary(int year, int month, int day) {
    showSingle<Form5>(WindowId::Form5, year, month, day);
}

void Form1::openMemoBook() {
    showSingle<Form6>(WindowId::Form6);
}

Form7* Form1::showReminder(const AnnouncedMemo& memo) {
    // A pop-up closed a moment ago waits for its deletion: never hand that one out again.
    if (QWidget* closing = window(WindowId::Form7); closing && !closing->isVisible())
        delete closing;
    Form7* popup = showSingle<Form7>(WindowId::Form7);
    popup->announce(memo);
    return popup;
}

void Form1::openWallCalendar(const QPoint& pos) {
    Form4* wall = showSingle<Form4>(WindowId::Form4);
    // It takes the desk calendar's place, moved back inside the screen when it is wider than the desk calendar.
    QPoint place = pos;
    if (QScreen* s = QGuiApplication::screenAt(pos + QPoint(1, 1))) {
        const QRect area = s->availableGeometry();
        place.setX(qMax(area.left(), qMin(place.x(), area.right() + 1 - wall->width())));
        place.setY(qMax(area.top(), qMin(place.y(), area.bottom() + 1 - wall->height())));
    }
    wall->move(place);
}
