#pragma once
// The wall calendar's pictures, drawn in code in the desk calendar's paper style: a hanging month sheet
// with a red title band, and the pointer shown over a day.
#include <QCursor>
#include <QPixmap>
#include <QSize>

// The sheet behind the month: paper with stacked pages, a red band for the title and the lists, and faint
// rules between the week rows (gridTop, rowHeight: where the rows are drawn).
QPixmap wallPagePixmap(QSize size, int bandHeight, int gridTop, int rowHeight);
// A small red pushpin, the pointer over a day.
QCursor dayPointer();
// The icons of the hidden menu: memo, diary, timer.
QPixmap menuItemIcon(int item, int side);
