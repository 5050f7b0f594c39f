#include "app/calendar_place_keeper.h"

#include "app/form1.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cstdio>
#include <optional>

namespace {
// The place moved inside the screen that holds the window's middle; none when no screen does.
std::optional<QPoint> onAScreen(QPoint place, QSize size) {
    QScreen* screen = QGuiApplication::screenAt(place + QPoint(size.width() / 2, size.height() / 2));
    if (!screen)
        return std::nullopt;
    const QRect area = screen->availableGeometry();
    return QPoint(qBound(area.left(), place.x(), qMax(area.left(), area.right() + 1 - size.width())),
                  qBound(area.top(), place.y(), qMax(area.top(), area.bottom() + 1 - size.height())));
}
} // namespace

CalendarPlaceKeeper::CalendarPlaceKeeper(Form1& app, std::filesystem::path file, QObject* parent)
    : QObject(parent), m_app(app), m_file(std::move(file)), m_places(readCalendarPlaces(m_file)) {
    // The launcher's and the tray's exit, and the end of the desktop session.
    connect(&m_app, &Form1::exitRequested, this, [this] { save(); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { save(); });
}

void CalendarPlaceKeeper::restore() {
    QWidget* desk = m_app.window(WindowId::Form3);
    if (!desk)
        return;
    const std::optional<ScreenPoint> saved = m_places.wallShown && m_places.wall ? m_places.wall : m_places.desk;
    if (saved)
        if (std::optional<QPoint> place = onAScreen(QPoint(saved->x, saved->y), desk->size()))
            desk->move(*place);
    m_places.desk = ScreenPoint{desk->x(), desk->y()};
    m_places.wallShown = false;
}

void CalendarPlaceKeeper::save() {
    // The windows' own places: a move may still wait in the event queue.
    if (QWidget* desk = m_app.window(WindowId::Form3))
        m_places.desk = ScreenPoint{desk->x(), desk->y()};
    if (QWidget* wall = m_app.window(WindowId::Form4))
        m_places.wall = ScreenPoint{wall->x(), wall->y()};
    if (auto problem = writeCalendarPlaces(m_file, m_places))
        std::fprintf(stderr, "quillet: %s\n", problem->c_str());
}

bool CalendarPlaceKeeper::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::Move && type != QEvent::Show)
        return false;
    auto* window = qobject_cast<QWidget*>(watched);
    const bool desk = window && window == m_app.window(WindowId::Form3);
    if (!desk && !(window && window == m_app.window(WindowId::Form4)))
        return false;
    (desk ? m_places.desk : m_places.wall) = ScreenPoint{window->x(), window->y()};
    if (type == QEvent::Show)
        m_places.wallShown = !desk;
    return false;
}
