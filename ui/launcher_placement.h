#pragma once
// Where the launcher opens from a calendar's menu icon: to the left of the icon, its top level with the
// calendar's top, or opening upward from the icon when the calendar stands within 4000 twips of the
// bottom of the screen. Positions in pixels; the rule is designed in twips.
#include "ui/twips.h"

#include <QPoint>
#include <QRect>
#include <QSize>

constexpr int kLauncherNearBottomTwips = 4000;

// windowPos: the calendar's top-left on the screen; icon: the icon's rectangle inside the calendar.
inline QPoint launcherBesideIcon(QPoint windowPos, QRect icon, QSize launcherSize, int screenHeight) {
    int top = windowPos.y();
    if (pxToTwips(windowPos.y()) >= pxToTwips(screenHeight) - kLauncherNearBottomTwips)
        top = windowPos.y() + icon.height() - launcherSize.height();
    return QPoint(windowPos.x() + icon.x() - launcherSize.width(), top);
}
