#pragma once
// The desktop program's own command line: --data DIR, --autostart on|off, --help, --version. Options of the
// toolkit (single dash, such as -platform) are left for it.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct ProgramOptions {
    std::optional<std::filesystem::path> data;
    std::optional<bool> autostart;
    bool help = false;
    bool version = false;
    std::string error; // non-empty: the command line is wrong
};

ProgramOptions parseProgramOptions(const std::vector<std::string>& args);
// The text --help prints.
std::string programUsage();
// Handles the options that need no window (--help, --version, --autostart); returns the exit code, or
// nothing when the program should start.
std::optional<int> runTerminalOptions(const ProgramOptions& options);
