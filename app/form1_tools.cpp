// The tools the launcher opens. Each tool window takes the start-up window (Form1&) first.
#include "app/form1.h"
#include "app/show_single.h"
#include "encryptor/encryptor_window.h"

void Form1::openSettings() {}

void Form1::openAbout() {}

void Form1::openEncryptor() {
    showSingle<Form10>(WindowId::Form10);
}

void Form1::openAddressBook() {}

void Form1::openDiary(int year, int month, int day) {
    (void)year;
    (void)month;
    (void)day;
}

void Form1::openMemoBook() {}

void Form1::openWallCalendar(const QPoint& pos) { (void)pos; }
