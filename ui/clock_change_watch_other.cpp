#include "ui/clock_change_watch.h"

// No notice of clock changes on this system: the calendars' next ticks find the jump and aim again.
ClockChangeWatch::ClockChangeWatch(QObject* parent) : QObject(parent) {}

ClockChangeWatch::~ClockChangeWatch() = default;

bool ClockChangeWatch::arm() {
    return false;
}
