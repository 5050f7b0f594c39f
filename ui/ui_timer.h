#pragma once
// The windows' timers are single shots aimed at the moment something can next change (the clock's next second,
// minute or hour, a lock that changed) and aimed again after each tick, so that an idle window does not wake.
// Precise: a coarse timer may fire up to 5 % late, a visible lag on the time of day.
#include "ui/ui_names.h"

#include <QTimer>

inline QTimer* singleShotTimer(QObject* parent, const char* name) {
    auto* timer = named(new QTimer(parent), name);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    return timer;
}
