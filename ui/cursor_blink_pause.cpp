#include "ui/cursor_blink_pause.h"

#include <QApplication>
#include <QEvent>
#include <QStyleHints>

CursorBlinkPause::CursorBlinkPause(int idleMs, QObject* parent)
    : QObject(parent), m_flashTime(QGuiApplication::styleHints()->cursorFlashTime()) {
    m_idle.setSingleShot(true);
    m_idle.setInterval(idleMs);
    connect(&m_idle, &QTimer::timeout, this, &CursorBlinkPause::pause);
    qApp->installEventFilter(this);
    m_idle.start();
}

CursorBlinkPause::~CursorBlinkPause() {
    resume();
}

bool CursorBlinkPause::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::InputMethod:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
        resume();
        m_idle.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void CursorBlinkPause::pause() {
    if (m_paused || m_flashTime < 2)
        return;
    m_paused = true;
    QApplication::setCursorFlashTime(0); // a flash time of 0 keeps the cursor shown without a timer
}

void CursorBlinkPause::resume() {
    if (!m_paused)
        return;
    m_paused = false;
    QApplication::setCursorFlashTime(m_flashTime);
}
