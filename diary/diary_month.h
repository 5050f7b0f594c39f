#pragma once
// The plain text inside a diary month file, and the readable export built from it.
//
// A month is a run of day records, each:
//   header  "@@@@@@@@@@" + year + month + day + "@@@@@@@@@@"   (the day number in characters 17-18)
//   entry lines, zero or more
//   time    "@@@@@@@@" + yyyymmddhhnnss + "@@@@@@"              (a line starting with eight "@")
// Lines are GB18030 with CR LF; the month file on disk is this text after one cipher pass.
#include "common/clock.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kDiaryTableSize = 41; // day tables are indexed by day number, 0 to 40
inline constexpr std::string_view kCrLf = "\r\n";

// The three day tables of a loaded month: entry text lines are joined by CR LF.
struct DayTables {
    std::array<std::string, kDiaryTableSize> dayHeader;
    std::array<std::string, kDiaryTableSize> dayBody;
    std::array<std::string, kDiaryTableSize> dayTime;
};

std::string dayHeaderLine(std::string_view year, std::string_view month, std::string_view day);
std::string dayTimeLine(const LocalDateTime& t);
bool isTimeLine(std::string_view line);

// Two-digit form of a date text: a numeric value below 10 becomes "0" + its last character.
std::string twoDigitText(std::string_view text);

// Line breaks of any kind (CR LF, LF, lone CR) as CR LF, the form the day tables and files hold.
// The text with each CR LF as a single LF, for a terminal.
std::string withLineFeeds(std::string_view text);
std::string withCrLf(std::string_view text);

// What reading a plain month text gives.
struct MonthRead {
    DayTables tables;
    // The entry that the window shows for the wanted day (set when that day's time line is read).
    std::string shownEntry;
    // False when the text is not a run of well-formed records: damaged, or deciphered under a key of a
    // length the month was not written with. Such a month must not be saved over.
    bool readable = true;
};

// Reads decoded (UTF-8) lines record by record; `wantedDay` is the numeric value of the shown day.
// When `exportText` is given, the export lines of each record are appended to it.
MonthRead readMonthLines(const std::vector<std::string>& lines, double wantedDay, std::string* exportText = nullptr);

// The plain text of a month: days 1 to 31 in order, then records read for days 00 and 32 to 40 (kept, not
// dropped), only days with entry text; GB18030 bytes.
std::string monthPlainBytes(const DayTables& tables);

// The first two lines of an export: year + "年" + month + "月  日记内容", an empty line.
std::string exportHeading(std::string_view year, std::string_view month);
