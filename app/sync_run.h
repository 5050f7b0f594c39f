#pragma once
// The program's side of the sync with a server: whether one is set up, the optional interval of the background
// sync, where quillet-cli is (the program runs the sync as that separate process, so no window waits for it),
// and what a finished run says, as the message for the user. Sync settings live in the user's configuration
// folder beside vdirsyncer's (sync/vdirsyncer_config.h), not in the data folder's settings file: they belong to
// the account on this machine, not to the data.
#include "common/notice.h"

#include <filesystem>
#include <string>
#include <string_view>

// A server is set up: quillet-cli sync setup has written vdirsyncer's settings.
bool syncConfigured();
// The sync settings file: one "interval=MINUTES" line ("#" starts a comment line).
std::filesystem::path syncSettingsPath();
inline constexpr int kMaxSyncInterval = 1440;
// The interval of the background sync in minutes; 0 (no background sync) when the file is missing, has no
// interval line, or its value is not a whole number from 1 to kMaxSyncInterval.
int syncIntervalMinutes(const std::filesystem::path& settings);

// quillet-cli beside the program file (installed), else in the build tree's cli/ folder beside app/.
std::filesystem::path findCliProgram(const std::filesystem::path& programFolder);

struct SyncRunEnd {
    bool started = true;  // false: the program could not be started (`err` says why)
    bool crashed = false; // ended by a signal
    int exitCode = 0;
    std::string out, err; // what it printed (UTF-8)
};

struct SyncOutcome {
    Notice notice; // "提示" with the counts, or "警告" with the reason
    bool failed = false;
    bool booksChanged = true; // false only when the summary says nothing changed on this machine's side
};

SyncOutcome syncOutcome(const SyncRunEnd& run);
// A second request while a sync runs.
Notice syncBusyNotice();
