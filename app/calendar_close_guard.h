#pragma once
// Closing the desk or wall calendar through the window manager must not leave the program running with no
// window to reach it by: with a tray icon the calendar only hides; without one the close counts as the
// launcher's exit, asked first. Closes the program makes itself (the wall calendar's back button, the exit
// item) pass untouched.
#include <QObject>
#include <functional>

class Form1;

class CalendarCloseGuard : public QObject {
public:
    // `hasTray` tells whether a tray icon stands in the panel at the time of the close.
    CalendarCloseGuard(Form1& app, std::function<bool()> hasTray, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form1& m_app;
    std::function<bool()> m_hasTray;
};
