#include "ui/ui_event_label.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWindow>

EventLabel::EventLabel(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
}

EventLabel::EventLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setMouseTracking(true);
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
    window->move(window->pos() + pos);
}
