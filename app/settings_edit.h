#pragma once
// The settings window's rules: the five boxes are filled from memory, checked, and on a confirmed save
// stored in memory in a fixed order and written to "pavosz.cjf".
//
// A failed write rolls every in-memory value back to what it was before the save, so memory and the file
// keep agreeing: the old file is still whole, the program goes on with the values it was using, and the
// window stays open with the typed values for another try.
#include "common/notice.h"
#include "common/program_state.h"
#include "common/result.h"

#include <optional>
#include <string>

// Texts of the boxes Text1(0) .. Text1(4).
struct SettingsBoxes {
    std::string diaryKey;      // Text1(0): password
    std::string accessKey;     // Text1(1): password3
    std::string accessConfirm; // Text1(2): password3 again
    std::string webAddress;    // Text1(3): MRURL
    std::string interval;      // Text1(4): dss in minutes
};

enum class SettingsBox { DiaryKey = 0, AccessKey = 1, AccessConfirm = 2, WebAddress = 3, Interval = 4 };

// A refused save: the warning to show and the box that gets the focus.
struct SettingsRefusal {
    Notice notice;
    SettingsBox focus;
};

constexpr int kMinInterval = 1;
// dss x 60 seconds must stay below 32768.
constexpr int kMaxInterval = 546;

// Every opening fills the boxes from memory, never from the file.
SettingsBoxes settingsBoxesFromMemory(const Form1State& state, const Form3State& desk);

// The checks made before anything is stored: no box may hold a line break, the two access passwords must
// match exactly, the diary key
// must be single-byte ASCII (the diary cipher works on bytes of the key), and the interval must be a
// whole number of minutes from 1 to 546.
std::optional<SettingsRefusal> checkSettingsBoxes(const SettingsBoxes& boxes);
// The interval as a whole number from 1 to 546 (blanks around it allowed, an optional "+"), else nothing.
std::optional<int16_t> parseInterval(const std::string& text);

// "确实要保存设置吗?"
Notice saveSettingsQuestion();

// Stores the checked boxes in memory (password, password3, the trimmed MRURL, dss, then password2 when the
// launcher remembers the password) and rewrites the settings file at state.szfilename. A value holding a
// line break is refused here too, with nothing changed. On a failed write
// the values in memory are put back as they were and the error names the file and the reason.
// The memo check's running count is left alone: a new interval counts on from where it stands.
Result<void> saveSettings(const SettingsBoxes& boxes, Form1State& state, Form3State& desk);
