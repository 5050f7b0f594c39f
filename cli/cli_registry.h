#pragma once
// quillet-cli command families register themselves by name; main() dispatches on the first argument.
// Commands work in the data folder (see quillet-cli --help), print UTF-8, and return 0, 1 (failure) or 2 (bad
// arguments).
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

using CliArgs = std::vector<std::string>;
using CliCommand = std::function<int(const CliArgs& args)>;

struct CliFamily {
    std::string usage; // one or more usage lines shown by "quillet-cli --help"
    CliCommand run;
    // Whether the commands work in the data folder (entered before they run). The file scrambler works on the
    // paths the user names, relative to where the command was given; the calendars need no files.
    bool usesDataFolder = true;
};

std::map<std::string, CliFamily>& cliFamilies();

struct CliRegistrar {
    CliRegistrar(const std::string& name, CliFamily family) { cliFamilies()[name] = std::move(family); }
};

// A file named on the command line: a relative name is taken from the folder the command was given in, not
// the data folder the command works in.
std::filesystem::path cliUserPath(const std::string& utf8);
void setCliCallerFolder(const std::filesystem::path& folder);

// Prints "quillet-cli: <message>" on stderr and returns 2 (bad arguments).
int cliUsageError(const std::string& message);
// Prints "quillet-cli: <message>" on stderr and returns 1 (the command failed).
int cliFailure(const std::string& message);
// The current time as an iCalendar UTC stamp, YYYYMMDDTHHMMSSZ.
std::string utcStamp();
