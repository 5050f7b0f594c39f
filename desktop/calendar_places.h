#pragma once
// Where the user left the desk and wall calendars, kept across runs in the user's configuration folder
// (${XDG_CONFIG_HOME:-~/.config}/quillet/places), not in the data folder: a place belongs to the screen, not
// to the data. One line each: "desk X Y", "wall X Y" (pixels) and "shown desk" or "shown wall".
#include "desktop/data_folder.h"

#include <filesystem>
#include <optional>
#include <string>

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

struct CalendarPlaces {
    std::optional<ScreenPoint> desk;
    std::optional<ScreenPoint> wall;
    bool wallShown = false; // the wall calendar was the calendar on the screen at the end of the run
    bool operator==(const CalendarPlaces&) const = default;
};

// Empty when neither XDG_CONFIG_HOME nor HOME names a folder.
std::filesystem::path calendarPlacesFile(const EnvLookup& env);
// A missing or unreadable file, and lines it does not know, give no place.
CalendarPlaces readCalendarPlaces(const std::filesystem::path& file);
// Rewrites the file whole (its folder made when missing); the path and the reason on failure.
std::optional<std::string> writeCalendarPlaces(const std::filesystem::path& file, const CalendarPlaces& places);
