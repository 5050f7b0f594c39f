#include "ui/ui_event_label.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>
#include <algorithm>

// The labels show memo, card and diary texts as typed: markup in them is text, not formatting.
EventLabel::EventLabel(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
}

EventLabel::EventLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
}

void EventLabel::mousePressEvent(QMouseEvent* e) {
    emit pressed(e->button(), e->position().toPoint());
}

void EventLabel::mouseMoveEvent(QMouseEvent* e) {
    emit moved(e->buttons(), e->position().toPoint());
}

void EventLabel::mouseReleaseEvent(QMouseEvent* e) {
    emit released(e->button(), e->position().toPoint());
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
}

void EventLabel::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        emit doubleClicked();
}

void EventLabel::enterEvent(QEnterEvent*) {
    emit entered();
}

void EventLabel::leaveEvent(QEvent*) {
    emit left();
}

// A window dragged towards an edge keeps its top strip on the screens, so it can always be dragged back.
static QPoint keptReachable(QWidget* window, QPoint topLeft) {
    constexpr int kGrip = 40;  // the width of its top strip that stays visible
    constexpr int kStrip = 20; // the height of the strip
    QScreen* screen = window->screen();
    if (!screen)
        return topLeft;
    const QRect area = screen->availableVirtualGeometry();
    topLeft.setX(std::clamp(topLeft.x(), area.left() - window->width() + kGrip, area.right() + 1 - kGrip));
    topLeft.setY(std::clamp(topLeft.y(), area.top(), area.bottom() + 1 - kStrip));
    return topLeft;
}

void dragWindowBy(QWidget* control, Qt::MouseButtons buttons, QPoint pos) {
    if (!(buttons & Qt::LeftButton))
        return;
    QWidget* window = control->window();
    // Wayland does not let a program place its windows: hand the move to the compositor there.
    if (QGuiApplication::platformName().startsWith("wayland")) {
        if (window->windowHandle())
            window->windowHandle()->startSystemMove();
        return;
    }
    window->move(keptReachable(window, window->pos() + pos));
}
