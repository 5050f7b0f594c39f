#pragma once
// For scripts/screenshots: opens every window of the program in turn, saves a picture of each into a folder
// (desk-calendar.png, launcher.png, ...) and then ends the program as the launcher's exit does. Started by
// the QUILLET_WINDOW_TOUR variable; a diary month of samples is stored first when the month has none.
#include <QString>

class Form1;

void startWindowTour(Form1& app, const QString& folder);
