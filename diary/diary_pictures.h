#pragma once
// The diary window's button pictures, drawn rather than loaded: export (a page with an arrow), save (a disk)
// and close (a cross), each in a normal and a highlighted look, and the book that decorates the window.
#include <QPixmap>

enum class DiaryButton { Export = 0, Save = 1, Close = 2 };

QPixmap diaryButtonPicture(DiaryButton button, bool highlighted, int side = 32);
QPixmap diaryBookPicture(int side = 32);
