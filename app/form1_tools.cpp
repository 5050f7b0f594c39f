// The tools the launcher opens. Each tool window takes the start-up window (Form1&) first.
#include "app/form1.h"
#include "app/show_single.h"
#include "diary/diary_window.h"

void Form1::openSettings() {}

void Form1::openAbout() {}

void Form1::openEncryptor() {}

void Form1::openAddressBook() {}

void Form1::openDiary(int year, int month, int day) {
    showSingle<Form5>(WindowId::Form5, year, month, day);
}

void Form1::openMemoBook() {}

void Form1::openWallCalendar(const QPoint& pos) { (void)pos; }
