#include "common/clock_face.h"

ClockFace::Turn ClockFace::turn(const LocalDateTime& now) {
    Turn t;
    t.date = !m_shown || now.year != m_shown->year || now.month != m_shown->month || now.day != m_shown->day;
    t.hour = t.date || now.hour != m_shown->hour;
    t.second = t.hour || now.minute != m_shown->minute || now.second != m_shown->second;
    m_shown = now;
    return t;
}
