#pragma once
// Keeps the desk and wall calendars where the user left them, from one run to the next: it follows their
// moves, writes the places when the program ends and puts the desk calendar back at the start, on a screen
// that still exists (else at its first-run place).
#include "desktop/calendar_places.h"

#include <QObject>
#include <QPoint>
#include <filesystem>

class Form1;

class CalendarPlaceKeeper : public QObject {
public:
    CalendarPlaceKeeper(Form1& app, std::filesystem::path file, QObject* parent = nullptr);

    // Moves the shown desk calendar to its remembered place (the wall calendar's, when that was the one shown).
    void restore();
    // Writes the places seen; a failure is told on stderr only, as the places are a convenience.
    void save();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form1& m_app;
    std::filesystem::path m_file;
    CalendarPlaces m_places;
};
