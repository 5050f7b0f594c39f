#include "ui/clock_change_watch.h"

#include <QSocketNotifier>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

// A wall-clock timer set far ahead with TFD_TIMER_CANCEL_ON_SET: the kernel cancels it, making the descriptor
// readable, whenever the clock is set or resumes from suspend. It never expires by itself, so it costs no
// wake-up while the clock runs on.
ClockChangeWatch::ClockChangeWatch(QObject* parent) : QObject(parent) {
    m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0)
        return; // no watch: the calendars' next ticks aim again by themselves
    if (!arm()) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_notifier = new QSocketNotifier(static_cast<qintptr>(m_fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        uint64_t expirations = 0;
        // Fails with ECANCELED after a jump; either way the timer must be armed again to hear the next one.
        [[maybe_unused]] ssize_t n = ::read(m_fd, &expirations, sizeof expirations);
        if (!arm())
            m_notifier->setEnabled(false); // a descriptor left cancelled would stay readable for ever
        emit clockChanged();
    });
}

ClockChangeWatch::~ClockChangeWatch() {
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ClockChangeWatch::arm() {
    constexpr time_t kTenYears = 10LL * 366 * 86400;
    itimerspec when{};
    when.it_value.tv_sec = std::time(nullptr) + kTenYears;
    return timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &when, nullptr) == 0;
}
