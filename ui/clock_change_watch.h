#pragma once
// Tells when the wall clock jumps: set by hand or by time synchronisation, or moved on by a resume from
// suspend. The calendars aim single-shot timers at the clock's next second or minute; the timers count on the
// steady clock, so after a jump the calendars aim them again at once.
#include <QObject>

class QSocketNotifier;

class ClockChangeWatch : public QObject {
    Q_OBJECT
public:
    explicit ClockChangeWatch(QObject* parent = nullptr);
    ~ClockChangeWatch() override;

signals:
    void clockChanged();

private:
    bool arm();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};
