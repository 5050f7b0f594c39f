#pragma once
// The memo check that the desk calendar runs every `dss` minutes: every due, active memo of bwl/bwl.cjf, in
// file order, raises the music flag, starts the reminder tune and is announced in the reminder pop-up (which
// therefore ends up showing the last of them).
#include "common/clock.h"
#include "common/program_state.h"
#include "common/result.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class Music;

// A memo as the pop-up gets it: its number (columns 1-4, blanks kept), its text and the whole line, so the
// write-back can make sure it cancels the memo it showed.
struct AnnouncedMemo {
    std::string bwxh;
    std::string text;
    std::string line;
    int lineNumber = 0; // from 1
};

inline constexpr const char* kReminderTune = "bwyy.mid";

// The due, active memos among the lines, in order. Damaged lines (shorter than 33 characters) never are.
std::vector<AnnouncedMemo> dueMemos(const std::vector<std::string>& lines, const LocalDateTime& now);
// The same for the memo file; a missing file has none, an unreadable one is an error.
Result<std::vector<AnnouncedMemo>> readDueMemos(const std::filesystem::path& memoFile, const LocalDateTime& now);
// The same for the reminder: a missing or unreadable file has none (the check stays silent).
std::vector<AnnouncedMemo> dueMemosInFile(const std::filesystem::path& memoFile, const LocalDateTime& now);

// Steps 3 and 4 of the Timer2 tick. `announce` shows one memo in the pop-up. Returns how many were announced.
int runMemoCheck(Form3State& desk, Music& music, const std::filesystem::path& memoFile, const LocalDateTime& now,
                 const std::function<void(const AnnouncedMemo&)>& announce);
