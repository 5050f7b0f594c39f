#pragma once
// What a clock display must redraw at a clock reading: the date texts when the day has turned, the time text
// when the second has, the hour fields when the hour has. The first reading redraws everything; a clock set
// back counts as a turn like any other change.
#include "common/clock.h"

#include <optional>

class ClockFace {
public:
    struct Turn {
        bool date = false;
        bool hour = false;
        bool second = false;
    };
    Turn turn(const LocalDateTime& now);

private:
    std::optional<LocalDateTime> m_shown;
};
