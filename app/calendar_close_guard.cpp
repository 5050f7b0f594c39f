#include "app/calendar_close_guard.h"

#include "app/form1.h"
#include "ui/ui_prompts.h"

#include <QCloseEvent>
#include <QTimer>
#include <QWidget>

CalendarCloseGuard::CalendarCloseGuard(Form1& app, std::function<bool()> hasTray, QObject* parent)
    : QObject(parent), m_app(app), m_hasTray(std::move(hasTray)) {}

bool CalendarCloseGuard::eventFilter(QObject* watched, QEvent* event) {
    // Only the window manager's close (Alt+F4, the title bar's button) is spontaneous.
    if (event->type() != QEvent::Close || !event->spontaneous())
        return false;
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow() ||
        (window != m_app.window(WindowId::Form3) && window != m_app.window(WindowId::Form4)))
        return false;
    event->ignore();
    if (m_hasTray()) {
        window->hide();
        return true;
    }
    const NoticeAnswer answer = Prompts::show(
        window, Notice{"提醒", "关闭日历将退出 Quillet,确定吗?", NoticeIcon::Question, NoticeButtons::YesNo});
    if (answer == NoticeAnswer::Yes)
        QTimer::singleShot(0, &m_app, [app = &m_app] { app->exitProgram(); }); // after this close has unwound
    return true;
}
