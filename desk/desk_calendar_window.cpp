#include "desk/desk_calendar_window.h"

#include "calendar/holidays.h"
#include "desk/desk_texts.h"
#include "reminder/music.h"
#include "reminder/reminder_popup.h"
#include "ui/calendar_artwork.h"
#include "ui/clock_change_watch.h"
#include "ui/launcher_placement.h"
#include "ui/program.h"
#include "ui/ui_event_label.h"
#include "ui/ui_names.h"
#include "ui/ui_style.h"
#include "ui/ui_timer.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QFrame>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace {
constexpr int kWidth = 180;
constexpr int kHeight = 252;
constexpr int kStrip = 22;

EventLabel* textLabel(QWidget* parent, const QString& name, QRect geometry, const QFont& font, QColor colour) {
    auto* label = named(new EventLabel(parent), name);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    return label;
}

// Timer2 and Timer3: named single-shot QTimers of the window.
class WindowShot : public ShotTimer {
public:
    WindowShot(QObject* window, const char* name, std::function<void()> fired)
        : m_timer(singleShotTimer(window, name)) {
        QObject::connect(m_timer, &QTimer::timeout, window, std::move(fired));
    }
    void start(int msec) override {
        m_timer->start(msec);
        m_started.start();
    }
    void stop() override { m_timer->stop(); }
    bool isActive() const override { return m_timer->isActive(); }
    int64_t msecSinceStart() const override { return m_started.elapsed(); }

private:
    QTimer* m_timer;
    QElapsedTimer m_started;
};
} // namespace

Form3::Form3(ProgramHost& app, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_app(app),
      m_timers(app.desk(), app.music(), app.clock()) {
    setObjectName("Form3");
    setWindowTitle("☆Quillet>>台历");
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(kWidth, kHeight);
    buildControls();

    // Each load raises the music flag; the other members keep their values across openings.
    m_app.desk().txyybz = true;

    m_timer1 = singleShotTimer(this, "Timer1");
    connect(m_timer1, &QTimer::timeout, this, &Form3::refreshClock);
    m_timers.onMemoCheck = [this] { runDeskMemoCheck(m_app); };
    // An alarm that clears itself makes a launcher that is only hidden read "定时器 " again.
    m_timers.onAlarmExpired = [this] { m_app.refreshLauncherAlarmCaption(); };
    m_timer2 = std::make_unique<WindowShot>(this, "Timer2", [this] { m_timers.timer2Fired(); });
    m_timer3 = std::make_unique<WindowShot>(this, "Timer3", [this] { m_timers.timer3Fired(); });
    connect(&m_app.clockWatch(), &ClockChangeWatch::clockChanged, this, [this] {
        refreshClock();
        m_timers.stateChanged();
    });
    refreshClock();
    m_timers.start(*m_timer2, *m_timer3);
}

Form3::~Form3() {
    m_timers.keepSleptSeconds();
}

void Form3::deskStateChanged() {
    m_timers.stateChanged();
}

void Form3::buildControls() {
    m_image1 = named(new EventLabel(this), "Image1");
    m_image1->setGeometry(0, kStrip - 6, kWidth, kHeight - kStrip + 6);
    m_image1->setPixmap(deskPagePixmap(m_image1->size()));
    m_image3 = named(new EventLabel(this), "Image3");
    m_image3->setGeometry(6, 0, kWidth - 12, kStrip);
    m_image3->setPixmap(bindingStripPixmap(m_image3->size()));
    m_image3->setCursor(Qt::SizeAllCursor);

    m_frame1 = named(new QFrame(this), "Frame1");
    m_frame1->setGeometry(0, kStrip, kWidth, kHeight - kStrip - 8);
    m_frame1->setAttribute(Qt::WA_TransparentForMouseEvents, false);

    const QColor ink(50, 40, 30), red(196, 32, 38);
    m_label1 = textLabel(m_frame1, "Label1", QRect(30, 0, 120, 22), uiFont(11, true), Qt::white);
    m_label2[0] = textLabel(m_frame1, arrayName("Label2", 0), QRect(20, 24, 120, 84), displayFont(72), red);
    m_label2[1] = textLabel(m_frame1, arrayName("Label2", 1), QRect(136, 76, 26, 26), uiFont(12, true), red);
    m_label5 = textLabel(m_frame1, "Label5", QRect(10, 108, 160, 24), uiFont(13, true), ink);
    m_label4 = textLabel(m_frame1, "Label4", QRect(4, 140, 172, 20), uiFont(10), ink);
    m_label6 = textLabel(m_frame1, "Label6", QRect(4, 160, 172, 20), uiFont(10), ink);
    m_label3 = textLabel(m_frame1, "Label3", QRect(30, 190, 120, 22), uiFont(11, true), QColor(30, 60, 120));
    m_label3->setCursor(Qt::SizeAllCursor);
    m_holidayMark = textLabel(m_frame1, "HolidayMark", QRect(138, 46, 24, 24), uiFont(12, true), red);

    m_image4 = named(new EventLabel(m_frame1), "Image4");
    m_image4->setGeometry(8, 1, 20, 20);
    m_image4->setPixmap(wallCalendarIconPixmap(20));
    m_image4->setToolTip("挂历");
    m_image4->setCursor(Qt::PointingHandCursor);
    m_image2 = named(new EventLabel(m_frame1), "Image2");
    m_image2->setGeometry(kWidth - 28, 1, 20, 20);
    m_image2->setPixmap(launcherIconPixmap(20));
    m_image2->setToolTip("菜单");
    m_image2->setCursor(Qt::PointingHandCursor);

    connect(m_image3, &EventLabel::moved, this,
            [this](Qt::MouseButtons b, QPoint pos) { dragWindowBy(m_image3, b, pos); });
    connect(m_label3, &EventLabel::moved, this,
            [this](Qt::MouseButtons b, QPoint pos) { dragWindowBy(m_label3, b, pos); });
    // The texts and icons lie over the page picture: a right press anywhere on the page opens the launcher.
    m_image1->installEventFilter(this);
    m_frame1->installEventFilter(this);
    for (QWidget* child : m_frame1->findChildren<QWidget*>())
        child->installEventFilter(this);
    connect(m_image2, &EventLabel::clicked, this, [this] {
        QWidget* launcher = m_app.launcher();
        QScreen* s = screen();
        openLauncherAt(launcherPositionFromIcon(launcher->size(), s ? s->geometry().height() : 768));
    });
    // The desk calendar only hides behind the wall calendar: its memo check and alarm go on.
    connect(m_image4, &EventLabel::clicked, this, [this] {
        m_app.openWallCalendar(pos());
        hide();
    });
}

void Form3::refreshClock() {
    const LocalDateTime now = m_app.clock().now();
    const ClockFace::Turn turn = m_face.turn(now);
    if (turn.date) {
        DeskTexts t = composeDeskTexts(m_calendarX1, now.year, now.month, now.day);
        m_label1->setText(QString::fromStdString(t.label1));
        m_label2[0]->setText(QString::fromStdString(t.label2));
        m_label2[1]->setText("日");
        m_label5->setText(QString::fromStdString(t.label5));
        m_label4->setText(QString::fromStdString(t.label4));
        m_label6->setText(QString::fromStdString(t.label6));
        showHolidayMark(now);
    }
    if (turn.second) {
        m_label3->setText(QString::fromStdString(timeOfDayText(now)));
        m_probe.shown(now);
    }
    m_timer1->start(msecToNextSecond(now));
}

void Form3::showHolidayMark(const LocalDateTime& today) {
    const DayMark mark = holidayCalendar().mark(today.year, today.month, today.day);
    m_holidayMark->setText(QString::fromUtf8(mark.mark().data(), qsizetype(mark.mark().size())));
    // A year the table does not know has no marks; the mark's place tells why when the pointer rests on it.
    m_holidayMark->setToolTip(QString::fromStdString(
        holidayCalendar().knows(today.year) ? holidayText(mark) : unknownYearNotice(today.year)));
    QPalette p = m_holidayMark->palette();
    p.setColor(QPalette::WindowText, mark.kind == DayOff::MakeUpWorkday ? QColor(40, 60, 120) : QColor(196, 32, 38));
    m_holidayMark->setPalette(p);
}

QPoint Form3::launcherPositionFromIcon(QSize launcherSize, int screenHeight) const {
    const QRect icon(m_image2->mapTo(this, QPoint(0, 0)), m_image2->size());
    return launcherBesideIcon(pos(), icon, launcherSize, screenHeight);
}

void Form3::openLauncherAt(QPoint topLeft) {
    QWidget* launcher = m_app.launcher();
    // The calendar stands at the screen's right edge: a press near it would put part of the menu off the screen.
    if (QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        topLeft.setX(qMax(area.left(), qMin(topLeft.x(), area.right() + 1 - launcher->width())));
        topLeft.setY(qMax(area.top(), qMin(topLeft.y(), area.bottom() + 1 - launcher->height())));
    }
    launcher->move(topLeft);
    launcher->show();
    launcher->raise();
    launcher->activateWindow();
}

bool Form3::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton) {
        const QPoint at =
            static_cast<QWidget*>(watched)->mapTo(this, static_cast<QMouseEvent*>(e)->position().toPoint());
        openLauncherAt(pos() + at);
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void Form3::changeEvent(QEvent* e) {
    // Clicking the desk calendar dismisses the launcher.
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        m_app.calendarActivated();
    QWidget::changeEvent(e);
}
