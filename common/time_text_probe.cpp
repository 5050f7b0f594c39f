#include "common/time_text_probe.h"

#include <cstdio>
#include <cstdlib>

namespace {
int64_t epochSeconds(const LocalDateTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}
} // namespace

TimeTextProbe::TimeTextProbe(const char* control)
    : m_control(control), m_enabled(std::getenv("QUILLET_REPORT_CLOCK") != nullptr) {}

int64_t TimeTextProbe::lagMs(const std::optional<LocalDateTime>& previous, const LocalDateTime& now) {
    // A clock set back starts afresh, like the first text.
    if (!previous || epochSeconds(now) <= epochSeconds(*previous))
        return now.msec;
    return (epochSeconds(now) - epochSeconds(*previous) - 1) * 1000 + now.msec;
}

void TimeTextProbe::shown(const LocalDateTime& now) {
    if (!m_enabled)
        return;
    std::fprintf(stderr, "time text %s %s lag %lld ms\n", m_control, timeOfDayText(now).c_str(),
                 static_cast<long long>(lagMs(m_previous, now)));
    m_previous = now;
}
