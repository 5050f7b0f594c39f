#pragma once
// The calendars' pictures, drawn in code: a paper desk-calendar page, its binding strip and small icons.
#include <QPixmap>
#include <QSize>

QPixmap deskPagePixmap(QSize size);
QPixmap bindingStripPixmap(QSize size);
QPixmap launcherIconPixmap(int side);
QPixmap wallCalendarIconPixmap(int side);
QPixmap deskCalendarIconPixmap(int side);
