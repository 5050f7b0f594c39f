#pragma once
// A measuring seam for bench/measure_app.sh. With QUILLET_REPORT_CLOCK set in the environment, every change of
// a calendar's time text goes to stderr with its lag: how long after the start of its second the text turned.
// A change that skips a second counts from the second it should have turned at, so a late tick shows in full.
#include "common/clock.h"

#include <cstdint>
#include <optional>

class TimeTextProbe {
public:
    explicit TimeTextProbe(const char* control);
    // The text now shows `now` (the clock reading it was composed from).
    void shown(const LocalDateTime& now);
    // The lag of a text turning to `now` after it showed `previous` (none for the first text), in ms.
    static int64_t lagMs(const std::optional<LocalDateTime>& previous, const LocalDateTime& now);

private:
    const char* m_control;
    bool m_enabled;
    std::optional<LocalDateTime> m_previous;
};
